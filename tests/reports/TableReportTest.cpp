// The table report: the description reader, the macros, the layout of
// pages and sheets on a recording canvas with fixed metrics, the texts'
// LIMIT and JUST, the built-in Interleaved 2 of 5 and the refused reports.

#include "RecordingCanvas.h"
#include "reports/BarcodePattern.h"
#include "reports/Interleaved25.h"
#include "reports/tbl_report.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace velt;
using velt::test::RecordingCanvas;

namespace {

// 254 ppi: a centimetre is 100 pixels, so the margins are 150, 50, 100 and
// 100 pixels; a report 950 units wide prints at one pixel a unit and the
// printable height is 800.
constexpr PrinterPage kPage{254, 1150, 1000};

const std::vector<std::string> kTitles = {
    "[REPORT 950]",        "[HEADER 100]",       "TEXT #Strona_%P 10 5", "TEXT &tytul 200 5 FIRST",
    "[LINE 50]",           "TEXT &tytul 0 0",    "[FOOTER 100]",         "TEXT &tytul 0 0",
    "[END]"};

std::vector<std::string> Titles(int count, std::vector<int> groupEnds = {}) {
    std::vector<std::string> data;
    for (int i = 1; i <= count; ++i) {
        const bool end = std::find(groupEnds.begin(), groupEnds.end(), i) != groupEnds.end();
        data.push_back(std::string(end ? "*" : "") + "&tytul=T" + std::to_string(i));
    }
    return data;
}

std::vector<std::string> TextsOnPage(const RecordingCanvas& c, int page) {
    std::vector<std::string> out;
    for (const auto& t : c.texts)
        if (t.page == page) out.push_back(t.text);
    return out;
}

// The report drawn as the preview draws a sheet: scale 1, origins 0.
RecordingCanvas Preview(tbl_report& r, std::size_t sheet = 0) {
    RecordingCanvas c;
    r.DrawSheet(c, r.Sheets().at(sheet));
    return c;
}

}  // namespace

TEST(ReportDescriptionTest, ReadsTheReportLineParameters) {
    const ReportDescription d = ReadReportDescription(
        {"[REPORT 500 ORIENTATION=LANDSCAPE ALIGN=CONST 20 LEFT=20 RIGHT=x BOTTOM=5]", "[END]"});
    EXPECT_TRUE(d.refusal.empty()) << d.refusal;
    EXPECT_DOUBLE_EQ(d.width, 500);
    EXPECT_EQ(d.align, ReportAlign::Const);
    EXPECT_EQ(d.constLines, 20);
    EXPECT_EQ(d.orientation, 2);
    EXPECT_DOUBLE_EQ(d.left, 2.0);
    EXPECT_DOUBLE_EQ(d.right, 0.5);  // not a number: as it was
    EXPECT_DOUBLE_EQ(d.bottom, 0.5);
    EXPECT_TRUE(d.messages.empty());
}

TEST(ReportDescriptionTest, MissingWordsAndEndAreReportedAndNumbersBounded) {
    const ReportDescription d = ReadReportDescription(
        {"[REPORT 950]", "[LINE 10]", "BOX 1 2", "TEXT #a 1e400 99999999999 SIZE=100000", "[FOOTER"});
    ASSERT_EQ(d.messages.size(), 3u);
    EXPECT_EQ(d.messages[0], "Brak oczekiwanego parametru w \"BOX 1 2\"");
    EXPECT_EQ(d.messages[1], "Brak oczekiwanego parametru w \"[FOOTER\"");
    EXPECT_EQ(d.messages[2], "Błąd opisu zestawienia (spodziewane [END])"_cp);
    const ReportSection& line = d.Section(ReportSectionKind::Line);
    ASSERT_EQ(line.elements.size(), 2u);
    EXPECT_DOUBLE_EQ(line.elements[1].x.value, 0);  // exponents are not numbers here
    EXPECT_DOUBLE_EQ(line.elements[1].y.value, kMaxReportUnits);
    EXPECT_DOUBLE_EQ(line.elements[1].size, kMaxTextSize);
    EXPECT_DOUBLE_EQ(d.Section(ReportSectionKind::Header).height, 1);  // absent
}

