#pragma once
// The main window, "Wyszukiwanie i katalogowanie": the catalogue menu, the
// login menu and toolbar buttons, the menus that need a server, the record
// box with the search line, and the tabs of the current catalogue. It shows
// the shell's state in one place (ShowState) and hosts the tabs, which
// supply their own pages.

#include "gui/browse/TabsWidget.h"
#include "browse/EntryCommands.h"
#include "search/SearchService.h"
#include "reports/ReportRuns.h"
#include "shell/VeltShell.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolBar;

namespace velt {
class TEdycja;
class PrinterChoice;
}

namespace velt::gui {

class ParameterServices;
struct ReportShowContext;
class QtCellMeasurer;
class Tokno_edycji;
class SessionMessages;
class TOknoElementarne;
class TOknoFiltrow;
class TOknoZlozone;
class TOknoLogowania;
class TOknoZmianyHasla;

class Tjpg_form;
class TOknoDiakrytyczne;

class TForm1 : public QMainWindow, public ShellView, public TabsOwner, public EntryWindows {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Where the program's pictures are looked for (set before the first
    // window is made; by default found from the program's directory).
    static void SetImageDirectory(const std::string& directory);
    static std::string ImageDirectory();

    // The shell the window shows and commands; made with the window.
    VeltShell& Shell() { return *mShell; }
    PresentationTabs& Tabs() { return PageControl1->Tabs(); }
    SearchService& Search() { return *mSearch; }
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

    // EntryWindows
    void ShowJpeg(const std::string& path) override;
    void OpenFile(const std::string& path) override;
    void StartProgram(const std::string& program, const std::string& parameters) override;
    bool LaterCommand(EntryCommandKind kind, const std::string& argument, const std::string& identifier) override;

    // The collection commands of "Za&pytanie", with the file named (tests)
    // or asked for with the file dialog (empty name).
    // The loan form of a reservation (the orders window prints it): on the
    // loan printer, chosen in the print dialog when it is missing.
    bool PrintLoanForm(const std::string& id, const std::string& card, const std::string& readerName,
                       const std::string& dateTime, const std::string& description, const std::string& shelfmark,
                       const std::string& sn, PrinterChoice* printers = nullptr);
    // "Drukarka rewersów": the loan printer chosen in the print dialog, kept
    // in the configuration and its settings file.
    void ChooseLoanPrinter(PrinterChoice* printers = nullptr);
    void SaveLocalCollection(std::string file = {});
    void RestoreLocalCollection(std::string file = {});
    void SaveRemoteCollectionFile(std::string file = {});
    void RestoreRemoteCollection(std::string file = {});
    void CopyRemoteToLocal();
    void CopyLocalToRemote();
    void DeleteLocalCollection();
    // The attachment menu of the record box's record (rebuilt at each call).
    void BuildBlobMenu();
    // Adds a file as an attachment under name (the file dialog when file is empty).
    void AddAttachment(const std::string& name, std::string file = {});
    void DeleteAttachment(const std::string& name);

    // The state shown last.
    const ShellState& ShownState() const { return mState; }

