// velt-cli export: records of the catalogue written as MARC 21 (ISO 2709 in
// UTF-8 or MARC-8) or MARCXML, through the catalogue's export format and the
// core's one mapping (import/MarcExport.h).

#include "CliContext.h"

#include "browse/CollectionFile.h"
#include "catalogue/velt_files.h"
#include "import/MarcExport.h"
#include "net/SearchRequests.h"
#include "search/QueryHistory.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <cstdio>
#include <filesystem>

namespace velt::cli {

namespace {

void ExportUsage() {
    std::fputs(
        "usage: velt-cli --host H --port P export (--remote QUERY | --local NUMFILE | --record ID)\n"
        "                --format marc|marc8|marcxml --out FILE\n"
        "  --remote QUERY  the records the query finds (the remote collection)\n"
        "  --local NUMFILE the records of a saved collection file (\"Zachowaj kolekcję\")\n"
        "  --record ID     one record\n"
        "  prints zapisano=N; records left out go to stderr\n",
        stderr);
}

}  // namespace

int ExportCommand(CliContext& ctx) {
    std::string query, local, record, format, out;
    const bool remote = ctx.TakeOption("--remote", query);
    const bool isLocal = ctx.TakeOption("--local", local);
    const bool one = ctx.TakeOption("--record", record);
    ctx.TakeOption("--format", format);
    ctx.TakeOption("--out", out);
    const auto fileFormat = MarcFileFormatOf(format);
    if (!ctx.args.empty() || remote + isLocal + one != 1 || !fileFormat || out.empty()) {
        ExportUsage();
        return kExitUsage;
    }
    std::vector<std::string> identifiers;
    if (isLocal) {
        const CollectionFileLines lines = ReadCollectionFile(local);
        if (!lines.opened) {
            PrintLine(stderr, "Błąd otwarcia pliku "_cp + UtfVeltwin().Convert(local));
            return kExitRefused;
        }
        identifiers = lines.lines;
    } else if (one) {
        identifiers.push_back(UtfVeltwin().Convert(record));
    }
    std::unique_ptr<velt_files> files;
    if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;
    if (remote) {
        const RecordPtr reply = Search(files->Connection(), UtfVeltwin().Convert(query));
        if (files->Broken()) return kExitNoConnection;
        const SearchOutcome outcome = InterpretSearchReply(reply.get());
        if (!outcome.error.empty()) {
            PrintLine(stderr, outcome.error);
            return kExitRefused;
        }
        files->RemoteCollection = outcome.collection;
        std::string error;
        std::error_code ec;
        std::string directory = std::filesystem::temp_directory_path(ec).string();
        if (directory.empty()) directory = "/tmp";
        identifiers = RemoteCollectionIdentifiers(*files, directory + "/", error);
        if (!error.empty()) {
            PrintLine(stderr, error);
            return files->Broken() ? kExitNoConnection : kExitRefused;
        }
    }
    const MarcExportResult result = ExportRecords(*files, identifiers, *fileFormat, out);
    for (const std::string& line : result.skipped) PrintLine(stderr, line);
    if (!result.error.empty()) {
        PrintLine(stderr, result.error);
        return files->Broken() ? kExitNoConnection : kExitRefused;
    }
    std::printf("zapisano=%zu\n", result.written);
    return result.skipped.empty() ? kExitOk : kExitRefused;
}

}  // namespace velt::cli
