#include "editing/TEdycja.h"

#include "catalogue/velt_files.h"
#include "forms/FormReader.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"
#include "text/Trim.h"
#include "text/Wildcard.h"

#include <algorithm>
#include <sstream>

namespace velt {

namespace {

// A record text of more lines than this is not taken: the server keeps at
// most 20000 fields, and a form over millions would never be usable.
constexpr std::size_t kMaxRecordLines = 100000;

bool TooLong(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')) > kMaxRecordLines;
}

std::string TooLongText() { return "Rekord ma zbyt wiele pól"_cp; }

}  // namespace

TEdycja::TEdycja(velt_files& files, Prompts& prompts, EditorView& view, EditingNotifications notifications,
                 EditingSetup setup)
    : mFiles(files), mPrompts(prompts), mView(view), mNotifications(std::move(notifications)),
      mSetup(std::move(setup)), mRequests(files.Connection(), prompts) {
    mSettings.zoom = mSetup.zoom > 0 ? mSetup.zoom : 1.0;
    mSettings.pictureDirectory = mSetup.pictureDirectory;
    EditorServices services = mSetup.services;
    services.prompts = &mPrompts;
    services.files = &mFiles;
    services.session = this;
    mCommands = std::make_unique<EditorCommands>(std::move(services));
    mView.SessionChanged(this);
}

TEdycja::~TEdycja() {
    CloseAllSheets();
    mView.HideWindow();
    mView.SessionChanged(nullptr);
}

// --- identifiers ------------------------------------------------------------

std::int32_t TEdycja::NumberOf(const std::string& identifier) const {
    if (identifier.empty()) return 0;
    // A shown identifier reads back to itself through its stored form; any
    // other text is taken as a stored identifier (a form code names none).
    const std::string stored = mFiles.StoredIdentifier(identifier);
    const std::int32_t n = mFiles.RecordNumber(stored);
    if (n > 0 && mFiles.ShownIdentifier(stored) == TrimSpaces(identifier)) return n;
    return mFiles.RecordNumber(identifier);
}

std::string TEdycja::ShownOf(const std::string& identifier) const {
    const std::int32_t n = NumberOf(identifier);
    if (n <= 0) return identifier;
    return mFiles.ShownIdentifier(mFiles.RecordIdentifier(n));
}

edit_sheet* TEdycja::FindOpen(std::int32_t number) const {
    if (number <= 0) return nullptr;
    for (const auto& s : mSheets)
        if (s->Number() == number) return s.get();
    return nullptr;
}

int TEdycja::IndexOf(const edit_sheet& sheet) const {
    for (std::size_t i = 0; i < mSheets.size(); ++i)
        if (mSheets[i].get() == &sheet) return static_cast<int>(i);
    return -1;
}

void TEdycja::Remember(std::vector<std::string>& list, const std::string& identifier) {
    list.erase(std::remove(list.begin(), list.end(), identifier), list.end());
    list.push_back(identifier);
}

// --- starting and stopping --------------------------------------------------

void TEdycja::ApplyServerKind() {
    TVeltClient& session = mFiles.Connection();
    switch (mFiles.DatabaseKind) {
    case kVelt1:
        mSettings.maxOccurrence = 999;
        mSettings.decimalSeparator = '.';
        mSettings.maskFont = session.VersionAtLeast("2003.10.15") ? "Courier New/-14/B" : "";
        break;
    case kVelt2:
        mSettings.maxOccurrence = 200;
        mSettings.decimalSeparator = ',';
        mSettings.maskFont = "Courier New/-14/B";
        break;
    default:
        mSettings.maxOccurrence = 999;
        mSettings.decimalSeparator = ',';
        mSettings.maskFont = "Courier New/-14/B";
        break;
    }
}

void TEdycja::StartEditing(const std::string& workingDirectory) {
    mWorkingDirectory = workingDirectory;
    mCommands->Services().workingDirectory = workingDirectory;
    mKinds.Clear();
    mOpened.clear();
    mSaved.clear();
    TVeltClient& session = mFiles.Connection();
    std::vector<FormMessage> messages;
    {
        // The kinds load with the busy cursor, which the form messages pause: a
        // pause outside any busy scope would leave the cursor busy for good.
        BusyCursor busy(mPrompts);
        for (auto& [code, caption] : ServerKindList(session)) {
            if (mKinds.Find(code)) continue;  // one kind per code
            const RecordAnswer description = mRequests.Form(code);
            if (!description.ok) continue;  // the kind is left out of the menus
            FormReadResult read = ReadFormDescription(description.text, mSetup.pictureDirectory);
            for (auto& m : read.messages)
                if (messages.size() < kMaxFormMessages) messages.push_back(std::move(m));
            if (!read.root) continue;
            auto kind = std::make_unique<RecordKind>();
            kind->code = code;
            kind->caption = caption;
            kind->form = std::move(read.root);
            if (const RecordAnswer script = mRequests.Script(code); script.ok) {
                std::vector<std::string> skipped;
                std::istringstream lines(ServerScriptLines(script.text, skipped));
                const ErrorSink sink = [&messages](const std::string& m) {
                    if (messages.size() < kMaxFormMessages) messages.push_back({m, {}});
                };
                kind->script = LoadEventScripts(lines, "ACT-" + code, sink);
                for (const auto& name : skipped)
                    sink("Skrypt formularza "_cp + code + ": pominięto dołączany plik \""_cp + name + "\"");
            }
            mKinds.Add(std::move(kind));
        }
        if (!messages.empty()) {
            BusyPause pause(mPrompts);
            mView.ShowFormMessages(messages);
        }
    }
    ApplyServerKind();
    mView.KindsChanged();
    OfferRecovery();
}

bool TEdycja::StopEditing(bool force) {
    if (!mSheets.empty() && !force) {
        if (!mRequests.Broken()) {
            ShowEditor();
            mPrompts.show_error("Najpierw należy zamknąć otwarte rekordy!"_cp);
            return false;
        }
        // Nothing can be saved or released any more: the user decides what
        // becomes of what was typed.
        const std::vector<KeptSheet> kept = KeptSheets();
        if (!kept.empty()) {
            const DialogResult answer = mPrompts.ask_warning(
                "Połączenie z serwerem zostało przerwane, a zmiany otwartych rekordów ("_cp +
                std::to_string(kept.size()) +
                ") nie zostały zapisane.\r\rCzy zachować je, aby otworzyć te rekordy ponownie po następnym "
                "połączeniu?"_cp);
            if (answer == kCancel) return false;
            if (answer == kYes) {
                const std::string error = Keep(kept);
                if (!error.empty()) {
                    mPrompts.show_error(error);
                    return false;
                }
            }
        }
    } else if (!mSheets.empty()) {
        // The program is going: what was typed is kept without a question.
        const std::vector<KeptSheet> kept = KeptSheets();
        if (!kept.empty()) Keep(kept);
    }
    CloseAllSheets();
    mKinds.Clear();
    mView.KindsChanged();
    mView.HideWindow();
    return true;
}

// --- opening ----------------------------------------------------------------

bool TEdycja::MayOpen() {
    if (mLayingOut >= kMaxNestedOpens) {
        // A script that opens a record whenever a record is shown would
        // never end.
        if (!mNestingReported) mPrompts.show_error("Zbyt wiele rekordów otwieranych jeden w drugim"_cp);
        mNestingReported = true;
        return false;
    }
    if (mSheets.size() >= kMaxSheets) {
        mPrompts.show_error("Otwartych rekordów może być najwyżej "_cp + std::to_string(kMaxSheets));
        return false;
    }
    return true;
}

void TEdycja::OpenRecord(const std::string& code, const std::string& identifier) {
    const RecordKind* kind = mKinds.Find(code);
    if (!kind) return;
    Open(*kind, identifier, {});
}

edit_sheet* TEdycja::Open(const RecordKind& kind, const std::string& identifier, const Prepare& prepare) {
    const std::string shown = ShownOf(identifier);
    if (edit_sheet* open = FindOpen(NumberOf(identifier))) {
        // The record is open already: its sheet, never a second one.
        Remember(mOpened, shown);
        ShowSheet(*open);
        ShowEditor();
        return open;
    }
    if (!MayOpen()) return nullptr;
    RecordAnswer answer = mRequests.Open(identifier);
    if (answer.ok && TooLong(answer.text)) {
        mRequests.Release(identifier);
        answer = {false, {}, TooLongText()};
    }
    if (!answer.ok) {
        if (!answer.message.empty()) mPrompts.show_error(answer.message);
        return nullptr;
    }
    my_record record = ParseRecordText(answer.text);
    record.kind = identifier;
    if (prepare) prepare(record);
    edit_sheet* sheet = CreateSheet(kind, std::move(record), identifier, identifier);
    if (sheet) Remember(mOpened, shown);
    return sheet;
}

void TEdycja::NewRecord(const std::string& code, const my_record* templateRecord) {
    const RecordKind* kind = mKinds.Find(code);
    if (!kind) return;
    New(*kind, templateRecord, {});
}

edit_sheet* TEdycja::New(const RecordKind& kind, const my_record* templateRecord, const Prepare& prepare) {
    if (!MayOpen()) return nullptr;
    RecordAnswer answer = mRequests.NewRecord(kind.code);
    if (answer.ok && TooLong(answer.text)) answer = {false, {}, TooLongText()};
    if (!answer.ok) {
        // A refused new record opens no sheet.
        if (!answer.message.empty()) mPrompts.show_error(answer.message);
        return nullptr;
    }
    my_record record = ParseRecordText(answer.text);
    record.kind = kind.code;
    if (templateRecord) record.CopyFrom(*templateRecord);
    if (prepare) prepare(record);
    return CreateSheet(kind, std::move(record), kind.code, {});
}

void TEdycja::ImportRecord(const std::string& source, const std::string& id, const my_record& record) {
    const RecordKind* kind = mKinds.Find(id.substr(0, 1));
    if (!kind) return;
    if (edit_sheet* open = FindOpen(NumberOf(id))) {
        // Saving the import would overwrite what the open sheet holds.
        mPrompts.show_error("Rekord "_cp + ShownOf(id) + " jest już otwarty"_cp);
        ShowSheet(*open);
        return;
    }
    if (!MayOpen()) return;
    my_record fresh(id);
    fresh.CopyFrom(record);
    CreateSheet(*kind, std::move(fresh), id, source);
}

edit_sheet* TEdycja::CreateSheet(const RecordKind& kind, my_record record, std::string identifier,
                                 std::string source) {
    edit_sheet::Setup setup;
    setup.kind = &kind;
    setup.number = NumberOf(identifier);
    const bool fresh = source.empty() || source != identifier;
    if (!fresh)
        setup.caption = "Rekord \""_cp + ShownOf(identifier) + "\"";
    else if (!source.empty())
        setup.caption = "Import \""_cp + source + "\"";
    else
        setup.caption = "Nowy \""_cp + kind.code + "\"";
    setup.identifier = std::move(identifier);
    setup.source = std::move(source);
    setup.catalogue = &mFiles;
    setup.messages = [this](const std::string& m) { mPrompts.show_message(m); };
    // The sheet is known by its place, which the services look up at each call.
    auto holder = std::make_shared<edit_sheet*>(nullptr);
    setup.services = [this, holder](const std::string& command) { return Command(*holder, command); };

    auto sheet = std::make_unique<edit_sheet>(std::move(setup), std::move(record), mView.AddSheet());
    *holder = sheet.get();
    edit_sheet& s = *sheet;
    mSheets.push_back(std::move(sheet));
    mView.ShowWindow();
    ShowSheet(s);
    Count();
    ++mLayingOut;
    s.Layout(mSettings, true);
    if (--mLayingOut == 0) {
        mNestingReported = false;
        // What the form's scripts asked to open while it was laid out.
        RunDeferred();
    }
    return &s;
}

void TEdycja::ShowSheet(edit_sheet& sheet) {
    const int i = IndexOf(sheet);
    if (i < 0) return;
    mActive = i;
    mView.ShowSheet(sheet.View());
}

void TEdycja::ShowEditor() {
    if (!mSheets.empty()) mView.ShowWindow();
}

void TEdycja::Activate(int index) {
    if (index >= 0 && index < static_cast<int>(mSheets.size())) mActive = index;
}

edit_sheet* TEdycja::ActiveSheet() const {
    if (mActive < 0 || mActive >= static_cast<int>(mSheets.size())) return nullptr;
    return mSheets[static_cast<std::size_t>(mActive)].get();
}

void TEdycja::Count() {
    if (mNotifications.count) mNotifications.count(SheetCount());
}

void TEdycja::Changed(const std::string& source, const std::string& identifier) {
    if (mNotifications.changed) mNotifications.changed(source, identifier);
}

// --- saving, checking, closing, deleting -------------------------------------

bool TEdycja::Save(edit_sheet& sheet) {
    sheet.Commit();
    if (sheet.IsNew()) {
        // A new record named after an existing one would overwrite it.
        for (const auto& other : mSheets) {
            if (other.get() != &sheet && sheet.Number() > 0 && other->Number() == sheet.Number()) {
                sheet.Record().ClearErrors();
                sheet.Record().AddError("Rekord "_cp + ShownOf(sheet.Identifier()) + " jest otwarty w innym oknie"_cp,
                                        "*");
                sheet.ShowErrors();
                return false;
            }
        }
    }
    const EditOutcome outcome = mRequests.Save(sheet.Identifier(), sheet.Record());
    if (!outcome.ok) {
        // The sheet stays with everything typed in it.
        sheet.ShowErrors();
        if (!outcome.message.empty()) mPrompts.show_error(outcome.message);
        return false;
    }
    const std::string saved = ShownOf(outcome.identifier);
    const std::string source = !sheet.IsNew() ? ShownOf(sheet.Identifier()) : sheet.Source();
    Changed(source, saved);
    // The records imported after this one point at it by its temporary
    // identifier: from now on at the identifier the server gave it.
    if (source != saved && source.rfind("VELT #", 0) == 0) {
        std::string pattern;
        for (const char c : source) {
            if (c == '*' || c == '?' || c == '\\') pattern.push_back('\\');
            pattern.push_back(c);
        }
        SetFieldInOpenRecords("DOK_IDO", pattern, saved);
    }
    Remember(mSaved, saved);
    mPrompts.show_message("Rekord został zapisany.\n\r"_cp + saved);
    CloseSheet(sheet);
    return true;
}

void TEdycja::SaveActive() {
    if (edit_sheet* s = ActiveSheet()) Save(*s);
}

void TEdycja::SaveAll() {
    while (!mSheets.empty()) {
        const std::size_t before = mSheets.size();
        edit_sheet& first = *mSheets.front();
        ShowSheet(first);
        Save(first);
        if (mSheets.size() == before) break;
    }
    if (edit_sheet* s = ActiveSheet()) ShowSheet(*s);
}

void TEdycja::CheckActive() {
    edit_sheet* s = ActiveSheet();
    if (!s) return;
    s->Commit();
    mRequests.Check(s->Identifier(), s->Record());
    s->ShowErrors();
}

void TEdycja::Release(edit_sheet& sheet) {
    if (sheet.IsNew()) return;
    const EditOutcome o = mRequests.Release(sheet.Identifier());
    if (!o.message.empty()) mPrompts.plain_message(o.message);
}

bool TEdycja::Close(edit_sheet& sheet) {
    sheet.Commit();
    const DialogResult answer =
        sheet.IsModified() ? mPrompts.ask_warning(sheet.Caption() + " był poprawiany.\r\rCzy zapisać zmiany?"_cp) : kNo;
    if (answer == kYes) return Save(sheet);
    if (answer != kNo) return false;
    Release(sheet);
    CloseSheet(sheet);
    return true;
}

void TEdycja::CloseActive() {
    if (edit_sheet* s = ActiveSheet()) Close(*s);
}

void TEdycja::CloseSheet(edit_sheet& sheet) {
    const int i = IndexOf(sheet);
    if (i < 0) return;
    // The active sheet after it: the same one, or the left neighbour of the
    // closed active one (decided now: the page going may make another
    // current on the way).
    int active = mActive;
    if (active > i || (active == i && active > 0)) --active;
    // Out of the list first, so that nothing the form does while it goes
    // (its controls losing the focus) finds a half-removed sheet; then the
    // form, the record and the page.
    std::unique_ptr<edit_sheet> gone = std::move(mSheets[static_cast<std::size_t>(i)]);
    mSheets.erase(mSheets.begin() + i);
    mActive = -1;
    gone.reset();
    if (!mSheets.empty()) {
        mActive = std::clamp(active, 0, static_cast<int>(mSheets.size()) - 1);
        mView.ShowSheet(mSheets[static_cast<std::size_t>(mActive)]->View());
    }
    Count();
    if (mSheets.empty()) mView.HideWindow();
}

void TEdycja::CloseAllSheets() {
    // The last first, so that no page becomes active on the way.
    const bool any = !mSheets.empty();
    while (!mSheets.empty()) {
        std::unique_ptr<edit_sheet> gone = std::move(mSheets.back());
        mSheets.pop_back();
    }
    mActive = -1;
    if (any) Count();
}

void TEdycja::DeleteActive() {
    edit_sheet* s = ActiveSheet();
    if (!s) return;
    s->Commit();
    const std::string question = "Nastąpi bezpowrotne usunięcie rekordu.\r\rCzy jesteś pewien?"_cp;
    if (s->IsNew()) {
        // What was typed into a new record goes only when the user says so.
        if (!s->IsModified() || mPrompts.ask_question_default(question, kNo) == kYes) CloseSheet(*s);
        return;
    }
    if (mPrompts.ask_question_default(question, kNo) != kYes) return;
    const EditOutcome o = mRequests.Delete(s->Identifier());
    if (!o.ok) {
        if (!o.message.empty()) mPrompts.show_error(o.message);
        return;
    }
    Changed(ShownOf(s->Identifier()), {});
    mPrompts.show_message("Rekord został usunięty"_cp);
    CloseSheet(*s);
}

bool TEdycja::DeleteRecord(const std::string& identifier) {
    if (edit_sheet* open = FindOpen(NumberOf(identifier))) {
        // Deleting it here would release, or delete, what the sheet holds.
        ShowSheet(*open);
        ShowEditor();
        mPrompts.show_error("Rekord "_cp + ShownOf(identifier) + " jest otwarty do edycji: usuń go w jego oknie"_cp);
        return false;
    }
    const RecordAnswer opened = mRequests.Open(identifier);
    if (!opened.ok) {
        if (!opened.message.empty()) mPrompts.show_error(opened.message);
        return false;
    }
    if (mPrompts.ask_question_default(
            "Nastąpi bezpowrotne usunięcie rekordu "_cp + identifier + ".\r\rCzy jesteś pewien?"_cp, kNo) != kYes) {
        mRequests.Release(identifier);
        return false;
    }
    const EditOutcome o = mRequests.Delete(identifier);
    if (o.ok) {
        RecordsDeleted({identifier});
        Changed(ShownOf(identifier), {});
        return true;
    }
    mRequests.Release(identifier);
    if (!o.message.empty()) mPrompts.show_error(o.message);
    return false;
}

void TEdycja::RecordsDeleted(const std::vector<std::string>& identifiers) {
    for (const std::string& id : identifiers) {
        const std::int32_t n = NumberOf(id);
        for (std::vector<std::string>* list : {&mOpened, &mSaved})
            std::erase_if(*list, [&](const std::string& known) { return known == id || (n > 0 && NumberOf(known) == n); });
    }
}

bool TEdycja::CloseWindow() {
    while (!mSheets.empty()) {
        edit_sheet& s = *mSheets.front();
        ShowSheet(s);
        s.Commit();
        const DialogResult answer =
            s.IsModified() ? mPrompts.ask_warning(s.Caption() + " był poprawiany.\r\rCzy zapisać zmiany?"_cp) : kNo;
        if (answer == kYes) {
            if (!s.Record().errors().empty()) {
                s.ShowErrors();
                mView.MaximiseWindow();
                mPrompts.show_error("Przed zapisaniem należy poprawić błędy"_cp);
                return false;
            }
            Save(s);  // a failed save leaves the sheet first: it is asked about again
        } else if (answer == kNo) {
            Release(s);
            CloseSheet(s);
        } else {
            return false;
        }
    }
    return true;
}

// --- help, keys, wheel, zoom ------------------------------------------------

void TEdycja::Help() {
    edit_sheet* s = ActiveSheet();
    if (!s) return;
    s->ShowHelp(mRequests.Help(s->Identifier().substr(0, 1), s->CurrentField()));
}

void TEdycja::FunctionKey(int n, bool ctrl) {
    edit_sheet* s = ActiveSheet();
    if (!s || n < 1 || n > 12) return;
    if (!ctrl && n == 1) return Help();
    s->Event(kFormHelp, (ctrl ? "#CTRLF" : "#F") + std::to_string(n) + "_" + s->CurrentField());
}

void TEdycja::ShowChangedFields() {
    if (edit_sheet* s = ActiveSheet()) mPrompts.plain_message(s->ChangedFieldsText());
}

bool TEdycja::Wheel(int steps) {
    edit_sheet* s = ActiveSheet();
    return s && s->Wheel(steps);
}

void TEdycja::SetZoom(double zoom) {
    if (!(zoom > 0)) return;
    mSettings.zoom = zoom;
    for (const auto& s : mSheets) s->Relayout(mSettings);
}

// --- other windows ----------------------------------------------------------

void TEdycja::SetFieldInOpenRecords(const std::string& field, const std::string& pattern, const std::string& value) {
    for (const auto& s : mSheets) {
        if (!MatchWildcard(pattern, s->Record().GetValue(field))) continue;
        s->Record().SetValue(field, value);
        s->Refresh(field);
    }
}

std::string TEdycja::TemporaryIdentifier() {
    // Numbers are never given twice, so a replacement meant for the parts of
    // one record can never reach another's.
    mTemporary = std::max<std::int64_t>(mTemporary + 1, SheetCount() + 1);
    return "VELT #" + std::to_string(mTemporary);
}

// --- the recovery file ------------------------------------------------------

std::string TEdycja::RecoveryPath() const { return RecoveryFileName(mWorkingDirectory); }

KeptSheet TEdycja::Identity() const {
    KeptSheet k;
    k.host = mFiles.Host;
    k.port = mFiles.Port;
    k.user = mFiles.UserName();
    return k;
}

std::vector<KeptSheet> TEdycja::KeptSheets() const {
    std::vector<KeptSheet> kept;
    for (const auto& s : mSheets) {
        if (!s->IsModified()) continue;
        KeptSheet k = Identity();
        k.code = s->Kind().code;
        k.identifier = s->Identifier();
        k.source = s->Source();
        k.fields = s->Record().fields();
        kept.push_back(std::move(k));
    }
    return kept;
}

std::string TEdycja::Keep(const std::vector<KeptSheet>& kept) {
    // Never a file named after nothing in whatever directory the program runs in.
    if (mWorkingDirectory.empty()) return "Nie można zapisać pliku "_cp + RecoveryPath() + ": brak katalogu roboczego"_cp;
    // The sheets of other catalogues and users stay; this one's are replaced.
    std::vector<KeptSheet> all;
    const KeptSheet me = Identity();
    for (KeptSheet& k : ReadRecoveryFile(RecoveryPath()))
        if (!k.SameCatalogue(me)) all.push_back(std::move(k));
    for (const KeptSheet& k : kept)
        if (all.size() < kMaxKeptRecords) all.push_back(k);
    return WriteRecoveryFile(RecoveryPath(), all);
}

bool TEdycja::Reopen(const KeptSheet& kept) {
    const RecordKind* kind = mKinds.Find(kept.code);
    if (!kind) return false;
    // The changes typed before go onto the record as the server has it now.
    const Prepare apply = [&kept](my_record& record) {
        for (const my_field& f : kept.fields)
            if (f.value != f.loaded) record.SetValue(f.key, f.value);
    };
    if (kept.Existing()) return Open(*kind, kept.identifier, apply) != nullptr;
    if (!kept.Imported()) return New(*kind, nullptr, apply) != nullptr;
    if (FindOpen(NumberOf(kept.identifier)) || !MayOpen()) return false;
    my_record record(kept.identifier);
    for (const my_field& f : kept.fields) {
        record.AddField(f.key, f.loaded, f.readonly);
        record.SetValue(f.key, f.value);
    }
    return CreateSheet(*kind, std::move(record), kept.identifier, kept.source) != nullptr;
}

void TEdycja::OfferRecovery() {
    if (mWorkingDirectory.empty()) return;
    std::vector<KeptSheet> all = ReadRecoveryFile(RecoveryPath());
    const KeptSheet me = Identity();
    std::vector<KeptSheet> mine, others;
    for (KeptSheet& k : all) (k.SameCatalogue(me) ? mine : others).push_back(std::move(k));
    if (mine.empty()) return;
    std::string names;
    for (std::size_t i = 0; i < mine.size() && i < 10; ++i) {
        const KeptSheet& k = mine[i];
        names += "\r  " + (k.Existing() ? ShownOf(k.identifier) : k.Imported() ? k.source : "nowy \""_cp + k.code + "\"");
    }
    if (mine.size() > 10) names += "\r  ...";
    const DialogResult answer = mPrompts.ask_warning(
        "Po przerwaniu połączenia zachowano niezapisane zmiany rekordów:"_cp + names +
        "\r\rCzy otworzyć je ponownie z tymi zmianami? (Nie: zmiany zostaną odrzucone)"_cp);
    if (answer == kCancel) return;  // asked again at the next login
    std::vector<KeptSheet> left = std::move(others);
    if (answer == kYes) {
        // What could not be opened now (held by someone, a kind gone) stays for later.
        for (KeptSheet& k : mine)
            if (!Reopen(k)) left.push_back(std::move(k));
    }
    const std::string error = WriteRecoveryFile(RecoveryPath(), left);
    if (!error.empty()) mPrompts.show_error(error);
}

}  // namespace velt
