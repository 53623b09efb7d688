#pragma once
// UTF-8 reading and writing for the converters, and the escape that carries a
// character Windows-1250 lacks inside the system's texts: ESC "U", four
// upper-case hexadecimal digits of the code point, SUB.

#include <cstddef>
#include <string>
#include <string_view>

namespace velt {

inline constexpr char kEscapeStart = 27;  // ESC
inline constexpr char kEscapeEnd = 26;    // SUB
inline constexpr std::size_t kEscapeLength = 7;
inline constexpr char32_t kReplacement = 0xFFFD;

struct Utf8Char {
    char32_t code;       // kReplacement when not valid
    std::size_t length;  // bytes taken: 1 for a malformed byte
    bool valid;
};

// The character at text[at] (at < size). Never reads past the text: a
// malformed, cut-short or overlong sequence, a surrogate and a stray
// continuation byte give one invalid character of one byte, so the bytes
// that follow are read again on their own.
Utf8Char DecodeUtf8(std::string_view text, std::size_t at);

// Appends the UTF-8 bytes of a code point (a surrogate or a value above
// U+10FFFF is written as U+FFFD).
void AppendUtf8(std::string& out, char32_t code);

// Appends ESC "U" hhhh SUB for a code point up to U+FFFF.
void AppendEscape(std::string& out, char32_t code);

// True when text[at] starts an escape with all seven bytes present; code gets
// its code point, a digit other than 0-9 and A-F counting as 0.
bool ReadEscape(std::string_view text, std::size_t at, char32_t& code);

}  // namespace velt
