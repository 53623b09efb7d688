#pragma once
// The reports of a set of records besides the list of titles: the
// bibliographic description (FORMAT, report 4), the spine labels (ETYKIETA,
// report 5), the CSV export (PLIK, report 6) and the list of titles with a
// parameter form (TABELA, report 7: an order and a range of years; of every
// book for the parameter report, of the records of a collection or a list
// otherwise).

#include "ParameterForms.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velt::server {

struct Session;

inline constexpr std::int32_t kDescriptionReport = 4;
inline constexpr std::int32_t kSpineLabelReport = 5;
inline constexpr std::int32_t kCsvExportReport = 6;
inline constexpr std::int32_t kOrderedListReport = 7;
// The most bytes of a record's text on one spine label.
inline constexpr std::size_t kMaxLabelText = 40;

// The form and script of report 7.
const FormItem& OrderedListReport();

// A text for a line of the FORMAT work file: CR, LF and other control
// characters become blanks, and a text that would begin with a control
// word ("[PARAGRAF", "[CZCIONKA") begins with a blank instead of "[".
std::string FormatTextLine(std::string_view text);
// One CSV field: in double quotation marks, one inside doubled, CR and LF
// written as blanks.
std::string CsvField(std::string_view text);
// A text of a label line: CR, LF and "|" become blanks, outer blanks go and
// the rest is cut to max bytes.
std::string LabelText(std::string_view text, std::size_t max = kMaxLabelText);

std::string DescriptionText(Session& s, const std::vector<std::uint32_t>& numbers);
std::string SpineLabelText(Session& s, const std::vector<std::uint32_t>& numbers);
std::string CsvExportText(Session& s, const std::vector<std::uint32_t>& numbers);
// Report 7 of the records (every book when none are given); none for
// parameters out of their range (an unknown order, a year that is no year,
// the first year after the last).
std::optional<std::string> OrderedListText(Session& s, const std::string& parameters,
                                           const std::vector<std::uint32_t>* numbers);

// The work file of report for the records with the parameters (empty for a
// report without a form); none when the server has no such report of
// records (the transfer is then aborted).
std::optional<std::string> RecordsReportText(Session& s, std::int32_t report,
                                             const std::string& parameters,
                                             const std::vector<std::uint32_t>& numbers);

} // namespace velt::server
