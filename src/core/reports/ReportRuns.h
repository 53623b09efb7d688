#pragma once
// Running a report of the descriptor for its records: the remote
// collection, the local collection, the highlighted record or parameters
// only. The server writes the report into a new work file of the working
// directory behind the progress window "Tworzenie zestawienia".

#include "params/ServerItems.h"

#include <string>

namespace velt {

enum class ReportScope { RemoteCollection, LocalCollection, Record, Parameters };

// The records of a list report: each shown identifier followed by "|".
std::string ReportRecordList(const std::vector<std::string>& shownIdentifiers);

// Runs report for scope: records is the list of ReportRecordList for the
// local collection and the record (empty: "Kolekcja lokalna jest pusta",
// "Żaden rekord nie został wyróżniony"); the remote collection is the
// catalogue's ("Brak kolekcji zdalnej" when there is none); values are the
// parameters, empty for a report without a form. The work file's name, or
// empty after the error was shown (an aborted transfer says so).
std::string RunScopedReport(velt_files& files, const velt_report& report, ReportScope scope,
                            const std::string& records, const std::string& values, ItemRunContext& context);

}  // namespace velt
