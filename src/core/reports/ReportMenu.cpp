#include "reports/ReportMenu.h"

#include "catalogue/DescriptorItems.h"
#include "reports/ReportDelivery.h"
#include "text/CpLiteral.h"

#include <algorithm>

namespace velt {

std::vector<ReportMenuEntry> ReportMenuEntries(const std::vector<velt_report>& reports) {
    std::vector<ReportMenuEntry> entries;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const velt_report& r = reports[i];
        if (ParseReportKind(r.Language) == ReportKind::Unknown) continue;
        entries.push_back({i, r.Name, r.Group, !r.NoParameterForm, r.Icon});
    }
    return entries;
}

std::vector<std::string> ReportMenuGroups(const std::vector<ReportMenuEntry>& entries) {
    std::vector<std::string> groups;
    for (const ReportMenuEntry& e : entries)
        if (!e.group.empty() && std::find(groups.begin(), groups.end(), e.group) == groups.end())
            groups.push_back(e.group);
    return groups;
}

const std::vector<std::pair<ReportScope, std::string>>& ReportScopeItems() {
    static const std::vector<std::pair<ReportScope, std::string>> items = {
        {ReportScope::RemoteCollection, "Dla kolekcji zdalnej"},
        {ReportScope::LocalCollection, "Dla kolekcji lokalnej"},
        {ReportScope::Record, "Wyróżniony rekord"_cp}};
    return items;
}

}  // namespace velt
