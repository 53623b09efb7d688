#include "gui/links/TWyborPowiazan.h"

#include "gui/browse/ListBrowserView.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/links/LinkTreeWidget.h"
#include "text/CpLiteral.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velt::gui {

TWyborPowiazan::TWyborPowiazan(QtCellMeasurer& measurer, QWidget* parent)
    : QDialog(parent), mModel(*this, GuiPrompts::Instance(), GuiPrompts::Instance()) {
    setObjectName("WyborPowiazan");
    setWindowTitle(toQString("Powiązania rekordów VELT"_cp));
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QHBoxLayout;
    auto* idLabel = new QLabel(toQString("&Identyfikator:"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setMaximumWidth(160);
    idLabel->setBuddy(Edit1);
    IdzButton = new QPushButton(toQString("Idź do"_cp), this);
    IdzButton->setObjectName("IdzButton");
    IdzButton->setAutoDefault(false);
    auto* findLabel = new QLabel(toQString("S&zukany tekst:"), this);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName("Edit2");
    findLabel->setBuddy(Edit2);
    WyszukajButton = new QPushButton(toQString("Wyszukaj"), this);
    WyszukajButton->setObjectName("WyszukajButton");
    WyszukajButton->setAutoDefault(false);
    fields->addWidget(idLabel);
    fields->addWidget(Edit1);
    fields->addWidget(IdzButton);
    fields->addSpacing(16);
    fields->addWidget(findLabel);
    fields->addWidget(Edit2, 1);
    fields->addWidget(WyszukajButton);
    layout->addLayout(fields);

    auto* splitter = mSplitter = new QSplitter(Qt::Horizontal, this);
    TreeView1 = new LinkTreeWidget(measurer, splitter);
    mRight = new QStackedWidget(splitter);
    Panel = new ListBrowserView(measurer, [](const std::string&) {}, 0, mRight);
    Panel->setObjectName("Panel");
    mComponentsPage = new QWidget(mRight);
    auto* components = new QVBoxLayout(mComponentsPage);
    components->setContentsMargins(0, 0, 0, 0);
    TreeView2 = new QTreeWidget(mComponentsPage);
    TreeView2->setObjectName("TreeView2");
    TreeView2->setHeaderHidden(true);
    TreeView2->setExpandsOnDoubleClick(false);
    Button1 = new QPushButton(toQString("OK"), mComponentsPage);
    Button1->setObjectName("Button1");
    Button1->setAutoDefault(false);
    components->addWidget(TreeView2, 1);
    auto* ok = new QHBoxLayout;
    ok->addStretch(1);
    ok->addWidget(Button1);
    components->addLayout(ok);
    mRight->addWidget(Panel);
    mRight->addWidget(mComponentsPage);
    splitter->addWidget(TreeView1);
    splitter->addWidget(mRight);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    layout->addWidget(splitter, 1);

    auto* bottom = new QHBoxLayout;
    ImportPanel = new QWidget(this);
    ImportPanel->setObjectName("ImportPanel");
    auto* import = new QHBoxLayout(ImportPanel);
    import->setContentsMargins(0, 0, 0, 0);
    PobierzButton = new QPushButton(toQString("Pobierz"), ImportPanel);
    PobierzButton->setObjectName("PobierzButton");
    KonwertujButton = new QPushButton(toQString("Konwertuj"), ImportPanel);
    KonwertujButton->setObjectName("KonwertujButton");
    for (QPushButton* b : {PobierzButton, KonwertujButton}) {
        b->setAutoDefault(false);
        import->addWidget(b);
    }
    auto* close = new QPushButton(toQString("Zamknij"), this);
    close->setAutoDefault(false);
    bottom->addWidget(ImportPanel);
    bottom->addStretch(1);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    TreeView1->onSelected = [this](int i) { mModel.NodeSelected(i); };
    TreeView1->onDoubleClick = [this](int i) {
        mModel.NodeSelected(i);
        mModel.GoTo(fromQString(Edit1->text()));
    };
    connect(IdzButton, &QPushButton::clicked, this, [this] { mModel.GoTo(fromQString(Edit1->text())); });
    connect(Edit1, &QLineEdit::returnPressed, IdzButton, &QPushButton::click);
    connect(WyszukajButton, &QPushButton::clicked, this, [this] { mModel.Search(fromQString(Edit2->text())); });
    connect(Edit2, &QLineEdit::returnPressed, WyszukajButton, &QPushButton::click);
    const auto component = [this](QTreeWidgetItem* item) { return item ? item->data(0, Qt::UserRole).toInt() : -1; };
    connect(Button1, &QPushButton::clicked, this, [this, component] { mModel.ComponentChosen(component(TreeView2->currentItem())); });
    connect(TreeView2, &QTreeWidget::itemDoubleClicked, this,
            [this, component](QTreeWidgetItem* item) { mModel.ComponentChosen(component(item)); });
    connect(PobierzButton, &QPushButton::clicked, this, [this] { mModel.Fetch(fromQString(Edit1->text())); });
    connect(KonwertujButton, &QPushButton::clicked, this, [this] { mModel.Convert(fromQString(Edit1->text())); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(900, 600);
}

void TWyborPowiazan::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (mSplit) return;
    mSplit = true;
    const int w = std::max(600, mSplitter->width());
    mSplitter->setSizes({w / 2, w / 2});
}

void TWyborPowiazan::SetMode(LinkChoiceMode mode, bool fetchEnabled, bool convertEnabled) {
    mRight->setCurrentWidget(mode == LinkChoiceMode::Tree ? mComponentsPage : static_cast<QWidget*>(Panel));
    ImportPanel->setVisible(mode == LinkChoiceMode::Import);
    PobierzButton->setEnabled(fetchEnabled);
    KonwertujButton->setEnabled(convertEnabled);
    TreeView2->clear();
    Panel->ShowRecord({});
    Edit2->clear();
}

void TWyborPowiazan::ShowTree(const std::vector<LinkNode>& nodes, int selected) { TreeView1->ShowNodes(nodes, selected); }

void TWyborPowiazan::SelectNode(int i) { TreeView1->SelectNode(i); }

void TWyborPowiazan::ShowIdentifier(const std::string& shown) { Edit1->setText(toQString(shown)); }

void TWyborPowiazan::ShowRecord(const std::vector<std::string>& lines) { Panel->ShowRecord(lines); }

void TWyborPowiazan::ShowComponents(const std::vector<StructureNode>& nodes) {
    TreeView2->clear();
    std::vector<QTreeWidgetItem*> made;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const StructureNode& n = nodes[i];
        QTreeWidgetItem* item = n.parent >= 0 && static_cast<std::size_t>(n.parent) < made.size()
                                    ? new QTreeWidgetItem(made[static_cast<std::size_t>(n.parent)])
                                    : new QTreeWidgetItem(TreeView2);
        item->setText(0, toQString(n.caption));
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        made.push_back(item);
    }
    TreeView2->expandAll();
}

void TWyborPowiazan::Run() {
    TreeView1->setFocus();
    exec();
}

void TWyborPowiazan::Close() { accept(); }

}  // namespace velt::gui
