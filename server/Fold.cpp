#include "Fold.h"

#include <array>

namespace velt::server {

namespace {

// For each Windows-1250 byte: the base letter it sorts under (0: keep the
// byte) and how many 7F bytes follow it.
struct FoldEntry {
    char base;
    unsigned char marks;
};

constexpr std::array<FoldEntry, 256> MakeTable() {
    std::array<FoldEntry, 256> t{};
    for (int c = 'a'; c <= 'z'; ++c) t[c] = {static_cast<char>(c - 32), 0};
    // Polish letters: their own place after the base letter.
    struct P {
        unsigned char lower, upper;
        char base;
        unsigned char marks;
    };
    constexpr P polish[] = {{0xB9, 0xA5, 'A', 1}, {0xE6, 0xC6, 'C', 1}, {0xEA, 0xCA, 'E', 1},
                            {0xB3, 0xA3, 'L', 1}, {0xF1, 0xD1, 'N', 1}, {0xF3, 0xD3, 'O', 1},
                            {0x9C, 0x8C, 'S', 1}, {0x9F, 0x8F, 'Z', 1}, {0xBF, 0xAF, 'Z', 2}};
    for (const auto& p : polish) {
        t[p.lower] = {p.base, p.marks};
        t[p.upper] = {p.base, p.marks};
    }
    // Other letters of the code page sort with their base letter.
    struct O {
        unsigned char byte;
        char base;
    };
    constexpr O other[] = {
        {0xE1, 'A'}, {0xC1, 'A'}, {0xE2, 'A'}, {0xC2, 'A'}, {0xE4, 'A'}, {0xC4, 'A'}, {0xE3, 'A'},
        {0xC3, 'A'}, {0xE8, 'C'}, {0xC8, 'C'}, {0xE7, 'C'}, {0xC7, 'C'}, {0xEF, 'D'}, {0xCF, 'D'},
        {0xF0, 'D'}, {0xD0, 'D'}, {0xE9, 'E'}, {0xC9, 'E'}, {0xEB, 'E'}, {0xCB, 'E'}, {0xEC, 'E'},
        {0xCC, 'E'}, {0xED, 'I'}, {0xCD, 'I'}, {0xEE, 'I'}, {0xCE, 'I'}, {0xBE, 'L'}, {0xBC, 'L'},
        {0xE5, 'L'}, {0xC5, 'L'}, {0xF2, 'N'}, {0xD2, 'N'}, {0xF4, 'O'}, {0xD4, 'O'}, {0xF6, 'O'},
        {0xD6, 'O'}, {0xF5, 'O'}, {0xD5, 'O'}, {0xF8, 'R'}, {0xD8, 'R'}, {0xE0, 'R'}, {0xC0, 'R'},
        {0x9A, 'S'}, {0x8A, 'S'}, {0xBA, 'S'}, {0xAA, 'S'}, {0x9D, 'T'}, {0x8D, 'T'}, {0xFE, 'T'},
        {0xDE, 'T'}, {0xFA, 'U'}, {0xDA, 'U'}, {0xFC, 'U'}, {0xDC, 'U'}, {0xF9, 'U'}, {0xD9, 'U'},
        {0xFB, 'U'}, {0xDB, 'U'}, {0xFD, 'Y'}, {0xDD, 'Y'}, {0x9E, 'Z'}, {0x8E, 'Z'}};
    for (const auto& o : other) t[o.byte] = {o.base, 0};
    return t;
}

constexpr auto kTable = MakeTable();

bool IsSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0xA0; }

void AppendFolded(std::string& out, unsigned char c) {
    const FoldEntry e = kTable[c];
    if (e.base == 0) {
        out.push_back(static_cast<char>(c));
        return;
    }
    out.push_back(e.base);
    for (int i = 0; i < e.marks; ++i) out.push_back('\x7F');
}

bool IsWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == 0x7F ||
           kTable[c].base != 0;
}

}  // namespace

std::string Fold(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 4);
    bool pendingSpace = false;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsSpace(c)) {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace) out.push_back(' ');
        pendingSpace = false;
        AppendFolded(out, c);
    }
    return out;
}

std::string FoldCompact(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsSpace(c) || c == '-') continue;
        AppendFolded(out, c);
    }
    return out;
}

std::vector<std::string> FoldedWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    auto flush = [&] {
        if (!word.empty()) words.push_back(word);
        word.clear();
    };
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsWordByte(c))
            AppendFolded(word, c);
        else
            flush();
    }
    flush();
    return words;
}

}  // namespace velt::server
