// The editors' value conversions, both ways, and the operands' little languages.

#include "forms/EditMask.h"
#include "forms/FormConversions.h"
#include "text/CpLiteral.h"

#include "support/Hex.h"

#include <gtest/gtest.h>

using namespace velt;

TEST(FormConversions, DatesBothWays) {
    struct Case {
        std::string stored, shown;
    } cases[] = {{"20031015", "15102003"}, {"", ""}, {"2003", "2003"}, {"200310", "102003"}, {"20031015xy", "15102003"}};
    for (const auto& c : cases) EXPECT_EQ(DateToDisplay(c.stored), c.shown) << c.stored;
    struct Back {
        std::string text, stored;
    } back[] = {{"15102003", "20031015"}, {"", ""}, {"        ", ""}, {"1510", "    1015"}, {"15 02003", "2003 015"}};
    for (const auto& c : back) EXPECT_BYTES_EQ(DateToStore(c.text), c.stored);
}

TEST(FormConversions, DateErrors) {
    struct Case {
        std::string stored, error;
    } cases[] = {
        {"", ""},
        {"20031015", ""},
        {"20000229", ""},
        {"2003 015", "Data powinna mieć postać DD.MM.RRRR"_cp},
        {"2003", "Data powinna mieć postać DD.MM.RRRR"_cp},
        {"20030231", "Błędna data \"31.02.2003\""_cp},
        {"19000229", "Błędna data \"29.02.1900\""_cp},
        {"20031300", "Błędna data \"00.13.2003\""_cp},
        {"0000x101", "Błędna data \"01.x1.0000\""_cp},
    };
    for (const auto& c : cases) EXPECT_BYTES_EQ(DateError(c.stored), c.error);
}

TEST(FormConversions, NumbersBothWays) {
    EXPECT_EQ(NumberMask(8, 2), "99999,99;0; ");
    EXPECT_EQ(NumberMask(5, 0), "99999;0; ");
    EXPECT_EQ(NumberMask(3, 2), ",99;0; ");
    struct Case {
        std::string stored;
        int width, decimals;
        char separator;
        std::string shown;
    } cases[] = {
        {"   12.50", 8, 2, '.', "   1250"}, {"   12,50", 8, 2, ',', "   1250"}, {"    ", 8, 2, '.', ""},
        {"12", 5, 0, '.', "   12"},       {"123456789", 5, 0, '.', "123456789"},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberToDisplay(c.stored, c.width, c.decimals, c.separator), c.shown) << c.stored;
    struct Back {
        std::string text;
        int width, decimals;
        char separator;
        std::string stored;
    } back[] = {
        {"12", 8, 2, '.', "   12.00"},    {"12   5", 8, 2, '.', "   12.50"}, {"   1250", 8, 2, ',', "   12,50"},
        {"12", 5, 0, '.', "   12"},       {"", 5, 0, '.', ""},             {"1 2", 5, 0, '.', "   12"},
        {"     ", 8, 2, '.', ""},         {"  1  05", 8, 2, '.', "    1.05"},
    };
    for (const auto& c : back) EXPECT_BYTES_EQ(NumberToStore(c.text, c.width, c.decimals, c.separator), c.stored);
}

TEST(FormConversions, SpinValues) {
    struct Case {
        std::string stored;
        int minimum, maximum;
        bool creation;
        int shown;
    } cases[] = {
        {"abc", 1, 10000, true, 1},  {"abc", -5, 5, true, 0},    {"abc", -9, -1, true, -9},
        {"abc", -5, 5, false, -5},   {" 42 ", 1, 100, true, 42}, {"500", 1, 100, true, 100},
        {"-3", 1, 100, true, 1},     {"+7", 1, 100, true, 7},    {"99999999999", 1, 9, true, 1},
        {"500", 7, 7, true, 500},  // no bound when minimum and maximum are equal
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpinShownValue(c.stored, c.minimum, c.maximum, c.creation), c.shown) << c.stored;
    EXPECT_EQ(SpinStored(1, 3), "  1");
    EXPECT_EQ(SpinStored(-12, 2), "-12");
}

