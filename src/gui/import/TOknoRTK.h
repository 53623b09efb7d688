#pragma once
// "Nie połączony" until a source is chosen, then the source's name: the
// import from other catalogues. Menus "Źródło" (the configured catalogues in
// their groups), "Format", "Indeks" and "Zapytanie" (while connected),
// "Aktualizacja"; "+" and "-", "Pobierz" and "Konwertuj"; the text to seek
// with its default button "Szukaj"; the browser over the source's list in
// Panel1; the attachment menu. Everything it does is the core's
// (import/RtkImport.h): the window shows what the model says.

#include "import/RtkImport.h"

#include <QWidget>

#include <memory>

class QAction;
class QActionGroup;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;

namespace velt::gui {

class BrowserView;
class QtCellMeasurer;

class TOknoRTK : public QWidget, public RtkView {
    Q_OBJECT
public:
    TOknoRTK(RtkHost& host, Prompts& prompts, LongOperations& longOps, QtCellMeasurer& measurer,
             QWidget* parent = nullptr);
    ~TOknoRTK() override;

    RtkImport& Model() { return *mModel; }
    // The "Źródło" menu made again from the configuration just read.
    void BuildMenus();
    // From the main window.
    void Open();
    // The catalogue or the login goes: the source goes and the window hides.
    void CloseImport();

    // RtkView
    void ShowCaption(const std::string& caption) override;
    void ShowSource(Vrserwer* source) override;
    void ShowFrom(const std::string& key) override;
    void Redraw() override;
    std::string SelectedKey() override;
    void EnableButtons(bool take, bool convert) override;
    void ShowMenus(const std::vector<std::string>& indexes, const std::vector<std::string>& formats,
                   bool query) override;
    void PopUpAttachmentMenu(const std::vector<std::string>& targets) override;

    BrowserView* Browser() const { return mBrowser; }

    QMenuBar* MainMenu = nullptr;
    QMenu* ZrodloMenu = nullptr;   // "Źródło"
    QMenu* FormatMenu = nullptr;   // "Format"
    QMenu* IndeksMenu = nullptr;   // "Indeks"
    QAction* ZapytanieItem = nullptr;
    QAction* AktualizacjaItem = nullptr;
    QPushButton* PlusButton = nullptr;
    QPushButton* MinusButton = nullptr;
    QPushButton* PobierzButton = nullptr;
    QPushButton* KonwertujButton = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* SzukajButton = nullptr;
    QWidget* Panel1 = nullptr;
    QMenu* BlobMenu = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void AddSources(QMenu* into, const std::vector<SourceMenuItem>& items);

    QtCellMeasurer& mMeasurer;
    std::unique_ptr<RtkImport> mModel;
    BrowserView* mBrowser = nullptr;
    QActionGroup* mSources = nullptr;
};

}  // namespace velt::gui
