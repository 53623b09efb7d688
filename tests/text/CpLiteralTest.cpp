#include "text/Cp1250.h"
#include "text/CpLiteral.h"

#include "support/Hex.h"

#include <gtest/gtest.h>
#include <iconv.h>

using namespace velt;

TEST(CpLiteral, TurnsPolishLettersIntoWindows1250Bytes) {
    EXPECT_BYTES_EQ("Błędne hasło"_cp, "B\xB3\xEA" "dne has\xB3o");
    EXPECT_BYTES_EQ("ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ"_cp,
                    "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF \xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    EXPECT_BYTES_EQ("€„”–—"_cp, "\x80\x84\x94\x96\x97");
    EXPECT_EQ(""_cp, std::string());
    EXPECT_BYTES_EQ("a\r\n\t\x1b"_cp, "a\r\n\t\x1b");
}

// glibc's iconv is an independent account of the code page.
static std::string IconvToUtf8(const std::string& cp1250) {
    iconv_t cd = iconv_open("UTF-8", "CP1250");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string in = cp1250, out(in.size() * 4 + 4, '\0');
    char* ip = in.data();
    char* op = out.data();
    std::size_t il = in.size(), ol = out.size();
    const auto rc = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) return "<undefined>";
    out.resize(out.size() - ol);
    return out;
}

TEST(Cp1250, EveryDefinedByteAgreesWithIconvBothWays) {
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        if (!Cp1250Defined(static_cast<unsigned char>(b))) continue;
        const std::string utf8 = IconvToUtf8(one);
        EXPECT_BYTES_EQ(Cp1250ToUtf8(one), utf8) << "byte " << b;
        EXPECT_BYTES_EQ(Utf8ToCp1250(utf8), one) << "byte " << b;
    }
}

TEST(Cp1250, MissingAndMalformedCharactersBecomeOneQuestionMarkEach) {
    EXPECT_EQ(Utf8ToCp1250("\xE4\xB8\xAD" "a"), "?a");      // a CJK character
    EXPECT_EQ(Utf8ToCp1250("\xC5" "a"), "?a");              // cut short: the ASCII after it survives
    EXPECT_EQ(Utf8ToCp1250("\x80\x80"), "??");              // stray continuation bytes
    EXPECT_EQ(Utf8ToCp1250("\xF0\x9F\x98\x80!"), "?!");      // outside the plane
    EXPECT_EQ(Utf8ToCp1250("\xE2\x82"), "??");              // cut short at the end
}
