#include "gui/reader/TOknoZamawiania.h"

#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace velt::gui {

TOknoZamawiania::TOknoZamawiania(QWidget* parent) : QDialog(parent) {
    setObjectName("OknoZamawiania");
    setWindowTitle(toQString("Zamawianie i rezerwowanie"_cp));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);
    Label1 = new QLabel(toQString("Identyfikacja czytelnika:"_cp), this);
    Label1->setObjectName("Label1");
    RadioButton1 = new QRadioButton(toQString("Nazwisko i imię"_cp), this);
    RadioButton1->setObjectName("RadioButton1");
    RadioButton2 = new QRadioButton(toQString("Numer legitymacji"_cp), this);
    RadioButton2->setObjectName("RadioButton2");
    Login = new QLineEdit(this);
    Login->setObjectName("Login");
    Login->setMinimumWidth(260);
    Label3 = new QLabel(toQString("Hasło:"_cp), this);
    Label3->setObjectName("Label3");
    Haslo = new QLineEdit(this);
    Haslo->setObjectName("Haslo");
    Haslo->setEchoMode(QLineEdit::Password);
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button1->setMinimumWidth(90);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(Label1);
    auto* kinds = new QHBoxLayout;
    kinds->addWidget(RadioButton1);
    kinds->addWidget(RadioButton2);
    kinds->addStretch();
    layout->addLayout(kinds);
    layout->addWidget(Login);
    layout->addSpacing(4);
    layout->addWidget(Label3);
    layout->addWidget(Haslo);
    layout->addSpacing(6);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    RadioButton1->setChecked(true);
}

bool TOknoZamawiania::Identify(const std::string& caption, IdentificationEntry& entry) {
    setWindowTitle(toQString(caption));
    Haslo->clear();
    RadioButton1->setChecked(true);
    Login->setFocus();
    Login->selectAll();
    adjustSize();
    // Centred over the window it belongs to, or on the screen.
    const QRect over = parentWidget() ? parentWidget()->window()->frameGeometry()
                                      : (screen() ? screen()->availableGeometry() : QRect());
    if (over.isValid()) move(over.center() - rect().center());
    if (exec() != QDialog::Accepted) return false;
    entry.byName = RadioButton1->isChecked();
    entry.login = fromQString(Login->text().trimmed());
    entry.password = fromQString(Haslo->text());
    return true;
}

}  // namespace velt::gui
