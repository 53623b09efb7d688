#pragma once
// The data line of a loan form and the default file name of a PLIK report.

#include <string>

namespace velt {

struct LoanFormData {
    std::string id, card, readerName, dateTime, description, shelfmark, sn;
    std::string label1, label2;  // the library's two label texts
};

// "&id=...&karta=...&data=DD.MM.YYYY&godz=...&nalepka1=...&nalepka2=...
// &nazwisko=...&sn=...&sygnatura=...&opis=...": the date from the first 8
// characters of dateTime (YYYYMMDD), the time from the next 8 (a "*" as
// their last turns "HH:MM:S*" into "HH:MM:S0 (*)"); the description loses
// its escape sequences (ESC up to the next SUB, or up to a CR), CRs become
// blanks, and it is trimmed. An "&" in any value is written ESC "1", and a
// line break as a blank, so no value can add a field or a line.
std::string LoanFormLine(const LoanFormData& data);

// The name a PLIK report proposes: the pattern after "|" in its options
// with "*" replaced by "raport"; "raport" when the options have no "|".
std::string PlikDefaultName(const std::string& options);

}  // namespace velt
