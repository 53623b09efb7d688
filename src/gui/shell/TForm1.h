#pragma once
// The main window, "Wyszukiwanie i katalogowanie": the catalogue menu, the
// login menu and toolbar buttons, and the menus that need a server, shown
// by the shell's mode.

#include "shell/VeltShell.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace velt::gui {

class SessionMessages;
class TOknoLogowania;
class TOknoZmianyHasla;

class TForm1 : public QMainWindow, public ShellView {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The shell the window shows and commands; made with the window.
    VeltShell& Shell() { return *mShell; }
    // Fills the "&Katalog" menu from the shell's catalogue list.
    void BuildCatalogueMenu();

    // ShellView
    void ShowState(const ShellState& state) override;
    bool ShowLogin(velt_files& files, const std::string& proposedUser) override;
    MessageCallback SessionMessageCallback() override;

    // The state shown last.
    const ShellState& ShownState() const { return mState; }

    QMenu* Katalog1 = nullptr;
    QMenu* Format1 = nullptr;
    QMenu* Wyszukaj1 = nullptr;
    QMenu* Zestawienie1 = nullptr;
    QMenu* Zamawianie1 = nullptr;
    QMenu* Logowanie1 = nullptr;
    QAction* ZalogujItem = nullptr;
    QAction* WylogujItem = nullptr;
    QAction* ZmienHasloItem = nullptr;
    QToolBar* EditButtons = nullptr;
    QAction* LoginButton = nullptr;
    QAction* LogoutButton = nullptr;
    QLabel* ConnectionLabel = nullptr;

    TOknoLogowania& LoginWindow() { return *mLoginWindow; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:

    std::unique_ptr<TOknoZmianyHasla> mPasswordWindow;
    std::unique_ptr<VeltShell> mShell;
    std::unique_ptr<TOknoLogowania> mLoginWindow;
    SessionMessages* mMessages = nullptr;
    ShellState mState;
};

}  // namespace velt::gui