TEST(FormConversions, MemoLineBreaksAndEscapes) {
    EXPECT_EQ(MemoToDisplay("a\x1b/b\x1b/", true), "a\r\nb\r\n");
    EXPECT_EQ(MemoToDisplay("a\x1b/b", false), "a\x1b/b");
    EXPECT_BYTES_EQ(MemoToStore("a\r\nb\rc\nd", true), "a\x1b/b\x1b/c\x1b/d");
    struct Case {
        std::string text, stored;
    } cases[] = {
        {"a\tb\x01" "c", "abc"},
        {"x\x1bU0141\x1ay", "x\x1bU0141\x1ay"},    // a character the code page lacks survives
        {"x\x1b/y", "x\x1b/y"},                    // so does a stored line break
        {"x\x1b" "CR\x1a" "y", "x\x1b" "CR\x1ay"},
        {"x\x1b", "x"},
        {"x\x1b\x01y", "xy"},
    };
    for (const auto& c : cases) EXPECT_BYTES_EQ(MemoToStore(c.text, false), c.stored);
    EXPECT_EQ(PastedAsOneLine("a\r\nb\rc\nd"), "a b c d");
}

TEST(FormConversions, ComboListsToValuesAndLabels) {
    std::vector<std::string> values, labels;
    EXPECT_EQ(ParseComboList("A|Alfa|B||", values, labels), ComboListError::None);
    EXPECT_EQ(values, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(labels, (std::vector<std::string>{"Alfa", "*"}));
    EXPECT_EQ(ParseComboList("", values, labels), ComboListError::Empty);
    EXPECT_EQ(values, std::vector<std::string>{""});
    EXPECT_EQ(labels, std::vector<std::string>{"*"});
    EXPECT_EQ(ParseComboList("A|Alfa|B|Beta|C", values, labels), ComboListError::Unclosed);
    EXPECT_EQ(values, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(labels, (std::vector<std::string>{"Alfa", "Beta", "*"}));
}

TEST(FormConversions, CheckValues) {
    EXPECT_TRUE(CheckState("T"));
    EXPECT_FALSE(CheckState("t"));
    EXPECT_FALSE(CheckState(""));
    EXPECT_EQ(CheckValue(true), "T");
    EXPECT_EQ(CheckValue(false), "F");
}

TEST(FormConversions, FormattedTextCommands) {
    const auto runs = FormatTextLines({"Ala\x1b" "CR\x1ama\x1b/\x1a" "kota", "\x1bSI\x1a" "dwa\x1b" "C$FF0000\x1az",
                                       "\x1b" "Cx\x1a" "b\x1b" "C\x1a" "c\x1bSBI\x1a" "d\x1b" "C$zz\x1a" "e\x1b" "CY"});
    const std::vector<TextRun> expected = {
        {"Ala", false, 0x000000, true, false},   {" ma", false, 0xFF0000, true, false},
        {" kota", true, 0xFF0000, true, false},  {" dwa", false, 0xFF0000, false, true},
        {" z", false, 0x0000FF, false, true},    {" b", false, 0x000000, false, true},
        {" c", false, 0x000000, false, true},    {" d", false, 0x000000, true, true},
        {" e", false, 0x000000, true, true},
    };
    EXPECT_EQ(runs, expected);
    EXPECT_EQ(PlainTextOf(runs), "Ala ma\r\n kota dwa z b c d e");
    const auto colours = FormatTextLines({"\x1b" "CB\x1a" "b\x1b" "CG\x1a" "g\x1b" "CL\x1a" "l\x1b" "CY\x1a" "y"});
    ASSERT_EQ(colours.size(), 4u);
    EXPECT_EQ(colours[0].color, 0x0000FFu);
    EXPECT_EQ(colours[1].color, 0x008000u);
    EXPECT_EQ(colours[2].color, 0x00FF00u);
    EXPECT_EQ(colours[3].color, 0xFFFF00u);
}

TEST(FormConversions, MenuLists) {
    std::vector<std::string> ids;
    // (empty, P), (o1, O), (empty, empty), (x, K): submenu P holding O, then K.
    const auto menu = ParseMenuSpec("|P|o1|O|||x|K|", ids);
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].caption, "P");
    EXPECT_EQ(menu[0].item, -1);
    ASSERT_EQ(menu[0].entries.size(), 1u);
    EXPECT_EQ(menu[0].entries[0].caption, "O");
    EXPECT_EQ(menu[0].entries[0].item, 0);
    EXPECT_EQ(menu[1].caption, "K");
    EXPECT_EQ(menu[1].item, 1);
    EXPECT_EQ(ids, (std::vector<std::string>{"o1", "x"}));
    // At the top, a pair with an empty caption ends the list.
    EXPECT_EQ(ParseMenuSpec("a|A|b||c|C|", ids).size(), 1u);
    EXPECT_EQ(ids, std::vector<std::string>{"a"});
    // Submenus nest, within a bound.
    std::string deep;
    for (int i = 0; i < 100; ++i) deep += "|S|";
    deep += "z|Z|";
    EXPECT_EQ(ParseMenuSpec(deep, ids).size(), 1u);
    EXPECT_EQ(ids, std::vector<std::string>{"z"});
}

