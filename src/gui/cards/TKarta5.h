#pragma once
// "Drukowanie bieżącej karty": how many copies of the current card, and, for
// a card of several pages, which pages ("Karta k" boxes in columns, or
// "Wszystkie karty").

#include <QDialog>

#include <vector>

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace velt::gui {

class TKarta5 : public QDialog {
    Q_OBJECT
public:
    // A card of pages pages; copies is the number offered ("Liczba").
    TKarta5(int pages, int copies, QWidget* parent = nullptr);

    QSpinBox* Liczba = nullptr;
    std::vector<QCheckBox*> Strony;      // "Karta 1", "Karta 2", ... (none for one page)
    QCheckBox* Wszystkie = nullptr;      // "Wszystkie karty" (none for one page)
    QPushButton* DrukujButton = nullptr;  // "&Drukuj"
    QPushButton* RezygnujButton = nullptr;  // "&Rezygnuj"

    // The pages (from 1) to print: the only one, every page with "Wszystkie
    // karty", else those checked.
    std::vector<int> Pages() const;
    int Copies() const;

private:
    int mPages;
};

}  // namespace velt::gui
