#include "CliContext.h"

#include "catalogue/velt_files.h"

#include "text/RecordText.h"
#include "text/my_record.h"
#include "text/utf.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace velt::cli {

void PrintLine(std::FILE* out, const std::string& cp1250) {
    const std::string utf8 = WinUtf().Convert(cp1250);
    std::fwrite(utf8.data(), 1, utf8.size(), out);
    std::fputc('\n', out);
}

int CliContext::OpenCatalogue(std::unique_ptr<velt_files>& files) const {
    std::unique_ptr<TVeltClient> session;
    if (const int rc = OpenSession(session); rc != kExitOk) return rc;
    files = std::make_unique<velt_files>(std::move(session), true);
    if (!files->Ready) {
        if (!files->ErrorReported()) PrintLine(stderr, files->ErrorText);
        return files->Broken() ? kExitNoConnection : kExitRefused;
    }
    return kExitOk;
}

int CliContext::OpenSession(std::unique_ptr<TVeltClient>& session) const {
    if (host.empty() || port == 0) {
        std::fprintf(stderr, "velt-cli: --host and --port are required\n");
        return kExitUsage;
    }
    // The greeting is printed among the status parameters; failures go to
    // stderr, each once. The callback holds nothing of the session: it
    // outlives the pointer the session is made in.
    session = std::make_unique<TVeltClient>(
        host,
        [](const std::string& text, SessionText kind) {
            if (kind == SessionText::Failure) PrintLine(stderr, text);
        },
        port);
    if (session->Broken()) {
        if (!session->FailureReported()) PrintLine(stderr, session->ErrorText());
        return kExitNoConnection;
    }
    if (!user.empty()) {
        const std::string reason = session->Login(user, password, right);
        if (!reason.empty()) {
            // A broken connection has been reported by the callback already.
            if (!session->Broken()) PrintLine(stderr, reason);
            return session->Broken() ? kExitNoConnection : kExitRefused;
        }
    }
    return kExitOk;
}

bool CliContext::TakeOption(const std::string& name, std::string& value) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == name) {
            value = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            return true;
        }
    }
    return false;
}

bool CliContext::TakeSwitch(const std::string& name) {
    const auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}

bool ReadRecordFile(const std::string& name, my_record& record) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string text;
    const std::string raw = bytes.str();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text.push_back(raw[i] == '\n' ? '\r' : raw[i]);
    }
    record = ParseRecordText(text);
    return true;
}

}  // namespace velt::cli
