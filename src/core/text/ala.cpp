#include "text/ala.h"

#include "text/Cp1250.h"
#include "text/Utf8.h"

#include <array>
#include <string_view>

namespace velt {

namespace {

constexpr unsigned char B(char16_t c) {
    const int b = UnicodeToCp1250(c);
    if (b < 0) throw "character not in Windows-1250";
    return static_cast<unsigned char>(b);
}

// MARC-8 letters of one byte.
struct Single {
    unsigned char marc;
    char16_t letter;
};
constexpr Single kSingles[] = {
    {0xA1, u'Ł'}, {0xA3, u'Đ'}, {0xA8, u'˙'}, {0xB1, u'ł'}, {0xB3, u'€'},
    {0xC7, u'ß'},  // the eszett of MARC-8, which win_ala writes for ß
};

// A combining mark and the letters it makes with the base letters listed.
// Where one letter has two sequences, win_ala writes the first.
struct Marked {
    unsigned char mark;
    std::string_view bases;
    std::u16string_view letters;
};
constexpr Marked kMarked[] = {
    {0xE2, "ACEILNORSUYZaceilnorsuyz", u"ÁĆÉÍĹŃÓŔŚÚÝŹáćéíĺńóŕśúýź"},  // acute
    {0xE3, "AIOaio", u"ÂÎÔâîô"},         // circumflex
    {0xE6, "ANans", u"ĂŇăňš"},           // breve, as these records use it
    {0xE7, "Zz", u"Żż"},                 // dot above
    {0xE8, "AEOUaeou", u"ÄËÖÜäëöü"},     // umlaut
    {0xE9, "CDELRTZcdelrtz", u"ČĎĚĽŘŤŽčďěľřťž"},  // caron
    {0xE9, "Ss", u"Šš"},                 // how win_ala writes Š
    {0xEA, "uU", u"ůŮ"},                 // ring
    {0xEE, "OUou", u"ŐŰőű"},             // double acute
    {0xF0, "Cc", u"Çç"},                 // cedilla
    {0xF1, "AEae", u"ĄĘąę"},             // ogonek
    {0xF7, "STst", u"ŞŢşţ"},             // left hook, as these records use it
};

// Unicode combining characters of the MARC-8 marks E0..FE (0: not a mark).
constexpr char16_t kMarks[31] = {
    0x0309, 0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0306, 0x0307,  // E0
    0x0308, 0x030C, 0x030A, 0xFE20, 0xFE21, 0x0315, 0x030B, 0x0310,  // E8
    0x0327, 0x0328, 0x0323, 0x0324, 0x0325, 0x0333, 0x0332, 0x0326,  // F0
    0x031C, 0x032E, 0xFE22, 0xFE23, 0,      0,      0x0313,          // F8
};

struct Tables {
    std::array<unsigned char, 256> single{};                 // MARC-8 byte -> letter, 0 none
    std::array<std::array<unsigned char, 128>, 31> pair{};   // [mark - E0][base] -> letter
    std::array<std::array<unsigned char, 2>, 256> back{};    // letter -> MARC-8 bytes
};

constexpr Tables kTables = [] {
    Tables t{};
    for (const auto& s : kSingles) {
        t.single[s.marc] = B(s.letter);
        t.back[B(s.letter)] = {s.marc, 0};
    }
    for (const auto& m : kMarked) {
        if (m.bases.size() != m.letters.size()) throw "bases and letters differ in number";
        for (std::size_t k = 0; k < m.bases.size(); ++k) {
            const unsigned char letter = B(m.letters[k]);
            t.pair[m.mark - 0xE0][static_cast<unsigned char>(m.bases[k])] = letter;
            if (t.back[letter][0] == 0)
                t.back[letter] = {m.mark, static_cast<unsigned char>(m.bases[k])};
        }
    }
    return t;
}();

inline bool IsMark(unsigned char b) { return b >= 0xE0 && b <= 0xFE && kMarks[b - 0xE0] != 0; }

inline unsigned char Pair(unsigned char mark, unsigned char base) {
    return base < 0x80 ? kTables.pair[mark - 0xE0][base] : 0;
}

}  // namespace

char32_t Marc8CombiningMark(unsigned char byte) { return IsMark(byte) ? kMarks[byte - 0xE0] : 0; }

ala_win::ala_win() : mCp852(converter::Kind::Cp852ToCp1250) {}

std::string ala_win::Convert(std::string_view text) const {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::string out;
    out.reserve(n);
    // A byte from 128 up that no sequence takes.
    auto plain = [&](unsigned char b) {
        return static_cast<char>(b < 0x80 ? b : kTables.single[b] ? kTables.single[b] : mCp852.Map(b));
    };
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            std::size_t j = i + 1;
            while (j < n && s[j] < 0x80) ++j;
            out.append(text.data() + i, j - i);
            i = j;
            continue;
        }
        if (!IsMark(b)) {
            out.push_back(plain(b));
            ++i;
            continue;
        }
        if (i + 1 < n) {
            if (const unsigned char letter = Pair(b, s[i + 1])) {
                out.push_back(static_cast<char>(letter));
                i += 2;
                continue;
            }
        }
        // No letter of its own for this base: find the base after the run of
        // marks. With none before the end of the text the byte is read as
        // CP852 like any other.
        std::size_t j = i;
        while (j < n && IsMark(s[j])) ++j;
        if (j == n) {
            out.push_back(plain(b));
            ++i;
            continue;
        }
        // The base letter, with the first mark where they make a letter, then
        // the other marks as escaped combining characters in their order.
        std::size_t first = i;
        if (const unsigned char letter = Pair(s[i], s[j])) {
            out.push_back(static_cast<char>(letter));
            ++first;
        } else {
            out.push_back(plain(s[j]));
        }
        for (std::size_t k = first; k < j; ++k) AppendEscape(out, kMarks[s[k] - 0xE0]);
        i = j + 1;
    }
    return out;
}

std::string win_ala::Convert(std::string_view text) const {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        const auto& seq = kTables.back[b];
        if (b < 0x80) {
            out.push_back(ch);
        } else if (seq[0]) {
            out.push_back(static_cast<char>(seq[0]));
            if (seq[1]) out.push_back(static_cast<char>(seq[1]));
        } else if (IsMark(b)) {
            // Copied, the byte would read as a combining mark and take the
            // next letter with it: đ loses its stroke, anything else is "?".
            out.push_back(b == B(u'đ') ? 'd' : '?');
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

const ala_win& AlaWin() {
    static const ala_win instance;
    return instance;
}

const win_ala& WinAla() {
    static const win_ala instance;
    return instance;
}

}  // namespace velt
