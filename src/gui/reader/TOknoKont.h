#pragma once
// The reader's account window ("Czytelnik: " and the reader's name): the
// reservations, orders and loans in three tabs of browsers, "Zmień hasło",
// and "Operacja" with the reader's programs (shown only when there are
// some). A view of the core's ReaderAccount, made for one account and
// shown modally.

#include "reader/ReaderAccount.h"

#include <QDialog>

class QAction;
class QMenu;
class QMenuBar;

namespace velt::gui {

class BrowserTabs;
class BrowserView;
class QtCellMeasurer;
class TOknoZmianyHasla;

class TOknoKont : public QDialog, public AccountView {
    Q_OBJECT
public:
    TOknoKont(ReaderAccount& account, QtCellMeasurer& measurer, QWidget* parent = nullptr);
    ~TOknoKont() override;

    // AccountView
    void ShowFirst(AccountTab tab) override;
    void ShowAgain(AccountTab tab, const std::string& key) override;
    std::optional<std::string> AskPassword(const std::string& prompt, std::size_t maxLength) override;

    ReaderAccount& Account() const { return mAccount; }
    BrowserView* Panel(AccountTab tab) const;

    QMenuBar* MainMenu = nullptr;
    QAction* Has1 = nullptr;        // "Zmień hasło"
    QMenu* Operacja1 = nullptr;     // "Operacja"
    BrowserTabs* Zakladki = nullptr;
    BrowserView* panel_rezerwacje = nullptr;
    BrowserView* panel_zamowienia = nullptr;
    BrowserView* panel_wypozyczenia = nullptr;
    TOknoZmianyHasla* OknoHasla = nullptr;

private:
    ReaderAccount& mAccount;
};

}  // namespace velt::gui
