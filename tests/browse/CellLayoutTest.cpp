#include "browse/CellLayout.h"
#include "browse/CellMarkup.h"

#include "FakeMeasurer.h"

#include <gtest/gtest.h>

using namespace velt;

namespace {

const std::string E = "\x1B";
const std::string S = "\x1A";

CellContent Lay(const std::vector<std::string>& lines, int width = 300, test::FakeMeasurer* m = nullptr,
                LayoutMode mode = LayoutMode::Browser) {
    test::FakeMeasurer own;
    if (!m) m = &own;
    LayoutContext c;
    c.width = width;
    c.mode = mode;
    c.isChecked = [](const std::string& command) { return command == "tak"; };
    return LayoutCell(lines, c, *m);
}

std::string Texts(const CellContent& c) {
    std::string out;
    for (const auto& i : c.items)
        if (i.kind == CellItemKind::Text || i.kind == CellItemKind::Link)
            out += "[" + i.text + "@" + std::to_string(i.x) + "," + std::to_string(i.y) + "]";
    return out;
}

}  // namespace

TEST(CellMarkup, CharacterEscapesAreTextNotCommands) {
    const std::string line = "a\x1BU263A\x1A" "b" + E + "SB" + S + "c";  // the elements point into it
    const auto e = ParseMarkupLine(line);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].text, "a\x1BU263A\x1A" "b");
    EXPECT_EQ(e[1].command, 'S');
    EXPECT_EQ(MarkupPlainText("Gr\x1BU00FC\x1A" "n"), "Gr\x1BU00FC\x1A" "n");
    // Something that only looks like one is a command "U".
    EXPECT_EQ(ParseMarkupLine("\x1BUxyz\x1A").front().command, 'U');
    EXPECT_EQ(NeutraliseMarkup("a\x1BSB\x1A\x1BU0141\x1A"), "a SB \x1BU0141\x1A");
}

TEST(CellMarkup, ColoursPicturesAndCarriedBytes) {
    std::uint32_t c = 7;
    EXPECT_TRUE(ParseMarkupColour("$F0F8FF", c));
    EXPECT_EQ(c, 0xF0F8FFu);
    const struct { const char* arg; std::uint32_t colour; } letters[] = {
        {"0", 0}, {"B", 0xFF0000}, {"G", 0x8000}, {"L", 0x00FF00}, {"R", 0x0000FF}, {"Y", 0x00FFFF}};
    for (const auto& l : letters) {
        EXPECT_TRUE(ParseMarkupColour(l.arg, c));
        EXPECT_EQ(c, l.colour) << l.arg;
    }
    c = 5;
    EXPECT_FALSE(ParseMarkupColour("Q", c));
    EXPECT_FALSE(ParseMarkupColour("$12G", c));
    EXPECT_FALSE(ParseMarkupColour("", c));
    EXPECT_EQ(c, 5u);
    // ESC 5 is "|", ESC 1 a zero byte; any other ESC pair stands for its byte.
    EXPECT_EQ(DecodeCarriedPicture("a\x1B\x05" "b\x1B\x01\x1B\x02\x1B\x03\x1B\x04\x1B" "c\x1B"),
              std::string("a|b\0\x1A\x1B\rc", 8));
    std::string command, content;
    SplitPicture("JPG x||data", false, command, content);
    EXPECT_EQ(command, "JPG x");
    EXPECT_EQ(content, "data");
    SplitPicture("data", false, command, content);
    EXPECT_EQ(command, "");
    SplitPicture("kolekcja.bmp", true, command, content);
    EXPECT_EQ(command, "kolekcja.bmp");
    EXPECT_EQ(content, "kolekcja.bmp");
}

TEST(CellLayout, StylesColoursAndLinksFollowTheCommands) {
    const CellContent c = Lay({"ab" + E + "SB" + S + "cd" + E + "S" + S + E + "CR" + S + "e" + E + "Lcmd||link" + S});
    ASSERT_EQ(c.items.size(), 4u);
    EXPECT_EQ(Texts(c), "[ab@0,0][cd@14,0][e@30,0][link@37,0]");
    EXPECT_FALSE(c.items[0].style.bold);
    EXPECT_TRUE(c.items[1].style.bold);
    EXPECT_EQ(c.items[1].width, 16);
    EXPECT_EQ(c.items[2].colour, 0x0000FFu);
    EXPECT_EQ(c.items[3].kind, CellItemKind::Link);
    EXPECT_EQ(c.items[3].command, "cmd");
    EXPECT_EQ(c.items[3].colour, kLinkBlue);
    EXPECT_TRUE(c.items[3].style.underline);
}

TEST(CellLayout, LinesBreakAtNewLineCommandsAndBetweenLines) {
    // LineStep = round(13 * 1.3) = 17; "X" 15 gives an indent of one font height.
    const CellContent c = Lay({"a" + E + "/" + S + "b", E + "X15" + S + "c" + E + "/" + S + "d", E + "Y100" + S + "e"});
    EXPECT_EQ(Texts(c), "[a@0,0][b@0,17][c@13,34][d@13,51][e@13,100]");
    // "H" scales the text and the line step.
    const CellContent big = Lay({E + "H2" + S + "ab" + E + "/" + S + "c"});
    EXPECT_EQ(Texts(big), "[ab@0,0][c@0,34]");
    EXPECT_EQ(big.items[0].width, 28);
    EXPECT_EQ(big.items[0].height, 30);
}

