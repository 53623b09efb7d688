#pragma once
// The data lines of a table report and the text macros expanded against
// them.
//
// A data line is a run of fields "&name=value"; a value runs to the next
// "&" or the end of the line, ESC "1" inside it standing for a literal "&".
// A line beginning with "*" ends a group.

#include <string>
#include <string_view>
#include <vector>

namespace velt {

// The longest text a macro expression expands to; the rest is cut.
inline constexpr std::size_t kMaxExpandedText = 8192;

// The value of the field name in line with ESC "1" turned into "&"; empty
// when the line has no such field (the first field of that name counts).
std::string DataField(std::string_view line, std::string_view name);

// Whether line ends a group.
inline bool IsGroupEndLine(std::string_view line) { return !line.empty() && line.front() == '*'; }

// What the macros other than fields stand for.
struct MacroContext {
    int page = 1;             // %P
    std::string date;         // %D, DD.MM.YYYY
    std::string time;         // %T
    std::string libraryName;  // %0
    std::string label1;       // %1
    std::string label2;       // %2
};

// Today's date as DD.MM.YYYY and the time as HH:MM:SS, local time.
void SetMacroClock(MacroContext& context);

// Expands expr against line. A malformed item adds the message
// "Błędne makrowyrażenie: " + the rest of the word to messages (once per
// distinct text) and drops the rest.
std::string ExpandMacro(std::string_view expr, std::string_view line, const MacroContext& context,
                        std::vector<std::string>* messages);

// The names of the "&" items of expr, in order.
std::vector<std::string> MacroFieldNames(std::string_view expr);

}  // namespace velt
