// The pair text of parameter forms both ways, merging, and the lines of
// server texts.

#include "params/PairText.h"
#include "params/ParameterForms.h"
#include "text/my_record.h"

#include "support/Hex.h"

#include <gtest/gtest.h>

using namespace velt;

namespace {
const std::string kEsc1 = "\x1B" "1";
}

TEST(PairText, ReadsPairsWithEscapesEmptyValuesAndMissingBars) {
    struct Case {
        std::string text;
        std::vector<ParameterPair> pairs;
    };
    const Case cases[] = {
        {"", {}},
        {"||", {{"", ""}}},
        {"a|1|b|2|", {{"a", "1"}, {"b", "2"}}},
        {"a||b|2|", {{"a", ""}, {"b", "2"}}},
        {"a" + kEsc1 + "x|1" + kEsc1 + "2" + kEsc1 + "|", {{"a|x", "1|2|"}}},
        {"a|1|b|2", {{"a", "1"}, {"b", "2"}}},  // the last value runs to the end
        {"a|1|b", {{"a", "1"}}},                // a name without a bar is no pair
        {"a|", {{"a", ""}}},
        {"\x1B" "U0141\x1A|\x1B|", {{"\x1B" "U0141\x1A", "\x1B"}}},  // other escapes are values
    };
    for (const Case& c : cases) EXPECT_EQ(ReadPairs(c.text), c.pairs) << test::Hex(c.text);
}

TEST(PairText, WritesBarsAsEscapesAndReadsThemBack) {
    const std::vector<ParameterPair> pairs = {{"a|b", "x|"}, {"", ""}, {"c", ""}, {"d", "|"}};
    const std::string text = JoinPairs(pairs);
    EXPECT_BYTES_EQ(text, "a" + kEsc1 + "b|x" + kEsc1 + "|||c||d|" + kEsc1 + "|");
    EXPECT_EQ(ReadPairs(text), pairs);
    EXPECT_EQ(JoinPairs({}), "");
}

TEST(PairText, TheRecordOfAFormFillsFromPairsAndAnswersInRecordOrder) {
    my_record record;
    FillRecord(record, "b|2|a|x" + kEsc1 + "y|||e||");
    // Empty names are skipped; an empty value makes no field.
    ASSERT_EQ(record.fields().size(), 2u);
    EXPECT_EQ(record.GetValue("a"), "x|y");
    EXPECT_BYTES_EQ(RecordPairs(record), "b|2|a|x" + kEsc1 + "y|");
    EXPECT_EQ(RecordPairs(my_record()), "||") << "no field is an answer, not a cancellation";
}

TEST(PairText, ALiteralEscapeOneIsRecognised) {
    EXPECT_TRUE(CarriesEscapeOne("a" + kEsc1));
    EXPECT_FALSE(CarriesEscapeOne("a\x1B" "U0141\x1A"));
    EXPECT_FALSE(CarriesEscapeOne("1\x1B"));
}

TEST(PairText, MergingReplacesTheFirstPairOfANameAndAppendsNewOnes) {
    struct Case {
        std::string remembered, given, merged;
    };
    const Case cases[] = {
        {"a|1|b|2|", "b|5|c|7|", "a|1|b|5|c|7|"},
        {"", "b|5|", "b|5|"},
        {"a|1|", "", "a|1|"},
        {"a|1|a|2|", "a|3|", "a|3|a|2|"},
        {"a|1|", "a|2|a|3|", "a|3|"},
    };
    for (const Case& c : cases) EXPECT_EQ(MergePairs(c.remembered, c.given), c.merged) << c.remembered << " + " << c.given;
}

TEST(PairText, ServerTextsBecomeLines) {
    EXPECT_EQ(ServerTextLines("BEGIN\rEND\r\nx\ny"), "BEGIN\nEND\nx\ny");
    EXPECT_EQ(ServerTextLines("\r\r"), "\n\n");
}
