#pragma once
// The "&Zestawienie" menu of a descriptor without the menu: which reports
// it offers (the kinds the program shows), in the descriptor's order, each
// in its group's submenu, with the scopes of a report without a form and
// the buttons of the reports that name a picture.

#include "reports/ReportRuns.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace velt {

struct velt_report;

struct ReportMenuEntry {
    std::size_t report = 0;  // its position in the descriptor's list
    std::string name;
    std::string group;       // the submenu's caption; empty: at the top
    bool withForm = false;   // asks its parameters first; else the scopes
    std::string icon;        // a button on the report panel when not empty
};

// The reports offered, in order; reports of a kind the program does not show are left out.
std::vector<ReportMenuEntry> ReportMenuEntries(const std::vector<velt_report>& reports);

// The groups' captions in the order their first report comes.
std::vector<std::string> ReportMenuGroups(const std::vector<ReportMenuEntry>& entries);

// The scope items of a report without a form, with their captions.
const std::vector<std::pair<ReportScope, std::string>>& ReportScopeItems();

}  // namespace velt
