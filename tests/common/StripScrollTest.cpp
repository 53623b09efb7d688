#include "common/StripScroll.h"

#include <gtest/gtest.h>

using namespace velt;

TEST(StripScroll, ArrowsMoveTheRowOnlyWithinItsRoom) {
    StripScroll s;
    s.Arrange(300, 400);
    EXPECT_FALSE(s.ArrowsShown()) << "a row that fits needs no arrows";
    s.Arrange(300, 275);
    EXPECT_TRUE(s.ArrowsShown());
    s.Left();
    EXPECT_EQ(s.Offset(), 0) << "never past the row's start";
    s.Right();
    s.Right();
    EXPECT_EQ(s.Offset(), -20);
    s.Right();
    EXPECT_EQ(s.Offset(), -30) << "its end was still 5 pixels beyond the room";
    s.Right();
    EXPECT_EQ(s.Offset(), -30) << "the end is in view: no further";
    s.Left();
    EXPECT_EQ(s.Offset(), -20);
    s.Arrange(300, 280);
    EXPECT_EQ(s.Offset(), 0) << "arranging puts the row back at its start";
}
