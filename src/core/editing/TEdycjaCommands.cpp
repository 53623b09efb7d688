// The edit session's part of the scripts' commands (editing/EditorCommands.h):
// new records with lines applied, records opened, read, released and stored
// without a window, the server's help and field services, the lists of
// records opened and saved. A record an open sheet holds is never released,
// stored over or read anew by a command: the sheet's own record is what a
// script gets. A sheet a script opens while a form is being laid out (its
// SHOW event) opens once that layout has ended.

#include "editing/TEdycja.h"

#include "catalogue/velt_files.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"

namespace velt {

namespace {

// Applies "name=value" lines (CR-separated): a name with "*" makes the field
// read-only, any other clears the flag; lines without "=" are skipped.
void ApplyLines(my_record& record, std::string_view lines) {
    std::size_t at = 0;
    while (at < lines.size()) {
        std::size_t end = lines.find('\r', at);
        if (end == std::string_view::npos) end = lines.size();
        const std::string_view line = lines.substr(at, end - at);
        at = end + 1;
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        std::string key(line.substr(0, eq));
        const bool readonly = !key.empty() && key[0] == '*';
        if (readonly) key.erase(0, 1);
        if (key.empty()) continue;
        record.SetValue(key, std::string(line.substr(eq + 1)));
        if (record.Find(key)) record.SetReadOnly(key, readonly ? 1 : 0);
    }
}

// The record as lines name=value CR with its current values.
std::string CurrentText(const my_record& record) {
    std::string text;
    for (const my_field& f : record.fields()) text += f.key + "=" + f.value + "\r";
    return text;
}

// The errors' messages, each cut at its first ESC, joined by sep; after
// first (itself left out of the list) when it is given.
std::string Messages(const my_record& record, const std::string& sep, const std::string& first = {}) {
    std::string out = first;
    for (const my_error& e : record.errors()) {
        const std::string message = e.message.substr(0, e.message.find('\x1b'));
        if (!first.empty() && message == first) continue;
        if (!out.empty()) out += sep;
        out += message;
    }
    return out;
}


}  // namespace

std::string TEdycja::Command(edit_sheet* sheet, const std::string& command) {
    (void)sheet;
    return mCommands->Run(command);
}

std::string TEdycja::ReleaseRecord(const std::string& identifier) {
    // What a sheet holds stays reserved for it.
    if (FindOpen(NumberOf(identifier))) return "Rekord "_cp + ShownOf(identifier) + " jest otwarty do edycji"_cp;
    mRequests.Release(identifier);
    return {};
}

void TEdycja::OpenRecordCommand(const std::string& identifier) {
    if (mLayingOut > 0) {
        // Not in the middle of a layout: once it has ended.
        Defer([this, identifier] { OpenRecordCommand(identifier); });
        return;
    }
    if (const RecordKind* kind = mKinds.Find(identifier.substr(0, 1))) Open(*kind, identifier, {});
}

std::string TEdycja::Help(char code, const std::string& text) { return mRequests.Help(std::string(1, code), text); }

std::string TEdycja::Service(char code, const std::string& text, const std::string& other) {
    return mRequests.Service(code, text, other);
}

void TEdycja::Defer(std::function<void()> open) {
    // Opens that each open more (a SHOW script opening a record on every
    // show) end after a few rounds: the sheet the user opened and at most
    // kMaxNestedOpens - 1 opened one from another.
    if (mDeferredRounds + 1 >= kMaxNestedOpens) {
        if (!mNestingReported) mPrompts.show_error("Zbyt wiele rekordów otwieranych jeden w drugim"_cp);
        mNestingReported = true;
        return;
    }
    mDeferred.push_back(std::move(open));
}

void TEdycja::RunDeferred() {
    if (mDeferred.empty()) {
        mDeferredRounds = 0;
        return;
    }
    ++mDeferredRounds;
    std::vector<std::function<void()>> now;
    now.swap(mDeferred);
    for (auto& open : now) open();
    if (mDeferred.empty()) mDeferredRounds = 0;
}

std::string TEdycja::NewRecordWithLines(const std::string& code, const std::string& lines) {
    if (mLayingOut > 0) {
        Defer([this, code, lines] { NewRecordWithLines(code, lines); });
        return {};
    }
    const RecordKind* kind = mKinds.Find(code);
    if (!kind) return {};
    if (!MayOpen()) return {};
    const RecordAnswer answer = mRequests.NewRecord(kind->code);
    if (!answer.ok) {
        if (!answer.message.empty()) mPrompts.show_error(answer.message);
        return answer.message.empty() ? mRequests.Session().ErrorText() : answer.message;
    }
    my_record record = ParseRecordText(answer.text);
    record.kind = kind->code;
    ApplyLines(record, lines);
    CreateSheet(*kind, std::move(record), kind->code, {});
    return {};
}

std::string TEdycja::ReadRecord(const std::string& identifier) {
    if (edit_sheet* open = FindOpen(NumberOf(identifier))) return CurrentText(open->Record());
    const RecordAnswer answer = mRequests.Open(identifier);
    if (!answer.ok) return {};
    // Reading reserves nothing: the record is released at once.
    mRequests.Release(identifier);
    return CurrentText(ParseRecordText(answer.text));
}

std::string TEdycja::StoreRecord(const std::string& identifier, const std::string& lines) {
    if (FindOpen(NumberOf(identifier)))
        return "Rekord "_cp + ShownOf(identifier) + " jest otwarty do edycji"_cp;
    // Stored as the editing window stores: reserved first (so never past
    // another user's reservation), saved (which releases it), released when
    // the save failed.
    const RecordAnswer reserved = mRequests.Open(identifier);
    if (!reserved.ok) return reserved.message.empty() ? mRequests.Session().ErrorText() : reserved.message;
    // The lines go over the record as it is, so a line "name=" empties a
    // field the record has (over an empty record it would change nothing).
    my_record record = ParseRecordText(reserved.text);
    ApplyLines(record, lines);
    const EditOutcome outcome = mRequests.Save(identifier, record);
    if (!outcome.ok) {
        mRequests.Release(identifier);
        return Messages(record, ". ");
    }
    const std::string saved = ShownOf(outcome.identifier);
    Changed(saved, saved);
    Remember(mSaved, saved);
    return {};
}

std::string TEdycja::CreateAndStore(const std::string& code, const std::string& lines) {
    const RecordKind* kind = mKinds.Find(code);
    if (!kind) return {};
    const RecordAnswer answer = mRequests.NewRecord(kind->code);
    if (!answer.ok) {
        if (!answer.message.empty()) mPrompts.show_error(answer.message);
        return {};
    }
    my_record record = ParseRecordText(answer.text);
    record.kind = kind->code;
    ApplyLines(record, lines);
    const EditOutcome outcome = mRequests.Save(kind->code, record);
    if (!outcome.ok) {
        if (!mRequests.Broken()) mPrompts.show_error(Messages(record, "\r\n", outcome.message));
        return {};
    }
    const std::string saved = ShownOf(outcome.identifier);
    Changed({}, saved);
    Remember(mSaved, saved);
    return saved;
}

}  // namespace velt
