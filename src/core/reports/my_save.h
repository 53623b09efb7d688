#pragma once
// The savers a report offers when the user saves it: each a file-type
// filter text for the save dialog and the writing of one file. The files
// are Windows-1250 text, every line ended by CR LF, written whole or not at
// all (ReportFile.h).

#include "reports/my_report.h"

#include <string>
#include <vector>

namespace velt {

class tbl_report;

class my_save {
public:
    virtual ~my_save() = default;
    // The filter of the save dialog: a caption, "|" and the name pattern.
    virtual std::string Filter() const = 0;
    // Writes report to file; the error text, or empty on success.
    virtual std::string Save(my_report& report, const std::string& file) = 0;
};

// The description ended by "[END]" followed by the data lines.
class save_as_velt : public my_save {
public:
    std::string Filter() const override;
    std::string Save(my_report& report, const std::string& file) override;
};

// The fields the LINE section's texts show, one row a data line.
class save_as_csv : public my_save {
public:
    std::string Filter() const override;
    std::string Save(my_report& report, const std::string& file) override;
};

// The text for a report that is not a table report.
std::string NotForThisReport();

// The SRP text of report: its description up to "[END]", always with
// "[END]", then its data lines; a CR or LF inside a line becomes a blank so
// the file reads back line for line.
std::string SrpText(const tbl_report& report);

// The CSV columns: the "&" names of the LINE section's TEXT expressions.
std::vector<std::string> CsvColumns(const tbl_report& report);
// The CSV text of report.
std::string CsvText(const tbl_report& report);

}  // namespace velt
