#pragma once
// The items of the catalogue that ask for parameters through a form: the
// criteria "Rok wydania" and "Wydawca" (the query language's criterion with
// a parameter list), the report "Wykaz nabytków" (the parameter report,
// 100/3), and the programs "Sprawdzenie numerów ISBN", "Przeliczenie
// indeksów" and "Zgłoszenie uwagi do opisu" (the program check and run
// requests, 201 D and X). Each item's form ("par") and field-event script
// ("act") are written in the client's languages; lines are parted by CR and
// their braces balance, as the descriptor's groups need.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velt::server {

struct Session;

// The pairs of a pair text (name "|" value "|", a "|" inside written ESC "1").
std::vector<std::pair<std::string, std::string>> ReadParameterPairs(std::string_view text);

// One item with a form, as the descriptor lists it.
struct FormItem {
    std::string name;
    std::string form;    // "par"
    std::string script;  // "act"
};

// The criteria with a form, in descriptor order.
const std::vector<FormItem>& ParameterCriteria();
// "Język tekstu": first in the descriptor under --form-criterion-first.
const FormItem& LanguageCriterion();
// The report "Wykaz nabytków" (its number, its form and script).
inline constexpr std::int32_t kAcquisitionsReport = 3;
const FormItem& AcquisitionsReport();
// The programs: their numbers, names and calls.
inline constexpr std::int32_t kIsbnProgram = 1;
inline constexpr std::int32_t kReindexProgram = 2;
inline constexpr std::int32_t kNoteProgram = 3;
const FormItem& IsbnProgram();
const FormItem& NoteProgram();
// The descriptor groups of the programs this session may see: the note for
// every user who logged in, the others for administrators.
std::string ProgramGroups(const Session& session);

// The records of a criterion with parameters; none when the name is no
// criterion of this module. A bad parameter list sets error.
std::optional<std::vector<std::uint32_t>> CriterionWithParameters(Session& session, const std::string& name,
                                                                 const std::string& parameters, std::string& error);

// The text of the parameter report; none when the report or its
// parameters are not known (the transfer is then aborted).
std::optional<std::string> ParameterReportText(Session& session, std::int32_t report, const std::string& parameters);

// The acquisition date of a book (YYYYMMDD): a day of the five years before
// the day given (days since 1970-01-01), spread over the records.
std::string AcquisitionDate(std::uint32_t number, int todayDays);
// Days since 1970-01-01 of today, and the YYYYMMDD of a day number.
int TodayDays();
std::string DateOfDays(int days);

}  // namespace velt::server
