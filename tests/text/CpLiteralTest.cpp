#include "text/CpLiteral.h"

#include "support/Hex.h"

#include <gtest/gtest.h>

using namespace velt;

TEST(CpLiteral, TurnsPolishLettersIntoWindows1250Bytes) {
    EXPECT_BYTES_EQ("Błędne hasło"_cp, "B\xB3\xEA" "dne has\xB3o");
    EXPECT_BYTES_EQ("ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ"_cp,
                    "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF \xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    EXPECT_BYTES_EQ("€„”–—"_cp, "\x80\x84\x94\x96\x97");
    EXPECT_EQ(""_cp, std::string());
    EXPECT_BYTES_EQ("a\r\n\t\x1b"_cp, "a\r\n\t\x1b");
}
