{ Opis rekordu MARC 21 w oknie "Pobieranie Z39.50": tytu³, autor, adres
  wydawniczy, opis fizyczny i ISBN, a pod nimi numer i pozycja 000 rekordu. }
PROCEDURE CZYTAJ
BEGIN
  GRUPA(HEAD(K, '.'))
  POZYCJA = '.' + TAIL(K, '.')
  W = POLE
  BACK
END
BEGIN
  K = '245Z.1.1.1.1'
  CZYTAJ
  T = TRIM(SUBFIELD(W, 'a'))
  B = TRIM(SUBFIELD(W, 'b'))
  C = TRIM(SUBFIELD(W, 'c'))
  K = '100Z.1.1.1.1'
  CZYTAJ
  A = TRIM(SUBFIELD(W, 'a'))
  K = '260Z.1.1.1.1'
  CZYTAJ
  IF W = ''
    K = '264Z.1.1.1.1'
    CZYTAJ
  ENDIF
  ADRES = SEP(SEP(TRIM(SUBFIELD(W, 'a')), ' ', TRIM(SUBFIELD(W, 'b'))), ' ', TRIM(SUBFIELD(W, 'c')))
  K = '300Z.1.1.1.1'
  CZYTAJ
  OPIS = SEP(SEP(TRIM(SUBFIELD(W, 'a')), ' ', TRIM(SUBFIELD(W, 'b'))), ' ', TRIM(SUBFIELD(W, 'c')))
  K = '020Z.1.1.1.1'
  CZYTAJ
  ISBN = TRIM(SUBFIELD(W, 'a'))
  K = '001Z.1.1.1.1'
  CZYTAJ
  N = TRIM(W)
  K = 'L.1'
  CZYTAJ
  L = W
  IF T = ''
    PRINT(\27'CR'\26'Rekord bez tytu³u'\27'C0'\26)
  ELSE
    PRINT(\27'SB'\26 + T + \27'S'\26 + PR(' ', B) + PR(' ', C))
  ENDIF
  IF A # ''
    PRINT('Autor: '\27'CB'\26 + A + \27'C0'\26)
  ENDIF
  IF ADRES # ''
    PRINT(ADRES + PR(' – ', OPIS))
  ENDIF
  IF ISBN # ''
    PRINT('ISBN ' + ISBN)
  ENDIF
  PRINT(\27'CG'\26'001 ' + N + '   000 ' + L + \27'C0'\26)
END
