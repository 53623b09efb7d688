// The services the editing window gives its field-event scripts: one command
// text in, one result text out. A command starts with its letter (and, for
// some, a second one); arguments follow, separated by "|". Booleans are the
// scripts' own: the empty text is true, "N" false.
//
// Here are the commands that live on the edit session and the prompts: help
// and field services (PO, PS), the opened and saved lists (HO, HZ), reading,
// releasing and storing records (MO, MC, MS, N), opening records (O, A), the
// message dialogs (DE, DM, DW, DQ), the login (UN, UP, UR), and the
// authority files (X and Y look a heading up, I takes an exact one, R and W
// choose a record or a node of its structure, V gives a reference text).
// The commands of other windows (labels, dialogs for files, lists and fonts,
// index lookups) answer the empty text until those windows come, as an
// unknown command does.
//
// A record an open sheet holds is never released, stored over or read anew
// by a command: the sheet's own record is what a script gets.

#include "editing/TEdycja.h"

#include "authority/AuthorityEntries.h"
#include "authority/AuthorityWindows.h"

#include "catalogue/velt_files.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"
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

std::string List(const std::vector<std::string>& identifiers) {
    std::string out;
    for (const auto& id : identifiers) out += id + "|";
    return out;
}

}  // namespace

std::string TEdycja::Command(edit_sheet* sheet, const std::string& command) {
    (void)sheet;
    if (command.empty()) return {};
    const char letter = command[0];
    const std::string after = command.substr(1);
    // The letters and what is before the first "|", then the rest after it.
    const PipeSplit parts = SplitAtPipe(std::string_view(command).substr(1));
    const std::string rest(parts.tail);
    const std::string head(parts.head);
    const char sub = command.size() > 1 ? command[1] : '\0';
    TVeltClient& session = mFiles.Connection();
    switch (letter) {
    case 'A': return NewWithLines(head, rest);
    case 'D': {
        switch (sub) {
        case 'E': mPrompts.show_error(rest); return {};
        case 'M': mPrompts.show_message(rest); return {};
        case 'W': mPrompts.show_notice(rest); return {};
        case 'Q': return mPrompts.ask_question(rest) == kYes ? std::string() : "N";
        default: return {};
        }
    }
    case 'H':
        if (sub == 'O') return List(mOpened);
        if (sub == 'Z') return List(mSaved);
        return {};
    case 'M': {
        const std::string id = head.size() > 1 ? head.substr(1) : std::string();
        if (sub == 'O') return ReadRecord(id);
        if (sub == 'S') return StoreRecord(id, rest);
        if (sub == 'C') {
            // What a sheet holds stays reserved for it.
            if (!FindOpen(NumberOf(id))) mRequests.Release(id);
            return {};
        }
        return {};
    }
    case 'N': return CreateAndStore(head, rest);
    case 'O': {
        const RecordKind* kind = mKinds.Find(after.substr(0, 1));
        if (kind && !after.empty()) Open(*kind, after, {});
        return {};
    }
    case 'P': {
        if (command.size() < 3) return {};
        const char c = command[2];
        if (sub == 'O') return mRequests.Help(std::string(1, c), command.substr(3));
        if (sub == 'S') {
            const std::string text = head.size() > 2 ? head.substr(2) : std::string();
            return mRequests.Service(c, text, rest);
        }
        return {};
    }
    case 'I': {
        // format type "|" prefix "|" term
        const PipeSplit second = SplitAtPipe(parts.tail);
        return ExactAuthorityTerm(mFiles, head, std::string(second.head), std::string(second.tail));
    }
    case 'R':
        if (!mSetup.authority) return {};
        // Nothing chosen is no identifier, not the one the script gave.
        return mSetup.authority->SelectRecord(mFiles, after, {}, 0).identifier;
    case 'V':
        return ReferenceText(mFiles, head, parts.parted ? rest : std::string("referencja"));
    case 'W': {
        if (!mSetup.authority) return {};
        return mSetup.authority->SelectInStructure(mFiles, rest, head).identifier;
    }
    case 'X':
        return mSetup.authority ? AuthorityKeyLookup(*mSetup.authority, mFiles, head, rest) : std::string();
    case 'Y':
        return mSetup.authority ? AuthorityFullLookup(*mSetup.authority, mFiles, head, rest) : std::string();
    case 'U':
        if (!session.LoggedIn()) return {};
        if (sub == 'N') return session.UserName();
        if (sub == 'P') return session.Profile();
        if (sub == 'R') return session.Rights();
        return {};
    default: return {};
    }
}

std::string TEdycja::NewWithLines(const std::string& code, const std::string& lines) {
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
    my_record record(identifier);
    ApplyLines(record, lines);
    const EditOutcome outcome = mRequests.Save(identifier, record);
    if (!outcome.ok) return Messages(record, ". ");
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