// Right limit = 300 - 16 - 4 = 280 pixels = 40 characters.
TEST(CellLayout, TextWrapsAtSpacesAndCutsAWordLongerThanTheCell) {
    const CellContent c = Lay({std::string(30, 'a') + " " + std::string(15, 'b') + " c"});
    EXPECT_EQ(Texts(c), "[" + std::string(30, 'a') + "@0,0][" + std::string(15, 'b') + " c@0,17]");
    const CellContent longWord = Lay({"xy " + std::string(95, 'w')});
    // The word does not fit after "xy ": a new line, then cut at the limit and
    // continued, complete, on the next lines.
    EXPECT_EQ(Texts(longWord), "[xy@0,0][" + std::string(40, 'w') + "@0,17][" + std::string(40, 'w') + "@0,34][" +
                                   std::string(15, 'w') + "@0,51]");
    // An escape is one character: never cut in two.
    std::string escaped;
    for (int i = 0; i < 45; ++i) escaped += "\x1BU263A\x1A";
    const CellContent e = Lay({escaped});
    ASSERT_EQ(e.items.size(), 2u);
    EXPECT_EQ(e.items[0].text.size(), 40u * 7);
    EXPECT_EQ(e.items[1].text.size(), 5u * 7);
    // After text, a word that does not fit starts a new line.
    const CellContent after = Lay({"abc" + E + "Lx||" + std::string(38, 'l') + S});
    EXPECT_EQ(Texts(after), "[abc@0,0][" + std::string(38, 'l') + "@0,17]");
}

TEST(CellLayout, PicturesStackFromTheRightAndTextWrapsBeforeThem) {
    test::FakeMeasurer m;
    m.files["k.bmp"] = {20, 20, "k"};
    m.files["big.bmp"] = {30, 60, "big"};
    const CellContent c = Lay({E + "Bcmd||k.bmp" + S + E + "?tak||k.bmp" + S + E + "?nie||k.bmp" + S +
                                   E + "Bbrak.bmp" + S + std::string(40, 'x'),
                               E + "AH" + S + E + "BOPERACJAZmień|a|b||big.bmp" + S + E + "Ix||\x1B\x05zz" + S},
                              300, &m);
    ASSERT_EQ(c.items.size(), 8u);
    // Right edge 280: k at 260, checks at 238 and 216, the missing picture
    // takes no width, at 214.
    EXPECT_EQ(c.items[0].x, 260);
    EXPECT_EQ(c.items[0].command, "cmd");
    EXPECT_EQ(c.items[1].x, 238);
    EXPECT_TRUE(c.items[1].shown);
    EXPECT_EQ(c.items[2].x, 216);
    EXPECT_FALSE(c.items[2].shown) << "IsChecked said no";
    EXPECT_EQ(c.items[3].width, 0);
    EXPECT_EQ(c.items[3].command, "brak.bmp");
    // The text ends before 212: 30 characters on the first line.
    EXPECT_EQ(c.items[4].text, std::string(30, 'x'));
    EXPECT_EQ(c.items[5].text, std::string(10, 'x'));
    // "A" "H": a new row of pictures under the lowest one, at the right edge again.
    EXPECT_EQ(c.items[6].y, 22);
    EXPECT_EQ(c.items[6].x, 250);
    EXPECT_EQ(c.items[6].hint, "Zmień");
    EXPECT_EQ(c.items[7].kind, CellItemKind::Image);
    EXPECT_EQ(c.items[7].command, "x");
    EXPECT_EQ(c.items[7].picture.id, "jpeg:3");
    EXPECT_EQ(c.items[7].x, 208);
}

TEST(CellLayout, SizesFromTheMarkupAreClamped) {
    const CellContent c = Lay({E + "H1e9" + S + "a", E + "H-3" + S + "b", E + "H1" + S + E + "X99999999" + S + "c",
                               E + "X0" + S + E + "Y-50" + S + "d" + E + "Y123456789" + S + "e"});
    ASSERT_EQ(c.items.size(), 4u) << Texts(c);
    EXPECT_EQ(c.items[0].height, 120) << "factor 8 at most";
    EXPECT_EQ(c.items[1].height, 4) << "factor 0.25 at least";
    // The indent stops at the cell's edge, where not even "c" fits.
    EXPECT_EQ(c.items[2].text, "d");
    EXPECT_EQ(c.items[2].y, 0);
    EXPECT_EQ(c.items[3].y, 20000);
    EXPECT_EQ(c.items[3].x, 7);
    const CellContent nan = Lay({E + "Hnan" + S + E + "Xinf" + S + "a"});
    ASSERT_EQ(nan.items.size(), 1u);
    EXPECT_EQ(nan.items[0].height, 15);
    EXPECT_EQ(nan.items[0].x, 0);
}

TEST(CellLayout, BackgroundAndTheRecordView) {
    const CellContent c = Lay({E + "R$F0F8FF" + S + "a" + E + "?tak||k.bmp" + S});
    EXPECT_EQ(c.background, 0xF0F8FFu);
    EXPECT_EQ(SelectedBackground(c.background), 0xF0F800u);
    EXPECT_EQ(SelectedBackground(kWhite), 0xFFFF00u) << "white becomes aqua";
    const CellContent view = Lay({"a" + E + "?tak||k.bmp" + S + std::string(50, 'b')}, 300, nullptr,
                                 LayoutMode::RecordView);
    EXPECT_EQ(view.background, kInfoBackground);
    // No check element; the limit is 300 - 16 - 6 = 278 pixels (39 characters).
    for (const auto& i : view.items) EXPECT_NE(i.kind, CellItemKind::Check);
    ASSERT_GE(view.items.size(), 2u);
    EXPECT_EQ(view.items[0].text, "a");
    EXPECT_EQ(view.items[1].text, std::string(39, 'b'));
}
