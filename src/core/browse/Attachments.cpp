#include "browse/Attachments.h"
#include "net/FileRequests.h"

#include "catalogue/velt_files.h"
#include "net/FileRequests.h"
#include "text/PipeList.h"

namespace velt {

namespace {

// The names of a "|"-list; empty parts are no names.
std::vector<std::string> Names(const std::string& text) {
    std::vector<std::string> out;
    for (const std::string_view name : SplitPipeList(text))
        if (!name.empty()) out.emplace_back(name);
    return out;
}

// The server's refusal, unless the connection itself failed.
std::string Refusal(const velt_files& files, const std::string& answer) {
    return files.Broken() ? std::string() : answer;
}

}  // namespace

AttachmentChoices ReadAttachmentChoices(velt_files& files, const std::string& shownRecord) {
    AttachmentChoices choices;
    if (!files.Ready || shownRecord.empty()) return choices;
    TVeltClient& session = files.Connection();
    const std::string identifier = files.StoredIdentifier(shownRecord);
    for (const AttachmentNames& a : files.Attachments)
        if (!a.Prefix.empty() && a.Prefix[0] == shownRecord[0] && !a.Names.empty()) {
            choices.addNames = a.Names;
            break;
        }
    if (choices.addNames.empty() && session.VersionAtLeast(kAttachmentKindsVersion)) {
        const std::string kinds = AttachmentKinds(session, identifier);
        if (session.Broken()) return {};
        choices.addNames = Names(kinds);
    }
    choices.addUnnamed = choices.addNames.empty();
    const std::string present = AttachmentList(session, identifier);
    if (session.Broken()) return {};
    choices.present = Names(present);
    return choices;
}

std::string AddAttachment(velt_files& files, const std::string& shownRecord, const std::string& name,
                          const std::string& file, const ProgressCallback& progress) {
    if (shownRecord.empty()) return {};
    const std::string identifier = files.StoredIdentifier(shownRecord);
    const std::string answer = name.empty() ? AttachmentAdd(files.Connection(), identifier, file, progress)
                                            : AttachmentAddAs(files.Connection(), identifier, name, file, progress);
    return Refusal(files, answer);
}

std::string DeleteAttachment(velt_files& files, const std::string& shownRecord, const std::string& name) {
    if (shownRecord.empty()) return {};
    return Refusal(files, AttachmentDelete(files.Connection(), files.StoredIdentifier(shownRecord), name));
}

}  // namespace velt
