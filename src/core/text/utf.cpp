#include "text/utf.h"

#include "text/Cp1250.h"
#include "text/Utf8.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace velt {

namespace {

// The UTF-8 bytes of every Windows-1250 byte (one to three).
struct Encoded {
    char bytes[3];
    unsigned char length;
};

constexpr std::array<Encoded, 256> kToUtf8 = [] {
    std::array<Encoded, 256> t{};
    for (int b = 0; b < 256; ++b) {
        const char16_t c = kCp1250ToUnicode[b];
        Encoded& e = t[b];
        if (c < 0x80) {
            e = {{static_cast<char>(c), 0, 0}, 1};
        } else if (c < 0x800) {
            e = {{static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F)), 0}, 2};
        } else {
            e = {{static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                  static_cast<char>(0x80 | (c & 0x3F))},
                 3};
        }
    }
    return t;
}();

// Every Windows-1250 character lies below U+2200 (the trade mark sign is the
// highest); 0 means "none" above U+007F.
constexpr std::size_t kReverseSize = 0x2200;
constexpr std::array<unsigned char, kReverseSize> kFromUnicode = [] {
    std::array<unsigned char, kReverseSize> t{};
    for (int b = 0x80; b < 256; ++b) t[kCp1250ToUnicode[b]] = static_cast<unsigned char>(b);
    return t;
}();

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t kOnes = 0x0101010101010101ull;

inline std::uint64_t Load8(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

// True when the 8 bytes are ASCII and none is ESC.
inline bool PlainAscii8(std::uint64_t w) {
    const std::uint64_t esc = w ^ (kOnes * kEscapeStart);
    const bool hasEsc = ((esc - kOnes) & ~esc & kHighBits) != 0;
    return (w & kHighBits) == 0 && !hasEsc;
}

// Copies the run of ASCII bytes at text[i]; returns the new i.
inline std::size_t CopyAscii(std::string_view text, std::size_t i, std::string& out) {
    std::size_t j = i;
    while (j + 8 <= text.size() && (Load8(text.data() + j) & kHighBits) == 0) j += 8;
    while (j < text.size() && static_cast<unsigned char>(text[j]) < 0x80) ++j;
    out.append(text.data() + i, j - i);
    return j;
}

}  // namespace

int Cp1250ByteOf(char32_t code) {
    if (code < 0x80) return static_cast<int>(code);
    if (code < kReverseSize && kFromUnicode[code]) return kFromUnicode[code];
    return -1;
}

std::string win_utf::Convert(std::string_view text) const {
    const std::size_t n = text.size();
    // Every byte from 128 up takes at most 3 bytes, an escape at most 3 for 7.
    std::size_t high = 0;
    for (char ch : text) high += static_cast<unsigned char>(ch) >> 7;
    std::string out(n + 2 * high, '\0');
    char* o = out.data();
    const char* s = text.data();
    for (std::size_t i = 0; i < n;) {
        if (i + 8 <= n) {
            const std::uint64_t w = Load8(s + i);
            if (PlainAscii8(w)) {
                std::memcpy(o, &w, 8);
                o += 8;
                i += 8;
                continue;
            }
        }
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            char32_t code;
            if (b == kEscapeStart && ReadEscape(text, i, code)) {
                std::string one;
                AppendUtf8(one, code);
                std::memcpy(o, one.data(), one.size());
                o += one.size();
                i += kEscapeLength;
                continue;
            }
            *o++ = static_cast<char>(b);
            ++i;
            continue;
        }
        const Encoded& e = kToUtf8[b];
        o[0] = e.bytes[0];
        o[1] = e.bytes[1];
        if (e.length == 3) o[2] = e.bytes[2];
        o += e.length;
        ++i;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

namespace {

// UTF-8 to Windows-1250; a character the code page lacks (or a malformed
// byte, as U+FFFD) goes through missing.
template <typename Missing>
std::string ToCp1250(std::string_view text, Missing missing) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            i = CopyAscii(text, i, out);
            continue;
        }
        const Utf8Char c = DecodeUtf8(text, i);
        const int b = c.valid ? Cp1250ByteOf(c.code) : -1;
        if (b >= 0)
            out.push_back(static_cast<char>(b));
        else
            missing(out, c.code);
        i += c.length;
    }
    return out;
}

}  // namespace

std::string utf_win::Convert(std::string_view text) const {
    return ToCp1250(text, [](std::string& out, char32_t) { out.push_back('?'); });
}

std::string utf_veltwin::Convert(std::string_view text) const {
    // U+FFFD for a malformed byte or beyond U+FFFF
    return ToCp1250(text, [](std::string& out, char32_t code) { AppendEscape(out, code); });
}

const win_utf& WinUtf() {
    static const win_utf instance;
    return instance;
}

const utf_win& UtfWin() {
    static const utf_win instance;
    return instance;
}

const utf_veltwin& UtfVeltwin() {
    static const utf_veltwin instance;
    return instance;
}

}  // namespace velt
