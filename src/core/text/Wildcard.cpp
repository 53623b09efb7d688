#include "text/Wildcard.h"

#include <climits>
#include <string>
#include <vector>

namespace velt {

namespace {

struct Run {
    std::size_t begin, end;  // text consumed by a collecting "?"
};

// The matcher; with runs given, "?" is a collecting run instead of one
// character, and runs gets what each one consumed.
bool Match(std::string_view pattern, std::string_view text, std::vector<Run>* runs) {
    const std::size_t m = pattern.size(), n = text.size();
    std::size_t p = 0, t = 0;
    std::size_t resumeP = std::string_view::npos, resumeT = 0;  // after the latest "*"
    bool resumeCollects = false;
    auto isRun = [&](char c) { return c == '*' || (runs && c == '?'); };
    while (t < n) {
        if (p < m) {
            const char c = pattern[p];
            if (isRun(c)) {
                resumeP = ++p;
                resumeT = t;
                resumeCollects = c == '?';
                if (resumeCollects) runs->push_back({t, t});
                continue;
            }
            if (c == '?') {
                ++p;
                ++t;
                continue;
            }
            if (c == '\\' && p + 1 < m) {
                if (pattern[p + 1] == text[t]) {
                    p += 2;
                    ++t;
                    continue;
                }
            } else if (c == text[t]) {
                ++p;
                ++t;
                continue;
            }
        }
        if (resumeP == std::string_view::npos) return false;
        // The latest run takes one character more.
        p = resumeP;
        t = ++resumeT;
        if (resumeCollects) runs->back().end = resumeT;
    }
    while (p < m && isRun(pattern[p])) {
        if (pattern[p] == '?') runs->push_back({n, n});
        ++p;
    }
    return p == m;
}

}  // namespace

bool MatchWildcard(std::string_view pattern, std::string_view text) {
    return Match(pattern, text, nullptr);
}

bool MatchPatterns(std::string_view patterns, std::string_view key) {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= patterns.size(); ++i) {
        if (i + 1 < patterns.size() && patterns[i] == '\\') {
            ++i;  // the next character is literal, "|" included
            continue;
        }
        if (i == patterns.size() || patterns[i] == '|') {
            if (Match(patterns.substr(start, i - start), key, nullptr)) return true;
            start = i + 1;
        }
    }
    return false;
}

bool MatchOccurrence(std::string_view key, std::string_view pattern, int& number) {
    std::vector<Run> runs;
    if (!Match(pattern, key, &runs)) return false;
    long long value = 0;
    for (const Run& r : runs) {
        for (std::size_t i = r.begin; i < r.end; ++i) {
            const char c = key[i];
            if (c < '0' || c > '9') {
                number = static_cast<int>(value);
                return true;
            }
            value = value * 10 + (c - '0');
            if (value > INT_MAX) value = INT_MAX;
        }
    }
    number = static_cast<int>(value);
    return true;
}

}  // namespace velt
