#include "text/Wildcard.h"

#include <chrono>
#include <climits>
#include <gtest/gtest.h>
#include <string>

using namespace velt;

TEST(MatchWildcard, MatchesTheWholeText) {
    struct Case {
        const char* pattern;
        const char* text;
        bool match;
    } cases[] = {
        {"*", "", true},           {"*", "abc", true},         {"", "", true},
        {"", "a", false},          {"a", "a", true},           {"a", "ab", false},
        {"?", "a", true},          {"?", "", false},           {"??", "a", false},
        {"a*c", "abbbc", true},    {"a*c", "abbbd", false},    {"*c", "cc", true},
        {"a*b*c", "aXbYbZc", true}, {"a*b*c", "aXcYb", false}, {"245*", "245Z.1.1.3.1", true},
        {"\\*", "*", true},        {"\\*", "a", false},        {"a\\?", "a?", true},
        {"a\\?", "ab", false},     {"\\\\", "\\", true},       {"a\\", "a\\", true},
        {"*.1", "245Z.1.1.3.1", true}, {"*.2", "245Z.1.1.3.1", false},
        {"A*", "a", false},        {"**", "", true},           {"*?*", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchWildcard(c.pattern, c.text), c.match) << c.pattern << " on " << c.text;
}

TEST(MatchPatterns, AnyAlternativeMatches) {
    struct Case {
        const char* patterns;
        const char* key;
        bool match;
    } cases[] = {
        {"*", "245Z.1.1.1.1", true},
        {"100*|245*", "245Z.1.1.1.1", true},
        {"100*|245*", "246Z.1.1.1.1", false},
        {"100*|", "", true},                // an empty alternative matches the empty key
        {"a\\|b", "a|b", true},             // an escaped bar is no separator
        {"a\\|b", "a", false},
        {"x|y\\", "y\\", true},              // a backslash at the very end stands for itself
        {"", "a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchPatterns(c.patterns, c.key), c.match) << c.patterns << " on " << c.key;
}

TEST(MatchOccurrence, CapturesTheRunOfTheQuestionMark) {
    struct Case {
        const char* key;
        const char* pattern;
        bool match;
        int number;
    } cases[] = {
        {"245Z.1.1.3.1", "245*.*.*.?.*", true, 3},
        {"245A.1.1.17.1", "245*.*.*.?.*", true, 17},
        {"245Z.1.1.3.1", "246*.*.*.?.*", false, 0},
        {"245Z.1.1.x3.1", "245*.*.*.?.*", true, 0},     // not numeric
        {"245Z.1.1.12ab.1", "245*.*.*.?.*", true, 12},  // reading stops at a non-digit
        {"L.1", "L.?", true, 1},
        {"L.", "L.?", true, 0},                          // an empty run reads 0
        {"a7b", "a?b", true, 7},
        {"99999999999999999999999", "?", true, INT_MAX}, // saturates
        {"x.4294967297", "x.?", true, INT_MAX},
    };
    for (const auto& c : cases) {
        int n = -1;
        EXPECT_EQ(MatchOccurrence(c.key, c.pattern, n), c.match) << c.key << " / " << c.pattern;
        if (c.match) {
            EXPECT_EQ(n, c.number) << c.key << " / " << c.pattern;
        }
    }
}

TEST(MatchWildcard, StaysFastOnPatternsThatWouldExplodeWithPlainBacktracking) {
    const std::string text(20000, 'a');
    const std::string pattern = "*a*a*a*a*a*a*a*a*a*a*a*a*b";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(MatchWildcard(pattern, text));
    EXPECT_TRUE(MatchWildcard(pattern.substr(0, pattern.size() - 1), text));
    int n;
    EXPECT_FALSE(MatchOccurrence(text, "?a?a?a?a?a?a?a?a?b", n));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(ms.count(), 2000);
}
