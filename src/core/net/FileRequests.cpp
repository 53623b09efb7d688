#include "net/FileRequests.h"

#include "text/CpLiteral.h"

#include <vector>

namespace velt {

namespace {

std::string ReplyError() { return "Bład odpowiedzi"_cp; }

// The extension of a file name without its dot, at most 3 characters.
std::string ShortExtension(const std::string& fileName) {
    const auto slash = fileName.find_last_of('/');
    const auto dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return fileName.substr(dot + 1, 3);
}

bool ReportRequest(TVeltClient& s, ReportRequestKind second, const std::vector<std::int32_t>& ints,
                   const std::vector<std::string>& texts, const std::string& target, const ProgressCallback& progress) {
    return s.Exchange(
        RequestCode::Report, static_cast<int>(second),
        [&] {
            for (std::int32_t v : ints) s.PUTINTEGER(v);
            for (const auto& t : texts) s.PUTSTRING(t);
            s.SEND();
            return s.ReceiveFile(target, progress);
        },
        [] { return false; });
}

// An attachment request of texts whose answer's first text is the result.
std::string FirstAnswer(TVeltClient& s, char second, const std::vector<std::string>& texts) {
    return s.Exchange(
        RequestCode::Attachment, second,
        [&] {
            for (const auto& t : texts) s.PUTSTRING(t);
            s.SEND();
            const Answers a = s.ReadAnswers();
            return a.Answered() ? a[1] : ReplyError();
        },
        [&] { return s.FailureText(); });
}

// Adding a file: the texts, then the file's transfer, then the answer.
std::string SendAttachment(TVeltClient& s, char second, const std::vector<std::string>& texts,
                           const std::string& fileName, const ProgressCallback& progress) {
    return s.Exchange(
        RequestCode::Attachment, second,
        [&] {
            for (const auto& t : texts) s.PUTSTRING(t);
            s.SendFile(fileName, progress);
            const Answers a = s.ReadAnswers();
            return a.Answered() ? a[1] : ReplyError();
        },
        [&] { return s.FailureText(); });
}

}  // namespace

bool CollectionReport(TVeltClient& s, std::int32_t collection, std::int32_t report, const std::string& parameters,
                      const std::string& target, const ProgressCallback& progress) {
    if (parameters.empty())
        return ReportRequest(s, ReportRequestKind::Collection, {collection, report}, {}, target, progress);
    return ReportRequest(s, ReportRequestKind::CollectionWithParameters, {collection, report}, {parameters}, target,
                         progress);
}

bool ListReport(TVeltClient& s, std::int32_t report, const std::string& parameters, const std::string& records,
                const std::string& target, const ProgressCallback& progress) {
    if (parameters.empty()) return ReportRequest(s, ReportRequestKind::List, {report}, {records}, target, progress);
    return ReportRequest(s, ReportRequestKind::ListWithParameters, {report}, {parameters, records}, target, progress);
}

bool ParameterReport(TVeltClient& s, std::int32_t report, const std::string& parameters, const std::string& target,
                     const ProgressCallback& progress) {
    return ReportRequest(s, ReportRequestKind::Parameters, {report}, {parameters}, target, progress);
}

bool GetFile(TVeltClient& s, const std::string& designation, const std::string& target,
             const ProgressCallback& progress) {
    return s.Exchange(
        RequestCode::File, 1,
        [&] {
            s.PUTSTRING(designation);
            s.SEND();
            return s.ReceiveFile(target, progress);
        },
        [] { return false; });
}

std::string AttachmentList(TVeltClient& s, const std::string& id) { return FirstAnswer(s, 'L', {id}); }

std::string AttachmentKinds(TVeltClient& s, const std::string& id) { return FirstAnswer(s, 'F', {id}); }

bool AttachmentGet(TVeltClient& s, const std::string& id, const std::string& name, const std::string& target,
                   const ProgressCallback& progress) {
    return s.Exchange(
        RequestCode::Attachment, 'G',
        [&] {
            s.PUTSTRING(id);
            s.PUTSTRING(name);
            s.SEND();
            return s.ReceiveFile(target, progress);
        },
        [] { return false; });
}

std::string AttachmentAdd(TVeltClient& s, const std::string& id, const std::string& fileName,
                          const ProgressCallback& progress) {
    return SendAttachment(s, 'A', {id, ShortExtension(fileName)}, fileName, progress);
}

std::string AttachmentAddAs(TVeltClient& s, const std::string& id, const std::string& name,
                            const std::string& fileName, const ProgressCallback& progress) {
    return SendAttachment(s, 'S', {id, name, ShortExtension(fileName)}, fileName, progress);
}

std::string AttachmentDelete(TVeltClient& s, const std::string& id, const std::string& name) {
    return FirstAnswer(s, 'D', {id, name});
}

}  // namespace velt