TEST(FormConversions, MarkerLists) {
    const MarkerSpec spec = ParseMarkerSpec("^x|a|Tytuł|bb|Podtytuł||c|never|"_cp);
    EXPECT_EQ(spec.markerChar, '^');
    ASSERT_EQ(spec.markers.size(), 2u);
    EXPECT_EQ(spec.markers[0].code, 'a');
    EXPECT_EQ(spec.markers[0].display, "a");
    EXPECT_EQ(spec.markers[0].description, "Tytuł"_cp);
    EXPECT_FALSE(spec.markers[0].repeatable);
    EXPECT_EQ(spec.markers[1].code, 'b');
    EXPECT_EQ(spec.markers[1].description, "Podtytuł*"_cp);
    EXPECT_TRUE(spec.markers[1].repeatable);
    EXPECT_EQ(ParseMarkerSpec("$|a|A|").markerChar, '$');
    const MarkerSpec none = ParseMarkerSpec("|a|A|");
    EXPECT_EQ(none.markerChar, '^');
    EXPECT_TRUE(none.markers.empty());
}

TEST(FormConversions, MaskFonts) {
    const FontSpec courier = MaskFont("Courier New/-14/B", 1.24, -11);
    EXPECT_EQ(courier.face, "Courier New");
    EXPECT_EQ(courier.height, -17);
    EXPECT_TRUE(courier.bold);
    const FontSpec base = MaskFont("", 1.75, -11);
    EXPECT_EQ(base.face, "");
    EXPECT_EQ(base.height, -19);
    EXPECT_TRUE(base.bold);
    const FontSpec regular = MaskFont("Arial//I", 1.0, -11);
    EXPECT_EQ(regular.face, "Arial");
    EXPECT_EQ(regular.height, -11);
    EXPECT_FALSE(regular.bold);
}

TEST(EditMask, DatesKeepEveryCharacterInItsPlace) {
    EditMask m("99.99.9999;0; ");
    EXPECT_EQ(m.Size(), 10u);
    EXPECT_FALSE(m.KeepsLiterals());
    EXPECT_EQ(m.Blank(), ' ');
    m.SetText("15102003");
    EXPECT_EQ(m.Display(), "15.10.2003");
    EXPECT_EQ(m.Text(), "15102003");
    m.SetCursor(1);
    EXPECT_TRUE(m.Delete());
    EXPECT_EQ(m.Display(), "1 .10.2003");
    EXPECT_EQ(m.Text(), "1 102003") << "a blank keeps its place";
    m.SetCursor(3);
    EXPECT_FALSE(m.Backspace()) << "the position before the literal is blank already";
    EXPECT_EQ(m.Cursor(), 1u);
    EXPECT_TRUE(m.Backspace());
    EXPECT_EQ(m.Cursor(), 0u);
    EXPECT_EQ(m.Text(), "  102003");
    EXPECT_TRUE(m.Type('3'));
    EXPECT_FALSE(m.Type('x')) << "a digit position takes digits only";
    EXPECT_TRUE(m.Type('1'));
    EXPECT_EQ(m.Cursor(), 3u) << "typing goes past the literal";
    EXPECT_EQ(m.Display(), "31.10.2003");
    m.SetText("2003");
    EXPECT_EQ(m.Display(), "20.03.    ");
    EXPECT_EQ(m.Text(), "2003    ");
}

TEST(EditMask, NotationOfTheMasks) {
    EditMask upper(">LL-aa\\9;1;_");
    EXPECT_TRUE(upper.KeepsLiterals());
    EXPECT_EQ(upper.Display(), "__-__9");
    upper.SetCursor(0);
    for (char c : std::string("ab1x")) upper.Type(c);
    EXPECT_EQ(upper.Display(), "AB-1X9");
    EXPECT_EQ(upper.Text(), "AB-1X9");
    EditMask number("99999,99;0; ");
    number.SetText("   1250");
    EXPECT_EQ(number.Display(), "   12,50");
    EXPECT_EQ(number.Text(), "   1250");
    EXPECT_TRUE(number.Erase(0, 8));
    EXPECT_EQ(number.Text(), "       ");
    EditMask free("");
    free.SetText("abc");
    free.SetCursor(3);
    free.Type('d');
    EXPECT_EQ(free.Text(), "abcd") << "an empty mask edits free text";
    EditMask sign("#9;0;_");
    sign.SetCursor(0);
    EXPECT_TRUE(sign.Type('-'));
    EXPECT_FALSE(sign.Type('-'));
    EXPECT_TRUE(sign.Type('5'));
    EXPECT_EQ(sign.Text(), "-5");
}
