#pragma once
// "Powiązania rekordów VELT": the link schema of a record of any catalogue,
// to choose from, a view of a LinkChoice, shown modally. The tree on the
// left; on the right the selected record's display (list and import modes)
// or its components with "OK" (tree mode); the import panel's "Pobierz" and
// "Konwertuj" in import mode. The record and structure menus and the tool
// buttons of the schema window are not here.

#include "links/LinkChoice.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTreeWidget;
class QWidget;

namespace velt::gui {

class LinkTreeWidget;
class ListBrowserView;
class QtCellMeasurer;

class TWyborPowiazan : public QDialog, public LinkChoiceView {
    Q_OBJECT
public:
    TWyborPowiazan(QtCellMeasurer& measurer, QWidget* parent = nullptr);

    LinkChoice& Model() { return mModel; }

    // LinkChoiceView
    void SetMode(LinkChoiceMode mode, bool fetchEnabled, bool convertEnabled) override;
    void ShowTree(const std::vector<LinkNode>& nodes, int selected) override;
    void SelectNode(int i) override;
    void ShowIdentifier(const std::string& shown) override;
    void ShowRecord(const std::vector<std::string>& lines) override;
    void ShowComponents(const std::vector<StructureNode>& nodes) override;
    void Run() override;
    void Close() override;

    LinkTreeWidget* TreeView1 = nullptr;
    ListBrowserView* Panel = nullptr;
    QTreeWidget* TreeView2 = nullptr;  // the components (tree mode)
    QPushButton* Button1 = nullptr;    // "OK" (tree mode)
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* IdzButton = nullptr;
    QPushButton* WyszukajButton = nullptr;
    QWidget* ImportPanel = nullptr;
    QPushButton* PobierzButton = nullptr;
    QPushButton* KonwertujButton = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    LinkChoice mModel;
    QSplitter* mSplitter = nullptr;
    bool mSplit = false;
    QStackedWidget* mRight = nullptr;
    QWidget* mComponentsPage = nullptr;
};

}  // namespace velt::gui
