#include "catalogue/Identifiers.h"

#include "text/Trim.h"

#include <charconv>
#include <limits>

namespace velt {

namespace {

constexpr std::int64_t kMaxRecord = std::numeric_limits<std::int32_t>::max();

// A decimal number of at most 18 digits with nothing else; -1 otherwise.
std::int64_t Decimal(std::string_view s) {
    if (s.empty() || s.size() > 18) return -1;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::string_view TrimLeftSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

// Characters 2 to 6 (1-based) of an identifier, or what there is of them.
std::string_view Middle(std::string_view id) { return id.size() > 1 ? id.substr(1, 5) : std::string_view(); }

}  // namespace

std::string Encode75(std::int64_t n) {
    if (n < 0) return {};
    std::string out(1, static_cast<char>(48 + n % 75));
    n /= 75;
    while (n > 0) {
        if (n < 91) {
            out.insert(out.begin(), static_cast<char>(32 + n));
            break;
        }
        out.insert(out.begin(), static_cast<char>(48 + (n - 91) % 75));
        n = (n - 91) / 75 + 1;
        if (out.size() >= 6) return {};
    }
    if (out.size() >= 6) return {};
    while (out.size() < 5) out.insert(out.begin(), ' ');
    return out;
}

std::int64_t Decode75(std::string_view text) {
    text = TrimLeftSpaces(text);
    if (text.empty() || text.size() > 6) return -1;
    auto code = [](char c) { return static_cast<std::int64_t>(static_cast<unsigned char>(c)); };
    // Digits are "0" (48) to "z" (122); a leading digit may start at "!" (33).
    auto digit = [&](char c) { return code(c) >= 48 && code(c) <= 122; };
    if (text.size() == 1) return digit(text[0]) ? code(text[0]) - 48 : -1;
    if (code(text[0]) < 33 || code(text[0]) > 122) return -1;
    std::int64_t v = code(text[0]) - 32;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (!digit(text[i])) return -1;
        v = v * 75 + code(text[i]) - 32;
    }
    if (!digit(text.back())) return -1;
    v = v * 75 + code(text.back()) - 48;
    return v > kMaxRecord ? -1 : v;
}

std::int64_t IdentifierRules::LetterPosition(char c) const {
    const auto at = mLetters.find(c);
    return at == std::string::npos ? 0 : static_cast<std::int64_t>(at) + 1;
}

std::int32_t IdentifierRules::RecordNumber(std::string_view id) const {
    std::int64_t number = 0;
    if (mKind == kVelt1) {
        number = Decimal(TrimLeftSpaces(id));
    } else {
        if (id.empty() || mLetters.empty()) return 0;
        const std::int64_t p = LetterPosition(id[0]);
        if (p == 0) return 0;
        const auto L = static_cast<std::int64_t>(mLetters.size());
        const std::int64_t b = mKind == kVelt2 ? Decode75(Middle(id)) : Decimal(id.substr(1));
        if (b < 0 || b > kMaxRecord) return 0;
        number = b * L + p - 1;
    }
    return number >= 1 && number <= kMaxRecord ? static_cast<std::int32_t>(number) : 0;
}

std::string IdentifierRules::RecordIdentifier(std::int32_t number) const {
    if (mKind == kVelt1) {
        std::string s = std::to_string(number);
        if (s.size() < 10) s.insert(0, 10 - s.size(), ' ');
        return s;
    }
    if (mLetters.empty() || number <= 0) return {};
    const auto L = static_cast<std::int32_t>(mLetters.size());
    const char letter = mLetters[static_cast<std::size_t>(number % L)];
    const std::int32_t rest = number / L;
    if (mKind == kVelt2) {
        const std::string e = Encode75(rest);
        return e.empty() ? std::string() : letter + e;
    }
    return letter + std::to_string(rest);
}

std::string IdentifierRules::ShownIdentifier(std::string_view id) const {
    if (mKind == kVelt1) return std::string(TrimLeftSpaces(id));
    if (mKind == kVelt3) return std::string(id);
    if (id.empty()) return {};
    const std::int64_t b = Decode75(Middle(id));
    if (b < 0) return {};
    return id[0] + std::to_string(b);
}

std::string IdentifierRules::StoredIdentifier(std::string_view typed) const {
    if (mKind == kVelt1) {
        std::string s(typed);
        if (s.size() < 10) s.insert(0, 10 - s.size(), ' ');
        return s;
    }
    if (mKind == kVelt3) return std::string(typed);
    const std::string fallback = "     1";
    if (typed.size() <= 1) return fallback;
    const std::int64_t n = Decimal(TrimSpaces(typed.substr(1)));
    if (n < 0) return fallback;
    const std::string e = Encode75(n);
    return e.empty() ? fallback : typed[0] + e;
}

}  // namespace velt
