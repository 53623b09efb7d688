#include "gui/authority/TSmallBrowser.h"

#include "gui/browse/BrowserView.h"
#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velt::gui {

TSmallBrowser::TSmallBrowser(QtCellMeasurer& measurer, Desktop desktop, QWidget* parent)
    : QDialog(parent), mMeasurer(measurer), mDesktop(std::move(desktop)) {
    setObjectName("SmallBrowser");
    setWindowTitle(toQString("Wybierz rekord"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    TabControl1 = new QTabBar(this);
    TabControl1->setObjectName("TabControl1");
    TabControl1->setExpanding(false);
    TabControl1->setUsesScrollButtons(true);
    FormatButton = new QToolButton(this);
    FormatButton->setText(toQString("&Format"));
    FormatButton->setPopupMode(QToolButton::InstantPopup);
    Format1 = new QMenu(FormatButton);
    FormatButton->setMenu(Format1);
    top->addWidget(TabControl1, 1);
    top->addWidget(FormatButton);
    layout->addLayout(top);
    BrowserPanel = new QWidget(this);
    BrowserPanel->setObjectName("BrowserPanel");
    BrowserPanel->setMinimumSize(520, 300);
    auto* panel = new QVBoxLayout(BrowserPanel);
    panel->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BrowserPanel, 1);
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName("TreeView1");
    TreeView1->setHeaderHidden(true);
    TreeView1->setFixedHeight(100);
    layout->addWidget(TreeView1);

    auto* bottom = new QHBoxLayout;
    auto* find = new QLabel(toQString("&Szukany tekst:"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    find->setBuddy(Edit1);
    Button3 = new QPushButton(toQString("Szukaj"), this);
    Button3->setObjectName("Button3");
    Button3->setAutoDefault(false);
    auto* chosen = new QLabel(toQString("&Wybrane:"), this);
    History = new QComboBox(this);
    History->setObjectName("History");
    History->setMinimumWidth(120);
    chosen->setBuddy(History);
    Button1 = new QPushButton(toQString("OK"), this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    auto* cancel = new QPushButton(toQString("Anuluj"), this);
    cancel->setAutoDefault(false);
    bottom->addWidget(find);
    bottom->addWidget(Edit1, 1);
    bottom->addWidget(Button3);
    bottom->addSpacing(12);
    bottom->addWidget(chosen);
    bottom->addWidget(History);
    bottom->addWidget(Button1);
    bottom->addWidget(cancel);
    layout->addLayout(bottom);

    connect(Button3, &QPushButton::clicked, this, [this] { if (mModel) mModel->Search(fromQString(Edit1->text())); });
    connect(Edit1, &QLineEdit::returnPressed, Button3, &QPushButton::click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button1, &QPushButton::clicked, this, [this] {
        if (!mModel) return;
        if (mModel->TreeMode()) {
            QTreeWidgetItem* item = TreeView1->currentItem();
            mModel->TreeOk(item ? item->data(0, Qt::UserRole).toInt() : -1);
        } else {
            mModel->Ok();
        }
    });
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (mModel && item) mModel->TreeOk(item->data(0, Qt::UserRole).toInt());
    });
    connect(TabControl1, &QTabBar::currentChanged, this, [this](int i) {
        if (!mUpdating && mModel && i >= 0) mModel->ChooseIndex(i);
    });
    resize(760, 560);
}

TSmallBrowser::~TSmallBrowser() {
    delete mBrowser;
    mModel.reset();
}

void TSmallBrowser::Prepare(velt_files& files, Prompts& prompts, LongOperations& longOps,
                            const std::string& workingDirectory) {
    mModel = std::make_unique<RecordChooser>(files, *this, prompts, longOps, workingDirectory);
    mUpdating = true;
    while (TabControl1->count() > 0) TabControl1->removeTab(0);
    for (const std::string& name : mModel->IndexNames()) TabControl1->addTab(toQString(name));
    mUpdating = false;
    Format1->clear();
    const std::vector<std::string> formats = mModel->FormatNames();
    for (std::size_t i = 0; i < formats.size(); ++i)
        connect(Format1->addAction(toQString(formats[i])), &QAction::triggered, this,
                [this, i] { mModel->ChooseFormat(static_cast<int>(i)); });
    FormatButton->setVisible(!formats.empty());
    mBrowser = new BrowserView(mModel->ListSource(), mMeasurer, 60, BrowserPanel);
    mBrowser->setObjectName("VrBrowser");
    BrowserPanel->layout()->addWidget(mBrowser);
    Edit1->clear();
}

ChosenRecord TSmallBrowser::Run(bool tree) {
    TreeView1->setVisible(tree);
    Button1->setFocus();
    exec();
    const ChosenRecord result = mModel->Result();
    mModel->Finish();
    delete mBrowser;
    mBrowser = nullptr;
    mModel.reset();
    Format1->clear();
    return result;
}

ChosenRecord TSmallBrowser::SelectRecord(velt_files& files, const std::string& startIdentifier,
                                         const std::string& startText, int indexPosition, Prompts& prompts,
                                         LongOperations& longOps, const std::string& workingDirectory) {
    Prepare(files, prompts, longOps, workingDirectory);
    Edit1->setText(toQString(startText));
    mModel->StartList(startIdentifier, startText, indexPosition);
    return Run(false);
}

ChosenRecord TSmallBrowser::SelectInStructure(velt_files& files, const std::string& startIdentifier,
                                              const std::string& formatType, Prompts& prompts,
                                              LongOperations& longOps, const std::string& workingDirectory) {
    Prepare(files, prompts, longOps, workingDirectory);
    mModel->StartTree(startIdentifier, formatType);
    return Run(true);
}

void TSmallBrowser::ShowIndex(int i) {
    mUpdating = true;
    TabControl1->setCurrentIndex(i);
    mUpdating = false;
}

void TSmallBrowser::ListChanged() {
    if (mBrowser && mBrowser->Browser()) mBrowser->Browser()->Home();
}

void TSmallBrowser::ShowEntry(const std::string& key) {
    if (!mBrowser) return;
    if (!mBrowser->Browser()) mBrowser->Rebuild();
    mBrowser->Browser()->ShowKey(key);
    mBrowser->Browser()->Select(key);
}

void TSmallBrowser::ShowHistory(const std::vector<std::string>& items) {
    History->clear();
    for (const std::string& i : items) History->addItem(toQString(i));
    if (!items.empty()) History->setCurrentIndex(0);
}

void TSmallBrowser::ShowTree(const std::vector<StructureNode>& nodes) {
    TreeView1->clear();
    std::vector<QTreeWidgetItem*> made;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const StructureNode& n = nodes[i];
        QTreeWidgetItem* item = n.parent >= 0 && static_cast<std::size_t>(n.parent) < made.size()
                                    ? new QTreeWidgetItem(made[static_cast<std::size_t>(n.parent)])
                                    : new QTreeWidgetItem(TreeView1);
        item->setText(0, toQString(n.caption));
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        made.push_back(item);
    }
    TreeView1->expandAll();
}

void TSmallBrowser::ShowPicture(const std::string& path) {
    if (mDesktop.showPicture) mDesktop.showPicture(path);
}

void TSmallBrowser::StartProgram(const std::string& program, const std::string& parameters) {
    if (mDesktop.startProgram) mDesktop.startProgram(program, parameters);
}

void TSmallBrowser::ShowLinks(const ChooserLinks& links) {
    if (mDesktop.showLinks) mDesktop.showLinks(links);
}

void TSmallBrowser::keyPressEvent(QKeyEvent* e) {
    const int k = e->key();
    if (mBrowser && (k == Qt::Key_PageUp || k == Qt::Key_PageDown || k == Qt::Key_Up || k == Qt::Key_Down) &&
        mBrowser->HandleKey(k))
        return;
    QDialog::keyPressEvent(e);
}

}  // namespace velt::gui
