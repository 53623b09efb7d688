#pragma once
// The one wildcard matcher of the system: "*" any run of characters (the
// empty one included), "?" exactly one character, a backslash making the
// next pattern character stand for itself; a pattern matches the whole text.
//
// Matching keeps one return point, at the latest "*": an earlier "*" never
// needs a longer run once a later one has been reached, so there is no
// exponential backtracking (at worst pattern length times text length), and
// every "*" takes the shortest run that lets the rest match.

#include <string_view>

namespace velt {

// True when the pattern matches the whole text.
bool MatchWildcard(std::string_view pattern, std::string_view text);

// True when one of the "|"-separated patterns matches the whole key ("\|"
// stands for a "|" inside a pattern).
bool MatchPatterns(std::string_view patterns, std::string_view key);

// Matches the key against a pattern in which "?" matches any run like "*"
// and collects it. On a match, number gets the collected text read as a
// decimal number up to its first non-digit (0 when it starts with none),
// saturated at the largest int.
bool MatchOccurrence(std::string_view key, std::string_view pattern, int& number);

}  // namespace velt
