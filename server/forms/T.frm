{ Formularz rekordu wzorcowego tematu. }
BEGIN
  LABEL 'Numer rekordu' ON 8, 8
  FIELD '001Z.1.1.1.1' ON 110, 6, 90
  LABEL 'Ostatnia zmiana' ON 220, 8
  FIELD '005Z.1.1.1.1' ON 320, 6, 130
  LABEL 'Temat' ON 8, 36
  MARKERS '150Z.1.1.1.1' MASK '^|a|Temat|x|Okreœlnik rzeczowy|y|Okreœlnik chronologiczny|' +
    'z|Okreœlnik geograficzny|' ON 110, 34, 540, 0
  LABEL 'Rodzaj' ON 8, 62
  COMBO '008T.1.1.1.1' MASK 'r|rzeczowy|g|geograficzny|f|formalny|c|chronologiczny|' ON 110, 60, 160
  LABEL 'Poziom' ON 290, 62
  SPIN '008P.1.1.1.1' MASK 1 LIMIT 9 ON 350, 60, 50
  LABEL 'U¿yj zamiast' ON 8, 90
  LIST '%U' OF 4 ON 8, 108, 320, 100
  BEGIN
    FIELD '450Z.1.1.%U.1' LIMIT 200 ON 0, 1, 300
  END
  LABEL 'Tematy pokrewne' ON 340, 90
  SPEED 'SZUKAJ_550' MASK 'slownik.bmp' ON 630, 86, 20, 20
  LIST '%P' OF 4 ON 340, 108, 290, 100
  BEGIN
    DICTIONARY '550Z.1.1.%P.1' ON 0, 1, 270
  END
  LABEL 'Objaœnienie zakresu' ON 8, 218
  MEMO '680Z.1.1.1.1' MULTILINE LIMIT 2000 ON 8, 236, 642, 80
  LABEL 'Uwagi katalogera' ON 8, 324
  MEMO '667Z.1.1.1.1' ON 8, 342, 642, 40
  TEXT '#PODGLAD' ON 8, 390, 642, 469 - 394
END