TEST(ReportDescriptionTest, ReportsThatCouldNeverFinishAreRefused) {
    const std::vector<std::vector<std::string>> cases = {
        {"[REPORT 0]", "[END]"},
        {"[REPORT -5]", "[END]"},
        {"[REPORT abc]", "[END]"},
        {"[REPORT]", "[END]"},
        {"[REPORT 950 ALIGN=CONST]", "[END]"},
        {"[REPORT 950 ALIGN=CONST 0]", "[END]"},
        {"[REPORT 950 ALIGN=CONST -3]", "[END]"},
        {"[REPORT 950 ALIGN=CONST many]", "[END]"},
        {"[LINE 10]", "TEXT &a 0 0", "[END]"},
    };
    for (const auto& description : cases) {
        tbl_report r("T", description, Titles(5));
        EXPECT_FALSE(r.Refusal().empty()) << description[0];
        EXPECT_EQ(r.CountPages(kPage), 0) << description[0];
        RecordingCanvas c;
        EXPECT_FALSE(r.Print(c, kPage).empty()) << description[0];
        EXPECT_TRUE(c.texts.empty()) << description[0];
        r.DrawSheet(c, r.Sheets().at(0));
        EXPECT_TRUE(c.texts.empty()) << description[0];
    }
}

TEST(ReportDescriptionTest, LineHeightThatRoundsToNoPixelsIsRefusedOnThePage) {
    tbl_report tiny("T", {"[REPORT 950]", "[LINE 0.001]", "[END]"}, Titles(3));
    EXPECT_TRUE(tiny.Refusal().empty());
    EXPECT_FALSE(tiny.LayoutFor(kPage).error.empty());
    EXPECT_EQ(tiny.CountPages(kPage), 0);
    // A height of exactly 0 prints a line a page.
    tbl_report none("T", {"[REPORT 950]", "[LINE 0]", "[END]"}, Titles(3));
    EXPECT_EQ(none.CountPages(kPage), 3);
}

