#pragma once
// One open record of the editing window: the record, shown through the form
// of its kind on a page of the window, with the page's error list and help
// pane. The sheet owns its record and its laid-out form; the kind's form and
// scripts are shared by every sheet of the kind.
//
// Field events run the kind's scripts (EventScriptHost): SHOW hands the
// printed lines to the form; ENTER only remembers the current field; after
// CHANGE and EXIT each line refreshes a field, asks for a field's HELP
// ("|field") or becomes an error of the record, and the errors are shown.

#include "editing/EditorView.h"
#include "editing/RecordKinds.h"
#include "forms/EventScriptHost.h"
#include "forms/my_editor.h"
#include "text/my_record.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

class velt_files;

class edit_sheet {
public:
    // Messages shown in the error list at most, and help lines in the pane.
    static constexpr std::size_t kMaxShownErrors = 1000;
    static constexpr std::size_t kMaxHelpLines = 5000;

    struct Setup {
        const RecordKind* kind = nullptr;
        std::string identifier;  // the record's, or the form code of a new one
        std::string source;      // the identifier; an imported record's origin; empty when new
        std::string caption;
        std::int32_t number = 0;  // the record number of an existing record
        ExternalRoutine services;
        ErrorSink messages;       // the scripts' plain information messages
        velt_files* catalogue = nullptr;
    };

    edit_sheet(Setup setup, my_record record, std::unique_ptr<SheetView> view);
    // The form first, then the record, then the page.
    ~edit_sheet();
    edit_sheet(const edit_sheet&) = delete;
    edit_sheet& operator=(const edit_sheet&) = delete;

    const RecordKind& Kind() const { return *mSetup.kind; }
    my_record& Record() { return mRecord; }
    const my_record& Record() const { return mRecord; }
    const std::string& Identifier() const { return mSetup.identifier; }
    const std::string& Source() const { return mSetup.source; }
    const std::string& Caption() const { return mSetup.caption; }
    std::int32_t Number() const { return mSetup.number; }
    // New and imported records: the source differs from the identifier or is empty.
    bool IsNew() const { return mSetup.source.empty() || mSetup.source != mSetup.identifier; }
    bool IsModified() const { return mRecord.IsModified(); }
    // The field that last received the focus.
    const std::string& CurrentField() const { return mHost.CurrentField(); }
    SheetView& View() { return *mView; }
    my_editor* Form() const { return mForm.get(); }

    // Lays the form out on the page: a written 469 stands for the page's
    // visible height at the zoom; the first editable field takes the focus
    // when asked; the errors are shown.
    void Layout(const FormSettings& settings, bool focusFirst);
    // The same form laid out again at the settings' zoom (the control being
    // edited stores its value first).
    void Relayout(const FormSettings& settings);
    // Gives the sheet the focus: the control being edited stores its value
    // (its EXIT runs).
    void Commit();
    // A field event through the sheet's callback, as the form raises it.
    std::vector<std::string> Event(int event, const std::string& field);
    // The field's editors read it again.
    void Refresh(const std::string& key);
    bool Wheel(int steps);

    // The error list from the record's errors (each message cut at its
    // first ESC), hidden when there are none.
    void ShowErrors();
    // The help pane from a help text: its lines without trailing spaces.
    void ShowHelp(std::string_view text);
    // "Zmieniono pola: " and the changed fields, or "Rekord nie został zmodyfikowany".
    std::string ChangedFieldsText() const;

private:
    void DestroyForm();

    Setup mSetup;
    std::unique_ptr<SheetView> mView;
    my_record mRecord;
    EventScriptHost mHost;
    std::unique_ptr<FormContext> mContext;
    std::unique_ptr<my_editor> mForm;
};

}  // namespace velt
