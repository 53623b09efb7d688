#pragma once
// The one way the core writes a Polish text: a UTF-8 literal in the source
// turned into Windows-1250 bytes at compile time.
//
//     std::string s = "Błędne hasło"_cp;
//
// A character the code page lacks, or a malformed UTF-8 sequence, stops the
// compilation (the call of a function that is not constexpr shows in the
// error message).

#include "text/Cp1250.h"

#include <array>
#include <cstddef>
#include <string>

namespace velt {
namespace cpliteral {

template <std::size_t N>
struct Utf8Literal {
    char text[N];
    constexpr Utf8Literal(const char (&s)[N]) {
        for (std::size_t i = 0; i < N; ++i) text[i] = s[i];
    }
};

// Never constexpr: reaching it during constant evaluation is the error.
void character_not_in_windows_1250();
void malformed_utf8_in_literal();

struct Decoded {
    char32_t code;
    std::size_t length;
};

constexpr Decoded decodeAt(const char* s, std::size_t i, std::size_t n) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > n) malformed_utf8_in_literal();
    char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) malformed_utf8_in_literal();
        cp = (cp << 6) | (c & 0x3F);
    }
    return {cp, len};
}

// Number of characters of the literal (its Windows-1250 length).
constexpr std::size_t encodedLength(const char* s, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < n;) {
        i += decodeAt(s, i, n).length;
        ++count;
    }
    return count;
}

template <Utf8Literal L>
consteval auto encode() {
    constexpr std::size_t n = sizeof(L.text) - 1;  // without the terminating zero
    std::array<char, encodedLength(L.text, n)> out{};
    std::size_t o = 0;
    for (std::size_t i = 0; i < n;) {
        const Decoded d = decodeAt(L.text, i, n);
        const int b = UnicodeToCp1250(d.code);
        if (b < 0 || (b >= 0x80 && !Cp1250Defined(static_cast<unsigned char>(b))))
            character_not_in_windows_1250();
        out[o++] = static_cast<char>(b);
        i += d.length;
    }
    return out;
}

}  // namespace cpliteral

inline namespace literals {
// Windows-1250 bytes of a UTF-8 literal, converted at compile time.
template <cpliteral::Utf8Literal L>
std::string operator""_cp() {
    static constexpr auto bytes = cpliteral::encode<L>();
    return std::string(bytes.data(), bytes.size());
}
}  // namespace literals

}  // namespace velt
