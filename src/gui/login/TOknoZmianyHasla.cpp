#include "gui/login/TOknoZmianyHasla.h"

#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velt::gui {

TOknoZmianyHasla::TOknoZmianyHasla(QWidget* parent) : QDialog(parent) {
    setObjectName("OknoZmianyHasla");
    setWindowTitle(toQString("Zmień hasło"_cp));
    setModal(true);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setTextFormat(Qt::PlainText);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setEchoMode(QLineEdit::Password);
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Edit1, &QLineEdit::returnPressed, Button1, &QPushButton::click);
}

std::optional<std::string> TOknoZmianyHasla::AskPassword(const std::string& prompt) {
    Label1->setText(toQString(prompt));
    Edit1->clear();
    Edit1->setMaxLength(32767);  // no limit of its own
    Edit1->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return fromQString(Edit1->text());
}

}  // namespace velt::gui
