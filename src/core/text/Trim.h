#pragma once
// Cutting characters off both ends of a text: blanks of configuration lines,
// spaces of server items.

#include <string_view>

namespace velt {

// The text without any of chars at either end.
constexpr std::string_view TrimOf(std::string_view s, std::string_view chars) {
    const auto b = s.find_first_not_of(chars);
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(chars) - b + 1);
}

// Spaces cut off both ends.
constexpr std::string_view TrimSpaces(std::string_view s) { return TrimOf(s, " "); }

// Spaces and tabs cut off both ends.
constexpr std::string_view TrimBlanks(std::string_view s) { return TrimOf(s, " \t"); }

}  // namespace velt
