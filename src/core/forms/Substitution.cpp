// Substitution lists of repeated form parts.

#include "forms/Substitution.h"

namespace velt {

Substitution Substitution::With(std::string name, std::string value) const {
    Substitution s = *this;
    s.mPairs.emplace_back(std::move(name), std::move(value));
    return s;
}

std::string Substitution::Apply(std::string_view text) const {
    std::string out(text);
    for (const auto& [from, to] : mPairs) {
        if (from.empty()) continue;
        std::string next;
        std::size_t at = 0;
        for (;;) {
            const std::size_t hit = out.find(from, at);
            if (hit == std::string::npos) break;
            next.append(out, at, hit - at);
            next.append(to);
            at = hit + from.size();
        }
        if (at == 0) continue;  // nothing found
        next.append(out, at, std::string::npos);
        out.swap(next);
    }
    return out;
}

std::string Substitution::Text() const {
    std::string out;
    for (const auto& [from, to] : mPairs) out += from + "|" + to + "|";
    return out;
}

}  // namespace velt
