#include "gui/common/TTreeChoice.h"

#include "common/ListChoice.h"
#include "gui/common/QtText.h"
#include "gui/common/RememberedSize.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velt::gui {

namespace {
constexpr int kIndexRole = Qt::UserRole + 1;
}

TTreeChoice::TTreeChoice(QWidget* parent) : QDialog(parent) {
    setObjectName("TTreeChoice");
    setWindowTitle(toQString(ListChoiceTitle()));
    auto* layout = new QVBoxLayout(this);
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName("TreeView1");
    TreeView1->setHeaderHidden(true);
    TreeView1->setUniformRowHeights(true);
    TreeView1->setMinimumSize(320, 200);
    layout->addWidget(TreeView1, 1);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setText(toQString("Wybierz"));
    box->button(QDialogButtonBox::Cancel)->setText(toQString("Anuluj"));
    QPushButton* ok = box->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    connect(box, &QDialogButtonBox::accepted, this, [this] { Choose(TreeView1->currentItem()); });
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { Choose(item); });
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [ok](QTreeWidgetItem* item) {
        ok->setEnabled(item && item->data(0, kIndexRole).toInt() >= 0);
    });
    layout->addWidget(box);
    resize(460, 420);
    RememberSize(this);
}

int TTreeChoice::ShowTreeChoice(const std::vector<StructureNode>& nodes) {
    TreeView1->clear();
    mChosen = -1;
    std::vector<QTreeWidgetItem*> items;
    items.reserve(nodes.size());
    QTreeWidgetItem* first = nullptr;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const StructureNode& n = nodes[i];
        QTreeWidgetItem* parent = n.parent >= 0 && static_cast<std::size_t>(n.parent) < items.size()
                                      ? items[static_cast<std::size_t>(n.parent)]
                                      : nullptr;
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TreeView1);
        // A node's caption (its value when it has none) as plain text.
        item->setText(0, toQString(n.caption.empty() ? n.identifier : n.caption));
        const bool choosable = !n.identifier.empty();
        item->setData(0, kIndexRole, choosable ? static_cast<int>(i) : -1);
        if (!choosable) {
            QFont font = item->font(0);
            font.setItalic(true);
            item->setFont(0, font);
            item->setForeground(0, palette().placeholderText());
        } else if (!first) {
            first = item;
        }
        items.push_back(item);
    }
    TreeView1->expandAll();
    if (first) TreeView1->setCurrentItem(first);
    TreeView1->setFocus();
    return exec() == QDialog::Accepted ? mChosen : -1;
}

void TTreeChoice::Choose(QTreeWidgetItem* item) {
    if (!item) return;
    const int index = item->data(0, kIndexRole).toInt();
    if (index < 0) return;  // a group without a value is no choice
    mChosen = index;
    accept();
}

void TTreeChoice::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && TreeView1->hasFocus()) {
        Choose(TreeView1->currentItem());
        return;
    }
    QDialog::keyPressEvent(e);
}

}  // namespace velt::gui
