#include "gui/shell/TForm1.h"

#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/common/SessionMessages.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/login/TOknoLogowania.h"
#include "gui/login/TOknoZmianyHasla.h"
#include "text/CpLiteral.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <functional>

namespace velt::gui {

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Form1");
    setWindowTitle(toQString("Wyszukiwanie i katalogowanie"_cp));
    mPasswordWindow = std::make_unique<TOknoZmianyHasla>(this);
    mShell = std::make_unique<VeltShell>(*this, GuiPrompts::Instance(), *mPasswordWindow);
    mLoginWindow = std::make_unique<TOknoLogowania>(mShell->Flow(), this);
    mMessages = new SessionMessages({}, this);

    auto menu = [this](const char* objectName, const std::string& title) {
        QMenu* m = menuBar()->addMenu(toQString(title));
        m->setObjectName(objectName);
        return m;
    };
    Katalog1 = menu("Katalog1", "&Katalog");
    Format1 = menu("Format1", "&Format");
    Wyszukaj1 = menu("Wyszukaj1", "Za&pytanie");
    Zestawienie1 = menu("Zestawienie1", "&Zestawienie");
    Zamawianie1 = menu("Zamawianie1", "Kon&to");
    Logowanie1 = menu("Logowanie1", "&Logowanie");
    ZalogujItem = Logowanie1->addAction(toQString("Zaloguj"_cp));
    WylogujItem = Logowanie1->addAction(toQString("Wyloguj"_cp));
    ZmienHasloItem = Logowanie1->addAction(toQString("Zmień hasło"_cp));
    connect(ZalogujItem, &QAction::triggered, this, [this] { mShell->Login(); });
    connect(WylogujItem, &QAction::triggered, this, [this] { mShell->Logout(); });
    connect(ZmienHasloItem, &QAction::triggered, this, [this] { mShell->ChangePassword(); });

    EditButtons = addToolBar(toQString("Edycja"_cp));
    EditButtons->setObjectName("EditButtons");
    LoginButton = EditButtons->addAction(toQString("Logowanie"_cp));
    LoginButton->setObjectName("LoginButton");
    LogoutButton = EditButtons->addAction(toQString("Wylogowanie"_cp));
    LogoutButton->setObjectName("LogoutButton");
    connect(LoginButton, &QAction::triggered, this, [this] { mShell->Login(); });
    connect(LogoutButton, &QAction::triggered, this, [this] { mShell->Logout(); });

    ConnectionLabel = new QLabel(this);
    ConnectionLabel->setObjectName("ConnectionLabel");
    ConnectionLabel->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(ConnectionLabel, 1);
    ShowState(mShell->State());
}

TForm1::~TForm1() { mShell.reset(); }

void TForm1::BuildCatalogueMenu() {
    Katalog1->clear();
    std::function<void(QMenu*, const std::vector<CatalogueMenuItem>&)> fill = [&](QMenu* into,
                                                                                 const std::vector<CatalogueMenuItem>& items) {
        for (const auto& item : items) {
            if (item.IsGroup) {
                fill(into->addMenu(toQString(item.Caption)), item.Children);
                continue;
            }
            QAction* a = into->addAction(toQString(item.Entry.Caption));
            a->setObjectName(toQString(item.Entry.SectionName));
            const KatalogItem* entry = &item.Entry;
            connect(a, &QAction::triggered, this, [this, entry] { mShell->Click(*entry); });
        }
    };
    fill(Katalog1, mShell->Menu().Items());
}

void TForm1::ShowState(const ShellState& state) {
    mState = state;
    setWindowTitle(toQString(state.Caption));
    Format1->menuAction()->setVisible(state.ServerMenus);
    Wyszukaj1->menuAction()->setVisible(state.ServerMenus);
    Zestawienie1->menuAction()->setVisible(state.ServerMenus);
    Zamawianie1->menuAction()->setVisible(state.AccountMenu);
    EditButtons->setVisible(state.EditToolbar);
    Logowanie1->menuAction()->setVisible(state.LoginMenu);
    LogoutButton->setEnabled(state.LogoutEnabled);
    WylogujItem->setEnabled(state.LogoutEnabled);
    ZmienHasloItem->setEnabled(state.LogoutEnabled);
    ConnectionLabel->setText(toQString(state.ConnectionText));
}

bool TForm1::ShowLogin(velt_files& files, const std::string& proposedUser) {
    mLoginWindow->ProposedUser = proposedUser;
    return mLoginWindow->ShowLogin(files);
}

MessageCallback TForm1::SessionMessageCallback() { return mMessages->Callback(); }

void TForm1::closeEvent(QCloseEvent* e) {
    mShell->Save();
    mShell->Disconnect();
    QMainWindow::closeEvent(e);
}

}  // namespace velt::gui
