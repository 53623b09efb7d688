#pragma once
// The controls a laid-out form is made of, as the core sees them: an abstract
// control with the operations the editors use, the listener through which a
// control reports what the user did, and the factory that makes controls on
// a parent control. The windows implement them with Qt widgets; velt-cli and
// the tests with HeadlessControls.
//
// Rules every implementation keeps:
// - setting a content (SetText, SetValue, SetChecked, SetCurrent...) never
//   reports a change: only the user's own edits do;
// - focus lost to a pop-up, a menu or a message box is not reported;
// - once the control is being destroyed, or its listener was cleared, it
//   reports nothing more;
// - every text is Windows-1250; line breaks in texts are CR LF.

#include "forms/FormSettings.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velt {

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

// A font: the face (empty: the parent's), the character height in pixels
// (negative, as the platform writes it) and the style.
struct FontSpec {
    std::string face;
    int height = -11;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const FontSpec&) const = default;
};

// One piece of formatted text: it starts a new line when newLine is set.
struct TextRun {
    std::string text;
    bool newLine = false;
    std::uint32_t color = 0;  // 0xRRGGBB
    bool bold = true;
    bool italic = false;
    bool operator==(const TextRun&) const = default;
};

// One entry of a pop-up menu: an item (item >= 0, its number in the menu) or
// a submenu with its entries.
struct MenuEntry {
    std::string caption;
    int item = -1;
    std::vector<MenuEntry> entries;
};

// A marker of the marker memo: a code character shown in its place.
struct TSequence {
    char code = 0;
    std::string display;      // the code as a one-character text
    std::string description;  // shown in the marker menu
    bool repeatable = false;
};

enum class ControlKind {
    Panel,          // a plain container
    ScrollBox,      // a container that scrolls its content
    PopupWindow,    // a modal tool window; its content goes on a Panel made on it
    PageControl,    // tab pages on the right side
    TabSheet,       // one page, made on a PageControl; SetText gives its caption
    Label,
    LineEdit,
    MaskEdit,       // the platform's edit-mask notation (EditMask.h)
    SpinEdit,
    RichEdit,       // a memo with a vertical scroll bar
    FormattedText,  // a read-only rich edit filled with TextRuns
    MarkerMemo,     // TSMemo over MarkerText
    ComboBox,       // a drop-down list, no free typing
    CheckBox,
    Button,
    SpeedButton,    // a flat button, a picture or a drawn glyph
    LookupButton,   // the authority lookup button beside an edit
    MenuLabel,      // an underlined caption popping up its menu
    MenuPicture,    // a picture popping up its menu
    ScrollBar,      // vertical
    ListMarker,     // a small bright green picture with a hand cursor
};

class FormControl;

// What a control reports; every call comes on the user-interface thread.
class ControlListener {
public:
    virtual ~ControlListener() = default;
    virtual void ControlChanged(FormControl&) {}            // the user changed the content
    virtual void ControlEntered(FormControl&) {}            // got the input focus
    virtual void ControlLeft(FormControl&) {}               // lost it to another control
    virtual void ControlClicked(FormControl&) {}
    virtual void ControlScrolled(FormControl&, int) {}      // scroll bar position
    virtual void ControlChosen(FormControl&, int) {}        // menu item or list entry
    virtual void ControlPageShown(FormControl&, int) {}     // page control: index shown
    virtual void ControlClosed(FormControl&) {}             // a pop-up window closed
};

class FormControl {
public:
    virtual ~FormControl() = default;  // destroys the live control, silently

    virtual ControlKind Kind() const = 0;
    void SetListener(ControlListener* listener) { mListener = listener; }
    ControlListener* Listener() const { return mListener; }

    virtual void SetGeometry(const PixelRect& rect) = 0;
    virtual PixelRect Geometry() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled() const = 0;
    // Read-only look (light grey background) and no input.
    virtual void SetReadOnly(bool readOnly) = 0;
    virtual void SetFont(const FontSpec& font) = 0;
    virtual void SetHint(const std::string&) {}

    // Focus: whether the control (or, for containers, one inside it) has it.
    virtual bool CanFocus() const = 0;
    virtual void SetFocus() = 0;
    virtual bool HasFocus() const = 0;

    // Caption or content.
    virtual void SetText(const std::string& text) = 0;
    virtual std::string Text() const = 0;
    // What the control shows, as velt-cli form prints it.
    virtual std::string ShownText() const { return Text(); }

    // Edits.
    virtual void SetMaxLength(int) {}        // 0: unlimited
    virtual void SetPassword(bool) {}
    virtual void SetMask(const std::string&) {}
    virtual void SetMultiline(bool /*acceptsReturn*/, bool /*wordWrap*/) {}
    virtual void ClearUndo() {}
    // Spin edit, scroll bar: range and value; combo box: the selected entry.
    virtual void SetRange(int, int) {}
    virtual void SetValue(int) {}
    virtual int Value() const { return 0; }
    virtual void SetItems(const std::vector<std::string>&) {}
    virtual void SetChecked(bool) {}
    virtual bool IsChecked() const { return false; }
    virtual void SetDefault(bool) {}
    virtual void SetPicture(const FormPicture&) {}
    virtual void SetRuns(const std::vector<TextRun>&) {}
    virtual void SetMenu(const std::vector<MenuEntry>&) {}
    virtual void SetMarkers(char /*markerChar*/, const std::vector<TSequence>&) {}

    // Scroll boxes.
    virtual void SetAutoScroll(bool) {}
    virtual void ScrollIntoView(FormControl&) {}
    // Moves the vertical scroll bar by pixels (positive: towards the top);
    // false when the bar is not shown.
    virtual bool ScrollVertically(int) { return false; }

    // Page controls: the index of the page shown.
    virtual int ActivePage() const { return 0; }

    // Pop-up windows: the title, the client size, the top-left corner on the
    // screen; ShowModal returns when the window has closed.
    virtual void SetClientSize(int, int) {}
    virtual void MoveTo(int, int) {}
    virtual void ShowModal() {}
    virtual void Close() {}
    // The control's top-left corner on the screen.
    virtual void ScreenPosition(int& x, int& y) const {
        x = Geometry().left;
        y = Geometry().top;
    }

protected:
    ControlListener* mListener = nullptr;
};

class ControlFactory {
public:
    virtual ~ControlFactory() = default;
    // A new control on parent, hidden, at (0, 0) with no size.
    virtual std::unique_ptr<FormControl> Create(ControlKind kind, FormControl& parent) = 0;
    // Runs task on the user-interface thread after the current event.
    virtual void Post(std::function<void()> task) = 0;
};

}  // namespace velt
