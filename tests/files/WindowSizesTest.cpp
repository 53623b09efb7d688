// Window sizes kept between runs: what is read back, what a damaged or
// hostile file cannot make a window, and that a keep writes the file.

#include "files/WindowSizes.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

TEST(WindowSizes, KeptSizesComeBackAndUnreadableLinesAreDropped) {
    TempDir dir;
    const std::string path = dir.Path() + "config/velt/okna.txt";
    {
        WindowSizes sizes(path);
        sizes.Load();
        EXPECT_FALSE(sizes.Find("TListChoice"));
        EXPECT_TRUE(sizes.Keep("TListChoice", {500, 380})) << "the directory is made";
        EXPECT_TRUE(sizes.Keep("TOknoParametrow", {640, 480}));
        EXPECT_FALSE(sizes.Keep("zła=nazwa", {640, 480}));
        EXPECT_FALSE(sizes.Keep("Tokno", {10, 480})) << "too small to be seen";
    }
    WindowSizes again(path);
    again.Load();
    ASSERT_TRUE(again.Find("TListChoice"));
    EXPECT_EQ(again.Find("TListChoice")->width, 500);
    EXPECT_EQ(again.Find("TOknoParametrow")->height, 480);
    EXPECT_FALSE(again.Find("Tokno"));

    dir.Write("config/velt/okna.txt", "a=100x200\r\nb=99999x200\nc=-5x100\nd=100\nbez\n=100x100\ne=1e3x100\n");
    WindowSizes damaged(path);
    damaged.Load();
    EXPECT_TRUE(damaged.Find("a"));
    for (const char* n : {"b", "c", "d", "bez", "", "e"}) EXPECT_FALSE(damaged.Find(n)) << n;
}
