#pragma once
// What the record editing session asks of its window, "Otwarte rekordy", and
// of each page of it, without knowing the toolkit. The window implements
// EditorView; every page it makes implements SheetView. Tests implement both
// over headless controls.

#include "forms/FormControls.h"
#include "forms/FormReader.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velt {

class TEdycja;

// One page of the window: a scroll box at the left holding the laid-out
// form, an error list (yellow, 150 pixels high) and a help pane beside it.
class SheetView {
public:
    // Removes the page from the window.
    virtual ~SheetView() = default;

    // The control the form is laid out on, and the factory of its controls.
    virtual FormControl& FormParent() = 0;
    virtual ControlFactory& Controls() = 0;
    // The tab's caption.
    virtual void SetCaption(const std::string& caption) = 0;
    // The height of the page's visible area for the form, in pixels.
    virtual int ClientHeight() = 0;
    // The scroll box's client width and the height of its content, in pixels.
    virtual void SetFormSize(int width, int height) = 0;
    // The error list: one message per line; hidden when there are none.
    virtual void ShowErrors(const std::vector<std::string>& messages) = 0;
    // The help pane: its lines; hidden when there are none.
    virtual void ShowHelp(const std::vector<std::string>& lines) = 0;
    // The page hidden while its form is made again, and shown after.
    virtual void SetPageVisible(bool visible) = 0;
};

// The window "Otwarte rekordy".
class EditorView {
public:
    virtual ~EditorView() = default;

    // The session the window's commands go to; none when editing ended.
    virtual void SessionChanged(TEdycja* session) = 0;
    // A new page after the others.
    virtual std::unique_ptr<SheetView> AddSheet() = 0;
    // Makes the page the active one.
    virtual void ShowSheet(SheetView& sheet) = 0;
    // The window brought up in its normal state; hidden; maximised.
    virtual void ShowWindow() = 0;
    virtual void HideWindow() = 0;
    virtual void MaximiseWindow() = 0;
    // The record kinds were loaded: the new-record menus are made again.
    virtual void KindsChanged() = 0;
    // What the reader of the kinds' forms and the compiler of their scripts found.
    virtual void ShowFormMessages(const std::vector<FormMessage>& messages) = 0;
};

// What the session tells the main window.
struct EditingNotifications {
    // A record was saved (the identifier it had, or empty for a new record;
    // the identifier it has now) or deleted (its identifier; empty). Both as
    // the user sees them.
    std::function<void(const std::string& source, const std::string& identifier)> changed;
    // The number of open records changed.
    std::function<void(int count)> count;
};

}  // namespace velt
