// The MARC-8 converters, with yaz-iconv (and NFC composition by uconv) as the
// oracle of MARC-8.

#include "text/CpLiteral.h"
#include "text/ala.h"
#include "text/utf.h"

#include "support/Hex.h"
#include "support/Marc8Table.h"
#include "support/Tool.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace velt;

using test::AllSequences;
using test::kDeviations;

namespace {

std::string Esc(const char* hex) { return std::string("\x1BU") + hex + "\x1A"; }

}  // namespace

TEST(AlaWin, EveryTableSequenceAgreesWithYazButForTheListedDeviations) {
    ASSERT_TRUE(test::HaveTool("yaz-iconv")) << "yaz-iconv is missing: scripts/deps.sh installs yaz";
    const auto all = AllSequences();
    std::vector<std::string> texts;
    for (const auto& s : all) texts.push_back(s.marc);
    const auto yaz = test::YazLines(texts);
    ASSERT_EQ(yaz.size(), all.size());
    int deviations = 0;
    for (std::size_t k = 0; k < all.size(); ++k) {
        const std::string ours = WinUtf().Convert(AlaWin().Convert(all[k].marc));
        EXPECT_BYTES_EQ(ours, all[k].letter) << "MARC-8 " << test::Hex(all[k].marc);
        const auto dev = kDeviations.find(all[k].marc);
        if (dev == kDeviations.end()) {
            EXPECT_BYTES_EQ(ours, yaz[k]) << "MARC-8 " << test::Hex(all[k].marc);
        } else {
            EXPECT_BYTES_EQ(yaz[k], dev->second) << "the deviation for " << test::Hex(all[k].marc);
            ++deviations;
        }
    }
    EXPECT_EQ(deviations, static_cast<int>(kDeviations.size()));
}

TEST(AlaWin, ReadsMarc8) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"\xE2" "a", "á"_cp},
        {"\xF1" "e", "ę"_cp},
        {"\xE9", "Ú"_cp},                            // a mark at the very end: read as CP852
        {"Za\xE7z\xE2o\xB1\xE2" "c", "Zażółć"_cp},
        {"G\xF1" "e\xE2" "sl\xF1" "a ja\xE2" "zn", "Gęślą jaźn"_cp},
        {"\xA1\xB1\xA3", "ŁłĐ"_cp},
        {"\x86\xA5", "ćą"_cp},                        // CP852 bytes outside the table
        {"\xB0\xB1\xB2\xB3\xB4", "Ţł©€§"_cp},         // B1 and B3 are sequences, the rest CP852
        {"x\x1B(By", "x\x1B(By"},                    // below 128 everything is copied
    };
    for (const auto& c : cases) EXPECT_BYTES_EQ(AlaWin().Convert(c.in), c.out) << test::Hex(c.in);
}

// A mark without a letter of its own for its base letter keeps the base letter
// and follows it as an escaped combining character; it never becomes the CP852
// letter of its byte.
TEST(AlaWin, MarkWithoutALetterKeepsTheBaseAndTheMark) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"\xE9" "x", "x" + Esc("030C")},              // caron on x
        {"\xE2" "b.", "b" + Esc("0301") + "."},
        {"\xE2\xA1", "Ł"_cp + Esc("0301")},           // on a one-byte letter
        {"\xE9\xE2" "a", "a" + Esc("030C") + Esc("0301")},   // two marks, in their order
        {"\xE2\xE9" "e", "é"_cp + Esc("030C")},       // the first mark makes a letter
        {"\xE4" "n", "n" + Esc("0303")},              // tilde: no letter in the code page
        {"\xE2 ", " " + Esc("0301")},                 // a mark on a space
        {"\xE2\xE9", "ÔÚ"_cp},                // marks up to the end: CP852 as before
    };
    for (const auto& c : cases) EXPECT_BYTES_EQ(AlaWin().Convert(c.in), c.out) << test::Hex(c.in);
}

