// The links' pieces that need no server: the indented structure text, the
// node captions and the caption search, the display pane's commands and its
// right-click items, the links program's parameters, the access modes, the
// list browser and the names of fetched attachments.

#include "browse/StructureTree.h"
#include "browse/TBlobChange.h"
#include "browse/TListBrowser.h"
#include "catalogue/Identifiers.h"
#include "links/LinkCommands.h"
#include "links/LinkEditing.h"
#include "links/LinkTree.h"
#include "links/LinksAccess.h"
#include "text/CpLiteral.h"

#include "browse/FakeMeasurer.h"

#include <gtest/gtest.h>

using namespace velt;

namespace {

// "level:identifier:caption:parent" of every node.
std::string Shape(const std::vector<StructureNode>& nodes) {
    std::string out;
    for (const StructureNode& n : nodes)
        out += std::to_string(n.level) + ":" + n.identifier + ":" + n.caption + ":" + std::to_string(n.parent) +
               (n.branch ? "+" : "") + " ";
    return out;
}

TEST(IndentedStructure, LevelsComeFromTheFirstBarAndADeeperJumpEndsTheTree) {
    struct Case {
        const char* text;
        const char* shape;
    } cases[] = {
        {"|K1|Dzieło\r |K2|Tom 1\r |K3|Tom 2", "0:K1:Dzieło:-1+ 1:K2:Tom 1:0 1:K3:Tom 2:0 "},
        // Any characters stand for the indentation; LF works as well as CR.
        {"|K1|a\nx|K2|b\nxy|K3|c\n.|K4|d", "0:K1:a:-1+ 1:K2:b:0+ 2:K3:c:1 1:K4:d:0 "},
        // Two levels deeper than the line before: the rest is not shown.
        {"|K1|a\r  |K2|b\r |K3|c", "0:K1:a:-1 "},
        // A first line that is not of level 1 gives nothing.
        {" |K1|a\r|K2|b", ""},
        // Lines without "|" are skipped; one "|" only is an identifier without a caption.
        {"nagłówek\r|K1\r\r |K2|a|b", "0:K1::-1+ 1:K2:a|b:0 "},
        // A second root after the first one's parts.
        {"|K1|a\r |K2|b\r|K3|c", "0:K1:a:-1+ 1:K2:b:0 0:K3:c:-1 "},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Shape(ParseIndentedStructure(c.text)), c.shape) << c.text;
}

TEST(IndentedStructure, DepthIsCappedWithoutLosingTheLinesAbove) {
    std::string text;
    for (int level = 0; level < kMaxStructureDepth + 10; ++level)
        text += std::string(static_cast<std::size_t>(level), ' ') + "|K" + std::to_string(level) + "|n\r";
    const auto nodes = ParseIndentedStructure(text);
    ASSERT_EQ(nodes.size(), static_cast<std::size_t>(kMaxStructureDepth));
    EXPECT_EQ(nodes.back().level, kMaxStructureDepth - 1);
    EXPECT_EQ(nodes.back().parent, kMaxStructureDepth - 2);
}

TEST(LinkNodes, CaptionsAreCutAfter252AndSearchWrapsAround) {
    EXPECT_EQ(NodeCaption("pierwsza\rdruga"), "pierwsza");
    EXPECT_EQ(NodeCaption(std::string(255, 'a')), std::string(255, 'a'));
    EXPECT_EQ(NodeCaption(std::string(256, 'a')), std::string(252, 'a') + "...");
    EXPECT_EQ(NodeCaption(std::string(300, 'b') + "\rc"), std::string(252, 'b') + "...");
    std::vector<LinkNode> nodes;
    for (const char* c : {"Dzieje Krakowa", "Tom 1", "Dzieje Polski", "Tom 2", "Źródła"})
        nodes.push_back({c, "", -1, 0, false});
    nodes[4].caption = "ŹRÓDŁA"_cp;
    struct Case {
        const char* text;
        int from;
        int found;
    } cases[] = {
        {"dzieje", -1, 2},  // after the first node first
        {"dzieje", 0, 2},
        {"dzieje", 2, 0},   // wraps to the start
        {"TOM", 3, 1},
        {"tom 2", 3, 3},    // the selected one last of all
        {"brak", 1, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(FindNode(nodes, c.text, c.from), c.found) << c.text << " from " << c.from;
    EXPECT_EQ(FindNode(nodes, "źródła"_cp, 0), 4) << "letter case through the code page";
    EXPECT_EQ(FindNode({}, "x", 0), -1);
}

TEST(LinkCommands, ThePanesOwnCollectionButtonIsNoIndex) {
    using K = LinkCommandKind;
    struct Case {
        const char* command;
        K kind;
        const char* argument;
    } cases[] = {
        {"JPGxokladki/K1.jpg", K::Picture, "okladki/K1.jpg"},
        {"JPG", K::Picture, ""},
        {"BLOBspis.txt", K::Attachment, "spis.txt"},
        {"BAR  K1\x1B" "etykieta ", K::Labels, "K1\x1B" "etykieta"},
        {"@xmessage|K1", K::Program, "xmessage|K1"},
        {"&op=Z&egz=1", K::Order, "&op=Z&egz=1"},
        {"RAPORT Zestawienie|S.1|T", K::Report, " Zestawienie|S.1|T"},
        {"OPERACJA uwagi|REKORD|K1", K::Operation, " uwagi|REKORD|K1"},
        {"rekordK12 TY", K::Record, "K12 TY"},
        {"kolekcja|K12", K::Collection, "K12"},
        {"TY|Dzieje", K::IndexText, "TY|Dzieje"},
        {"kolekcja", K::Other, "kolekcja"},
        {"", K::Other, ""},
    };
    for (const Case& c : cases) {
        const LinkCommand got = ClassifyLinkCommand(c.command);
        EXPECT_EQ(got.kind, c.kind) << c.command;
        EXPECT_EQ(got.argument, c.argument) << c.command;
    }
    // The line the pane adds reads back as that button.
    const std::string line = CollectionButtonLine("K12");
    const auto items = ReportItems(line);
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(ClassifyLinkCommand("kolekcja|K12").kind, K::Collection);
    std::string id, index;
    SplitRecordCommand("  K12   autor tytułu ", id, index);
    EXPECT_EQ(id, "K12");
    EXPECT_EQ(index, "autor tytułu");
    SplitRecordCommand("", id, index);
    EXPECT_EQ(id, "");
    EXPECT_EQ(index, "");
}

TEST(LinkCommands, RightClickItemsAreThePicturesReportsAndOperations) {
    const std::string text =
        "Tytuł\x1BLRAPORT link|x||nie obrazek\x1A\r"
        "\x1B" "BRAPORT Zestawienie tytułów|S.1|T||zestawienie.bmp\x1A tekst \x1B" "BOPERACJA uwagi|REKORD|K1||op.bmp\x1A\r"
        "\x1BIRAPORT Krótki|a|b||\x05\x06\x1A\x1B" "BJPGxplik||x.bmp\x1A\x1B" "BOPERACJA\x1A\x1B" "BRAPORT"_cp;
    const auto items = ReportItems(text);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].caption, "Zestawienie \"Zestawienie tytułów\""_cp);
    EXPECT_EQ(items[0].command, "RAPORT Zestawienie tytułów|S.1|T"_cp);
    EXPECT_EQ(items[1].caption, "Operacja \"uwagi\"");
    EXPECT_EQ(items[1].command, "OPERACJA uwagi|REKORD|K1");
    // A carried picture's command is the whole text before "||", not a letter short.
    EXPECT_EQ(items[2].command, "RAPORT Krótki|a|b"_cp);
    // Commands shorter than any fixed position cut nothing out of bounds.
    EXPECT_EQ(items[3].caption, "Operacja \"\"");
    EXPECT_EQ(items[4].command, "RAPORT");
}

TEST(LinksProgram, ParametersFollowTheCallText) {
    velt_programm links;
    links.Call = "WIAZANIE|DOK_IDO";
    EXPECT_EQ(LinksParameters(links, "K12"), "DOK_IDO|K12|");
    EXPECT_EQ(LinksParameters(links, ""), "DOK_IDO||");
    links.Call = "WIAZANIE";
    EXPECT_EQ(LinksParameters(links, "K1"), "|K1|");
}

TEST(LinksAccess, TheModesShowWhatTheTableSays) {
    using M = LinksAccessMode;
    EXPECT_EQ(AccessModeFor(false, true, kVelt2), M::NotLoggedIn);
    EXPECT_EQ(AccessModeFor(true, false, kVelt2), M::NoEditing);
    EXPECT_EQ(AccessModeFor(true, true, kVelt2), M::Editing);
    EXPECT_EQ(AccessModeFor(true, true, kVelt3), M::Editing);
    EXPECT_EQ(AccessModeFor(true, true, kVelt1), M::EditingVelt1);
    // tools visible/enabled, record menu visible/enabled, structure visible/enabled, sort, operation
    struct Case {
        M mode;
        std::uint8_t kind;
        LinksAccess access;
    } cases[] = {
        {M::NotLoggedIn, kVelt1, {false, false, false, false, false, false, false, false}},
        {M::NoEditing, kVelt2, {true, false, true, false, false, false, false, false}},
        {M::NoEditing, kVelt1, {true, false, true, false, true, false, false, false}},
        {M::Editing, kVelt3, {true, true, true, true, false, false, true, true}},
        {M::EditingVelt1, kVelt1, {true, true, true, true, true, true, true, true}},
    };
    for (const Case& c : cases) EXPECT_EQ(AccessFor(c.mode, c.kind), c.access) << static_cast<int>(c.mode);
}

TEST(ListBrowser, CellsStackAndClicksSayWhatWasHit) {
    test::FakeMeasurer measurer;
    measurer.files["b.bmp"] = {16, 16, "b"};
    std::vector<std::string> heard;
    TListBrowser list(measurer, [&](const std::string& t) { heard.push_back(t); }, 300, 40);
    list.Add({"pierwszy"});
    list.Add({"drugi \x1BLRAPORT x||zestawienie\x1A", "\x1B" "Bkolekcja|K1||b.bmp"});
    ASSERT_EQ(list.Cells().size(), 2u);
    EXPECT_EQ(list.Cells()[1].top, 40);
    EXPECT_EQ(list.Height(), 80);
    EXPECT_EQ(list.Cells()[0].content.background, kInfoBackground);
    list.Press(list.HitTest(5, 45));  // the text of the second cell
    list.DoubleClick(list.HitTest(5, 5));
    const CellItem& link = list.Cells()[1].content.items[1];
    list.Press(list.HitTest(link.x + 1, 40 + link.y + 1));
    const CellItem& button = list.Cells()[1].content.items[2];
    list.Press(list.HitTest(button.x + 1, 40 + button.y + 1));
    list.Press(list.HitTest(5, 500));   // below every cell
    list.Press(list.HitTest(-1, 5));    // left of them
    EXPECT_EQ(heard, (std::vector<std::string>{"!1", "*0", "RAPORT x", "kolekcja|K1"}));
    EXPECT_EQ(list.Selected(), 1);
    // Cell height 0: the record view, as tall as what it shows.
    TListBrowser record(measurer, nullptr, 200, 0);
    record.Add({"a", "b", "c"});
    EXPECT_GE(record.Height(), 3 * 13);
    const int narrow = record.Height();
    record.Clear();
    EXPECT_EQ(record.Selected(), -1);
    record.SetWidth(60);
    record.Add({"bardzo długi tekst, który się zawija w wąskim polu"_cp});
    EXPECT_GT(record.Height(), narrow / 3 * 2) << "wrapped onto several lines";
}

TEST(Attachments, LocalNamesTakeOnlyLettersAndDigitsOfTheExtension) {
    struct Case {
        const char* name;
        const char* ext;
    } cases[] = {
        {"okładka.jpg", "jpg"}, {"spis.txt", "txt"}, {"a.PDF", "PDF"}, {"x", "x"}, {"", "dat"},
        {"../../etc/pa.sh", "sh"}, {"zły.j/g", "jg"}, {"...", "dat"}, {"ab", "ab"},
    };
    for (const Case& c : cases) EXPECT_EQ(AttachmentFileExtension(c.name), c.ext) << c.name;
}

}  // namespace
