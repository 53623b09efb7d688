#include "ReportRun.h"

#include "browse/CollectionFile.h"
#include "catalogue/velt_files.h"
#include "net/SearchRequests.h"
#include "params/HeadlessParameterWindow.h"
#include "reports/ReportRuns.h"
#include "search/QueryHistory.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <cstdint>
#include <cstdlib>
#include <functional>

namespace velt::cli {

std::string WorkDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = tmp && *tmp ? tmp : "/tmp";
    if (dir.back() != '/') dir += '/';
    return dir;
}

int RunReport(CliContext& ctx, const std::string& utf8Name, const ReportScopeOptions& options, ReportRun& run) {
    const std::string name = UtfVeltwin().Convert(utf8Name);
    const std::string& remote = options.remote;
    const std::string& local = options.local;
    const std::string& record = options.record;
    const std::string& params = options.params;

    std::unique_ptr<TVeltClient> session;
    if (const int rc = ctx.OpenSession(session); rc != kExitOk) return rc;
    velt_files files(std::move(session), true);
    if (!files.Ready) {
        if (!files.ErrorReported()) PrintLine(stderr, files.ErrorText);
        return files.Broken() ? kExitNoConnection : kExitRefused;
    }
    const velt_report* report = nullptr;
    for (const velt_report& r : files.Reports)
        if (r.Name == name && !report) report = &r;
    if (!report) {
        PrintLine(stderr, "Nieznane zestawienie \""_cp + name + "\"");
        return kExitRefused;
    }

    std::string records;
    ReportScope scope = ReportScope::Parameters;
    if (!remote.empty()) {
        scope = ReportScope::RemoteCollection;
        const SearchOutcome found = InterpretSearchReply(Search(files.Connection(), UtfVeltwin().Convert(remote)).get());
        if (files.Broken()) return kExitNoConnection;
        if (!found.error.empty() || found.collection == 0) {
            PrintLine(stderr, found.error.empty() ? "Zła postać odpowiedzi serwera"_cp : found.error);
            return kExitRefused;
        }
        files.RemoteCollection = found.collection;
    } else if (!local.empty()) {
        scope = ReportScope::LocalCollection;
        const CollectionFileLines lines = ReadCollectionFile(local);
        if (!lines.opened) {
            PrintLine(stderr, "Błąd otwarcia pliku "_cp + local);
            return kExitRefused;
        }
        records = ReportRecordList(lines.lines);
    } else if (!record.empty()) {
        scope = ReportScope::Record;
        records = ReportRecordList({UtfVeltwin().Convert(record)});
    }

    // The errors of the run go to stderr; there is no window to wait behind.
    CliPrompts prompts;
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms{window, settings, [] { return std::string("/nonexistent-velt/"); }};
    ItemRunContext context{forms, prompts, prompts, WorkDirectory()};
    const std::string work =
        RunScopedReport(files, *report, scope, records, UtfVeltwin().Convert(params), context);
    if (work.empty()) {
        if (files.Broken()) return kExitNoConnection;
        PrintLine(stderr, prompts.shown);
        return kExitRefused;
    }
    run.report = *report;
    run.work = work;
    return kExitOk;

}

}  // namespace velt::cli
