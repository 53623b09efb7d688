// The FORMAT report's text: paragraphs with their indents, the empty line
// between them, lines joined with a blank or (after code 8) without, the
// font changes and their bounds.

#include "reports/FormattedText.h"

#include <gtest/gtest.h>

using namespace velt;

TEST(FormattedTextTest, ParagraphsJoinTheirLinesAndKeepTheirIndents) {
    const auto p = ReadFormattedText({"przed", "[PARAGRAF 10 -5  20", "Ala", "ma", "\bkota", "[PARAGRAF", "Drugi",
                                      "[PARAGRAF x 3"});
    ASSERT_EQ(p.size(), 7u);
    EXPECT_EQ(p[0].Text(), "przed");
    EXPECT_EQ(p[1].Text(), "");  // the empty line: text came before
    EXPECT_EQ(p[2].Text(), "Ala makota");
    EXPECT_EQ(p[2].firstIndent, 10);
    EXPECT_EQ(p[2].leftIndent, -5);
    EXPECT_EQ(p[2].rightIndent, 20);
    EXPECT_EQ(p[4].Text(), "Drugi");
    EXPECT_EQ(p[4].firstIndent, 0);
    EXPECT_TRUE(p[5].runs.empty());
    EXPECT_EQ(p[6].leftIndent, 0);  // "x" is not a number: nothing more is read
    EXPECT_TRUE(p[6].runs.empty());
    const auto first = ReadFormattedText({"[PARAGRAF 1 2 3", "a"});
    ASSERT_EQ(first.size(), 1u) << "no empty line before the first text";
    EXPECT_EQ(first[0].leftIndent, 2);
}

TEST(FormattedTextTest, FontLinesChangeTheRunsAndSizesAreBounded) {
    const auto p = ReadFormattedText({"[PARAGRAF", "zwykły", "[CZCIONKA +B 12]", "gruby", "[CZCIONKA +I -B]", "kursywa",
                                      "[CZCIONKA 99999999999999]", "duży", "[CZCIONKA 0]", "bez zmiany",
                                      "[PARAGRAF 99999999 0 0", "[CZCIONKA 2]", "mały"});
    ASSERT_EQ(p.size(), 3u);
    const std::vector<FormattedRun> expected = {{"zwykły", false, false, 0},
                                                {" gruby", true, false, 12},
                                                {" kursywa", false, true, 12},
                                                {" duży bez zmiany", false, true, kMaxFontPoints}};
    EXPECT_EQ(p[0].runs, expected);
    EXPECT_EQ(p[2].firstIndent, kMaxParagraphIndent);
    ASSERT_EQ(p[2].runs.size(), 1u);
    EXPECT_EQ(p[2].runs[0].points, kMinFontPoints);
}
