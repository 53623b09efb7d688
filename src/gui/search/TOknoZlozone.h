#pragma once
// "Zapytanie złożone": an expression over earlier remote collections, typed
// or made by double clicks on the query history.

#include "search/SearchService.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace velt::gui {

class TOknoZlozone : public QDialog {
    Q_OBJECT
public:
    TOknoZlozone(SearchService& service, QWidget* parent = nullptr);

    // Shows the window modally with its text box emptied.
    void Open();
    // Refills the history list from the service.
    void RefreshHistory();

    QLineEdit* Edit1 = nullptr;
    QListWidget* historia = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* Operators[3] = {};
    QPushButton* Button1 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Ok();

    SearchService& mService;
    QButtonGroup* mOperators = nullptr;
};

// Fills a sorting list: "bez sortowania" and the sort keys, hidden without
// keys, the shared position selected.
void FillSortingList(QGroupBox* box, QComboBox* list, const SearchService& service);

}  // namespace velt::gui
