#include "text/Cp1250.h"

namespace velt {

std::string Cp1250ToUtf8(std::string_view cp1250) {
    std::string out;
    out.reserve(cp1250.size() + cp1250.size() / 4);
    for (char ch : cp1250) {
        const char32_t cp = kCp1250ToUnicode[static_cast<unsigned char>(ch)];
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

namespace {
// Reverse table for the upper half, built once.
struct ReverseTable {
    std::array<unsigned char, 0x3000> byCode{};  // every Windows-1250 character is below U+3000
    ReverseTable() {
        for (int b = 0x80; b < 0x100; ++b) {
            if (!Cp1250Defined(static_cast<unsigned char>(b))) continue;
            byCode[kCp1250ToUnicode[b]] = static_cast<unsigned char>(b);
        }
    }
};
const ReverseTable& reverseTable() {
    static const ReverseTable table;
    return table;
}
}  // namespace

std::string Utf8ToCp1250(std::string_view utf8) {
    const auto& rev = reverseTable();
    std::string out;
    out.reserve(utf8.size());
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        const std::size_t len = (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        char32_t cp = len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = len != 0 && i + len <= n;
        for (std::size_t k = 1; ok && k < len; ++k) {
            const auto c = static_cast<unsigned char>(utf8[i + k]);
            if ((c & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {  // a bad byte stands for itself only
            out.push_back('?');
            ++i;
            continue;
        }
        const unsigned char mapped = cp < rev.byCode.size() ? rev.byCode[cp] : 0;
        out.push_back(mapped ? static_cast<char>(mapped) : '?');
        i += len;
    }
    return out;
}

}  // namespace velt
