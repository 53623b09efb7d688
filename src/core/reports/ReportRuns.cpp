#include "reports/ReportRuns.h"
#include "net/FileRequests.h"

#include "catalogue/velt_files.h"
#include "files/WorkFile.h"
#include "text/CpLiteral.h"

namespace velt {

std::string ReportRecordList(const std::vector<std::string>& shownIdentifiers) {
    std::string list;
    for (const std::string& id : shownIdentifiers) list += id + "|";
    return list;
}

std::string RunScopedReport(velt_files& files, const velt_report& report, ReportScope scope,
                            const std::string& records, const std::string& values, ItemRunContext& context) {
    if (files.Broken()) return {};
    switch (scope) {
        case ReportScope::RemoteCollection:
            if (files.RemoteCollection == 0) {
                context.prompts.show_error("Brak kolekcji zdalnej");
                return {};
            }
            break;
        case ReportScope::LocalCollection:
            if (records.empty()) {
                context.prompts.show_error("Kolekcja lokalna jest pusta");
                return {};
            }
            break;
        case ReportScope::Record:
            if (records.empty()) {
                context.prompts.show_error("Żaden rekord nie został wyróżniony"_cp);
                return {};
            }
            break;
        case ReportScope::Parameters:
            break;
    }
    WorkFile work(context.workingDirectory, "report", "tmp");
    if (!work.Made()) {
        context.prompts.show_error("Nie można utworzyć pliku roboczego zestawienia w katalogu "_cp +
                                   context.workingDirectory);
        return {};
    }
    const std::string& target = work.Path();
    bool received = false;
    const std::int32_t collection = files.RemoteCollection;
    context.longOps.run_with_progress("Tworzenie zestawienia"_cp, [&] {
        switch (scope) {
            case ReportScope::RemoteCollection:
                received = CollectionReport(files.Connection(), collection, report.Id, values, target, {});
                break;
            case ReportScope::LocalCollection:
            case ReportScope::Record:
                received = ListReport(files.Connection(), report.Id, values, records, target, {});
                break;
            case ReportScope::Parameters:
                received = ParameterReport(files.Connection(), report.Id, values, target, {});
                break;
        }
    });
    if (!received) {
        if (!files.Broken())
            context.prompts.show_error("Serwer nie przygotował zestawienia \""_cp + report.Name + "\"");
        return {};
    }
    // Whoever shows the report removes the file.
    return work.Release();
}

}  // namespace velt
