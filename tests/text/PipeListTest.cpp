// The one reading of "|"-lists: pieces, pairs and a text parted at its "|".

#include "text/PipeList.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

using namespace velt;

namespace {

using Pieces = std::vector<std::string_view>;
using Pairs = std::vector<std::pair<std::string_view, std::string_view>>;

}  // namespace

TEST(PipeList, PiecesKeepEmptyOnesAndTheLastBarClosesTheLast) {
    const struct {
        std::string_view text;
        Pieces pieces;
    } cases[] = {
        {"", {}},
        {"|", {""}},
        {"||", {"", ""}},
        {"a", {"a"}},
        {"a|", {"a"}},
        {"a|b", {"a", "b"}},
        {"a||b|", {"a", "", "b"}},
        {"|a", {"", "a"}},
        {"K|Książka|T|Temat|", {"K", "Książka", "T", "Temat"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitPipeList(c.text), c.pieces) << c.text;
}

TEST(PipeList, TheReaderTellsWhetherABarClosedEachPiece) {
    PipeReader reader("a||b");
    std::string_view piece;
    bool closed = false;
    ASSERT_TRUE(reader.Next(piece, &closed));
    EXPECT_EQ(piece, "a");
    EXPECT_TRUE(closed);
    EXPECT_EQ(reader.Rest(), "|b");
    ASSERT_TRUE(reader.Next(piece, &closed));
    EXPECT_EQ(piece, "");
    EXPECT_TRUE(closed);
    ASSERT_TRUE(reader.Next(piece, &closed));
    EXPECT_EQ(piece, "b");
    EXPECT_FALSE(closed);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_FALSE(reader.Next(piece, &closed));
    EXPECT_EQ(reader.Take(), "") << "past the end, pieces are empty";
}

TEST(PipeList, PairsNeedTheirNamesClosedAndTheirValuesWhenAsked) {
    const struct {
        std::string_view text;
        Pairs closed;
        Pairs open;
    } cases[] = {
        {"", {}, {}},
        {"a|1|b|2|", {{"a", "1"}, {"b", "2"}}, {{"a", "1"}, {"b", "2"}}},
        {"a|1|b|2", {{"a", "1"}}, {{"a", "1"}, {"b", "2"}}},
        {"a|1|b|", {{"a", "1"}}, {{"a", "1"}, {"b", ""}}},
        {"a|1|b", {{"a", "1"}}, {{"a", "1"}}},
        {"a||", {{"a", ""}}, {{"a", ""}}},
        {"||", {{"", ""}}, {{"", ""}}},
        {"|", {}, {{"", ""}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PipePairs(c.text, PipeEnd::Closed), c.closed) << c.text;
        EXPECT_EQ(PipePairs(c.text, PipeEnd::Open), c.open) << c.text;
    }
    EXPECT_EQ(PipePairs("a|1|b|2|c|3|", PipeEnd::Closed, 2), (Pairs{{"a", "1"}, {"b", "2"}}));
}

TEST(PipeList, ATextIsPartedAtItsFirstBar) {
    const PipeSplit none = SplitAtPipe("program");
    EXPECT_EQ(none.head, "program");
    EXPECT_EQ(none.tail, "");
    EXPECT_FALSE(none.parted);
    const PipeSplit two = SplitAtPipe("program|a|b");
    EXPECT_EQ(two.head, "program");
    EXPECT_EQ(two.tail, "a|b");
    EXPECT_TRUE(two.parted);
    const PipeSplit empty = SplitAtPipe("|");
    EXPECT_EQ(empty.head, "");
    EXPECT_EQ(empty.tail, "");
    EXPECT_TRUE(empty.parted);
}
