#pragma once
// Running a report of the descriptor as the program runs it, for velt-cli:
// the session opened, the report found by its name, the request made for a
// query's collection, a "*.num" file's records, one record or parameters
// only, the work file left in the temporary directory.

#include "CliContext.h"
#include "catalogue/DescriptorItems.h"

#include <string>

namespace velt::cli {

struct ReportScopeOptions {
    std::string remote, local, record, params;  // UTF-8, one of them given
};

struct ReportRun {
    velt_report report;
    std::string work;  // the work file; the caller removes it
};

// Runs the report name (UTF-8); kExitOk with the work file, or the exit code
// with the error printed on stderr.
int RunReport(CliContext& ctx, const std::string& name, const ReportScopeOptions& scope, ReportRun& run);

// $TMPDIR (or /tmp), ending with "/".
std::string WorkDirectory();

}  // namespace velt::cli
