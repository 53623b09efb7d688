#pragma once
// The identification window ("Zamawianie i rezerwowanie"): the reader's
// name or card number and password, before an order, a reservation or the
// account. It stays on top, centred over its parent.

#include "reader/OrderFlow.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velt::gui {

class TOknoZamawiania : public QDialog, public IdentificationWindow {
    Q_OBJECT
public:
    explicit TOknoZamawiania(QWidget* parent = nullptr);

    bool Identify(const std::string& caption, IdentificationEntry& entry) override;

    QLabel* Label1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // "Nazwisko i imię"
    QRadioButton* RadioButton2 = nullptr;  // "Numer legitymacji"
    QLineEdit* Login = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Haslo = nullptr;
    QPushButton* Button1 = nullptr;
};

}  // namespace velt::gui