TEST(ReportMacroTest, ExpandsItemsAgainstTheDataLine) {
    MacroContext context;
    context.page = 3;
    context.date = "09.12.2026";
    context.time = "10:20:30";
    context.libraryName = "Biblioteka";
    context.label1 = "L1";
    context.label2 = "L2";
    const std::string line = "&tytul=Ala\x1b" "1kot&autor=Nowak&puste=";
    const struct {
        const char* expr;
        std::string expected;
    } cases[] = {
        {"#Strona_%P", "Strona 3"},
        {"&tytul", "Ala&kot"},
        {"&autor#,_&tytul", "Nowak, Ala&kot"},
        {"&brak", ""},
        {"&puste", ""},
        {"%%%D#_%T", "%09.12.2026 10:20:30"},
        {"%0#/%1#/%2", "Biblioteka/L1/L2"},
        {"#", ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> messages;
        EXPECT_EQ(ExpandMacro(c.expr, line, context, &messages), c.expected) << c.expr;
        EXPECT_TRUE(messages.empty()) << c.expr;
    }
    std::vector<std::string> messages;
    EXPECT_EQ(ExpandMacro("#a%Xb&tytul", line, context, &messages), "a");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Błędne makrowyrażenie: %Xb&tytul"_cp);
}

TEST(TableReportLayoutTest, PagesBreakAtTheLineCountAndAtGroupEnds) {
    tbl_report r("T", kTitles, Titles(30, {5}));
    const PageLayout l = r.LayoutFor(kPage);
    ASSERT_TRUE(l.error.empty()) << l.error;
    EXPECT_DOUBLE_EQ(l.scale, 1.0);
    EXPECT_EQ(l.originX, 150);
    EXPECT_EQ(l.originY, 100);
    EXPECT_EQ(l.linesPerPage, 12);  // (800 - 200) / 50
    EXPECT_EQ(r.CountPages(kPage), 4);

    RecordingCanvas c;
    ASSERT_EQ(r.Print(c, kPage), "");
    EXPECT_EQ(c.pages, 3);
    // Page numbers restart after the group end; FIRST only on a first page;
    // the header takes the page's first line and the footer its last.
    EXPECT_EQ(TextsOnPage(c, 0), (std::vector<std::string>{"Strona 1", "T1", "T1", "T2", "T3", "T4", "T5", "T5"}));
    const std::vector<std::string> second = TextsOnPage(c, 1);
    ASSERT_EQ(second.size(), 15u);
    EXPECT_EQ(second[0], "Strona 1");
    EXPECT_EQ(second[1], "T6");
    EXPECT_EQ(second.back(), "T17");
    EXPECT_EQ(TextsOnPage(c, 2).front(), "Strona 2");
    EXPECT_EQ(TextsOnPage(c, 3), (std::vector<std::string>{"Strona 3", "T30", "T30"}));

    // Positions: the header at the origins, the lines below it, the footer
    // right after the last line.
    EXPECT_EQ(c.texts[0].x, 160);
    EXPECT_EQ(c.texts[0].y, 105);
    EXPECT_EQ(c.texts[2].x, 150);
    EXPECT_EQ(c.texts[2].y, 200);
    EXPECT_EQ(c.texts[3].y, 250);
    EXPECT_EQ(c.texts[7].y, 450);
    EXPECT_EQ(c.texts[0].font.height, 16);
}

TEST(TableReportLayoutTest, PageRangePrintsOnlyItsPages) {
    tbl_report r("T", kTitles, Titles(30, {5}));
    r.pageFrom = 2;
    r.pageTo = 3;
    RecordingCanvas c;
    ASSERT_EQ(r.Print(c, kPage), "");
    EXPECT_EQ(c.pages, 1);
    EXPECT_EQ(TextsOnPage(c, 0)[1], "T6");
    EXPECT_EQ(TextsOnPage(c, 1)[0], "Strona 2");
    EXPECT_EQ(TextsOnPage(c, 1).back(), "T29");
}

TEST(TableReportLayoutTest, ConstHeaderUsesTheFirstLineOnItsPageAfterGroupEnds) {
    std::vector<std::string> data = {"&n=1", "*&n=2"};
    for (int i = 3; i <= 9; ++i) data.push_back("&n=" + std::to_string(i));
    tbl_report r("T", {"[REPORT 950 ALIGN=CONST 4]", "[HEADER 100]", "TEXT &n 0 0", "[LINE 50]", "[END]"}, data);
    EXPECT_EQ(r.LayoutFor(kPage).linesPerPage, 4);
    RecordingCanvas c;
    ASSERT_EQ(r.Print(c, kPage), "");
    EXPECT_EQ(c.Texts(), (std::vector<std::string>{"1", "3", "7"}));
}

TEST(TableReportLayoutTest, ScaleFollowsTheAlignMode) {
    // STANDARD: a unit at most 0.6/63.5 inch, the report against the right margin.
    tbl_report narrow("T", {"[REPORT 100]", "[END]"}, {});
    PageLayout l = narrow.LayoutFor(kPage);
    EXPECT_DOUBLE_EQ(l.scale, 2.4);
    EXPECT_EQ(l.originX, 1150 - 50 - 240);
    // FULL: a page too low for one line shrinks the scale to fit.
    tbl_report full("T", {"[REPORT 950 ALIGN=FULL]", "[HEADER 400]", "[LINE 100]", "[FOOTER 400]", "[END]"}, {});
    l = full.LayoutFor(kPage);
    EXPECT_DOUBLE_EQ(l.scale, 800.0 / 900.0);
    EXPECT_EQ(l.originX, 150);
    // CONST: all its lines fit, then the report goes against the right margin.
    tbl_report fixed("T", {"[REPORT 950 ALIGN=CONST 10]", "[HEADER 100]", "[LINE 100]", "[FOOTER 100]", "[END]"}, {});
    l = fixed.LayoutFor(kPage);
    EXPECT_DOUBLE_EQ(l.scale, 800.0 / 1200.0);
    EXPECT_EQ(l.originX, 1150 - 50 - 633);
    EXPECT_EQ(l.linesPerPage, 10);
}

TEST(TableReportLayoutTest, PreviewSheetsHoldAHundredLinesAndEndWithGroups) {
    tbl_report r("T", kTitles, Titles(250, {120}));
    const std::vector<ReportSheet> sheets = r.Sheets();
    ASSERT_EQ(sheets.size(), 4u);
    const int firsts[] = {1, 101, 121, 221}, counts[] = {100, 20, 100, 30}, numbers[] = {1, 2, 1, 2};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(sheets[i].first, firsts[i]) << i;
        EXPECT_EQ(sheets[i].count, counts[i]) << i;
        EXPECT_EQ(sheets[i].number, numbers[i]) << i;
        EXPECT_EQ(sheets[i].group, i / 2 + 1) << i;
    }
    EXPECT_TRUE(sheets[1].endsGroup);
    EXPECT_FALSE(sheets[2].endsGroup);
    EXPECT_EQ(r.SheetPixels(sheets[3]), 100 + 100 + 30 * 50);
    tbl_report empty("T", kTitles, {});
    ASSERT_EQ(empty.Sheets().size(), 1u);
    EXPECT_EQ(Preview(empty).Texts(), (std::vector<std::string>{"Strona 1", "", ""}));
}

