#pragma once
// The built-in functions of the formatting language that need no host:
// texts, numbers, dates, name inversion, masks, sorting, ranges and the "~"
// letter sequences. Each takes its arguments in source order and returns the
// result; a failure (an argument that must be an integer and is not) throws
// ScriptFailure, which the interpreter turns into its run-time error.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velt {

// A failure that ends a script's run; what() is the message.
class ScriptFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text read as a 64-bit integer: leading blanks, a sign, decimal digits
// or "$"/"0x" and hexadecimal digits; nothing for any other text.
std::optional<std::int64_t> ParseNumber(std::string_view text);
// The text as a 32-bit integer, or ScriptFailure "'text' is not a valid integer value".
std::int32_t RequireInteger(std::string_view text);

std::string Head(std::string_view a, std::string_view b);
std::string Tail(std::string_view a, std::string_view b);
std::string Sep(std::string_view a, std::string_view b, std::string_view c);
std::string Reverse(std::string_view a);
std::string Matches(std::string_view a, std::string_view pattern);
std::string Position(std::string_view a, std::string_view b);
std::string Succ(std::string_view a);
std::string Add(std::string_view a, std::string_view b);
std::string Mul(std::string_view a, std::string_view b);
std::string Div(std::string_view a, std::string_view b, std::string_view decimals);
std::string Gt(std::string_view a, std::string_view b);
std::string Ge(std::string_view a, std::string_view b);
std::string Ascii(std::string_view a);
std::string Chr(std::string_view a);
// Fails (the message of TooLong) rather than build a result beyond limit bytes.
std::string Replace(std::string_view a, std::string_view b, std::string_view c, std::size_t limit = SIZE_MAX);
// The failure of a text that would grow beyond limit bytes.
ScriptFailure TooLong(std::size_t limit);
std::string Trim(std::string_view a);
std::string Agregate(std::string_view a, std::string_view separator);
std::string Form(std::string_view a, std::string_view mask);
std::string RForm(std::string_view a, std::string_view mask);
// Today plus the days of a as YYYYMMDD; today is given for tests.
std::string DatePlus(std::string_view a, std::int64_t todayDays);
// Days from a to b (YYYYMMDD each; an invalid date counts as today).
std::string Days(std::string_view a, std::string_view b, std::int64_t todayDays);
std::string Sort(std::string_view a, std::string_view separator);
std::string Omit(std::string_view a, char marker);
std::string Subfield(std::string_view a, std::string_view code, char marker);
std::string MarkerOf(std::string_view a, char marker);
std::string Mak(std::string_view a);
std::string Uri(std::string_view a);

// Days since 1970-01-01 of a date; a date of days since 1970-01-01.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d);
std::string CivilText(std::int64_t days);
// Today (local time) as days since 1970-01-01.
std::int64_t TodayDays();

}  // namespace velt
