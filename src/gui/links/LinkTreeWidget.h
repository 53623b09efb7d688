#pragma once
// The tree of a link schema on screen: a node per record, every node
// expanded, with the picture of a record in the local collection
// ("pow-kole.bmp") or of one that is not ("pow-pust.bmp"). Clicks, right
// clicks and double clicks are reported by node index; a double click does
// not fold a node.

#include "links/LinkTree.h"

#include <QIcon>
#include <QTreeWidget>

#include <functional>
#include <vector>

namespace velt::gui {

class QtCellMeasurer;

class LinkTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    LinkTreeWidget(QtCellMeasurer& measurer, QWidget* parent = nullptr);

    // The nodes afresh; node selected (-1: none) scrolled into view.
    void ShowNodes(const std::vector<LinkNode>& nodes, int selected);
    // Node i's picture again from its state.
    void UpdateNode(int i, const LinkNode& node);
    void SelectNode(int i);
    // The node of an item; -1 for none.
    int NodeOf(QTreeWidgetItem* item) const;
    QTreeWidgetItem* ItemOf(int i) const;

    std::function<void(int)> onSelected;
    std::function<void(int)> onRightClick;
    std::function<void(int)> onDoubleClick;

private:
    QIcon Picture(bool inCollection);

    QtCellMeasurer& mMeasurer;
    std::vector<QTreeWidgetItem*> mItems;
    QIcon mInCollection, mNotInCollection;
    bool mFilling = false;
};

}  // namespace velt::gui