TEST(TableReportLayoutTest, ConditionsChooseWhereElementsAreDrawn) {
    tbl_report r("T",
                 {"[REPORT 950]", "[HEADER 10]", "TEXT #h 0 0 NOFIRST", "TEXT #hf 0 0 FIRST", "[LINE 10]",
                  "TEXT #w 0 0 WHEN &x", "TEXT #e 0 0 EXCEPT &x", "TEXT #f 0 0 FIRST", "TEXT #o 0 0 OTHER",
                  "[FOOTER 10]", "TEXT #L 0 0 LAST", "TEXT #NL 0 0 NOLAST", "[END]"},
                 {"&x=1", "&y=2"});
    EXPECT_EQ(Preview(r).Texts(), (std::vector<std::string>{"hf", "w", "o", "e", "o", "L"}));
}

TEST(TableReportLayoutTest, TextPositionsAnchorsAndLastPosition) {
    tbl_report r("T",
                 {"[REPORT 950]", "[LINE 100]", "TEXT #ab 10 20", "TEXT #cd + + BOLD SIZE=20 FONT=Times_New_Roman",
                  "TEXT #abcd 100 0 RIGHT", "TEXT #x + 30", "TEXT #abcd 100 0 CENTER", "TEXT #y + 40",
                  "BOX 1 2 3 4 BOLD", "V 5 6 7", "H 8 9 10", "[END]"},
                 {"&a=1"});
    RecordingCanvas c = Preview(r);
    ASSERT_EQ(c.texts.size(), 6u);
    EXPECT_EQ(c.texts[0].x, 10);
    EXPECT_EQ(c.texts[0].y, 21);  // the header of 1 unit above
    EXPECT_EQ(c.texts[1].x, 26);
    EXPECT_EQ(c.texts[1].y, 21);
    EXPECT_EQ(c.texts[1].font, (CanvasFont{"Times New Roman", 20, true}));
    EXPECT_EQ(c.texts[2].font.height, 16);  // each text starts from the section's font
    EXPECT_FALSE(c.texts[2].font.bold);
    EXPECT_EQ(c.texts[2].x, 68);
    EXPECT_EQ(c.texts[3].x, 100);  // RIGHT ends at x
    EXPECT_EQ(c.texts[4].x, 84);
    EXPECT_EQ(c.texts[5].x, 132);  // CENTER: x + its width
    ASSERT_EQ(c.frames.size(), 1u);
    EXPECT_EQ(c.frames[0], (CanvasRect{1, 3, 4, 7}));
    EXPECT_EQ(c.framePens[0], 2);
    ASSERT_EQ(c.lines.size(), 2u);
    EXPECT_EQ(c.lines[0].y2, 1 + 6 + 7);
    EXPECT_EQ(c.lines[1].x2, 18);
    EXPECT_EQ(c.lines[1].pen, 1);
}

