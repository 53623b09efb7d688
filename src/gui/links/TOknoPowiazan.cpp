#include "gui/links/TOknoPowiazan.h"

#include "gui/browse/ListBrowserView.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/QtText.h"
#include "gui/links/LinkTreeWidget.h"
#include "text/CpLiteral.h"

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QShowEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QToolBar>
#include <QTimer>
#include <QVBoxLayout>

namespace velt::gui {

TMyItem::TMyItem(const ReportItem& item, QObject* parent)
    : QAction(toQString(item.caption), parent), mCommand(item.command) {}

TOknoPowiazan::TOknoPowiazan(QtCellMeasurer& measurer, QWidget* parent)
    : QMainWindow(parent, Qt::Window), mMeasurer(measurer) {
    setObjectName("OknoPowiazan");
    setWindowTitle(toQString("Schemat powiązań "_cp));
    auto action = [this](const char* name, const std::string& text) {
        auto* a = new QAction(toQString(text), this);
        a->setObjectName(name);
        return a;
    };
    OtworzButton = action("OtworzButton", "Otwórz rekord"_cp);
    DodajButton = action("DodajButton", "Dodaj rekord");
    PokazButton = action("PokazButton", "Pokaż otwarte rekordy"_cp);
    UsunButton = action("UsunButton", "Usuń rekord"_cp);
    DodajPowiazaniaButton = action("DodajPowiazaniaButton", "Dodaj powiązania"_cp);
    UsunPowiazanieButton = action("UsunPowiazanieButton", "Usuń z powiązań"_cp);
    SortujButton = action("SortujButton", "Sortuj składniki"_cp);
    Sortuj1 = new QMenu(toQString("Sortuj składniki"_cp), this);
    Sortuj1->setObjectName("Sortuj1");
    SortujButton->setMenu(Sortuj1);

    ToolBar1 = addToolBar(toQString("Narzędzia"));
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (QAction* a : {OtworzButton, DodajButton, PokazButton, UsunButton}) ToolBar1->addAction(a);
    ToolBar1->addSeparator();
    for (QAction* a : {DodajPowiazaniaButton, UsunPowiazanieButton, SortujButton}) ToolBar1->addAction(a);

    Rekord1 = menuBar()->addMenu(toQString("&Rekord"));
    Rekord1->setObjectName("Rekord1");
    connect(Rekord1->addAction(toQString("&Otwórz"_cp)), &QAction::triggered, OtworzButton, &QAction::trigger);
    connect(Rekord1->addAction(toQString("&Dodaj")), &QAction::triggered, DodajButton, &QAction::trigger);
    connect(Rekord1->addAction(toQString("&Usuń"_cp)), &QAction::triggered, UsunButton, &QAction::trigger);
    connect(Rekord1->addAction(toQString("Pokaż otwarte rekordy"_cp)), &QAction::triggered, PokazButton,
            &QAction::trigger);
    Struktura1 = menuBar()->addMenu(toQString("&Struktura"));
    Struktura1->setObjectName("Struktura1");
    connect(Struktura1->addAction(toQString("Dodaj powiązania"_cp)), &QAction::triggered, DodajPowiazaniaButton,
            &QAction::trigger);
    connect(Struktura1->addAction(toQString("Usuń z powiązań"_cp)), &QAction::triggered, UsunPowiazanieButton,
            &QAction::trigger);
    Struktura1->addMenu(Sortuj1);
    Operacja1 = menuBar()->addMenu(toQString("Operacja"));
    Operacja1->setObjectName("Operacja1");
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* fields = new QHBoxLayout;
    auto* idLabel = new QLabel(toQString("&Identyfikator:"), central);
    Edit1 = new QLineEdit(central);
    Edit1->setObjectName("Edit1");
    Edit1->setMaximumWidth(160);
    idLabel->setBuddy(Edit1);
    IdzButton = new QPushButton(toQString("Idź do"_cp), central);
    IdzButton->setObjectName("IdzButton");
    auto* findLabel = new QLabel(toQString("S&zukany tekst:"), central);
    Edit2 = new QLineEdit(central);
    Edit2->setObjectName("Edit2");
    findLabel->setBuddy(Edit2);
    WyszukajButton = new QPushButton(toQString("Wyszukaj"), central);
    WyszukajButton->setObjectName("WyszukajButton");
    fields->addWidget(idLabel);
    fields->addWidget(Edit1);
    fields->addWidget(IdzButton);
    fields->addSpacing(16);
    fields->addWidget(findLabel);
    fields->addWidget(Edit2, 1);
    fields->addWidget(WyszukajButton);
    layout->addLayout(fields);
    mSplitter = new QSplitter(Qt::Horizontal, central);
    TreeView1 = new LinkTreeWidget(measurer, mSplitter);
    Panel = new ListBrowserView(
        measurer,
        [this](const std::string& text) {
            // A click on the record's own cell is no command.
            if (text.empty() || text[0] == '!' || text[0] == '*') return;
            if (mModel) mModel->Command(text);
        },
        0, mSplitter);
    Panel->setObjectName("Panel");
    mSplitter->addWidget(TreeView1);
    mSplitter->addWidget(Panel);
    mSplitter->setStretchFactor(0, 2);
    mSplitter->setStretchFactor(1, 3);
    layout->addWidget(mSplitter, 1);
    setCentralWidget(central);

    TreeView1->onSelected = [this](int i) { if (mModel) mModel->NodeSelected(i); };
    TreeView1->onRightClick = [this](int i) { if (mModel) mModel->NodeRightClicked(i); };
    TreeView1->onDoubleClick = [this](int i) { if (mModel) mModel->NodeDoubleClicked(i); };
    connect(IdzButton, &QPushButton::clicked, this, [this] { if (mModel) mModel->GoTo(fromQString(Edit1->text())); });
    connect(Edit1, &QLineEdit::returnPressed, IdzButton, &QPushButton::click);
    connect(WyszukajButton, &QPushButton::clicked, this,
            [this] { if (mModel) mModel->Search(fromQString(Edit2->text())); });
    connect(Edit2, &QLineEdit::returnPressed, WyszukajButton, &QPushButton::click);
    connect(OtworzButton, &QAction::triggered, this, [this] { if (mModel) mModel->OpenRecord(fromQString(Edit1->text())); });
    connect(DodajButton, &QAction::triggered, this, [this] { if (mModel) mModel->AddRecord(); });
    connect(PokazButton, &QAction::triggered, this, [this] { if (mModel) mModel->ShowEditor(); });
    connect(UsunButton, &QAction::triggered, this, [this] { if (mModel) mModel->DeleteRecord(); });
    connect(DodajPowiazaniaButton, &QAction::triggered, this, [this] { if (mModel) mModel->AttachCollection(); });
    connect(UsunPowiazanieButton, &QAction::triggered, this, [this] { if (mModel) mModel->Detach(); });
    connect(SortujButton, &QAction::triggered, this, [this] {
        if (!Sortuj1->isEmpty()) Sortuj1->popup(QCursor::pos());
    });
    resize(1000, 680);
    ApplyAccess({});
}

TOknoPowiazan::~TOknoPowiazan() = default;

void TOknoPowiazan::SetCaption(const std::string& caption) { setWindowTitle(toQString(caption)); }

void TOknoPowiazan::ShowTree(const std::vector<LinkNode>& nodes, int selected) { TreeView1->ShowNodes(nodes, selected); }

void TOknoPowiazan::NodeChanged(int i) {
    if (mModel && i >= 0 && i < static_cast<int>(mModel->Nodes().size()))
        TreeView1->UpdateNode(i, mModel->Nodes()[static_cast<std::size_t>(i)]);
}

void TOknoPowiazan::SelectNode(int i) { TreeView1->SelectNode(i); }

void TOknoPowiazan::ShowIdentifier(const std::string& shown) { Edit1->setText(toQString(shown)); }

void TOknoPowiazan::ShowRecord(const std::vector<std::string>& lines) { Panel->ShowRecord(lines); }

void TOknoPowiazan::ShowWindow() {
    showMaximized();
    raise();
    activateWindow();
    TreeView1->setFocus();
    if (QTreeWidgetItem* item = TreeView1->currentItem()) TreeView1->scrollToItem(item, QAbstractItemView::PositionAtCenter);
}

void TOknoPowiazan::CloseWindow() { close(); }

void TOknoPowiazan::ApplyAccess(const LinksAccess& access) {
    mAccess = access;
    ToolBar1->setVisible(access.toolsVisible);
    for (QAction* a : ToolBar1->actions()) a->setEnabled(access.toolsEnabled);
    Rekord1->menuAction()->setVisible(access.recordMenuVisible);
    Rekord1->setEnabled(access.recordMenuEnabled);
    Struktura1->menuAction()->setVisible(access.structureMenuVisible);
    Struktura1->setEnabled(access.structureMenuEnabled);
    if (access.rebuildSortMenu) BuildSortMenu();
    ShowOperationMenu();
}

void TOknoPowiazan::ShowOperationMenu() {
    Operacja1->menuAction()->setVisible(mAccess.operationMenu && !Operacja1->isEmpty());
}

void TOknoPowiazan::BuildSortMenu() {
    Sortuj1->clear();
    if (!mModel) return;
    for (const std::string& key : mModel->SortKeys()) {
        QAction* item = Sortuj1->addAction(toQString(key));
        item->setObjectName("SortItem");
        connect(item, &QAction::triggered, this, [this, key] { if (mModel) mModel->SortComponents(key); });
    }
    Sortuj1->setEnabled(!Sortuj1->isEmpty());
    SortujButton->setEnabled(mAccess.toolsEnabled && !Sortuj1->isEmpty());
    ShowOperationMenu();
}

void TOknoPowiazan::PopUpItems(const std::vector<ReportItem>& items) {
    PopupMenu1->clear();
    for (const ReportItem& item : items) {
        auto* a = new TMyItem(item, PopupMenu1);
        PopupMenu1->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] {
            // After the menu has closed: the command may open windows.
            const std::string command = a->Command();
            QTimer::singleShot(0, this, [this, command] { if (mModel) mModel->Command(command); });
        });
    }
    PopupMenu1->popup(QCursor::pos());
}

void TOknoPowiazan::SetFonts(const QFont& font) {
    TreeView1->setFont(font);
    Panel->setFont(font);
}

void TOknoPowiazan::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    // The display pane is a record's full text: it gets the larger part.
    if (mSplit) return;
    mSplit = true;
    const int w = std::max(600, mSplitter->width());
    mSplitter->setSizes({w * 9 / 20, w * 11 / 20});
}

void TOknoPowiazan::closeEvent(QCloseEvent* e) {
    if (mModel) mModel->Closed();
    QMainWindow::closeEvent(e);
}

void TOknoPowiazan::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

}  // namespace velt::gui
