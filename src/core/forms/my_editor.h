#pragma once
// The run-time editors of a laid-out form. A plain my_editor is the
// container of one laid-out form (or of one list row, tab page, dynamic
// section or pop-up); the field editors and the containers of FieldEditors.h
// and ContainerEditors.h derive from it. Editors create their controls
// through the context's ControlFactory and hear the user through the
// controls' listener calls; they read and write the record only through its
// operations, and tell the host about field events through FormHost.
//
// A host lays a form out by creating a plain my_editor on its parent
// control and calling Build (editor, 0, empty list, 0) on the model's root;
// destroying the editor removes every control of the form.

#include "forms/FormControls.h"
#include "forms/FormSettings.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velt {

class my_record;

// Field events, as the field-event scripts name them.
enum FormEvent : int { kFormShow = 0, kFormEnter = 1, kFormChange = 2, kFormExit = 3, kFormHelp = 4 };

// What a laid-out form tells its host.
class FormHost {
public:
    virtual ~FormHost() = default;
    // A field event; the lines its scripts printed. Only a formatted text's
    // SHOW uses them; the host acts on the others itself.
    virtual std::vector<std::string> FieldEvent(int event, my_record& record, const std::string& field) = 0;
};

// What every editor of one laid-out form shares. The host owns it and keeps
// it, the record and the factory alive for as long as the editors live.
class FormContext {
public:
    FormContext(my_record& record, FormHost& host, ControlFactory& controls, FormSettings settings = {})
        : record(record), host(host), controls(controls), settings(std::move(settings)) {}

    my_record& record;
    FormHost& host;
    ControlFactory& controls;
    FormSettings settings;

    // Editors one layout may hold at once, so that lists inside lists cannot
    // make millions of controls; Build leaves out what would pass the bound.
    static constexpr int kMaxEditors = 20000;
    // True (and Truncated from then on) when no more editors may be made.
    bool Full() {
        if (mEditors < kMaxEditors) return false;
        mTruncated = true;
        return true;
    }
    bool Truncated() const { return mTruncated; }
    int LiveEditors() const { return mEditors; }

    // The dynamic areas' delete picture "usun.bmp", read once.
    const FormPicture& DeletePicture();

    // A pixel length for form units at the zoom, halves to even.
    int Px(double units) const;

private:
    friend class my_editor;
    int mEditors = 0;
    bool mTruncated = false;
    bool mDeleteLoaded = false;
    FormPicture mDeletePicture;
};

class my_editor : protected ControlListener {
public:
    my_editor(FormContext& context, FormControl& parent);
    virtual ~my_editor();  // Destroy

    my_editor(const my_editor&) = delete;
    my_editor& operator=(const my_editor&) = delete;

    // A field's value or read-only flag may have changed: its editors reload.
    virtual void Refresh(const std::string& name);
    // Gives the focus to the first editable control; true when one took it.
    virtual bool FocusFirst();
    // Every control of the editor and its children.
    virtual void Controls(std::vector<FormControl*>& out) const;
    // Whether one of its controls has the input focus.
    virtual bool HasFocus() const;
    // A mouse-wheel turn of steps notches (positive away from the user); true when handled.
    virtual bool Wheel(int steps);
    // Stores the focused control's text as on leaving it (its EXIT included).
    virtual void Commit();
    // Destroys the children, then the editor's own controls; the editor stays empty.
    void Destroy();

    // Registers a run-time editor; the container owns it.
    my_editor& Add(std::unique_ptr<my_editor> child);

    FormContext& Context() const { return mContext; }
    FormControl& Parent() const { return mParent; }
    const std::vector<std::unique_ptr<my_editor>>& Children() const { return mChildren; }

    // What velt-cli form prints of an editor: its class name, its field id
    // after substitution (none for containers and labels) and its main control.
    virtual const char* ClassName() const { return "my_editor"; }
    virtual const std::string* FieldId() const { return nullptr; }
    virtual const FormControl* MainControl() const { return nullptr; }
    // Calls visit for this editor and every editor under it, in tree order.
    virtual void Walk(const std::function<void(const my_editor&, int)>& visit, int depth = 0) const;

protected:
    // A new control on parent, this editor its listener, hidden.
    std::unique_ptr<FormControl> MakeControl(ControlKind kind, FormControl& parent);
    // The pixel rectangle of form units at the zoom.
    PixelRect Rect(double left, double top, double width, double height) const;
    // Raises an event through the host; false when the editor did not survive it.
    bool Raise(int event, const std::string& field);
    std::vector<std::string> RaiseShow(const std::string& field);
    // Destroys a control silently: it reports nothing more.
    static void Drop(std::unique_ptr<FormControl>& control);
    // Destroys the children (first, before the controls they sit on).
    void DestroyChildren();
    // Destroys the editor's own controls; Destroy calls it after the children,
    // and every derived destructor calls DestroyChildren and then its own.
    virtual void DestroyControls() {}

    FormContext& mContext;
    FormControl& mParent;
    std::vector<std::unique_ptr<my_editor>> mChildren;
    // Cleared when the editor is destroyed; deferred work and callbacks that
    // may outlive the editor hold a copy and look before touching it.
    std::shared_ptr<bool> mAlive = std::make_shared<bool>(true);
};

}  // namespace velt
