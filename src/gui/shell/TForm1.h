#pragma once
// The main window, "Wyszukiwanie i katalogowanie": the frame that hosts the
// program's features. It keeps the catalogue menu, the login menu and
// buttons, the record box with the search line and the zoom, the tabs of
// the current catalogue and the status line, shows the shell's state in one
// place (ShowState), and gives every feature its places (FeatureHost). It
// names no feature: they come from StandardFeatures().

#include "gui/browse/TabsWidget.h"
#include "gui/shell/FeatureHost.h"
#include "search/SearchService.h"
#include "shell/VeltShell.h"

#include <QMainWindow>
#include <map>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolBar;
class QVBoxLayout;

namespace velt::gui {

class SessionMessages;
class TOknoLogowania;
class TOknoZmianyHasla;

class TForm1 : public QMainWindow, public ShellView, public TabsOwner, public FeatureHost {
    Q_OBJECT
public:
    // The window with the program's features (tests may give others).
    explicit TForm1(QWidget* parent = nullptr);
    TForm1(FeatureList features, QWidget* parent);
    ~TForm1() override;

    // Where the program's pictures are looked for (set before the first
    // window is made; by default found from the program's directory).
    static void SetImageDirectory(const std::string& directory);
    static std::string ImageDirectory();

    // Fills the "&Katalog" menu from the shell's catalogue list.
    void BuildCatalogueMenu();

    // ShellView
    void ShowState(const ShellState& state) override;
    bool ShowLogin(velt_files& files, const std::string& proposedUser) override;
    MessageCallback SessionMessageCallback() override;

    // TabsOwner
    void FormatsChanged() override;
    void TabsChanged() override;
    void PutIntoRecordBox(const std::string& shown) override;
    std::string RecordBoxText() override;
    void EntryCommand(const std::string& key, const std::string& command, const std::string& identifier,
                      bool local) override;
    void FatalStop() override;

    // FeatureHost
    QMainWindow& Window() override { return *this; }
    VeltShell& Shell() override { return *mShell; }
    PresentationTabs& Tabs() override { return PageControl1->Tabs(); }
    SearchService& Search() override { return *mSearch; }
    EntryCommands& Commands() override { return *mCommands; }
    ParameterServices& Parameters() override { return *mParams; }
    DesktopServices& Desktop() override { return *mDesktop; }
    QtCellMeasurer& Measurer() override { return *mMeasurer; }
    QMenu* Menu(MenuSlot slot) override;
    void AddTool(ToolSlot slot, QAction* action) override;
    void PopUnder(QAction* action, QMenu* menu) override;
    void AddSideWidget(QWidget* widget) override;
    void HandleEntryCommand(EntryCommandKind kind, EntryCommandHandler handler) override;
    std::string SearchText() override;
    void SeekInActive(const std::string& text) override;
    const FeatureList& Features() const override { return mFeatures; }

    // The state shown last.
    const ShellState& ShownState() const { return mState; }
    TOknoLogowania& LoginWindow() { return *mLoginWindow; }

    QMenu* Katalog1 = nullptr;
    QMenu* Indeks1 = nullptr;
    QMenu* Format1 = nullptr;
    QMenu* Rekord1 = nullptr;
    QMenu* Pobierz1 = nullptr;  // "&Rekord" → "Pobierz"
    QMenu* Wyszukaj1 = nullptr;
    QMenu* Zestawienie1 = nullptr;
    QMenu* Zamawianie1 = nullptr;
    QMenu* Globalnie1 = nullptr;  // "&Operacja"
    QMenu* Logowanie1 = nullptr;
    QMenu* Ustawienia1 = nullptr;
    QMenu* Pomoc1 = nullptr;
    QMenu* NowyMenu = nullptr;
    QMenu* ImportMenu = nullptr;
    QAction* ZalogujItem = nullptr;
    QAction* WylogujItem = nullptr;
    QAction* ZmienHasloItem = nullptr;
    QToolBar* ToolsButtonsPanel = nullptr;  // holds the strip with EditButtons
    QToolBar* EditButtons = nullptr;
    QAction* LoginButton = nullptr;
    QAction* LogoutButton = nullptr;
    QAction* ImportButton = nullptr;  // "Pobieranie": shown when there is an import
    QLabel* ConnectionLabel = nullptr;
    // The left panel: the record box and the search line.
    QPushButton* Button1 = nullptr;  // "Idź do"
    QComboBox* ComboBox1 = nullptr;  // the record box
    QPushButton* Button2 = nullptr;  // "Szukaj"
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button3 = nullptr;  // "+"
    QPushButton* Button4 = nullptr;  // "-"
    TabsWidget* PageControl1 = nullptr;

    // The record box keeps this many identifiers.
    static constexpr int kRecordBoxHistory = 100;

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void MakeMenus();
    QWidget* MakeLeftPanel();
    // Shows the menus whose visibility depends on the state and on their items.
    void ShowMenus();
    void Zoom(double factor);

    std::unique_ptr<TOknoZmianyHasla> mPasswordWindow;
    std::unique_ptr<VeltShell> mShell;
    std::unique_ptr<TOknoLogowania> mLoginWindow;
    std::unique_ptr<QtCellMeasurer> mMeasurer;
    std::unique_ptr<SearchService> mSearch;
    std::unique_ptr<ParameterServices> mParams;
    std::unique_ptr<DesktopServices> mDesktop;
    std::unique_ptr<EntryCommands> mCommands;
    FeatureList mFeatures;
    std::map<ToolSlot, std::vector<QAction*>> mTools;
    QVBoxLayout* mSide = nullptr;
    SessionMessages* mMessages = nullptr;
    ShellState mState;
};

}  // namespace velt::gui
