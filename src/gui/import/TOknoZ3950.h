#pragma once
// "Pobieranie Z39.50": the menus "Źródło" (the configured sources, in their
// groups), "Format" (the display format sets) and "Zapytanie", the two
// character-set groups, "+" and "-", "Pobierz" and "Konwertuj", the count
// of what was found and the result browser in Panel2. Everything it does is
// the core's (import/Z3950Import.h): the window shows what the model says.

#include "import/Z3950Import.h"

#include <QWidget>

#include <memory>

class QAction;
class QActionGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace velt::gui {

class BrowserView;
class QtCellMeasurer;
class TListChoice;

class TOknoZ3950 : public QWidget, public Z3950View {
    Q_OBJECT
public:
    TOknoZ3950(Z3950Host& host, Prompts& prompts, LongOperations& longOps, ParameterForms& forms,
               QtCellMeasurer& measurer, QWidget* parent = nullptr);
    ~TOknoZ3950() override;

    Z3950Import& Model() { return *mModel; }
    // The menus made again from the configuration just read.
    void BuildMenus();
    // From the main window: the model decides whether the window opens.
    void Open() { mModel->Open(); }
    // The catalogue or the login goes: the results go and the window hides.
    void CloseImport();

    // Z3950View
    void ShowCaption(const std::string& caption) override;
    void ShowCharsets(int presentation, int search) override;
    void ShowResult(Vrserwer* results, const std::string& count) override;
    void RedrawResult() override;
    std::string SelectedKey() override;
    void EnableButtons(bool take, bool convert) override;
    void ShowWindow() override;
    void ShowLater(const std::string& text) override;
    void ShowSourceCounts(const std::string& counts) override;
    void ShowCheckedSources(const std::vector<int>& sources) override;
    // "Kilka źródeł...": the sources checked in a list of them all.
    void ChooseSeveral();

    BrowserView* Browser() const { return mBrowser; }
    TListChoice* ListWindow() const { return mLists.get(); }

    QMenuBar* MainMenu = nullptr;
    QMenu* ZrodloMenu = nullptr;   // "Źródło"
    QMenu* FormatMenu = nullptr;   // "Format"
    QAction* ZapytanieItem = nullptr;  // "Zapytanie"
    QGroupBox* RadioGroup1 = nullptr;  // "Standard znaków - prezentacja"
    QGroupBox* RadioGroup2 = nullptr;  // "Standard znaków - wyszukiwanie"
    QRadioButton* Presentation[3] = {};
    QRadioButton* Search[3] = {};
    QPushButton* PlusButton = nullptr;
    QPushButton* MinusButton = nullptr;
    QPushButton* PobierzButton = nullptr;
    QPushButton* KonwertujButton = nullptr;
    QLabel* Label1 = nullptr;  // "Znaleziono:"
    QLineEdit* Edit1 = nullptr;
    QWidget* Panel2 = nullptr;
    QAction* KilkaItem = nullptr;      // "Kilka źródeł..."
    QLabel* CountsLabel = nullptr;     // the counts of every source of a search of several

private:
    void AddSources(QMenu* into, const std::vector<Z3950SourceItem>& items, std::vector<std::string> path);
    void Zoom(double factor);

    Prompts& mPrompts;
    QtCellMeasurer& mMeasurer;
    std::unique_ptr<TListChoice> mLists;
    std::unique_ptr<Z3950Import> mModel;
    BrowserView* mBrowser = nullptr;
    QActionGroup* mSources = nullptr;
    QActionGroup* mFormats = nullptr;
};

}  // namespace velt::gui
