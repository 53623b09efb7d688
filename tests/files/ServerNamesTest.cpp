// The one rule for names a server gives: inside the directory or refused.

#include "files/ServerNames.h"

#include <gtest/gtest.h>

#include <string>

using namespace velt;

TEST(ServerNames, ANameStaysInsideItsDirectoryOrIsRefused) {
    const struct {
        std::string name;
        const char* relative;  // empty: refused
    } cases[] = {
        {"usun.bmp", "usun.bmp"},
        {"obrazy/wydanie.bmp", "obrazy/wydanie.bmp"},
        {"obrazy\\wydanie.bmp", "obrazy/wydanie.bmp"},  // the separators of the forms' own system
        {"a..b.bmp", "a..b.bmp"},                       // dots inside a name are a name
        {"./x.bmp", "./x.bmp"},
        {"..", ""},
        {"../x.bmp", ""},
        {"a/../../x.bmp", ""},
        {"a\\..\\..\\x.bmp", ""},
        {"/etc/passwd", ""},
        {"\\\\serwer\\x.bmp", ""},
        {"C:\\39x.bmp", ""},
        {"C:x.bmp", ""},
        {"a//b.bmp", ""},
        {"a/", ""},
        {"", ""},
        {std::string("x.bmp\0/../../etc/passwd", 23), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RelativeServerName(c.name), c.relative) << c.name;
        const std::string inside = PathInside("/dane/velt", c.name);
        if (*c.relative == '\0')
            EXPECT_EQ(inside, "") << c.name;
        else
            EXPECT_EQ(inside, std::string("/dane/velt/") + c.relative) << c.name;
    }
    EXPECT_EQ(PathInside("/dane/velt/", "x.bmp"), "/dane/velt/x.bmp");
    EXPECT_EQ(PathInside("", "x.bmp"), "x.bmp");
}
