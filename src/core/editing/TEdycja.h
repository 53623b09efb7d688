#pragma once
// The edit session of a logged-in user and the logic of its window, "Otwarte
// rekordy": the record kinds with their forms and scripts, one sheet per
// open record, and every flow of the window — open, new, import, save, save
// all, check, close, delete, help, the F-keys and the zoom — with the
// questions and messages of each. The window only shows what this decides
// (EditorView, SheetView); questions go through the prompts.
//
// Promises beyond the plain flows:
// - one record is never open in two sheets (records are compared by their
//   record numbers): opening it again shows its sheet, and nothing else
//   releases, saves over or deletes a record a sheet holds;
// - a failed save leaves the sheet open with everything typed in it;
// - editing stopped on a broken connection offers to keep the changes of the
//   open records in the working directory's recovery file, and the next
//   login to that catalogue by that user offers to open them again with
//   their changes; a forced stop (the program ending) keeps them unasked;
// - records opened by scripts while a sheet is being laid out nest at most
//   kMaxNestedOpens deep, and at most kMaxSheets are open at once.

#include "common/Prompts.h"
#include "editing/EditRequests.h"
#include "editing/EditorCommands.h"
#include "editing/EditorView.h"
#include "editing/RecordKinds.h"
#include "editing/RecoveryFile.h"
#include "editing/edit_sheet.h"
#include "login/EditingService.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velt {


class velt_files;

// What the program gives the session besides the catalogue.
struct EditingSetup {
    double zoom = 1.0;             // "EDYCJA"/"skala"
    std::string pictureDirectory;  // the forms' pictures (the configuration's directory, ending with "/")
    // The services of the scripts' commands beyond the session (the
    // authority files, the dialogs, labels, closed orders, files, other
    // catalogues); the prompts, catalogue and session are the editor's own.
    EditorServices services;
};

class TEdycja : public EditingService, public EditSessionCommands {
public:
    static constexpr std::size_t kMaxSheets = 200;
    static constexpr int kMaxNestedOpens = 4;

    TEdycja(velt_files& files, Prompts& prompts, EditorView& view, EditingNotifications notifications,
            EditingSetup setup = {});
    // Closes the sheets without a question or a request (their pages go).
    ~TEdycja() override;
    TEdycja(const TEdycja&) = delete;
    TEdycja& operator=(const TEdycja&) = delete;

    // --- EditingService ---
    // Loads every kind of "formularze" (or "rekordy") with its form and
    // script, applies the server kind's settings, makes the new-record menus
    // again, then offers the records kept for this catalogue and user.
    void StartEditing(const std::string& workingDirectory) override;
    // Refuses with "Najpierw należy zamknąć otwarte rekordy!" while sheets
    // are open, unless the connection is broken (then the recovery question)
    // or force; otherwise forgets the kinds.
    bool StopEditing(bool force) override;

    // --- operations of the other windows (identifiers as the user sees them) ---
    void OpenRecord(const std::string& code, const std::string& identifier);
    void NewRecord(const std::string& code, const my_record* templateRecord = nullptr);
    // A record from elsewhere, opened as a new record of the kind of id's first character.
    void ImportRecord(const std::string& source, const std::string& id, const my_record& record);
    // Deletes a record without opening it; true when deleted.
    bool DeleteRecord(const std::string& identifier);
    // Records deleted elsewhere (global deletion) are forgotten: the lists
    // of records opened and saved that the scripts' choosers offer no longer
    // name them.
    void RecordsDeleted(const std::vector<std::string>& identifiers);
    // The window in its normal state when sheets are open.
    void ShowEditor();
    bool CanEdit(const std::string& code) const { return mKinds.Find(code) != nullptr; }
    // Whether a sheet holds the record (named in either form).
    bool IsOpen(const std::string& identifier) const { return FindOpen(NumberOf(identifier)) != nullptr; }
    // Others changed a record (the links programs): the host hears it as of a
    // save, the identifiers as users see them.
    void RecordChanged(const std::string& source, const std::string& identifier) { Changed(source, identifier); }
    int SheetCount() const { return static_cast<int>(mSheets.size()); }
    // In every open record whose field matches the pattern: the field set to value.
    void SetFieldInOpenRecords(const std::string& field, const std::string& pattern, const std::string& value);
    // "VELT #" and a number that only grows (never less than SheetCount() + 1):
    // the temporary identifier of an imported record its parts point at.
    std::string TemporaryIdentifier();