TEST(TableReportTextTest, LimitCutsWithEllipsis) {
    tbl_report r("T", {"[REPORT 950]", "[LINE 20]", "TEXT &t 0 0 LIMIT 50", "[END]"},
                 {"&t=Long title", "&t=Short"});
    EXPECT_EQ(Preview(r).Texts(), (std::vector<std::string>{"Lon...", "Short"}));
}

TEST(TableReportTextTest, JustWrapsWordsAndBreaksWordsWiderThanTheBox) {
    RecordingCanvas c;  // 16 pixels high, 8 a character
    const struct {
        const char* text;
        int w, h;
        std::vector<std::string> lines;
    } cases[] = {
        {"Ala ma kota i psa", 56, 100, {"Ala ma", "kota i", "psa"}},
        {"abcdefghij klm", 40, 100, {"abcde", "fghij", "klm"}},
        {"aa bb cc dd ee ff", 40, 32, {"aa bb", "cc..."}},
        {"abcdefghijkl", 40, 16, {"ab..."}},
        {"  krótki  ", 80, 16, {"krótki"}},
        {"abc", 0, 48, {"a", "b", "..."}},
    };
    for (const auto& k : cases) EXPECT_EQ(JustifyLines(c, k.text, k.w, k.h), k.lines) << k.text;
}

TEST(TableReportBarTest, BuiltInInterleavedPadsInFrontAndStartsAtItsLeftEdge) {
    EXPECT_EQ(Interleaved25Modules("123"), Interleaved25Modules("0123"));
    EXPECT_NE(Interleaved25Modules("123"), Interleaved25Modules("1230"));
    EXPECT_EQ(Interleaved25Modules("0123").size(), 103u);
    RecordingCanvas c;
    EXPECT_EQ(DrawInterleaved25(c, "0123", 7, 3, 103, 20), "");
    ASSERT_FALSE(c.fills.empty());
    EXPECT_EQ(c.fills.front(), (CanvasRect{7, 3, 9, 23}));
    EXPECT_EQ(c.fills.back(), (CanvasRect{108, 3, 110, 23}));
    c.fills.clear();
    EXPECT_FALSE(DrawInterleaved25(c, "12a", 0, 0, 100, 20).empty());
    EXPECT_EQ(DrawInterleaved25(c, "", 0, 0, 100, 20), "");
    EXPECT_TRUE(c.fills.empty());
}

TEST(TableReportBarTest, BarModesDrawOrSayWhy) {
    const struct {
        const char* element;
        const char* code;
        bool draws;
        const char* message;  // a part of the one message, or empty
    } cases[] = {
        {"BAR &kod 0 0 100 20", "123", true, ""},
        {"BAR &kod 0 0 100 20", "12a", false, "tylko cyfry"},
        {"BAR &kod 0 0 100 20 MODE=15", "5901234123457", true, ""},
        {"BAR &kod 0 0 100 20 MODE=16", "5901234123457", false, "MODE=16"},
        {"BAR &kod 0 0 100 20 MODE=0", "5901234123457", false, "MODE=0"},
        {"BAR &kod 0 0 100 20 MODE=abc", "5901234123457", false, "MODE=abc"},
        {"BAR &kod 0 0 100 20 MODE=14", "abc", false, "numeric"},
    };
    for (const auto& k : cases) {
        tbl_report r("T", {"[REPORT 950]", "[LINE 30]", k.element, "[END]"}, {std::string("&kod=") + k.code});
        RecordingCanvas c = Preview(r);
        EXPECT_EQ(!c.fills.empty(), k.draws) << k.element << " " << k.code;
        if (k.message[0] == '\0') {
            EXPECT_TRUE(r.Messages().empty()) << k.element << ": " << r.Messages().front();
        } else {
            ASSERT_EQ(r.Messages().size(), 1u) << k.element;
            EXPECT_NE(r.Messages()[0].find(k.message), std::string::npos) << r.Messages()[0];
        }
        if (k.draws && k.message[0] == '\0' && std::string(k.element).find("MODE") == std::string::npos) {
            EXPECT_EQ(c.fills.front().left, 0);
        }
    }
}

