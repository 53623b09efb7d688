#pragma once
// Wildcard patterns: "*" any run of characters (the empty one included), "?"
// exactly one character, a backslash makes the next character literal. A
// pattern matches the whole text.

#include <string_view>

namespace velt {

// True when pattern matches the whole text.
bool WildcardMatch(std::string_view pattern, std::string_view text);

}  // namespace velt
