// The UTF-8 converters, their escapes, malformed input, and ICU's uconv as
// the oracle of the code page.

#include "text/CpLiteral.h"
#include "text/Utf8.h"
#include "text/utf.h"

#include "support/Hex.h"
#include "support/Tool.h"

#include <gtest/gtest.h>
#include <string>

using namespace velt;

namespace {
std::string Esc(const char* hex) { return std::string("\x1BU") + hex + "\x1A"; }
}  // namespace

TEST(WinUtf, EscapesBecomeTheirCharacters) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {Esc("0141"), "Ł"},
        {"a" + Esc("263A") + "b", "a☺b"},
        {Esc("00E9"), "é"},                                   // even one the code page has
        {Esc("0041"), "A"},
        {Esc("0g41"), "A"},                                   // a bad digit counts as 0
        {Esc("0141").substr(0, 6) + "X", "Ł"},               // any seventh byte closes it
        {Esc("0141").substr(0, 6), "\x1BU0141"},             // cut short: byte by byte
        {"\x1BV0141\x1A", "\x1BV0141\x1A"},                  // not an escape
        {Esc("D800"), "\xEF\xBF\xBD"},                        // a lone surrogate is not written
        {"Zażółć"_cp + Esc("4E2D"), "Zażółć中"},
        {std::string("\0\x80\x81", 3), std::string("\0€\xC2\x81", 6)},
    };
    for (const auto& c : cases) EXPECT_BYTES_EQ(WinUtf().Convert(c.in), c.out) << test::Hex(c.in);
}

TEST(UtfVeltwin, KeepsWhatTheCodePageLacksAsEscapes) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"ł☺", "\xB3" + Esc("263A")},
        {"€™", "\x80\x99"},
        {"\xC2\x81\xC2\x83\xC2\x88\xC2\x90\xC2\x98", "\x81\x83\x88\x90\x98"},
        {"中文", Esc("4E2D") + Esc("6587")},
        {"\xC2\x80", Esc("0080")},                            // a C1 control the code page lacks
        {"😀x", Esc("FFFD") + "x"},                           // beyond U+FFFF
    };
    for (const auto& c : cases) EXPECT_BYTES_EQ(UtfVeltwin().Convert(c.in), c.out) << c.in;
}

// Every malformed form: each bad byte is one replacement and only itself, and
// the ASCII after it survives.
TEST(Utf8Decoding, MalformedInputIsBoundedAndSwallowsNothing) {
    struct Case {
        std::string in, win, veltwin;
    } cases[] = {
        {"\xC5" "a", "?a", Esc("FFFD") + "a"},                     // cut short by ASCII
        {"\xC5", "?", Esc("FFFD")},                                // cut short at the end
        {"\xE2\x82", "??", Esc("FFFD") + Esc("FFFD")},             // three bytes cut short at the end
        {"\xE2\x82" "ab", "??ab", Esc("FFFD") + Esc("FFFD") + "ab"},
        {"\xF0\x9F\x98", "???", Esc("FFFD") + Esc("FFFD") + Esc("FFFD")},
        {"\xF0\x9F\x98\x80!", "?!", Esc("FFFD") + "!"},            // valid, beyond the plane
        {"\x80\xBF" "a", "??a", Esc("FFFD") + Esc("FFFD") + "a"},  // stray continuations
        {"\xFF\xFE" "a", "??a", Esc("FFFD") + Esc("FFFD") + "a"},  // invalid leads
        {"\xC0\xAF", "??", Esc("FFFD") + Esc("FFFD")},             // overlong "/"
        {"\xE0\x80\xAF", "???", Esc("FFFD") + Esc("FFFD") + Esc("FFFD")},
        {"\xED\xA0\x80", "???", Esc("FFFD") + Esc("FFFD") + Esc("FFFD")},  // surrogate
        {"\xF4\x90\x80\x80", "????", Esc("FFFD") + Esc("FFFD") + Esc("FFFD") + Esc("FFFD")},
        {"\xC5\x82\xC5", "\xB3?", "\xB3" + Esc("FFFD")},
    };
    for (const auto& c : cases) {
        EXPECT_BYTES_EQ(UtfWin().Convert(c.in), c.win) << test::Hex(c.in);
        EXPECT_BYTES_EQ(UtfVeltwin().Convert(c.in), c.veltwin) << test::Hex(c.in);
    }
}

TEST(Utf8Decoding, NeverReadsPastTheEndOfAView) {
    // The view ends inside a longer buffer: the bytes after it must not count.
    const std::string buffer = "a\xC5\x82";
    const std::string_view cut(buffer.data(), 2);
    EXPECT_BYTES_EQ(UtfWin().Convert(cut), "a?");
    const Utf8Char c = DecodeUtf8(cut, 1);
    EXPECT_FALSE(c.valid);
    EXPECT_EQ(c.length, 1u);
}

TEST(UtfConverters, EveryBmpCharacterSurvivesTheRoundTripThroughEscapes) {
    std::string all;
    for (char32_t c = 1; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF) AppendUtf8(all, c);
    const std::string inside = UtfVeltwin().Convert(all);
    EXPECT_EQ(WinUtf().Convert(inside), all);
}

// ICU maps the five bytes the code page leaves undefined to the C1 controls
// of the same value, as the system does.
TEST(UtfConverters, AllBytesAgreeWithUconvBothWays) {
    ASSERT_TRUE(test::HaveTool("uconv")) << "uconv is missing: scripts/deps.sh installs icu-devtools";
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\n') bytes.push_back(static_cast<char>(b)), bytes.push_back('\n');
    const auto utf8 = test::RunTool("uconv -f windows-1250 -t utf-8", bytes);
    ASSERT_TRUE(utf8.has_value());
    const std::string ours = WinUtf().Convert(bytes);
    EXPECT_BYTES_EQ(ours, *utf8);
    // Line by line, so that a difference names its byte.
    std::size_t a = 0, b = 0;
    for (std::size_t k = 0; k < bytes.size(); k += 2) {
        const std::size_t ea = ours.find('\n', a), eb = utf8->find('\n', b);
        ASSERT_NE(eb, std::string::npos);
        EXPECT_BYTES_EQ(ours.substr(a, ea - a), utf8->substr(b, eb - b))
            << "byte " << static_cast<int>(static_cast<unsigned char>(bytes[k]));
        a = ea + 1;
        b = eb + 1;
    }
    const auto back = test::RunTool("uconv -f utf-8 -t windows-1250", *utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_BYTES_EQ(*back, bytes);
    EXPECT_BYTES_EQ(UtfWin().Convert(*utf8), bytes);
    EXPECT_BYTES_EQ(UtfVeltwin().Convert(*utf8), bytes);
}

TEST(UtfConverters, CharactersOutsideTheCodePageAgreeWithUconvsSubstitution) {
    ASSERT_TRUE(test::HaveTool("uconv"));
    // uconv's own substitute is SUB; utf_win writes "?" in its place.
    const std::string text = "Łódź – Ελλάδα, 中文, ☺ €";
    const auto theirs = test::RunTool("uconv -f utf-8 -t windows-1250 --to-callback substitute", text);
    ASSERT_TRUE(theirs.has_value());
    std::string expected = *theirs;
    for (char& c : expected)
        if (c == '\x1A') c = '?';
    EXPECT_BYTES_EQ(UtfWin().Convert(text), expected);
}
