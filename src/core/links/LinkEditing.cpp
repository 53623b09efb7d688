#include "links/LinkEditing.h"

#include "catalogue/velt_files.h"
#include "editing/EditRequests.h"
#include "net/ProgramRequests.h"
#include "net/RecordRequests.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"
#include "text/Trim.h"

namespace velt {

namespace {

constexpr const char* kLinksCall = "WIAZANIE";

// The answer's text followed by the record's error messages, a line each.
std::string WithErrors(const std::string& first, const my_record& record) {
    std::string out = first;
    for (const my_error& e : record.errors()) {
        const std::string message = e.message.substr(0, e.message.find('\x1b'));
        if (message.empty() || message == first) continue;
        if (!out.empty()) out += "\r\n";
        out += message;
    }
    return out;
}

}  // namespace

const velt_programm* LinksItem(const velt_files& files) { return files.ProgramByCall(kLinksCall); }

std::string LinksParameters(const velt_programm& item, const std::string& parentShown) {
    const std::string after = item.Call.size() > 9 ? item.Call.substr(9) : std::string();
    return after + "|" + parentShown + "|";
}

std::string NotOfferedText() { return "Serwer nie realizuje tej funkcji"_cp; }

LinkEditing::LinkEditing(velt_files& files, EditRequests& requests, Prompts& prompts, Hooks hooks)
    : mFiles(files), mRequests(requests), mPrompts(prompts), mHooks(std::move(hooks)) {}

std::string LinkEditing::Shown(const std::string& stored) const {
    return std::string(TrimSpaces(mFiles.ShownIdentifier(stored)));
}

std::string LinkEditing::RunLinks(const velt_programm& item, const std::string& childShown,
                                  const std::string& parentShown) {
    return ProgramRun(mFiles.Connection(), item.Id, LinksParameters(item, parentShown), childShown + "|");
}

std::string LinkEditing::AddLinkedRecord(const std::string& parent) {
    mOrphan.clear();
    const bool velt1 = mFiles.DatabaseKind == kVelt1;
    const velt_programm* links = velt1 ? nullptr : LinksItem(mFiles);
    if (!velt1 && !links) {
        mPrompts.show_error(NotOfferedText());
        return {};
    }
    const velt_programm item = links ? *links : velt_programm{};
    // A record of the parent's kind (VELT1 has no kinds). VELT1 makes it of
    // what the server gives a new record; the other servers take an empty
    // record of the kind as a part to be described.
    const std::string code = velt1 || parent.empty() ? std::string() : parent.substr(0, 1);
    my_record record;
    if (velt1) {
        const RecordAnswer initial = mRequests.NewRecord(code);
        if (!initial.ok) {
            if (!initial.message.empty()) mPrompts.show_error(initial.message);
            return {};
        }
        record = ParseRecordText(initial.text);
        record.SetValue("DOK_IDO", parent);
    }
    record.kind = code;
    const EditOutcome saved = mRequests.Save(code, record);
    if (!saved.ok) {
        if (!mRequests.Broken()) mPrompts.show_error(WithErrors(saved.message, record));
        return {};
    }
    if (velt1) return saved.identifier;
    const std::string error = RunLinks(item, Shown(saved.identifier), Shown(parent));
    if (mFiles.Broken() || !error.empty()) {
        // The record exists now: the user learns which one stands alone.
        mOrphan = saved.identifier;
        if (!mFiles.Broken())
            mPrompts.plain_message(error + "\r\rNowy rekord "_cp + Shown(saved.identifier) +
                                   " został zapisany, ale nie został dołączony do rekordu "_cp + Shown(parent) + ".");
        return {};
    }
    return saved.identifier;
}

std::string LinkEditing::LinkRecord(const std::string& child, const std::string& parent) {
    const std::string shown = Shown(child);
    if (mHooks.isOpen && mHooks.isOpen(child))
        return "Rekord "_cp + shown + " jest otwarty do edycji"_cp;
    if (mFiles.DatabaseKind != kVelt1) {
        const velt_programm* links = LinksItem(mFiles);
        if (!links) return NotOfferedText();
        const velt_programm item = *links;
        const std::string error = RunLinks(item, shown, parent.empty() ? std::string() : Shown(parent));
        if (mFiles.Broken()) return mFiles.ConnectionError();
        if (!error.empty()) return error;
        if (mHooks.changed) mHooks.changed(shown);
        return {};
    }
    const RecordAnswer opened = mRequests.Open(child);
    if (!opened.ok) return opened.message.empty() ? mFiles.ConnectionError() : opened.message;
    my_record record = ParseRecordText(opened.text);
    record.SetValue("DOK_IDO", parent.empty() ? std::string(kNoParent) : parent);
    const EditOutcome saved = mRequests.Save(shown, record);
    if (!saved.ok) {
        mRequests.Release(child);
        return saved.message.empty() ? mFiles.ConnectionError() : saved.message;
    }
    if (mHooks.changed) mHooks.changed(shown);
    return {};
}

std::string LinkEditing::SortComponents(const std::string& identifier, const std::string& key) {
    const Answers a = EditRequest(mFiles.Connection(), 'S', {identifier, key});
    if (!a.Answered()) return mFiles.ConnectionError();
    return a[1];
}

}  // namespace velt
