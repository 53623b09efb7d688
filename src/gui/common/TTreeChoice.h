#pragma once
// "Wybór z listy" over a tree: every node shown expanded; a double click
// (or Enter) on a node with a value closes the window with it, closing it
// otherwise chooses nothing. The rule of the choice (none, one, several) is
// the caller's.

#include "browse/StructureTree.h"

#include <QDialog>

#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace velt::gui {

class TTreeChoice : public QDialog {
    Q_OBJECT
public:
    explicit TTreeChoice(QWidget* parent = nullptr);

    // Modal; the index of the node chosen, or -1.
    int ShowTreeChoice(const std::vector<StructureNode>& nodes);

    QTreeWidget* TreeView1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Choose(QTreeWidgetItem* item);

    int mChosen = -1;
};

}  // namespace velt::gui
