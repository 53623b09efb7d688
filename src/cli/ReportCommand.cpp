// velt-cli report: a report of the descriptor run as the program runs it,
// for a query's collection, a "*.num" file's records, one record or its
// parameters only, and its result written out: the kinds the program prints
// (TABELA, FORMAT, TEXT) as a PDF, a table report also as its SRP or CSV
// file, any other kind the work file itself (the label lines, the card
// text, the exported file).

#include "CliContext.h"
#include "PrintModule.h"
#include "ReportRun.h"

#include "browse/CollectionFile.h"
#include "catalogue/velt_files.h"
#include "files/WorkFile.h"
#include "params/HeadlessParameterWindow.h"
#include "reports/ReportDelivery.h"
#include "reports/ReportFile.h"
#include "reports/ReportRuns.h"
#include "reports/my_save.h"
#include "reports/tbl_report.h"
#include "search/QueryHistory.h"
#include "text/CpLiteral.h"
#include "text/utf.h"


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
    const std::string name = UtfVeltwin().Convert(ctx.args[0]);  // for the messages
    ReportRun run;
    if (const int rc = RunReport(ctx, ctx.args[0], {remote, local, record, params}, run); rc != kExitOk) return rc;
    const velt_report* report = &run.report;
    // The work file the server's answer came in goes when the command ends.
    const WorkFile work = WorkFile::Adopt(run.work);

    // A PDF by default for the kinds the program prints (when this velt-cli
    // can print); --format srp|csv for a table report.
    const ReportKind kind = ParseReportKind(report->Language);
    const bool printed = kind == ReportKind::Tabela || kind == ReportKind::Format || kind == ReportKind::Text;
    if (format == "pdf" && !printed) {
        PrintLine(stderr, "Zestawienie \""_cp + name + "\" nie jest drukowane");
        return kExitUsage;
    }
    // The printing module is loaded only when something is to be printed.
    std::string why;
    PrintModule* printing = nullptr;
    if (printed && (format.empty() || format == "pdf")) printing = LoadPrintModule(why);
    if (format == "pdf" && !printing) {
        std::fprintf(stderr, "velt-cli: no printing (%s)\n", why.c_str());
        return kExitUsage;
    }
    if (format.empty()) format = printed && printing ? "pdf" : kind == ReportKind::Tabela ? "srp" : "";
    if ((format == "srp" || format == "csv") && kind != ReportKind::Tabela) {
        PrintLine(stderr, "Zestawienie \""_cp + name + "\" nie jest tabelą"_cp);
        return kExitUsage;
    }
    std::string bytes;
    std::unique_ptr<tbl_report> table;
    if (kind == ReportKind::Tabela) {
        table = std::make_unique<tbl_report>(tbl_report::FromSrpFile(report->Name, work.Path()));
        if (!table->Refusal().empty()) {
            PrintLine(stderr, table->Refusal());
            return kExitRefused;
        }
        if (format != "pdf") bytes = format == "csv" ? CsvText(*table) : SrpText(*table);
    } else {
        bytes = ReadAll(work.Path());
    }
    if (format == "pdf") {
        // Into the output file directly, or through a work file to stdout.
        WorkFile pdf;
        if (!hasOut) {
            pdf = WorkFile(WorkDirectory(), "velt-report-");
            if (!pdf.Made()) {
                PrintLine(stderr, "Brak dostępu do folderu roboczego"_cp);
                return kExitRefused;
            }
        }
        const std::string target = hasOut ? out : pdf.Path();
        const std::string error = table ? printing->TablePdf(*table, target)
                                        : printing->DocumentPdf(report->Name, bytes, kind == ReportKind::Format, target);
        if (!error.empty()) {
            PrintLine(stderr, error);
            return kExitRefused;
        }
        if (hasOut) return kExitOk;
        bytes = ReadAll(pdf.Path());
    }
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
