#pragma once
// The containers whose run-time behaviour is part of the layout: the
// repeated list with its scroll bar and markers, the tab pages, the modal
// sub-form and the dynamic section area.

#include "forms/Substitution.h"
#include "forms/my_editor.h"

#include <memory>
#include <string>
#include <vector>

namespace velt {

class my_list;
class my_tabs;
class my_form;
class my_dynamic;

// LIST: as many row panels as visible rows, each with a plain editor in
// which the list's children are built for one occurrence; scrolling builds
// the rows again in place.
class ed_list : public my_editor {
public:
    ed_list(FormContext& context, FormControl& parent, const my_list& model, int ox, const Substitution& subst, int oy);
    ~ed_list() override;

    // Builds the rows for position 1 and shows the markers.
    void Create();

    bool FocusFirst() override;
    void Controls(std::vector<FormControl*>& out) const override;
    bool HasFocus() const override;
    bool Wheel(int steps) override;
    const char* ClassName() const override { return "ed_list"; }
    const FormControl* MainControl() const override { return mScrollBar.get(); }

    // The occurrence shown in the first row.
    int Position() const { return mPosition; }
    // Shows the occurrences from position on, as the scroll bar does.
    void ScrollTo(int position);
    // The largest occurrence of the list's fields in the record (0 when none).
    int LastOccurrence() const;
    const FormControl& UpperMarker() const { return *mUpper; }
    const FormControl& LowerMarker() const { return *mLower; }

protected:
    void ControlScrolled(FormControl& control, int position) override;
    void ControlClicked(FormControl& control) override;
    void DestroyControls() override;

private:
    std::unique_ptr<my_editor> BuildRow(FormControl& panel, int occurrence);
    void UpdateMarkers();
    // The occurrence numbers of the list's fields present in the record.
    std::vector<int> Occurrences() const;

    const my_list& mModel;
    Substitution mSubst;
    int mRows = 1;
    int mPosition = 1;
    std::unique_ptr<FormControl> mScrollBar, mUpper, mLower;
    std::vector<std::unique_ptr<FormControl>> mPanels;  // the rows are the children, one per panel
};

// TABS: one editor per page, sharing the page control; the last one
// destroyed takes the page control with it.
class ed_tabs : public my_editor {
public:
    struct Pages;  // the page control and its page editors
    ~ed_tabs() override;

    // Makes the page control of a TABS statement.
    static std::shared_ptr<Pages> MakePages(my_editor& owner, const PixelRect& rect);
    // Makes the page's sheet, its borderless scroll box, and the page's editor on the box.
    static std::unique_ptr<ed_tabs> MakePage(FormContext& context, std::shared_ptr<Pages> pages, int index,
                                             const std::string& caption);
    // Shows the page control once its pages are made.
    static void ShowPages(Pages& pages);

    bool FocusFirst() override;
    void Controls(std::vector<FormControl*>& out) const override;
    const char* ClassName() const override { return "ed_tabs"; }
    const FormControl* MainControl() const override { return mSheet.get(); }

protected:
    void DestroyControls() override;

private:
    ed_tabs(FormContext& context, std::shared_ptr<Pages> pages, int index, std::unique_ptr<FormControl> sheet,
            std::unique_ptr<FormControl> box);

    std::shared_ptr<Pages> mPages;
    int mIndex;
    std::unique_ptr<FormControl> mSheet;
    std::unique_ptr<FormControl> mBox;  // the scroll box the page's controls sit on
};

// FORM: a button opening the sub-form's block in a modal window.
class ed_form : public my_editor {
public:
    ed_form(FormContext& context, FormControl& parent, const my_form& model, int ox, const Substitution& subst, int oy);
    ~ed_form() override;
    void Create();

    void Refresh(const std::string& name) override;
    bool FocusFirst() override { return false; }
    void Controls(std::vector<FormControl*>& out) const override;
    bool HasFocus() const override;
    bool Wheel(int steps) override;
    void Commit() override;
    const std::string* FieldId() const override { return &mFieldId; }
    const char* ClassName() const override { return "ed_form"; }
    const FormControl* MainControl() const override { return mButton.get(); }
    void Walk(const std::function<void(const my_editor&, int)>& visit, int depth = 0) const override;

    // Opens the window (after HELP) and returns when it has closed (then EXIT).
    void Open();
    bool IsOpen() const { return mOpen; }

protected:
    void ControlClicked(FormControl& control) override;
    void DestroyControls() override;

private:
    const my_form& mModel;
    Substitution mSubst;
    std::string mFieldId;
    PixelRect mRect;
    std::unique_ptr<FormControl> mButton, mWindow, mPanel;
    std::unique_ptr<my_editor> mInner;  // lives while the window is open
    bool mOpen = false;
    bool mOpening = false;  // between the click and the window: its own HELP cannot open it again
};

// DYNAMIC: sections chosen by the value of a field, rebuilt after the
// current event from the first one that changed.
class ed_dynamic : public my_editor {
public:
    ed_dynamic(FormContext& context, FormControl& parent, const my_dynamic& model, int ox, const Substitution& subst,
               int oy);
    ~ed_dynamic() override;
    void Create();

    void Refresh(const std::string& name) override;
    bool FocusFirst() override;
    void Controls(std::vector<FormControl*>& out) const override;
    bool HasFocus() const override;
    bool Wheel(int steps) override;
    void Commit() override;
    const std::string* FieldId() const override { return &mFieldId; }
    const char* ClassName() const override { return "ed_dynamic"; }
    const FormControl* MainControl() const override { return mBox.get(); }
    void Walk(const std::function<void(const my_editor&, int)>& visit, int depth = 0) const override;

    // What the area built: key "|" number "|" flag "|" next-top "|" per section.
    std::string Layout() const;
    // Assembles the sections from the driving field's value now.
    void Assemble();
    // Whether a rebuild is waiting for the current event to end.
    bool RebuildPending() const { return mPending; }
    // The section editors and their delete buttons (none where the flag is not "U").
    struct Section {
        std::string key, number, flag;
        int nextTop = 0;
        std::unique_ptr<my_editor> editor;
        std::unique_ptr<FormControl> button;
    };
    const std::vector<Section>& Sections() const { return mSections; }

protected:
    void ControlClicked(FormControl& control) override;
    void DestroyControls() override;

private:
    void ScheduleRebuild();

    const my_dynamic& mModel;
    Substitution mSubst;
    std::string mFieldId;
    std::unique_ptr<FormControl> mBox;
    std::vector<Section> mSections;
    bool mPending = false;
};

// The triples of a dynamic area's driving value: key "|" number "|" flag "|".
struct DynamicTriple {
    std::string key, number, flag;
    bool operator==(const DynamicTriple&) const = default;
};
// At most 1000 triples; missing parts of the last one read as empty.
std::vector<DynamicTriple> ParseDynamicValue(std::string_view value);

}  // namespace velt
