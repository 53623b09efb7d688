{ Formularz rekordu MARC 21 pobranego z innego katalogu (Z39.50): pola, które
  kataloguj¹cy poprawia przed zapisem. Klucze jak w rekordach MARC klienta:
  znacznik, A pierwszy wskaŸnik, B drugi wskaŸnik, Z dane, wyst¹pienie.
  Pola 001 i 005 rekordu Ÿród³owego zastêpuje przy zapisie katalog. }
BEGIN
  LABEL '001 Numer' ON 8, 8
  FIELD '001Z.1.1.1.1' LIMIT 12 ON 90, 6, 110
  LABEL '005 Zmiana' ON 220, 8
  FIELD '005Z.1.1.1.1' ON 300, 6, 150
  LABEL 'Rekord nadrzêdny' ON 470, 8
  FIELD 'DOK_IDO' LIMIT 12 ON 580, 6, 90
  TABS ON 0, 32, 700, 469 - 36
    'Opis'
    BEGIN
      LABEL '000 Pozycja' ON 8, 10
      FIELD 'L.1' LIMIT 24 ON 110, 8, 210
      LABEL '008' ON 340, 10
      FIELD '008Z.1.1.1.1' LIMIT 40 ON 380, 8, 270
      LABEL 'WskaŸniki' ON 104, 32
      LABEL '100 Autor' ON 8, 50
      FIELD '100A.1.1.1.1' LIMIT 1 ON 110, 48, 20
      FIELD '100B.1.1.1.1' LIMIT 1 ON 132, 48, 20
      MARKERS '100Z.1.1.1.1' MASK '^|a|Nazwa|b|Numeracja|c|Tytu³y|d|Daty|q|Pe³ne imiona|' ON 160, 48, 490, 0
      LABEL '245 Tytu³' ON 8, 76
      FIELD '245A.1.1.1.1' LIMIT 1 ON 110, 74, 20
      FIELD '245B.1.1.1.1' LIMIT 1 ON 132, 74, 20
      MARKERS '245Z.1.1.1.1' MASK '^|a|Tytu³ w³aœciwy|b|Dalszy ci¹g tytu³u|c|Oznaczenie odpowiedzialnoœci|' +
        'n|Numer czêœci|p|Nazwa czêœci|' ON 160, 74, 490, 56
      LABEL '250 Wydanie' ON 8, 138
      MARKERS '250Z.1.1.1.1' MASK '^|a|Oznaczenie wydania|b|Dalsze oznaczenie|' ON 160, 136, 490, 0
      LABEL '260 Adres' ON 8, 164
      MARKERS '260Z.1.1.1.1' MASK '^|a|Miejsce wydania|b|Nazwa wydawcy|c|Data wydania|' ON 160, 162, 490, 0
      LABEL '264 Publikacja' ON 8, 190
      FIELD '264B.1.1.1.1' LIMIT 1 ON 132, 188, 20
      MARKERS '264Z.1.1.1.1' MASK '^|a|Miejsce|b|Nazwa|c|Data|' ON 160, 188, 490, 0
      LABEL '300 Opis fizyczny' ON 8, 216
      MARKERS '300Z.1.1.1.1' MASK '^|a|Objêtoœæ|b|Ilustracje|c|Wymiary|e|Dodatki|' ON 160, 214, 490, 0
      LABEL '020 ISBN' ON 8, 242
      LIST '%I' OF 2 ON 160, 240, 220, 50
      BEGIN
        MARKERS '020Z.1.1.%I.1' MASK '^|a|ISBN|q|Objaœnienie|z|ISBN b³êdny|' ON 0, 1, 200, 0
      END
      LABEL '490 Seria' ON 420, 242
      LIST '%S' OF 2 ON 480, 240, 160, 50
      BEGIN
        MARKERS '490Z.1.1.%S.1' MASK '^|a|Tytu³ serii|v|Numeracja|' ON 0, 1, 140, 0
      END
      TEXT '#PODGLAD' ON 8, 300, 642, 469 - 380
    END
    'Uwagi'
    BEGIN
      LABEL '500 Uwagi ogólne' ON 8, 8
      LIST '%U' OF 3 ON 8, 26, 642, 75
      BEGIN
        MARKERS '500Z.1.1.%U.1' MASK '^|a|Uwaga|' ON 0, 1, 622, 0
      END
      LABEL '504 Bibliografia' ON 8, 108
      MARKERS '504Z.1.1.1.1' MASK '^|a|Uwaga o bibliografii|' ON 130, 106, 520, 0
      LABEL '505 Zawartoœæ' ON 8, 134
      LIST '%Z' OF 4 ON 8, 152, 642, 100
      BEGIN
        NO '%Z' ON 0, 3
        MARKERS '505Z.1.1.%Z.1' MASK '^|a|Zawartoœæ|t|Tytu³|r|Odpowiedzialnoœæ|' ON 30, 1, 592, 0
      END
      LABEL '520 Streszczenie' ON 8, 262
      MARKERS '520Z.1.1.1.1' MASK '^|a|Streszczenie|' ON 130, 260, 520, 0
      LABEL '546 Jêzyk' ON 8, 288
      MARKERS '546Z.1.1.1.1' MASK '^|a|Uwaga o jêzyku|' ON 130, 286, 520, 0
    END
    'Has³a'
    BEGIN
      LABEL '600 Osoba jako temat' ON 8, 8
      LIST '%O' OF 2 ON 8, 26, 642, 50
      BEGIN
        MARKERS '600Z.1.1.%O.1' MASK '^|a|Nazwa|d|Daty|x|Okreœlnik|' ON 0, 1, 622, 0
      END
      LABEL '650 Temat' ON 8, 84
      LIST '%T' OF 4 ON 8, 102, 642, 100
      BEGIN
        NO '%T' ON 0, 3
        MARKERS '650Z.1.1.%T.1' MASK '^|a|Temat|x|Okreœlnik rzeczowy|y|Okreœlnik chronologiczny|z|Okreœlnik geograficzny|' ON 30, 1, 592, 0
      END
      LABEL '651 Nazwa geograficzna' ON 8, 210
      MARKERS '651Z.1.1.1.1' MASK '^|a|Nazwa|x|Okreœlnik|' ON 170, 208, 480, 0
      LABEL '700 Wspó³twórcy' ON 8, 238
      LIST '%A' OF 3 ON 8, 256, 642, 75
      BEGIN
        NO '%A' ON 0, 3
        MARKERS '700Z.1.1.%A.1' MASK '^|a|Nazwa|d|Daty|e|Funkcja|' ON 30, 1, 592, 0
      END
      LABEL '710 Cia³a zbiorowe' ON 8, 338
      LIST '%C' OF 2 ON 8, 356, 642, 50
      BEGIN
        MARKERS '710Z.1.1.%C.1' MASK '^|a|Nazwa|b|Jednostka podrzêdna|' ON 0, 1, 622, 0
      END
    END
  END
END
