// velt-cli report: a report of the descriptor run as the program runs it,
// for a query's collection, a "*.num" file's records, one record or its
// parameters only, and its result written out: the kinds the program prints
// (TABELA, FORMAT, TEXT) as a PDF, a table report also as its SRP or CSV
// file, any other kind the work file itself (the label lines, the card
// text, the exported file).

#include "CliContext.h"
#include "ReportRun.h"

#include "browse/CollectionFile.h"
#include "catalogue/velt_files.h"
#include "params/HeadlessParameterWindow.h"
#include "reports/ReportFile.h"
#include "reports/ReportRuns.h"
#include "reports/my_save.h"
#include "reports/tbl_report.h"
#include "search/QueryHistory.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#ifdef VELT_CLI_PRINTING
#include "gui/print/ReportPrinting.h"
#include "reports/FormattedText.h"

#include <QTextDocument>
#endif

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace velt::cli {

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: velt-cli ... report NAME (--remote QUERY | --local NUMFILE | --record ID | --params PAIRS)\n"
                 "                    [--format pdf|srp|csv] [--out FILE]\n");
    return kExitUsage;
}

constexpr bool kPrinting =
#ifdef VELT_CLI_PRINTING
    true;
#else
    false;
#endif

#ifdef VELT_CLI_PRINTING
// The PDF of a report: the table laid out on A4 pages, or the document of a
// FORMAT or TEXT report; the error or empty.
std::string WritePdf(const velt_report& report, tbl_report* table, const std::string& bytes, const std::string& font,
                     const std::string& file) {
    return gui::WithPrinting([&] {
        if (table) return gui::WriteTablePdf(*table, file);
        QTextDocument document;
        if (report.Language == "FORMAT")
            gui::FillFormattedDocument(document, SplitReportLines(bytes), font);
        else
            gui::FillTextDocument(document, bytes, font);
        return gui::WriteDocumentPdf(document, report.Name, file);
    });
}
#endif

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

int ReportCommand(CliContext& ctx) {
    std::string remote, local, record, params, format, out;
    const int scopes = ctx.TakeOption("--remote", remote) + ctx.TakeOption("--local", local) +
                       ctx.TakeOption("--record", record) + ctx.TakeOption("--params", params);
    const bool hasFormat = ctx.TakeOption("--format", format);
    const bool hasOut = ctx.TakeOption("--out", out);
    if (ctx.args.size() != 1 || scopes != 1 ||
        (hasFormat && format != "srp" && format != "csv" && format != "pdf")) {
        return Usage();
    }
    if (format == "pdf" && !kPrinting) {
        std::fprintf(stderr, "velt-cli: this velt-cli was built without the program's printing\n");
        return kExitUsage;
    }
    const std::string name = UtfVeltwin().Convert(ctx.args[0]);
    ReportRun run;
    if (const int rc = RunReport(ctx, ctx.args[0], {remote, local, record, params}, run); rc != kExitOk) return rc;
    const velt_report* report = &run.report;
    const std::string work = run.work;

    // A PDF by default for the kinds the program prints (when this velt-cli
    // can print); --format srp|csv for a table report.
    const bool printed = report->Language == "TABELA" || report->Language == "FORMAT" || report->Language == "TEXT";
    if (format.empty()) format = printed && kPrinting ? "pdf" : report->Language == "TABELA" ? "srp" : "";
    if (format == "pdf" && !printed) {
        PrintLine(stderr, "Zestawienie \""_cp + name + "\" nie jest drukowane");
        ::unlink(work.c_str());
        return kExitUsage;
    }
    if ((format == "srp" || format == "csv") && report->Language != "TABELA") {
        PrintLine(stderr, "Zestawienie \""_cp + name + "\" nie jest tabelą"_cp);
        ::unlink(work.c_str());
        return kExitUsage;
    }
    std::string bytes;
    std::unique_ptr<tbl_report> table;
    if (report->Language == "TABELA") {
        table = std::make_unique<tbl_report>(tbl_report::FromSrpFile(report->Name, work));
        ::unlink(work.c_str());
        if (!table->Refusal().empty()) {
            PrintLine(stderr, table->Refusal());
            return kExitRefused;
        }
        if (format != "pdf") bytes = format == "csv" ? CsvText(*table) : SrpText(*table);
    } else {
        bytes = ReadAll(work);
        ::unlink(work.c_str());
    }
#ifdef VELT_CLI_PRINTING
    if (format == "pdf") {
        // Into the output file directly, or through a work file to stdout.
        std::string target = out;
        if (!hasOut) {
            target = WorkDirectory() + "velt-report-XXXXXX";
            const int fd = ::mkstemp(target.data());
            if (fd < 0) {
                PrintLine(stderr, "Brak dostępu do folderu roboczego"_cp);
                return kExitRefused;
            }
            ::close(fd);
        }
        const std::string error = WritePdf(*report, table.get(), bytes, "", target);
        if (!error.empty()) {
            if (!hasOut) ::unlink(target.c_str());
            PrintLine(stderr, error);
            return kExitRefused;
        }
        if (hasOut) return kExitOk;
        bytes = ReadAll(target);
        ::unlink(target.c_str());
    }
#endif
    if (hasOut) {
        const std::string error = WriteReportFile(out, bytes);
        if (!error.empty()) {
            PrintLine(stderr, error);
            return kExitRefused;
        }
    } else {
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    }
    return kExitOk;
}

}  // namespace velt::cli
