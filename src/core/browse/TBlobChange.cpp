#include "browse/TBlobChange.h"

#include "files/WorkFile.h"
#include "net/FileRequests.h"
#include "text/CpLiteral.h"

namespace velt {

std::string AttachmentFileExtension(std::string_view name) {
    const std::string_view last = name.size() > 3 ? name.substr(name.size() - 3) : name;
    std::string ext;
    for (const char ch : last)
        if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')) ext.push_back(ch);
    return ext.empty() ? "dat" : ext;
}

bool TBlobChange::FetchAttachment(TVeltClient& session, const std::string& record, const std::string& file,
                                  const std::string& name) {
    bool ok = false;
    mLongOps.run_with_gauge([&](const GaugeFunction& gauge) {
        ok = AttachmentGet(session, record, name, file, [&](std::int64_t done, std::int64_t total) { gauge(done, total); });
    });
    return ok;
}

std::string TBlobChange::AddAttachment(TVeltClient& session, const std::string& record, const std::string& file) {
    std::string answer;
    mLongOps.run_with_gauge([&](const GaugeFunction& gauge) {
        answer = velt::AttachmentAdd(session, record, file,
                                     [&](std::int64_t done, std::int64_t total) { gauge(done, total); });
    });
    return answer;
}

std::string TBlobChange::AddAttachmentAs(TVeltClient& session, const std::string& record, const std::string& file,
                                         const std::string& name) {
    std::string answer;
    mLongOps.run_with_gauge([&](const GaugeFunction& gauge) {
        answer = velt::AttachmentAddAs(session, record, name, file,
                                       [&](std::int64_t done, std::int64_t total) { gauge(done, total); });
    });
    return answer;
}

std::string TBlobChange::FetchToWorkFile(TVeltClient& session, const std::string& directory,
                                         const std::string& record, const std::string& name, std::string& problem) {
    WorkFile work(directory, "tmp-", AttachmentFileExtension(name));
    if (!work.Made()) {
        problem = "Brak dostępu do folderu roboczego"_cp;
        return {};
    }
    // The work file is removed unless the attachment arrived.
    if (!FetchAttachment(session, record, work.Path(), name)) return {};
    return work.Release();
}

}  // namespace velt
