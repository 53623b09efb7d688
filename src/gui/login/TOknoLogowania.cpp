#include "gui/login/TOknoLogowania.h"

#include "catalogue/velt_files.h"
#include "gui/common/QtText.h"
#include "login/LoginFlow.h"
#include "text/CpLiteral.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velt::gui {

TOknoLogowania::TOknoLogowania(LoginFlow& flow, QWidget* parent) : QDialog(parent), mFlow(flow) {
    setObjectName("OknoLogowania");
    setWindowTitle(toQString("Logowanie"_cp));
    setModal(true);
    Label1 = new QLabel(toQString("Nazwa użytkownika:"_cp), this);
    Label1->setObjectName("Label1");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Label2 = new QLabel(toQString("Hasło:"_cp), this);
    Label2->setObjectName("Label2");
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName("Edit2");
    Edit2->setEchoMode(QLineEdit::Password);
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setAutoDefault(false);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(Button1, 2, 0, 1, 2, Qt::AlignHCenter);
    connect(Edit1, &QLineEdit::returnPressed, Edit2, [this] { Edit2->setFocus(); });
    connect(Edit2, &QLineEdit::returnPressed, Button1, &QPushButton::click);
    connect(Button1, &QPushButton::clicked, this, &TOknoLogowania::Button1Click);
}

bool TOknoLogowania::ShowLogin(velt_files& files) {
    Edit1->setText(toQString(ProposedUser));
    Edit2->clear();
    mFiles = &files;
    Edit1->setFocus();
    const bool accepted = exec() == QDialog::Accepted;
    mFiles = nullptr;
    return accepted;
}

void TOknoLogowania::Button1Click() {
    if (!mFiles) return;
    if (mFlow.Accept(*mFiles, fromQString(Edit1->text()), fromQString(Edit2->text()))) accept();
}

}  // namespace velt::gui
