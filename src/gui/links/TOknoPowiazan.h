#pragma once
// "Schemat powiązań": the link schema window of the current catalogue, a
// view of a LinkSchema. The tree of the record's hierarchy on the left, the
// selected record's display on the right; the identifier field with "Idź
// do", the search field with "Wyszukaj"; the tool buttons and the menus
// "&Rekord", "&Struktura" and "Operacja" as the access mode says. Shown
// non-modally and maximised; closing it empties the tree.

#include "links/LinkSchema.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QToolBar;
class QToolButton;

namespace velt::gui {

class LinkTreeWidget;
class ListBrowserView;
class QtCellMeasurer;

// An item of the right-click menu: a report or an operation of the record's display.
class TMyItem : public QAction {
    Q_OBJECT
public:
    TMyItem(const ReportItem& item, QObject* parent);
    const std::string& Command() const { return mCommand; }

private:
    std::string mCommand;
};

class TOknoPowiazan : public QMainWindow, public LinkSchemaView {
    Q_OBJECT
public:
    TOknoPowiazan(QtCellMeasurer& measurer, QWidget* parent = nullptr);
    ~TOknoPowiazan() override;

    // The model the window shows (made for each catalogue by the feature).
    void SetModel(LinkSchema* model) { mModel = model; }
    LinkSchema* Model() const { return mModel; }

    // LinkSchemaView
    void SetCaption(const std::string& caption) override;
    void ShowTree(const std::vector<LinkNode>& nodes, int selected) override;
    void NodeChanged(int i) override;
    void SelectNode(int i) override;
    void ShowIdentifier(const std::string& shown) override;
    void ShowRecord(const std::vector<std::string>& lines) override;
    void ShowWindow() override;
    void CloseWindow() override;
    bool WindowShown() const override { return isVisible(); }
    void ApplyAccess(const LinksAccess& access) override;
    void PopUpItems(const std::vector<ReportItem>& items) override;

    // The tree's and the display's font.
    void SetFonts(const QFont& font);
    // The sort submenu made again from the model's keys.
    void BuildSortMenu();

    LinkTreeWidget* TreeView1 = nullptr;
    ListBrowserView* Panel = nullptr;  // the display pane
    QLineEdit* Edit1 = nullptr;        // the identifier
    QLineEdit* Edit2 = nullptr;        // the searched text
    QPushButton* IdzButton = nullptr;
    QPushButton* WyszukajButton = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QAction* OtworzButton = nullptr;
    QAction* DodajButton = nullptr;
    QAction* PokazButton = nullptr;
    QAction* UsunButton = nullptr;
    QAction* DodajPowiazaniaButton = nullptr;
    QAction* UsunPowiazanieButton = nullptr;
    QAction* SortujButton = nullptr;
    QMenu* Rekord1 = nullptr;
    QMenu* Struktura1 = nullptr;
    QMenu* Sortuj1 = nullptr;      // "Sortuj składniki" (the submenu and the button's menu)
    QMenu* Operacja1 = nullptr;    // the server's programs (the feature fills it)
    QMenu* PopupMenu1 = nullptr;   // the right-click menu of a node

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void ShowOperationMenu();

    QtCellMeasurer& mMeasurer;
    LinkSchema* mModel = nullptr;
    QSplitter* mSplitter = nullptr;
    LinksAccess mAccess;
    bool mSplit = false;  // the panes got their first widths
};

}  // namespace velt::gui
