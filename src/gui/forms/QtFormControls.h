#pragma once
// The form's controls as Qt widgets: one QtFormControl per control of the
// core's ControlFactory, made by QtControlFactory on its parent's widget.
//
// What the widgets must not do, and how they are kept from it:
// - texts are set as plain text, never guessed as markup;
// - setting a content reports no change: only user signals (textEdited,
//   activated, clicked, actionTriggered) or guarded ones are passed on;
// - focus lost to a pop-up, a menu, a message box or another window is not
//   reported, nor its coming back;
// - a control being destroyed is detached first (no listener, no filter),
//   hidden and deleted later, so nothing reaches an editor that is gone and
//   nothing is deleted inside its own signal.

#include "forms/FormControls.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QMenu;

namespace velt::gui {

class QtControlFactory;

class QtFormControl : public QObject, public FormControl {
    Q_OBJECT
public:
    // A control over widget; owned widgets are deleted with the control.
    QtFormControl(ControlKind kind, QWidget* widget, QtFormControl* parent, bool owned,
                  QtControlFactory* factory = nullptr);
    ~QtFormControl() override;

    ControlKind Kind() const override { return mKind; }
    void SetGeometry(const PixelRect& rect) override;
    PixelRect Geometry() const override;
    void SetVisible(bool visible) override;
    bool IsVisible() const override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;
    void SetReadOnly(bool readOnly) override;
    void SetFont(const FontSpec& font) override;
    void SetHint(const std::string& hint) override;
    bool CanFocus() const override;
    void SetFocus() override;
    bool HasFocus() const override;
    void SetText(const std::string& text) override;
    std::string Text() const override;
    void SetMaxLength(int n) override;
    void SetPassword(bool password) override;
    void SetMask(const std::string& mask) override;
    void SetMultiline(bool acceptsReturn, bool wordWrap) override;
    void ClearUndo() override;
    void SetRange(int minimum, int maximum) override;
    void SetValue(int value) override;
    int Value() const override;
    void SetItems(const std::vector<std::string>& items) override;
    void SetChecked(bool checked) override;
    bool IsChecked() const override;
    void SetDefault(bool isDefault) override;
    void SetPicture(const FormPicture& picture) override;
    void SetRuns(const std::vector<TextRun>& runs) override;
    void SetMenu(const std::vector<MenuEntry>& menu) override;
    void SetMarkers(char markerChar, const std::vector<TSequence>& markers) override;
    void ScrollIntoView(FormControl& control) override;
    bool ScrollVertically(int pixels) override;
    int ActivePage() const override;
    void SetClientSize(int width, int height) override;
    void MoveTo(int x, int y) override;
    void ShowModal() override;
    void Close() override;
    void ScreenPosition(int& x, int& y) const override;

    // The control's own widget, and the widget its child controls go on.
    QWidget* Widget() const { return mWidget; }
    QWidget* Container() const { return mContent ? mContent.data() : mWidget.data(); }
    // The pop-up menu of a menu control.
    QMenu* Menu() const { return mMenu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class QtControlFactory;
    void Connect();
    void FitContent();
    void Changed();
    void Clicked();
    void Chosen(int index);
    QMenu* BuildMenu(QMenu* into, const std::vector<MenuEntry>& entries);

    ControlKind mKind;
    QPointer<QWidget> mWidget;
    QPointer<QWidget> mContent;  // a scroll box's content, a tab sheet's place for its box
    QtFormControl* mParentControl;
    bool mOwned;
    QtControlFactory* mFactory;
    bool mSetting = false;  // the program is setting the content
    bool mReadOnly = false;
    QMenu* mMenu = nullptr;
    std::vector<QtFormControl*> mChildControls;
};

// Scrolling a list makes the same widgets again and again on the same row
// panels: the simple ones are kept, hidden and emptied, when their control
// goes, and given to the next control of their kind on the same parent.
class QtControlFactory : public ControlFactory {
public:
    std::unique_ptr<FormControl> Create(ControlKind kind, FormControl& parent) override;
    void Post(std::function<void()> task) override;
    // The control of a host's widget (not owned), the parent of a form's controls.
    std::unique_ptr<QtFormControl> Wrap(QWidget* widget);

    // Takes back the widget of a control that goes; false when it is not kept.
    bool Keep(ControlKind kind, QWidget* widget);
    std::size_t KeptCount() const { return mKept.size(); }

private:
    QWidget* Reuse(ControlKind kind, QWidget* parent);
    struct Kept {
        ControlKind kind;
        QPointer<QWidget> widget;
    };
    std::vector<Kept> mKept;
};

// Linux lacks the faces the forms name; the metric-compatible ones stand in
// (Liberation), else the DejaVu faces. Installed once.
void InstallFormFontSubstitutes();

}  // namespace velt::gui
