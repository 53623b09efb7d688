// The byte tables: case, Polish collation, CP852.

#include "text/Cp1250.h"
#include "text/CpLiteral.h"
#include "text/converter.h"
#include "text/utf.h"

#include "support/Hex.h"

#include <algorithm>
#include <clocale>
#include <cwctype>
#include <gtest/gtest.h>
#include <iconv.h>
#include <string>
#include <vector>

using namespace velt;

namespace {

// glibc's case mapping of the character of a Windows-1250 byte, brought back
// into the code page (the byte itself when the result is not in it).
unsigned char LibcCase(unsigned char b, bool upper) {
    const wchar_t c = static_cast<wchar_t>(kCp1250ToUnicode[b]);
    const wchar_t m = upper ? std::towupper(c) : std::towlower(c);
    const int back = Cp1250ByteOf(static_cast<char32_t>(m));
    return back < 0 ? b : static_cast<unsigned char>(back);
}

class CaseTables : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr); }
};

}  // namespace

TEST_F(CaseTables, AgreeWithTheC_LibraryButForTheTwoLettersWithoutCapitals) {
    // ť and ď upper-case to plain letters; Ť and Ď stay as they are.
    const std::string upperExceptions = "ťď"_cp, lowerExceptions = "ŤĎ"_cp;
    for (int i = 0; i < 256; ++i) {
        const auto b = static_cast<unsigned char>(i);
        const bool upEx = upperExceptions.find(static_cast<char>(b)) != std::string::npos;
        const bool loEx = lowerExceptions.find(static_cast<char>(b)) != std::string::npos;
        if (!upEx) {
            EXPECT_EQ(UpperTable.Map(b), LibcCase(b, true)) << "upper of byte " << i;
        }
        if (!loEx) {
            EXPECT_EQ(LowerTable.Map(b), LibcCase(b, false)) << "lower of byte " << i;
        }
    }
}

TEST(CaseTableEdges, EdgeCases) {
    struct Case {
        const converter& table;
        std::string in, out;
    } cases[] = {
        {UpperTable, "ťďź"_cp, "TDŹ"_cp},
        {UpperTable, "zażółć gęślą jaźń"_cp, "ZAŻÓŁĆ GĘŚLĄ JAŹŃ"_cp},
        {UpperTable, "ßµ§"_cp, "ßµ§"_cp},
        {LowerTable, "ŹŻ"_cp, "źż"_cp},
        {LowerTable, "ŤĎ"_cp, "ŤĎ"_cp},
        {LowerTable, "ŠĽŔĂ ABC"_cp, "šľŕă abc"_cp},
        {UpperTable, std::string("a\0b", 3), std::string("A\0B", 3)},
    };
    for (const auto& c : cases) EXPECT_BYTES_EQ(c.table.Convert(c.in), c.out);
}

TEST(CollationTable, ComparesByGroupAndLength) {
    struct Case {
        std::string a, b;
        int expected;
    } cases[] = {
        {"ą"_cp, "Á"_cp, 0},    {"A"_cp, "ą"_cp, -1},   {"ą"_cp, "B"_cp, -1},
        {"abc", "abcd", -1},    {"abcd", "abc", 1},     {"Ab", "aB", 0},
        {"", "", 0},            {"", "a", -1},          {"^a", "a", -1},
        {std::string(1, '\0'), "^", -1},                {"z", "ź"_cp, -1},
        {"ź"_cp, "ż"_cp, -1},   {"ż"_cp, "Ž"_cp, 0},    {"Z", "["_cp, -1},
        {"ť"_cp, "T", 0},       {"Ť"_cp, "Ž"_cp, 1},    {"Ť"_cp, "ť"_cp, 1},
        {"ł"_cp, "m", -1},      {"l", "ł"_cp, -1},      {"ß"_cp, "ś"_cp, 0},
        {"n", "ń"_cp, -1},      {"ń"_cp, "o", -1},      {"{", "_", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CollationTable.Compare(c.a, c.b), c.expected)
            << test::Hex(c.a) << " vs " << test::Hex(c.b);
}

TEST(CollationTable, SortsPolishWordsInDictionaryOrder) {
    const std::vector<std::string> expected = {
        "^aTytuł"_cp, "Adam"_cp,  "Ala"_cp,    "ąkać"_cp,   "Bąk"_cp,   "Cel"_cp,  "Ćma"_cp,
        "ćwiek"_cp,   "Dom"_cp,   "Ewa"_cp,    "Ęka"_cp,    "Lato"_cp,  "Łąka"_cp, "łza"_cp,
        "Mama"_cp,    "Noc"_cp,   "Ńa"_cp,     "Ola"_cp,    "Ósemka"_cp, "Sad"_cp, "Sadza"_cp,
        "Śnieg"_cp,   "Tata"_cp,  "Zebra"_cp,  "Źrebię"_cp, "Żaba"_cp,  "żuk"_cp,
    };
    std::vector<std::string> words(expected.rbegin(), expected.rend());
    std::stable_sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
        return CollationTable.Compare(a, b) < 0;
    });
    EXPECT_EQ(words, expected);
}

// glibc's iconv is an independent account of code page 852.
static int Cp852ToUnicode(unsigned char b) {
    iconv_t cd = iconv_open("UTF-32LE", "CP852");
    char in = static_cast<char>(b);
    char32_t out = 0;
    char* ip = &in;
    char* op = reinterpret_cast<char*>(&out);
    std::size_t il = 1, ol = 4;
    const auto rc = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    return rc == static_cast<std::size_t>(-1) ? -1 : static_cast<int>(out);
}

TEST(Cp852Tables, AgreeWithIconvAndCarryTheFiveExtraSigns) {
    const converter toWin(converter::Kind::Cp852ToCp1250), toDos(converter::Kind::Cp1250ToCp852);
    const std::string extra = "ŢŤ©€§"_cp;
    for (int i = 0; i < 256; ++i) {
        const auto b = static_cast<unsigned char>(i);
        unsigned char expected = b;
        if (i >= 176 && i <= 180) {
            expected = static_cast<unsigned char>(extra[i - 176]);
        } else if (i >= 128) {
            const int u = Cp852ToUnicode(b);
            const int w = u < 0 ? -1 : Cp1250ByteOf(static_cast<char32_t>(u));
            if (w >= 0) expected = static_cast<unsigned char>(w);
        }
        EXPECT_EQ(toWin.Map(b), expected) << "CP852 byte " << i;
        // Every Windows-1250 letter CP852 has comes back through the reverse.
        if (i >= 128 && expected != b && !(i >= 176 && i <= 180)) {
            EXPECT_EQ(toDos.Map(expected), b) << "CP852 byte " << i;
        }
    }
    EXPECT_EQ(toDos.Map(static_cast<unsigned char>("€"_cp[0])), 179);
    EXPECT_EQ(toDos.Map(static_cast<unsigned char>("©"_cp[0])), 178);
    EXPECT_EQ(toDos.Map(static_cast<unsigned char>("§"_cp[0])), 0xF5);  // its own code first
    EXPECT_EQ(converter().Convert("\x80\xFF"), "\x80\xFF");               // identity
}
