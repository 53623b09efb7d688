#pragma once
// One page of "Otwarte rekordy": at the left a borderless scroll box without
// a horizontal bar, as wide as the form, holding the laid-out form; at the
// right the error list (yellow, 150 pixels high) above the help pane, each
// hidden while empty. The record's sheet (edit_sheet) decides what they show.

#include "editing/EditorView.h"
#include "gui/forms/QtFormControls.h"

#include <QWidget>

#include <memory>

class QPlainTextEdit;
class QScrollArea;
class QTabWidget;

namespace velt::gui {

class EditSheetPage : public QWidget, public SheetView {
    Q_OBJECT
public:
    explicit EditSheetPage(QTabWidget* tabs);
    // The page leaves its tab widget.
    ~EditSheetPage() override;

    FormControl& FormParent() override { return *mRoot; }
    ControlFactory& Controls() override { return mControls; }
    void SetCaption(const std::string& caption) override;
    int ClientHeight() override;
    void SetFormSize(int width, int height) override;
    void ShowErrors(const std::vector<std::string>& messages) override;
    void ShowHelp(const std::vector<std::string>& lines) override;
    void SetPageVisible(bool visible) override;

    // The widget the form's controls sit on.
    QWidget* Canvas() const { return mCanvas; }
    QScrollArea* ScrollBox() const { return mScroll; }
    QPlainTextEdit* ErrorList() const { return mErrors; }
    QPlainTextEdit* HelpPane() const { return mHelp; }

private:
    QTabWidget* mTabs;
    QScrollArea* mScroll;
    QWidget* mCanvas;
    QPlainTextEdit* mErrors;
    QPlainTextEdit* mHelp;
    QtControlFactory mControls;
    std::unique_ptr<QtFormControl> mRoot;
};

}  // namespace velt::gui
