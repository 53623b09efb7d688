#pragma once
// The record editing window, "Otwarte rekordy": a row of tool buttons, the
// pages of the open records (tabs at the bottom), and the menus "Rekord",
// "Ustawienia" and "Pomocy". It is made once and hidden, not destroyed, when
// its last record closes; every command goes to the edit session (TEdycja),
// which decides what the window shows. The window sees keys before its
// controls: F1 to F12, with and without Ctrl, and Alt+T.

#include "editing/EditorView.h"

#include <QAction>
#include <QMainWindow>

#include <functional>
#include <string>

class QDialog;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class QToolBar;

namespace velt::gui {

class EditSheetPage;

// An item of the new-record menus: it starts a new record of its form code.
class RecordNewItem : public QAction {
    Q_OBJECT
public:
    RecordNewItem(const std::string& code, const std::string& caption, QObject* parent);
    const std::string Code;
};

class Tokno_edycji : public QMainWindow, public EditorView {
    Q_OBJECT
public:
    explicit Tokno_edycji(QWidget* parent = nullptr);
    ~Tokno_edycji() override;

    // EditorView
    void SessionChanged(TEdycja* session) override { mSession = session; }
    std::unique_ptr<SheetView> AddSheet() override;
    void ShowSheet(SheetView& sheet) override;
    void ShowWindow() override;
    void HideWindow() override;
    void MaximiseWindow() override;
    void KindsChanged() override;
    void ShowFormMessages(const std::vector<FormMessage>& messages) override;

    TEdycja* Session() const { return mSession; }
    // The page of the active record, or none.
    EditSheetPage* ActivePage() const;

    // The zoom chosen in "Zmień skalę formularza" (the program keeps it).
    std::function<void(double)> onZoom;
    // "Znaki diakrytyczne": show or hide the diacritics window.
    std::function<void()> onDiacritics;

    QToolBar* ToolBar1 = nullptr;
    QAction* ZamknijButton = nullptr;
    QAction* ZapiszButton = nullptr;
    QAction* usunbutton = nullptr;
    QAction* SpeedButton3 = nullptr;
    QAction* NowyButton = nullptr;
    QAction* ZapiszWszystkieSpeedButton = nullptr;
    QAction* SkalaButton = nullptr;
    QMenu* NowyMenu = nullptr;
    QMenu* SkalaMenu = nullptr;
    QMenu* Rekord1 = nullptr;
    QMenu* Dodaj1 = nullptr;
    QMenu* Ustawienia1 = nullptr;
    QAction* PomocyItem = nullptr;
    QTabWidget* PageControl1 = nullptr;
    // The messages of the kinds' forms and scripts, a window of its own (made when first needed).
    QDialog* FormMessagesWindow = nullptr;
    QPlainTextEdit* FormMessagesText = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A command on the session, when there is one.
    void Run(void (TEdycja::*command)());
    void PopUp(QAction* button, QMenu* menu);

    TEdycja* mSession = nullptr;
};

}  // namespace velt::gui
