#pragma once
// The table report "Lista tytułów" (report 1) of a set of records: a work
// file in SRP form, the description up to "[END]" and then a data line per
// book, grouped by publisher (the last line of each publisher begins with
// "*", so its pages end there and the next publisher starts at page 1).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velt::server {

struct Session;

inline constexpr std::int32_t kTitleListReport = 1;
// The most records a list holds; the rest are left out.
inline constexpr std::size_t kMaxReportRecords = 100000;

// The description of the list of titles, lines ended by CR LF, with [END].
std::string TitleListDescription();

// One data line of fields (name, value): "&" + name + "=" + value for each,
// an "&" in a value written ESC "1" and CR or LF written as a blank; the
// line begins with "*" when it ends a group.
std::string ReportDataLine(const std::vector<std::pair<std::string, std::string>>& fields, bool groupEnd);

// The EAN-13 of an ISBN (hyphens and blanks ignored): the ISBN-13 itself
// when its check digit is right, 978 + the first nine digits + a new check
// digit for a valid ISBN-10; empty for anything else.
std::string EanOfIsbn(std::string_view isbn);

// The SRP text of report for the records; none when the server has no such
// table report (the transfer is then aborted).
std::optional<std::string> TableReportText(Session& s, std::int32_t report, const std::vector<std::uint32_t>& numbers);

// The records of a list of shown identifiers each followed by "|"; none
// when one of them is not a record.
std::optional<std::vector<std::uint32_t>> ListedRecords(Session& s, std::string_view list);

}  // namespace velt::server
