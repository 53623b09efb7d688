#include "Identifiers.h"

#include <charconv>

namespace velt::server {

std::string Encode75(std::uint32_t n) {
    std::string text(1, static_cast<char>(48 + n % 75));
    std::uint64_t rest = n / 75;
    while (rest > 0) {
        if (rest < 91) {
            text.insert(text.begin(), static_cast<char>(32 + rest));
            break;
        }
        text.insert(text.begin(), static_cast<char>(48 + (rest - 91) % 75));
        rest = (rest - 91) / 75 + 1;
    }
    if (text.size() >= 6) return {};
    while (text.size() < 5) text.insert(text.begin(), ' ');
    return text;
}

std::optional<std::uint32_t> Decode75(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (text.empty() || text.size() > 5) return std::nullopt;
    auto code = [](char c) { return static_cast<int>(static_cast<unsigned char>(c)); };
    if (text.size() == 1) {
        const int v = code(text[0]) - 48;
        if (v < 0 || v >= 75) return std::nullopt;
        return static_cast<std::uint32_t>(v);
    }
    std::uint64_t value = static_cast<std::uint64_t>(code(text[0]) - 32);
    if (code(text[0]) < 33 || code(text[0]) > 32 + 90) return std::nullopt;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        const int d = code(text[i]) - 32;
        if (d < 16 || d >= 16 + 75) return std::nullopt;  // the inner digits are 48..122
        value = value * 75 + static_cast<std::uint64_t>(d);
    }
    const int last = code(text.back()) - 48;
    if (last < 0 || last >= 75) return std::nullopt;
    value = value * 75 + static_cast<std::uint64_t>(last);
    if (value > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::uint32_t Identifiers::Number(char letter, std::uint32_t seq) const {
    const auto p = mLetters.find(letter);
    if (p == std::string::npos) return 0;
    const std::uint64_t n = std::uint64_t{seq} * mLetters.size() + p;
    return n > 0xFFFFFFFFu ? 0 : static_cast<std::uint32_t>(n);
}

char Identifiers::Letter(std::uint32_t number) const {
    return mLetters.empty() ? '?' : mLetters[number % mLetters.size()];
}

std::uint32_t Identifiers::Sequence(std::uint32_t number) const {
    return mLetters.empty() ? 0 : static_cast<std::uint32_t>(number / mLetters.size());
}

std::string Identifiers::Stored(std::uint32_t number) const {
    if (mLetters.empty() || number == 0) return {};
    const std::uint32_t seq = Sequence(number);
    if (mKind == DbKind::Velt2) {
        const std::string code = Encode75(seq);
        return code.empty() ? std::string() : Letter(number) + code;
    }
    return Letter(number) + std::to_string(seq);
}

std::string Identifiers::Shown(std::uint32_t number) const {
    if (mLetters.empty() || number == 0) return {};
    return Letter(number) + std::to_string(Sequence(number));
}

namespace {

std::optional<std::uint32_t> Decimal(std::string_view text) {
    std::uint32_t v = 0;
    if (text.empty()) return std::nullopt;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return v;
}

std::string_view Trim(std::string_view t) {
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return t;
}

}  // namespace

std::uint32_t Identifiers::ParseShown(std::string_view text) const {
    text = Trim(text);
    if (text.size() < 2 || mLetters.find(text[0]) == std::string::npos) return 0;
    const auto seq = Decimal(text.substr(1));
    return seq ? Number(text[0], *seq) : 0;
}

std::uint32_t Identifiers::Parse(std::string_view text) const {
    if (text.size() < 2 || mLetters.find(text[0]) == std::string::npos) return 0;
    const std::string_view rest = text.substr(1);
    if (mKind == DbKind::Velt2 && text.size() == 6 && rest.find(' ') != std::string_view::npos) {
        const auto seq = Decode75(rest);
        return seq ? Number(text[0], *seq) : 0;
    }
    if (const std::uint32_t shown = ParseShown(text)) return shown;
    if (mKind == DbKind::Velt2 && text.size() == 6) {
        const auto seq = Decode75(rest);
        return seq ? Number(text[0], *seq) : 0;
    }
    return 0;
}

}  // namespace velt::server
