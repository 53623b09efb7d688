#pragma once
// "Korekta wydruku karty katalogowej": the paragraph lines of a card in a
// memo, in the paragraph font, an indented first line of a paragraph after
// two blanks. "&Dodaj Akapit" begins a paragraph at the caret, "&Zakończ
// Edycję" accepts the lines, "&Anuluj" leaves the card as it was.

#include "cards/CardSettings.h"

#include <QDialog>

#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace velt::gui {

class TKarta6 : public QDialog {
    Q_OBJECT
public:
    TKarta6(const std::vector<std::string>& lines, const CardFont& font, QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* DodajAkapitButton = nullptr;  // "&Dodaj Akapit"
    QPushButton* ZakonczButton = nullptr;      // "&Zakończ Edycję"
    QPushButton* AnulujButton = nullptr;       // "&Anuluj"

    // The memo's lines (Windows-1250).
    std::vector<std::string> Lines() const;
    // "&Dodaj Akapit" at the caret.
    void DodajAkapit();
};

}  // namespace velt::gui
