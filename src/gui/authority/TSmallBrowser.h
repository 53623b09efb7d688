#pragma once
// The record chooser "Wybierz rekord": the catalogue's indexes as tabs over
// one browser, "Szukaj", the history of the records chosen, the "Format"
// menu of the presentation formats, and in tree mode the record's structure
// to choose a node from.

#include "authority/RecordChooser.h"

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabBar;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace velt::gui {

class BrowserView;
class QtCellMeasurer;

class TSmallBrowser : public QDialog, public RecordChooserView {
    Q_OBJECT
public:
    // What the window needs of the desktop: the picture viewer and the
    // program starter (which asks first).
    struct Desktop {
        std::function<void(const std::string& path)> showPicture;
        std::function<void(const std::string& program, const std::string& parameters)> startProgram;
        std::function<void(const ChooserLinks& links)> showLinks;
    };

    TSmallBrowser(QtCellMeasurer& measurer, Desktop desktop, QWidget* parent = nullptr);
    ~TSmallBrowser() override;

    ChosenRecord SelectRecord(velt_files& files, const std::string& startIdentifier, const std::string& startText,
                              int indexPosition, Prompts& prompts, LongOperations& longOps,
                              const std::string& workingDirectory);
    ChosenRecord SelectInStructure(velt_files& files, const std::string& startIdentifier,
                                   const std::string& formatType, Prompts& prompts, LongOperations& longOps,
                                   const std::string& workingDirectory);

    // RecordChooserView
    void ShowIndex(int i) override;
    void ListChanged() override;
    void ShowEntry(const std::string& key) override;
    void ShowHistory(const std::vector<std::string>& items) override;
    void ShowTree(const std::vector<StructureNode>& nodes) override;
    void Accept() override { accept(); }
    void ShowPicture(const std::string& path) override;
    void StartProgram(const std::string& program, const std::string& parameters) override;
    void ShowLinks(const ChooserLinks& links) override;

    RecordChooser* Model() const { return mModel.get(); }
    BrowserView* Browser() const { return mBrowser; }
    QTabBar* TabControl1 = nullptr;
    QWidget* BrowserPanel = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button3 = nullptr;  // "Szukaj"
    QComboBox* History = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QPushButton* Button1 = nullptr;  // "OK"
    QToolButton* FormatButton = nullptr;
    QMenu* Format1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    ChosenRecord Run(bool tree);
    void Prepare(velt_files& files, Prompts& prompts, LongOperations& longOps, const std::string& workingDirectory);

    QtCellMeasurer& mMeasurer;
    Desktop mDesktop;
    std::unique_ptr<RecordChooser> mModel;
    BrowserView* mBrowser = nullptr;
    bool mUpdating = false;
};

}  // namespace velt::gui