namespace {

// Records the white fills too: the quiet zones made clear.
struct ClearingCanvas : RecordingCanvas {
    std::vector<CanvasRect> whites;
    void FillRect(const CanvasRect& rect, CanvasColour colour) override {
        if (colour == kCanvasWhite) whites.push_back(rect);
        RecordingCanvas::FillRect(rect, colour);
    }
};

}  // namespace

TEST(TableReportBarTest, SymbolsKeepTheirQuietZonesClearInsideTheirBox) {
    const struct {
        int mode;
        TBarcodeType type;
        const char* code;
        int width;  // of the box, in report units
    } cases[] = {
        {15, bcCodeEAN13, "9788370398569", 300}, {15, bcCodeEAN13, "9788370398569", 60},
        {14, bcCodeEAN8, "5512345", 300},        {7, bcCode128B, "Ab-12", 300},
        {4, bcCode39, "VELT 7", 300},            {1, bcCode_2_5_interleaved, "123456", 300},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::to_string(k.mode) + " " + k.code + " in " + std::to_string(k.width));
        // The cell's frame lines stand right outside the box.
        const std::string right = std::to_string(100 + k.width + 1);
        tbl_report r("T",
                     {"[REPORT 950]", "[LINE 30]", "V 99 0 30", "V " + right + " 0 30",
                      "BAR &kod 100 2 " + std::to_string(k.width) + " 20 MODE=" + std::to_string(k.mode), "[END]"},
                     {std::string("&kod=") + k.code});
        ClearingCanvas c;
        r.DrawSheet(c, r.Sheets().at(0));
        EXPECT_TRUE(r.Messages().empty()) << r.Messages().front();
        ASSERT_EQ(c.lines.size(), 2u);
        ASSERT_FALSE(c.whites.empty());
        ASSERT_FALSE(c.fills.empty());
        const CanvasRect box = c.whites.front();  // then the symbol's own, inside it
        EXPECT_GT(box.left, c.lines[0].x1) << "the box is cleared, not its frame";
        EXPECT_LT(box.right, c.lines[1].x1);
        int first = box.right, last = box.left;
        for (const CanvasRect& f : c.fills) {
            first = std::min(first, f.left);
            last = std::max(last, f.right);
        }
        const QuietZone zone = QuietZoneOf(k.type);
        const BarcodeModules natural = EncodeBarcode(k.type, k.code, 1, 2.0);
        ASSERT_EQ(natural.error, "");
        // The symbol is scaled to fill the box with its quiet zones, never more.
        const double module = static_cast<double>(box.right - box.left) /
                              static_cast<double>(natural.width + zone.left + zone.right);
        // (Below a pixel a module's bars may round away at the symbol's end.)
        if (module >= 1) EXPECT_NEAR(last - first, module * static_cast<double>(natural.width), 1.5);
        EXPECT_GE(first - box.left, zone.left * module - 1);
        EXPECT_GE(box.right - last, zone.right * module - 1);
        EXPECT_LE(last, box.right);
    }
}

TEST(TableReportFileTest, MissingFilesAreNamed) {
    tbl_report d = tbl_report::FromDescriptionFile("T", {"&a=1"}, "/nonexistent/opis.rep");
    EXPECT_EQ(d.Refusal(), "Brak pliku: /nonexistent/opis.rep");
    tbl_report s = tbl_report::FromSrpFile("T", "/nonexistent/z.srp");
    EXPECT_EQ(s.Refusal(), "Brak pliku: /nonexistent/z.srp");
    EXPECT_EQ(s.lineCount, 0);
}

TEST(TableReportTest, DrawingASheetTellsEachLineDrawnForTheGauge) {
    tbl_report r("T", kTitles, Titles(130, {40}));
    const auto sheets = r.Sheets();
    ASSERT_GE(sheets.size(), 2u);
    std::vector<int> heard;
    RecordingCanvas c;
    r.DrawSheet(c, sheets[0], [&](int drawn) { heard.push_back(drawn); });
    ASSERT_EQ(static_cast<int>(heard.size()), sheets[0].count) << "a group's end ends the sheet early";
    EXPECT_EQ(heard.front(), 1);
    EXPECT_EQ(heard.back(), 40);
}