TEST(AlaWin, MarksWithoutLettersComposeLikeYaz) {
    ASSERT_TRUE(test::HaveTool("yaz-iconv"));
    const std::vector<std::string> inputs = {"\xE9x", "\xE4n", "\xE9\xE2" "a", "\xE2\xE9" "e",
                                             "\xE2\xA1", "\xF2" "d", "\xE8y"};
    const auto yaz = test::YazLines(inputs);
    ASSERT_EQ(yaz.size(), inputs.size());
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        const auto nfc = test::RunTool("uconv -f utf-8 -t utf-8 -x any-nfc",
                                       WinUtf().Convert(AlaWin().Convert(inputs[k])));
        ASSERT_TRUE(nfc.has_value());
        EXPECT_BYTES_EQ(*nfc, yaz[k]) << "MARC-8 " << test::Hex(inputs[k]);
    }
}

TEST(WinAla, WritesTheSequencesBack) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"á"_cp, "\xE2" "a"},
        {"Zażółć gęślą jaźń"_cp, "Za\xE7z\xE2o\xB1\xE2" "c g\xF1" "e\xE2sl\xF1" "a ja\xE2z\xE2n"},
        {"Š"_cp, "\xE9S"},        // no switch of character set left open
        {"ß"_cp, "\xC7"},
        {"š"_cp, "\xE6s"},
        {"Ů"_cp, "\xEAU"},
        {"€˙"_cp, "\xB3\xA8"},
        {"đ"_cp, "d"},            // MARC-8 has no room for it: never a combining mark
        {"÷"_cp, "?"},
        {"§°"_cp, "§°"_cp},       // other signs are copied
        {"abc\x1BU0141\x1A", "abc\x1BU0141\x1A"},
    };
    for (const auto& c : cases) EXPECT_BYTES_EQ(WinAla().Convert(c.in), c.out) << test::Hex(c.in);
}

TEST(WinAla, NoByteLandsInTheCombiningMarks) {
    for (int b = 0; b < 256; ++b) {
        const std::string out = WinAla().Convert(std::string(1, static_cast<char>(b)));
        ASSERT_FALSE(out.empty());
        // A sequence may begin with a mark, but never end with one.
        EXPECT_EQ(Marc8CombiningMark(static_cast<unsigned char>(out.back())), 0u) << "byte " << b;
    }
}

TEST(WinAla, EveryLetterReadsBackThroughAlaWin) {
    for (int b = 0x80; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string marc = WinAla().Convert(one);
        if (marc == one) continue;  // copied: not a letter MARC-8 carries
        if (one == "đ"_cp || one == "÷"_cp) continue;
        EXPECT_BYTES_EQ(AlaWin().Convert(marc), one) << "byte " << b;
    }
    const std::string text = "Zażółć gęślą jaźń. Šťastný Dvořák, Weiß, Ůžice"_cp;
    EXPECT_BYTES_EQ(AlaWin().Convert(WinAla().Convert(text)), text);
}

TEST(WinAla, StandardReadersReadItBackButForTheListedDeviations) {
    ASSERT_TRUE(test::HaveTool("yaz-iconv"));
    const std::string deviating = "€˙Ňňš ŞŢşţ"_cp;
    std::vector<std::string> texts, letters;
    for (int b = 0x80; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string marc = WinAla().Convert(one);
        if (marc == one || deviating.find(one) != std::string::npos) continue;
        if (one == "đ"_cp || one == "÷"_cp) continue;
        letters.push_back(one);
        texts.push_back(marc);
    }
    const auto yaz = test::YazLines(texts);
    ASSERT_EQ(yaz.size(), letters.size());
    for (std::size_t k = 0; k < letters.size(); ++k)
        EXPECT_BYTES_EQ(yaz[k], WinUtf().Convert(letters[k])) << "letter " << test::Hex(letters[k]);
}