    // --- the window's commands ---
    // The user chose page index.
    void Activate(int index);
    edit_sheet* ActiveSheet() const;
    int ActiveIndex() const { return mActive; }
    void SaveActive();
    void SaveAll();
    void CheckActive();
    void CloseActive();
    void DeleteActive();
    // The window is being closed: true when it may close (no sheet left).
    bool CloseWindow();
    // "Pomocy" and F1: the server's help of the current field in the help pane.
    void Help();
    // F2 ... F12 and Ctrl+F1 ... Ctrl+F12: the HELP event of "#F" n "_" field or "#CTRLF" n "_" field.
    void FunctionKey(int n, bool ctrl);
    // Alt+T: the changed fields in a plain box.
    void ShowChangedFields();
    // The mouse wheel over the window; true when the form took it.
    bool Wheel(int steps);
    // 1.0, 1.24, 1.36 or 1.75: every sheet laid out again.
    void SetZoom(double zoom);
    double Zoom() const { return mSettings.zoom; }

    // --- the services of the field-event scripts ---
    // One command text of a sheet's script; its result text.
    std::string Command(edit_sheet* sheet, const std::string& command);
    // The scripts' command function (what a parameter form's scripts get too).
    EditorCommands& Commands() { return *mCommands; }

    // EditSessionCommands
    std::string NewRecordWithLines(const std::string& code, const std::string& lines) override;
    std::string CreateAndStore(const std::string& code, const std::string& lines) override;
    void OpenRecordCommand(const std::string& identifier) override;
    std::string ReadRecord(const std::string& identifier) override;
    std::string ReleaseRecord(const std::string& identifier) override;
    std::string StoreRecord(const std::string& identifier, const std::string& lines) override;
    std::string Help(char code, const std::string& text) override;
    std::string Service(char code, const std::string& text, const std::string& other) override;
    std::vector<std::string> OpenedRecords() const override { return mOpened; }
    std::vector<std::string> SavedRecords() const override { return mSaved; }

    // --- state ---
    const RecordKinds& Kinds() const { return mKinds; }
    const std::vector<std::unique_ptr<edit_sheet>>& Sheets() const { return mSheets; }
    // Identifiers opened and saved, without duplicates, the latest last.
    const std::vector<std::string>& Opened() const { return mOpened; }
    const std::vector<std::string>& Saved() const { return mSaved; }
    const FormSettings& Settings() const { return mSettings; }
    const std::string& WorkingDirectory() const { return mWorkingDirectory; }
    EditRequests& Requests() { return mRequests; }
    velt_files& Files() { return mFiles; }

private:
    // What is done to a record before its sheet is made.
    using Prepare = std::function<void(my_record&)>;

    // The number of a record named in either form, 0 for none.
    std::int32_t NumberOf(const std::string& identifier) const;
    // The identifier as the user sees it.
    std::string ShownOf(const std::string& identifier) const;
    edit_sheet* FindOpen(std::int32_t number) const;
    int IndexOf(const edit_sheet& sheet) const;
    // Whether one more sheet may be made now (a message when not).
    bool MayOpen();
    edit_sheet* Open(const RecordKind& kind, const std::string& identifier, const Prepare& prepare);
    edit_sheet* New(const RecordKind& kind, const my_record* templateRecord, const Prepare& prepare);
    edit_sheet* CreateSheet(const RecordKind& kind, my_record record, std::string identifier, std::string source);
    void ShowSheet(edit_sheet& sheet);
    bool Save(edit_sheet& sheet);
    // Asks about a modified sheet and closes it; false when it stays.
    bool Close(edit_sheet& sheet);
    void Release(edit_sheet& sheet);
    // Destroys a sheet and its page.
    void CloseSheet(edit_sheet& sheet);
    void CloseAllSheets();
    void Count();
    void Changed(const std::string& source, const std::string& identifier);
    static void Remember(std::vector<std::string>& list, const std::string& identifier);
    void ApplyServerKind();
    // The kept sheets of the open modified ones, for this catalogue and user.
    std::vector<KeptSheet> KeptSheets() const;
    // Writes them into the recovery file beside those of other catalogues; the
    // failure's text ("Nie można zapisać pliku ..."), or empty.
    std::string Keep(const std::vector<KeptSheet>& kept);
    void OfferRecovery();
    bool Reopen(const KeptSheet& kept);
    KeptSheet Identity() const;
    std::string RecoveryPath() const;

    // An open a script asked for while a form was laid out: run once the layout ended.
    void Defer(std::function<void()> open);
    void RunDeferred();

    velt_files& mFiles;
    Prompts& mPrompts;
    EditorView& mView;
    EditingNotifications mNotifications;
    EditingSetup mSetup;
    EditRequests mRequests;
    FormSettings mSettings;
    RecordKinds mKinds;
    std::vector<std::unique_ptr<edit_sheet>> mSheets;
    int mActive = -1;
    std::vector<std::string> mOpened;
    std::vector<std::string> mSaved;
    std::string mWorkingDirectory;
    int mLayingOut = 0;              // sheets being laid out (scripts may open more)
    bool mNestingReported = false;
    std::vector<std::function<void()>> mDeferred;  // opens asked for during a layout
    int mDeferredRounds = 0;
    std::unique_ptr<EditorCommands> mCommands;
    std::int64_t mTemporary = 0;     // the last temporary number given
};

}  // namespace velt
