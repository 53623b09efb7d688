#include "text/converter.h"

#include "text/Cp1250.h"

namespace velt {

namespace {

// Windows-1250 byte of a character the code page has (asserted at compile time).
constexpr unsigned char B(char16_t c) {
    const int b = UnicodeToCp1250(c);
    if (b < 0) throw "character not in Windows-1250";
    return static_cast<unsigned char>(b);
}

// Small letter and capital of every Windows-1250 letter pair beyond ASCII.
// ť and ď have no entry: they upper-case to plain T and D, and their
// capitals lower-case to themselves.
constexpr char16_t kCasePairs[][2] = {
    {u'ą', u'Ą'}, {u'ć', u'Ć'}, {u'ę', u'Ę'}, {u'ł', u'Ł'}, {u'ń', u'Ń'}, {u'ó', u'Ó'},
    {u'ś', u'Ś'}, {u'ź', u'Ź'}, {u'ż', u'Ż'}, {u'š', u'Š'}, {u'ž', u'Ž'}, {u'ş', u'Ş'},
    {u'ľ', u'Ľ'}, {u'ŕ', u'Ŕ'}, {u'á', u'Á'}, {u'â', u'Â'}, {u'ă', u'Ă'}, {u'ä', u'Ä'},
    {u'ĺ', u'Ĺ'}, {u'ç', u'Ç'}, {u'č', u'Č'}, {u'é', u'É'}, {u'ë', u'Ë'}, {u'ě', u'Ě'},
    {u'í', u'Í'}, {u'î', u'Î'}, {u'đ', u'Đ'}, {u'ň', u'Ň'}, {u'ô', u'Ô'}, {u'ő', u'Ő'},
    {u'ö', u'Ö'}, {u'ř', u'Ř'}, {u'ů', u'Ů'}, {u'ú', u'Ú'}, {u'ű', u'Ű'}, {u'ü', u'Ü'},
    {u'ý', u'Ý'}, {u'ţ', u'Ţ'},
};

struct Weight {
    unsigned char weight;
    std::u16string_view characters;
};

// Sort weights of the Polish order; every byte not listed weighs its own code.
// "^" (the subfield marker) sorts before everything but code 0; Ť keeps 141
// and so sorts after all letters.
constexpr Weight kWeights[] = {
    {1, u"^"},
    {65, u"Aa"},
    {66, u"ĄąÁÂĂÄáâăä"},
    {67, u"Bb"},
    {68, u"Cc"},
    {69, u"ĆÇČćçč"},
    {70, u"Dd"},
    {71, u"ĎĐďđ"},
    {72, u"Ee"},
    {73, u"ÉĘËĚéęëě"},
    {74, u"Ff"},
    {75, u"Gg"},
    {76, u"Hh"},
    {77, u"Ii"},
    {78, u"ÍÎíî"},
    {79, u"Jj"},
    {80, u"Kk"},
    {81, u"Ll"},
    {82, u"ŁłĽľĹĺ"},
    {83, u"Mm"},
    {85, u"Nn"},
    {86, u"ŃŇńň"},
    {87, u"Oo"},
    {88, u"ÓÔŐÖóôőö"},
    {89, u"Pp"},
    {90, u"Qq"},
    {91, u"Rr"},
    {92, u"ŔŘŕř"},
    {93, u"Ss"},
    {94, u"ŠŚšśŞşß"},
    {95, u"TtťŢţ"},
    {96, u"Uu"},
    {97, u"ŮÚŰÜůúűü"},
    {98, u"Vv"},
    {99, u"Ww"},
    {100, u"Xx"},
    {101, u"YyÝý"},
    {102, u"Zz"},
    {103, u"Źź"},
    {104, u"ŽžŻż"},
    {105, u"["},
    {106, u"\\"},
    {107, u"]"},
    {109, u"_"},
    {110, u"`"},
};

// Unicode of the upper half of code page 852.
constexpr char16_t kCp852High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x016F, 0x0107, 0x00E7,  // 80
    0x0142, 0x00EB, 0x0150, 0x0151, 0x00EE, 0x0179, 0x00C4, 0x0106,  // 88
    0x00C9, 0x0139, 0x013A, 0x00F4, 0x00F6, 0x013D, 0x013E, 0x015A,  // 90
    0x015B, 0x00D6, 0x00DC, 0x0164, 0x0165, 0x0141, 0x00D7, 0x010D,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0104, 0x0105, 0x017D, 0x017E,  // A0
    0x0118, 0x0119, 0x00AC, 0x017A, 0x010C, 0x015F, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x011A,  // B0
    0x015E, 0x2563, 0x2551, 0x2557, 0x255D, 0x017B, 0x017C, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x0102, 0x0103,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x0111, 0x0110, 0x010E, 0x00CB, 0x010F, 0x0147, 0x00CD, 0x00CE,  // D0
    0x011B, 0x2518, 0x250C, 0x2588, 0x2584, 0x0162, 0x016E, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x0143, 0x0144, 0x0148, 0x0160, 0x0161,  // E0
    0x0154, 0x00DA, 0x0155, 0x0170, 0x00FD, 0x00DD, 0x0163, 0x00B4,  // E8
    0x00AD, 0x02DD, 0x02DB, 0x02C7, 0x02D8, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x02D9, 0x0171, 0x0158, 0x0159, 0x25A0, 0x00A0,  // F8
};

// The box-drawing codes 176..180 of CP852 carry these letters and signs in
// the records this converter is meant for.
constexpr char16_t kCp852Extra[5] = {u'Ţ', u'Ť', u'©', u'€', u'§'};

using Table = converter::Table;

constexpr Table Identity() {
    Table t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
    return t;
}

constexpr Table BuildTable(converter::Kind kind) {
    Table t = Identity();
    switch (kind) {
    case converter::Kind::Identity:
        break;
    case converter::Kind::Upper:
        for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
        for (const auto& p : kCasePairs) t[B(p[0])] = B(p[1]);
        t[B(u'ť')] = 'T';
        t[B(u'ď')] = 'D';
        break;
    case converter::Kind::Lower:
        for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c + 32);
        for (const auto& p : kCasePairs) t[B(p[1])] = B(p[0]);
        break;
    case converter::Kind::Collation:
        for (const auto& w : kWeights)
            for (char16_t c : w.characters) t[B(c)] = w.weight;
        break;
    case converter::Kind::Cp852ToCp1250:
        for (int i = 0; i < 128; ++i) {
            const int b = UnicodeToCp1250(kCp852High[i]);
            if (b >= 0) t[0x80 + i] = static_cast<unsigned char>(b);
        }
        for (int i = 0; i < 5; ++i) t[176 + i] = B(kCp852Extra[i]);
        break;
    case converter::Kind::Cp1250ToCp852:
        // Characters CP852 really has come first; the five extra codes only
        // for what it lacks.
        for (int i = 0; i < 5; ++i) t[B(kCp852Extra[i])] = static_cast<unsigned char>(176 + i);
        for (int i = 0; i < 128; ++i) {
            const int b = UnicodeToCp1250(kCp852High[i]);
            if (b >= 0x80) t[b] = static_cast<unsigned char>(0x80 + i);
        }
        break;
    }
    return t;
}

constexpr Table kTables[] = {
    BuildTable(converter::Kind::Identity),      BuildTable(converter::Kind::Upper),
    BuildTable(converter::Kind::Lower),         BuildTable(converter::Kind::Collation),
    BuildTable(converter::Kind::Cp852ToCp1250), BuildTable(converter::Kind::Cp1250ToCp852),
};

}  // namespace

converter::converter(Kind kind) : mTable(kTables[static_cast<int>(kind)]) {}

std::string converter::Convert(std::string_view text) const {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = static_cast<char>(mTable[static_cast<unsigned char>(text[i])]);
    return out;
}

int converter::Compare(std::string_view a, std::string_view b) const {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = mTable[static_cast<unsigned char>(a[i])];
        const unsigned char y = mTable[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

namespace {
// Constant-initialised: usable from any other object's constructor.
constinit const converter kUpper(kTables[static_cast<int>(converter::Kind::Upper)]);
constinit const converter kLower(kTables[static_cast<int>(converter::Kind::Lower)]);
constinit const converter kCollation(kTables[static_cast<int>(converter::Kind::Collation)]);
}  // namespace

const converter& UpperTable = kUpper;
const converter& LowerTable = kLower;
const converter& CollationTable = kCollation;

}  // namespace velt
