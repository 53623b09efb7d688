{ Formularz rekordu wzorcowego osoby. }
BEGIN
  ON 0, 0
  BEGIN
    LABEL 'Numer rekordu' ON 8, 8
    FIELD '001Z.1.1.1.1' ON 110, 6, 90
    LABEL 'Ostatnia zmiana' ON 220, 8
    FIELD '005Z.1.1.1.1' ON 320, 6, 130
    CHECK 'DOK_ZATW' MASK 'Has≥o zatwierdzone' ON 470, 6, 180
  END
  TABS ON 0, 32, 680, 469 - 36
    'Has≥o'
    BEGIN
      LABEL 'Has≥o osobowe' ON 8, 10
      MARKERS '100Z.1.1.1.1' MASK '^|a|Nazwisko, imiÍ|b|Numeracja|c|Tytu≥ lub przydomek|d|Daty|' ON 130, 8, 500, 0
      LABEL 'P≥eÊ' ON 8, 36
      COMBO '375Z.1.1.1.1' MASK '|nieokreúlona|^amÍøczyzna|mÍøczyzna|^akobieta|kobieta|' ON 130, 34, 150
      LABEL 'Data urodzenia' ON 8, 62
      DATE '046F.1.1.1.1' ON 130, 60, 90
      LABEL 'Data úmierci' ON 240, 62
      DATE '046G.1.1.1.1' ON 340, 60, 90
      LABEL 'ZawÛd lub dziedzina' ON 8, 88
      FIELD '374Z.1.1.1.1' LIMIT 120 ON 130, 86, 470
      MENU 'Z_1|pisarz|Z_2|poeta|Z_3|historyk|Z_4|t≥umacz|Z_5|ilustrator|Z_6|kompozytor|' MASK 'zawody.bmp'
        ON 606, 86, 20, 20
      LABEL 'Odrzucone formy has≥a' ON 8, 116
      LIST '%W' OF 5 ON 8, 134, 620, 125
      BEGIN
        NO '%W' ON 0, 3
        MARKERS '400Z.1.1.%W.1' MASK '^|a|Nazwisko, imiÍ|d|Daty|' ON 30, 1, 580, 0
      END
      TEXT '#PODGLAD' ON 8, 268, 622, 469 - 346
    END
    'èrÛd≥a'
    BEGIN
      LABEL 'èrÛd≥a informacji o osobie' ON 8, 8
      LIST '%Z' OF 8 ON 8, 26, 620, 8 * 25
      BEGIN
        NO '%Z' ON 0, 3
        FIELD '670Z.1.1.%Z.1' LIMIT 250 ON 30, 1, 580
      END
      LABEL 'Uwagi' ON 8, 236
      MEMO '667Z.1.1.1.1' MULTILINE LIMIT 2000 ON 130, 234, 500, 80
    END
  END
END
