#include "browse/CellMarkup.h"

#include <gtest/gtest.h>

using namespace velt;

TEST(CellMarkup, SplitsTextAndCommands) {
    const auto e = ParseMarkupLine("ab\x1bSB\x1a" "cd\x1b/\x1a\x1bLzapytanie=x||Kowalski\x1a" "!\x1b" "Cunterminated");
    ASSERT_EQ(e.size(), 7u);
    EXPECT_EQ(e[0].command, 0);
    EXPECT_EQ(e[0].text, "ab");
    EXPECT_EQ(e[1].command, 'S');
    EXPECT_EQ(e[1].text, "B");
    EXPECT_EQ(e[2].text, "cd");
    EXPECT_EQ(e[3].command, '/');
    EXPECT_EQ(e[3].text, "");
    EXPECT_EQ(e[4].command, 'L');
    EXPECT_EQ(e[5].text, "!");
    EXPECT_EQ(e[6].command, 'C');
    // The command without SUB runs to the end.
    const auto last = ParseMarkupLine("\x1b" "Cunterminated");
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].text, "unterminated");
    EXPECT_TRUE(ParseMarkupLine("\x1b").empty());
}

TEST(CellMarkup, LinksNameTheirCommandAndText) {
    const struct {
        const char* arg;
        const char* command;
        const char* text;
    } cases[] = {{"cmd||Tekst", "cmd", "Tekst"}, {"rekord|A  1", "rekord|A  1", "A  1"}, {"same", "same", "same"}};
    for (const auto& c : cases) {
        std::string command, text;
        SplitLink(c.arg, command, text);
        EXPECT_EQ(command, c.command);
        EXPECT_EQ(text, c.text);
    }
}

TEST(CellMarkup, PlainTextKeepsWhatTheReaderSees) {
    EXPECT_EQ(MarkupPlainText("\x1bSB\x1aPan Tadeusz\x1bS\x1a / \x1bLzapytanie||Mickiewicz\x1a\x1b/\x1a" "1834"),
              "Pan Tadeusz / Mickiewicz 1834");
    EXPECT_EQ(MarkupPlainText("\x1bIjpegdata\x1a" "x\x1b" "B?||kolekcja.bmp"), "x");
}

TEST(CellMarkup, DisplayTextsSplitAtCarriageReturns) {
    EXPECT_EQ(SplitDisplayLines("a\r\nb\rc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SplitDisplayLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(SplitDisplayLines("").empty());
}
