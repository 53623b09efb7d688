#include "text/Utf8.h"

namespace velt {

Utf8Char DecodeUtf8(std::string_view text, std::size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + at;
    const std::size_t left = text.size() - at;
    const unsigned char b = p[0];
    constexpr Utf8Char bad{kReplacement, 1, false};
    if (b < 0x80) return {b, 1, true};
    // Length and the range allowed for the second byte (which rules out
    // overlong forms, surrogates and values above U+10FFFF).
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;
    char32_t code;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
        code = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        code = b & 0x0F;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        code = b & 0x07;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return bad;
    }
    if (left < len) return bad;
    if (p[1] < lo || p[1] > hi) return bad;
    code = (code << 6) | (p[1] & 0x3F);
    for (std::size_t k = 2; k < len; ++k) {
        if ((p[k] & 0xC0) != 0x80) return bad;
        code = (code << 6) | (p[k] & 0x3F);
    }
    return {code, len, true};
}

void AppendUtf8(std::string& out, char32_t code) {
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = kReplacement;
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

void AppendEscape(std::string& out, char32_t code) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    if (code > 0xFFFF) code = kReplacement;
    const char bytes[kEscapeLength] = {
        kEscapeStart,
        'U',
        kDigits[(code >> 12) & 15],
        kDigits[(code >> 8) & 15],
        kDigits[(code >> 4) & 15],
        kDigits[code & 15],
        kEscapeEnd,
    };
    out.append(bytes, kEscapeLength);
}

bool ReadEscape(std::string_view text, std::size_t at, char32_t& code) {
    if (text.size() - at < kEscapeLength || text[at] != kEscapeStart || text[at + 1] != 'U')
        return false;
    code = 0;
    for (std::size_t k = 2; k < 6; ++k) {
        const char c = text[at + k];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 0;
        code = (code << 4) | static_cast<char32_t>(digit);
    }
    return true;
}

}  // namespace velt
