#include "gui/reader/TOknoKont.h"

#include "gui/browse/BrowserTabs.h"
#include "gui/browse/BrowserView.h"
#include "gui/common/QtText.h"
#include "gui/login/TOknoZmianyHasla.h"
#include "text/CpLiteral.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

namespace velt::gui {

namespace {

// The browsers' line height: two lines of an entry.
constexpr int kLineHeight = 50;

}  // namespace

TOknoKont::TOknoKont(ReaderAccount& account, QtCellMeasurer& measurer, QWidget* parent)
    : QDialog(parent), mAccount(account) {
    setObjectName("OknoKont");
    setWindowTitle(toQString(account.Caption()));
    setModal(true);
    resize(760, 520);
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName("MainMenu");
    Has1 = MainMenu->addAction(toQString("Zmień hasło"_cp));
    Has1->setObjectName("Has1");
    Operacja1 = MainMenu->addMenu(toQString("Operacja"_cp));
    Operacja1->setObjectName("Operacja1");
    const auto& programs = account.Programs();
    for (std::size_t i = 0; i < programs.size(); ++i)
        connect(Operacja1->addAction(toQString(programs[i].Name)), &QAction::triggered, this,
                [this, i] { mAccount.RunProgram(i); });
    Operacja1->menuAction()->setVisible(!programs.empty());
    connect(Has1, &QAction::triggered, this, [this] { mAccount.ChangePassword(); });

    Zakladki = new BrowserTabs(measurer, this);
    Zakladki->setObjectName("Zakladki");
    panel_rezerwacje = Zakladki->AddSource("Zarezerwowane"_cp, account.Source(AccountTab::Reservations), kLineHeight);
    panel_rezerwacje->setObjectName("panel_rezerwacje");
    panel_zamowienia = Zakladki->AddSource("Zamówione"_cp, account.Source(AccountTab::Orders), kLineHeight);
    panel_zamowienia->setObjectName("panel_zamowienia");
    panel_wypozyczenia = Zakladki->AddSource("Wypożyczone"_cp, account.Source(AccountTab::Loans), kLineHeight);
    panel_wypozyczenia->setObjectName("panel_wypozyczenia");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setMenuBar(MainMenu);
    layout->addWidget(Zakladki);
    account.SetView(this);
}

TOknoKont::~TOknoKont() {
    mAccount.SetView(nullptr);
    // The browsers go before the account's sources they read.
    delete Zakladki;
}

BrowserView* TOknoKont::Panel(AccountTab tab) const {
    switch (tab) {
        case AccountTab::Reservations: return panel_rezerwacje;
        case AccountTab::Orders: return panel_zamowienia;
        case AccountTab::Loans: return panel_wypozyczenia;
    }
    return nullptr;
}

void TOknoKont::ShowFirst(AccountTab tab) {
    // A browser not made yet starts from its first entry anyway.
    if (VrBrowser* b = Panel(tab)->Browser()) b->Home();
}

void TOknoKont::ShowAgain(AccountTab tab, const std::string& key) {
    VrBrowser* b = Panel(tab)->Browser();
    if (!b) return;
    if (key.empty())
        b->Home();
    else
        b->ShowKey(key);
}

std::optional<std::string> TOknoKont::AskPassword(const std::string& prompt, std::size_t maxLength) {
    if (!OknoHasla) OknoHasla = new TOknoZmianyHasla(this);
    OknoHasla->Label1->setText(toQString(prompt));
    OknoHasla->Edit1->clear();
    OknoHasla->Edit1->setMaxLength(static_cast<int>(maxLength));
    OknoHasla->Edit1->setFocus();
    if (OknoHasla->exec() != QDialog::Accepted) return std::nullopt;
    return fromQString(OknoHasla->Edit1->text());
}

}  // namespace velt::gui
