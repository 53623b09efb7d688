#pragma once
// Substitution lists: how repeated parts of a form turn their field ids into
// concrete field names. A list is a sequence of pairs (from, to); applying it
// replaces, pair by pair in order, every occurrence of from by to, left to
// right. Containers append their own pair to the list they were given, so
// outer pairs apply first.
//
// The pairs are kept apart, never joined into one text, so a name holding
// "|" cannot shift the pairs after it; a pair with an empty name is skipped,
// and the search goes on after each replacement, so a replacement holding its
// own name cannot loop.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velt {

class Substitution {
public:
    Substitution() = default;

    // This list followed by the pair (name, value).
    Substitution With(std::string name, std::string value) const;
    // This list followed by the pair (name, the number as decimal text).
    Substitution With(std::string name, int value) const { return With(std::move(name), std::to_string(value)); }

    // The text with every pair applied in order.
    std::string Apply(std::string_view text) const;

    const std::vector<std::pair<std::string, std::string>>& Pairs() const { return mPairs; }
    // The list written as the system writes it, from "|" to "|" per pair.
    std::string Text() const;

private:
    std::vector<std::pair<std::string, std::string>> mPairs;
};

}  // namespace velt
