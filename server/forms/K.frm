{ Formularz rekordu bibliograficznego: ksi¹¿ka. Klucze pól jak w rekordach
  katalogu: znacznik, poziom (Z dane), wyst¹pienie. Egzemplarze maj¹ pola
  876I, 876B, 876D, 876C, 876S i 876W o wspólnym numerze wyst¹pienia; pola
  robocze, których serwer nie zapisuje, zaczynaj¹ siê od znaku #. }
BEGIN
  LABEL 'Numer rekordu' ON 8, 8
  FIELD '001Z.1.1.1.1' LIMIT 12 ON 110, 6, 90
  LABEL 'Ostatnia zmiana' ON 220, 8
  FIELD '005Z.1.1.1.1' ON 320, 6, 130
  LABEL 'Rekord nadrzêdny' ON 470, 8
  FIELD 'DOK_IDO' LIMIT 12 ON 580, 6, 90
  TABS ON 0, 32, 700, 469 - 36
    'Opis'
    BEGIN
      LABEL 'Autor g³ówny' ON 8, 10
      DICTIONARY '100Z.1.1.1.1' ON 130, 8, 520
      LABEL 'Tytu³' ON 8, 36
      MARKERS '245Z.1.1.1.1' MASK '^|a|Tytu³ w³aœciwy|b|Dalszy ci¹g tytu³u|c|Oznaczenie odpowiedzialnoœci|' +
        'n|Numer czêœci|p|Nazwa czêœci|' ON 130, 34, 520, 56
      LABEL 'Wydanie' ON 8, 100
      FIELD '250Z.1.1.1.1' LIMIT 80 ON 130, 98, 330
      BUTTON 'SZCZEGOLY' MASK 'Szczegó³y wydania...' ON 470, 98, 150, 22
      FORM 'WYDANIE' MASK 'Szczegó³y wydania' SPEED 'wydanie.bmp' ON 630, 99, 250, 130
      BEGIN
        LABEL 'Liczba tomów' ON 8, 10
        SPIN '300V.1.1.1.1' MASK 3 LIMIT 1, 99 ON 150, 8, 60
        LABEL 'Nak³ad (egz.)' ON 8, 36
        NUMBER '250N.1.1.1.1' MASK 7 ON 150, 34, 90
        LABEL 'Adres elektroniczny' ON 8, 62
        FIELD '856Z.1.1.1.1' LIMIT 250 ON 150, 60, 300
        LABEL 'Has³o dostêpu' ON 8, 88
        FIELD '856K.1.1.1.1' LIMIT 20 PASSWORD ON 150, 86, 140
        BUTTON 'WYDANIE_OK' MASK 'Zamknij' DEFAULT ON 370, 112, 80, 24
      END
      LABEL 'Adres wydawniczy' ON 8, 126
      MARKERS '260Z.1.1.1.1' MASK '^|a|Miejsce wydania|b|Nazwa wydawcy|c|Data wydania|' ON 130, 124, 520, 0
      LABEL 'Opis fizyczny' ON 8, 152
      MARKERS '300Z.1.1.1.1' MASK '^|a|Objêtoœæ|b|Ilustracje|c|Wymiary|e|Dodatki|' ON 130, 150, 520, 0
      LABEL 'ISBN' ON 8, 178
      MARKERS '020Z.1.1.1.1' MASK '^|a|ISBN|z|ISBN b³êdny|' ON 130, 176, 200, 0
      LABEL 'Jêzyk' ON 350, 178
      MARKERS '041Z.1.1.1.1' MASK '^|a|Jêzyk tekstu|h|Jêzyk orygina³u|' ON 400, 176, 150, 0
      BUTTON 'JEZYK' MASK 'Wybierz...' ON 555, 175, 80, 22
      LABEL 'Sygnatura' ON 8, 204
      MARKERS '852Z.1.1.1.1' MASK '^|h|Sygnatura|b|Lokalizacja|' ON 130, 202, 300, 0
      BUTTON 'SYGNATURA' MASK 'Nadaj sygnaturê' ON 440, 201, 130, 22
      LABEL 'Uwagi' ON 8, 230
      MEMO '500Z.1.1.1.1' LIMIT 1000 ON 130, 228, 450, 48
      MENU '|Uwagi ogólne|FR_1|Bibliografia na stronach|FR_2|Indeks|FR_3|Streszczenie w jêzyku angielskim|' +
        '||FR_4|Wydanie jubileuszowe|FR_5|Na ok³adce: seria|' LABEL 'Frazy' ON 590, 230
      CHECK 'DOK_ZATW' MASK 'Rekord zatwierdzony' ON 130, 284, 200
      TEXT '#PODGLAD' ON 8, 312, 642, 469 - 390
    END
    'Has³a'
    BEGIN
      LABEL 'Wspó³twórcy' ON 8, 8
      LIST '%A' OF 4 ON 8, 26, 640, 100
      BEGIN
        NO '%A' ON 0, 3
        DICTIONARY '700Z.1.1.%A.1' ON 30, 1, 600
      END
      LABEL 'Has³a przedmiotowe' ON 8, 136
      BUTTON 'TEZAURUS' MASK 'Z tezaurusa...' ON 508, 130, 140, 22
      LIST '%T' OF 6 ON 8, 154, 640, 6 * 25
      BEGIN
        NO '%T' ON 0, 3
        DICTIONARY '650Z.1.1.%T.1' ON 30, 1, 600
      END
    END
    'Zawartoœæ'
    BEGIN
      LABEL 'Spis treœci: jedna czêœæ w wierszu' ON 8, 8
      LIST '%S' OF 12 ON 8, 26, 640, 12 * 25
      BEGIN
        NO '%S' ON 0, 3
        FIELD '505Z.1.1.%S.1' LIMIT 250 ON 40, 1, 590
      END
    END
    'Egzemplarze'
    BEGIN
      BUTTON 'DODAJ_EGZ' MASK 'Dodaj egzemplarz' ON 8, 6, 140, 22
      LABEL 'Przycisk przy egzemplarzu usuwa go z rekordu' ON 160, 10
      BUTTON 'NAKLEJKI' MASK 'Drukuj naklejki' ON 500, 6, 140, 22
      DYNAMIC '#EGZ' OF '%E' ON 8, 34, 650, 469 - 110
        'e'
        BEGIN
          LABEL 'Egzemplarz' ON 4, 6
          NO '%E' ON 80, 6
          LABEL 'Nr inwentarza' ON 110, 6
          FIELD '876I.1.1.%E.1' LIMIT 20 ON 200, 4, 110
          LABEL 'Kod kreskowy' ON 330, 6
          FIELD '876B.1.1.%E.1' MASK '9999999999999;0; ' ON 420, 4, 140
          LABEL 'Data nabycia' ON 4, 32
          DATE '876D.1.1.%E.1' ON 90, 30, 90
          LABEL 'Cena' ON 190, 32
          NUMBER '876C.1.1.%E.1' MASK 8, 2 ON 230, 30, 90
          LABEL 'Stan' ON 330, 32
          COMBO '876S.1.1.%E.1' MASK 'D|dostêpny|W|wypo¿yczony|O|w opracowaniu|Z|zagubiony|' ON 370, 30, 130
          CHECK '876W.1.1.%E.1' MASK 'wypo¿yczalny' ON 510, 30, 110
        END
      END
    END
  END
END
