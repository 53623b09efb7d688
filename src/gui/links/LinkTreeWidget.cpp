#include "gui/links/LinkTreeWidget.h"

#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/QtText.h"

#include <QHeaderView>
#include <QPixmap>

namespace velt::gui {

LinkTreeWidget::LinkTreeWidget(QtCellMeasurer& measurer, QWidget* parent) : QTreeWidget(parent), mMeasurer(measurer) {
    setObjectName("TreeView1");
    setHeaderHidden(true);
    setExpandsOnDoubleClick(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setUniformRowHeights(true);
    // Long captions scroll rather than lose their ends (the volume's number).
    setTextElideMode(Qt::ElideNone);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!mFilling && onSelected && item) onSelected(NodeOf(item));
    });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (onDoubleClick && item) onDoubleClick(NodeOf(item));
    });
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QTreeWidgetItem* item = itemAt(at);
        if (onRightClick && item) onRightClick(NodeOf(item));
    });
}

QIcon LinkTreeWidget::Picture(bool inCollection) {
    QIcon& icon = inCollection ? mInCollection : mNotInCollection;
    if (icon.isNull()) {
        const PictureInfo info = mMeasurer.FilePicture(inCollection ? "pow-kole.bmp" : "pow-pust.bmp");
        if (const QImage* image = mMeasurer.Picture(info.id); image && !image->isNull())
            icon = QIcon(QPixmap::fromImage(*image));
    }
    return icon;
}

void LinkTreeWidget::ShowNodes(const std::vector<LinkNode>& nodes, int selected) {
    mFilling = true;
    clear();
    mItems.clear();
    mItems.reserve(nodes.size());
    QList<QTreeWidgetItem*> top;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const LinkNode& n = nodes[i];
        QTreeWidgetItem* parent = n.parent >= 0 && static_cast<std::size_t>(n.parent) < mItems.size()
                                      ? mItems[static_cast<std::size_t>(n.parent)]
                                      : nullptr;
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem();
        if (!parent) top.push_back(item);
        item->setText(0, toQString(n.caption));
        item->setIcon(0, Picture(n.inCollection));
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        mItems.push_back(item);
    }
    addTopLevelItems(top);
    expandAll();
    if (QTreeWidgetItem* item = ItemOf(selected)) {
        setCurrentItem(item);
        scrollToItem(item, QAbstractItemView::PositionAtCenter);
    }
    mFilling = false;
}

void LinkTreeWidget::UpdateNode(int i, const LinkNode& node) {
    if (QTreeWidgetItem* item = ItemOf(i)) {
        item->setIcon(0, Picture(node.inCollection));
        item->setText(0, toQString(node.caption));
    }
}

void LinkTreeWidget::SelectNode(int i) {
    QTreeWidgetItem* item = ItemOf(i);
    if (!item) return;
    mFilling = true;
    setCurrentItem(item);
    scrollToItem(item);
    mFilling = false;
}

int LinkTreeWidget::NodeOf(QTreeWidgetItem* item) const { return item ? item->data(0, Qt::UserRole).toInt() : -1; }

QTreeWidgetItem* LinkTreeWidget::ItemOf(int i) const {
    return i >= 0 && static_cast<std::size_t>(i) < mItems.size() ? mItems[static_cast<std::size_t>(i)] : nullptr;
}

}  // namespace velt::gui