    QMenu* Katalog1 = nullptr;
    QMenu* Indeks1 = nullptr;
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
    // The left panel: the record box and the search line.
    QPushButton* Button1 = nullptr;  // "Idź do"
    QComboBox* ComboBox1 = nullptr;  // the record box
    QPushButton* Button2 = nullptr;  // "Szukaj"
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button3 = nullptr;  // "+"
    QPushButton* Button4 = nullptr;  // "-"
    TabsWidget* PageControl1 = nullptr;
    // "Za&pytanie"
    QAction* PodstawoweItem = nullptr;
    QAction* UstawFiltrItem = nullptr;
    QMenu* Elementarne1 = nullptr;
    QAction* ZlozoneItem = nullptr;
    TOknoZlozone* OknoZlozone = nullptr;
    TOknoElementarne* OknoElementarne = nullptr;
    TOknoFiltrow* OknoFiltrow = nullptr;
    QMenu* Kolekcja1 = nullptr;  // the collection commands
    // The editing toolbar's other buttons.
    QAction* OtworzButton = nullptr;
    QAction* UsunButton = nullptr;
    QAction* PokazButton = nullptr;
    QAction* NowyButton = nullptr;
    QAction* PowiazButton = nullptr;
    QAction* BlobButton = nullptr;
    QAction* ImportButton = nullptr;
    QPushButton* SpeedButton1 = nullptr;  // "Wyszukaj w kartotece wzorcowej"
    QMenu* Rekord1 = nullptr;
    QMenu* Dodaj1 = nullptr;
    QMenu* Globalnie1 = nullptr;  // "&Operacja"
    QAction* ProgramAdminItem = nullptr;
    QAction* UsunGlobalnieItem = nullptr;
    QMenu* Ustawienia1 = nullptr;
    QAction* DrukujRewersyItem = nullptr;
    QAction* DrukarkaRewersowItem = nullptr;
    QAction* PytajItem = nullptr;
    QMenu* Pomoc1 = nullptr;
    QMenu* NowyMenu = nullptr;
    QMenu* ZestDlaMenu = nullptr;
    QMenu* BlobMenu = nullptr;
    QMenu* ImportMenu = nullptr;
    QWidget* ReportPanel = nullptr;
    Tjpg_form* JpgForm = nullptr;
    TOknoDiakrytyczne* Diakrytyki = nullptr;
    EntryCommands& Commands() { return *mCommands; }

    TOknoLogowania& LoginWindow() { return *mLoginWindow; }
    // The parameter window, the file associations and the program launcher.
    ParameterServices& Parameters() { return *mParams; }

    // The record editing window, "Otwarte rekordy", and the edit session of
    // the login (none while nobody is logged in).
    Tokno_edycji* OknoEdycji = nullptr;
    TEdycja* Editing() const;

    // The record box keeps this many identifiers.
    static constexpr int kRecordBoxHistory = 100;

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    QWidget* MakeLeftPanel();
    void MakeSearchMenu();
    void MakeCollectionMenu();
    void MakeToolbarAndMenus();
    // The menus made from the descriptor: reports, programs, new records.
    void BuildDescriptorMenus();
    void BuildReports();
    void BuildPrograms();
    void BuildNewRecordMenus();
    void NotYet(const std::string& what);
    // A "RAPORT" element: its parameter form, the report request, its text.
    bool RunReportElement(const std::string& argument);
    // A report with a parameter form (given: pairs merged into the remembered values).
    void RunReportWithForm(const velt_report& report, const std::string& given);
    void RunReportWithForm(const std::string& name);
    // The text of a report work file (removed once read) in a window of its own.
    // Record editing (TForm1Editing.cpp): the window and the session's maker,
    // and the commands of the toolbar and the new-record menus.
    void MakeEditing();
    void OpenRecordOfBox();
    void DeleteRecordOfBox();
    void ShowOpenRecords();
    void StartNewRecord(const std::string& code);
    // Shows a report's work file by its kind (gui/reports/ShowReport.h).
    void ShowReportFile(const velt_report& report, const std::string& file, const std::string& plikTarget = {});
    // What showing a report needs of the main window and its settings.
    ReportShowContext ReportContext(const std::string& plikTarget);
    // Runs the report of that name without a form for the remote collection,
    // the local collection or the highlighted record.
    void RunReportForScope(const std::string& name, ReportScope scope);
    // The record box's record, or a message when it is empty.
    std::string CurrentRecord();
    // "E&lementarne" and "&Ustaw filtr" from the descriptor.
    void BuildSearchItems();
    void Zoom(double factor);

    std::unique_ptr<TOknoZmianyHasla> mPasswordWindow;
    std::unique_ptr<VeltShell> mShell;
    std::unique_ptr<TOknoLogowania> mLoginWindow;
    std::unique_ptr<QtCellMeasurer> mMeasurer;
    std::unique_ptr<SearchService> mSearch;
    std::unique_ptr<EntryCommands> mCommands;
    const velt_report* mCurrentReport = nullptr;
    std::unique_ptr<ParameterServices> mParams;
    SessionMessages* mMessages = nullptr;
    ShellState mState;
};

}  // namespace velt::gui
