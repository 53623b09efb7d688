// Drawing and printing laid-out cards on a recording canvas (fixed
// metrics), the correction of a card's paragraphs and its regeneration, the
// settings file, and what the windows show around printing.

#include "FixedCardMeasurer.h"
#include "reports/RecordingCanvas.h"
#include "support/TempDir.h"

#include "cards/CardCorrection.h"
#include "cards/CardDrawing.h"
#include "cards/CardPrinting.h"
#include "cards/CardSettings.h"
#include "lang/ProfileFile.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace velt;
using namespace velt::card_kind;

namespace {

constexpr int kScreen = 254;

struct Laid {
    CardSettings settings;
    CardGeometry geometry;
    LaidOutCard card;
};

Laid Lay(const std::vector<std::string>& text, CardSettings settings = {}, int number = 1) {
    test::FixedCardMeasurer measurer(kScreen);
    CardLayout layout(settings, kScreen, measurer);
    return {layout.Settings(), layout.Geometry(), layout.RysujKarte(text, number)};
}

std::string Words(int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += std::string(9, static_cast<char>('a' + i % 20)) + " ";
    return out.substr(0, out.size() - 1);
}

const test::DrawnText* Find(const test::RecordingCanvas& canvas, const std::string& text) {
    for (const auto& t : canvas.texts)
        if (t.text == text) return &t;
    return nullptr;
}

}  // namespace

TEST(CardDrawing, APageIsDrawnFromItsLinesInTheirFontsWithTheCallNumbersFramed) {
    const Laid l = Lay({"[KARTA]", "[SYGNATURY]", "II 10007", "[HASLO]", "Prus", "[PARAGRAF]", "Lalka.", "[UKD]",
                        "821", "[INWENTARZ]", "Inw. 1"});
    test::RecordingCanvas canvas;
    const CardPage page = CardPages(l.card)[0];
    CardDrawTarget preview;
    preview.resolution = kScreen;
    DrawCardPage(canvas, l.card, page, l.settings, l.geometry, preview);
    ASSERT_EQ(canvas.Texts(), (std::vector<std::string>{"II 10007", "Prus", "Lalka.", "821", "Inw. 1"}));
    const auto& call = canvas.texts[0];
    EXPECT_EQ(call.x, 920 - 8 * 24) << "right-aligned at its x";
    EXPECT_EQ(call.font.name, "Courier New");
    EXPECT_TRUE(call.font.bold);
    EXPECT_EQ(canvas.texts[2].x, 31 + 2 * 24) << "the indented line starts at x + its indent";
    EXPECT_EQ(canvas.texts[2].font.name, "Times New Roman");
    EXPECT_EQ(canvas.texts[3].x, 1070 - 3 * 17);
    // The frame: 3 pixels, 4 left of the call numbers from the top margin,
    // then under them to the right margin.
    ASSERT_EQ(canvas.lines.size(), 2u);
    EXPECT_EQ(canvas.lines[0].x1, call.x - 4);
    EXPECT_EQ(canvas.lines[0].y1, 30);
    EXPECT_EQ(canvas.lines[0].y2, 30 + 49 + 1);
    EXPECT_EQ(canvas.lines[1].x2, 1100 - 30);
    EXPECT_EQ(canvas.lines[0].pen, 3);

    // Printing: five device pixels a screen pixel, the card at its offsets.
    test::RecordingCanvas printer;
    CardDrawTarget print;
    print.scale = 5;
    print.resolution = 5 * kScreen;
    print.offsetX = 100;
    print.offsetY = 50;
    print.printing = true;
    DrawCardPage(printer, l.card, page, l.settings, l.geometry, print);
    ASSERT_EQ(printer.texts.size(), 5u);
    EXPECT_EQ(printer.texts[1].x, 32 * 5 + 100);
    EXPECT_EQ(printer.texts[1].y, 79 * 5 + 50);
    EXPECT_EQ(printer.texts[0].x, 920 * 5 + 100 - 8 * (247 / 2)) << "14 points at 1270 pixels an inch: 247";
    EXPECT_EQ(printer.lines[0].pen, 15);

    CardSettings noFrame;
    noFrame.callFrame = false;
    test::RecordingCanvas plain;
    DrawCardPage(plain, l.card, page, noFrame, l.geometry, preview);
    EXPECT_TRUE(plain.lines.empty());
}

TEST(CardDrawing, ACentralCardCutsItsParagraphsAboveTheClassificationBandAndTheTable) {
    CardSettings settings;
    settings.branchColumns = 2;
    std::vector<std::string> text = {"[KARTA_CENTRALNA]", "[HASLO]", "Prus", "[PARAGRAF]", Words(200), "[UKD]",
                                     "821", "94(438)", "[FILIE]", "F1", "F2"};
    const Laid l = Lay(text, settings);
    ASSERT_EQ(l.card.ZliczStrony(), 1);
    test::RecordingCanvas canvas;
    CardDrawTarget preview;
    preview.resolution = kScreen;
    DrawCardPage(canvas, l.card, CardPages(l.card)[0], l.settings, l.geometry, preview);
    // The table: 2 x 1 cells, sharing their border, their top at H - B - 2 - h_F.
    const int top = 750 - 0 - 2 - 60;
    ASSERT_EQ(canvas.frames.size(), 2u);
    EXPECT_EQ(canvas.frames[0], (CanvasRect{30, top, 30 + 520, top + 60}));
    EXPECT_EQ(canvas.frames[1], (CanvasRect{30 + 520 - 1, top, 30 + 1040 - 1, top + 60}));
    const auto* f2 = Find(canvas, "F2");
    ASSERT_NE(f2, nullptr);
    EXPECT_EQ(f2->x, 30 + 520 - 1 + 3);
    EXPECT_EQ(f2->y, top + (60 - 28) / 2);
    // The classification in its band above the table.
    const int band = top - 2 * 35;
    EXPECT_EQ(Find(canvas, "821")->y, band);
    EXPECT_EQ(Find(canvas, "94(438)")->y, band + 35);
    // The paragraphs stop above the band, the last drawn one with " [...]",
    // which is drawing only: the card line keeps its text.
    std::vector<const test::DrawnText*> paragraphs;
    for (const auto& t : canvas.texts)
        if (t.font.name == "Times New Roman" && !t.font.bold) paragraphs.push_back(&t);
    ASSERT_GE(paragraphs.size(), 2u);
    const std::size_t laid = std::count_if(l.card.lines.begin(), l.card.lines.end(),
                                           [](const TLiniaKarty& x) { return x.kind == kParagraph; });
    EXPECT_LT(paragraphs.size(), laid);
    for (const auto* p : paragraphs) EXPECT_LT(p->y + 42, band);
    const std::string last = paragraphs.back()->text;
    EXPECT_EQ(last.substr(last.size() - 6), " [...]");
    EXPECT_LE(31 + static_cast<int>(last.size()) * 21, 1100 - 30) << last;
    for (const TLiniaKarty& line : l.card.lines) EXPECT_EQ(line.text.find("[...]"), std::string::npos);
}

TEST(CardPrinting, EveryPageIsAPageOfOneDocumentAsManyTimesAsTheCopies) {
    const std::vector<std::string> text = {"[KARTA]", "[HASLO]", "Prus", "[PARAGRAF]", Words(400),
                                           "[KARTA]", "[HASLO]", "Orzeszkowa", "[PARAGRAF]", "Nad Niemnem.",
                                           "[KARTA]", "[HASLO]", "Sienkiewicz", "[PARAGRAF]", "Potop."};
    test::FixedCardMeasurer measurer(kScreen);
    CardLayout layout({}, kScreen, measurer);
    const int first = layout.RysujKarte(text, 1).ZliczStrony();
    ASSERT_GE(first, 3);
    test::RecordingCanvas canvas;
    CardDrawTarget target;
    target.resolution = kScreen;
    CardPrintJob job(canvas, layout.Settings(), layout.Geometry(), target);
    EXPECT_TRUE(PrintCards(layout, text, job, 2).empty());
    EXPECT_EQ(job.Pages(), 2 * (first + 2));
    EXPECT_EQ(canvas.pages + 1, job.Pages()) << "one document: a new page between pages, none before the first";
    // Page 2 of card 1, twice, then its page 3.
    int second = 0;
    for (const auto& t : canvas.texts)
        if (t.text == "2.") ++second;
    EXPECT_EQ(second, 2);

    // One page of the current card.
    test::RecordingCanvas one;
    CardPrintJob single(one, layout.Settings(), layout.Geometry(), target);
    single.Print(layout.RysujKarte(text, 1), 1, 3);
    EXPECT_EQ(single.Pages(), 3);
    EXPECT_EQ(one.pages, 2);
    EXPECT_NE(Find(one, "2."), nullptr);
    const auto* heading = Find(one, "Prus");
    ASSERT_NE(heading, nullptr) << "page 2 repeats the heading";
    EXPECT_EQ(heading->font.name, "Times New Roman");
    EXPECT_TRUE(heading->font.bold);
}

TEST(CardPrinting, TheQuestionsPanelsAndPageBoxesOfTheWindows) {
    EXPECT_EQ(PrintAllQuestion(4), "Zostaną wydrukowane 4 karty katalogowe. Drukować?"_cp);
    EXPECT_EQ(PrintAllQuestion(6), "Zostanie wydrukowane 6 kart katalogowych. Drukować?"_cp);
    EXPECT_EQ(PrintAllQuestion(5), "Zostanie wydrukowane 5 kart katalogowych. Drukować?"_cp);
    const std::pair<int, int> boxes[] = {{2, 4}, {24, 4}, {25, 5}, {36, 6}, {37, 7}, {100, 17}};
    for (const auto& [pages, perColumn] : boxes) {
        EXPECT_EQ(PageBoxesPerColumn(pages), perColumn) << pages;
        EXPECT_LE((pages + PageBoxesPerColumn(pages) - 1) / PageBoxesPerColumn(pages), pages > 24 ? 6 : 7);
    }
    const Laid one = Lay({"[KARTA]", "[HASLO]", "Prus", "[PARAGRAF]", "Lalka."});
    EXPECT_EQ(CardViewPanel(one.card, 1, 1), "  Prus: 1/1");
    EXPECT_EQ(CardNumberPanel(2, 7), "  Karta 2 z 7");
}

TEST(CardCorrection, TheMemoShowsTheParagraphsAndGivesThemBack) {
    const Laid l = Lay({"[KARTA]", "[HASLO]", "Prus", "[PARAGRAF]", "<L>Wiersz bez wcięcia</X>"_cp, "<A>Akapit</X>",
                        "[PARAGRAF]", "<A>_</X>"});
    const std::vector<std::string> memo = CorrectionLines(l.card);
    EXPECT_EQ(memo, (std::vector<std::string>{"Wiersz bez wcięcia"_cp, "  Akapit", "    "}));
    EXPECT_EQ(CorrectedParagraphs({"Wiersz", "  Akapit  ", "", "   ", " jeden blank"}),
              (std::vector<std::string>{"<L>Wiersz</X>", "<A>Akapit</X>", "<A>_</X>", "<A>_</X>",
                                        "<L>jeden blank</X>"}));
    // The round trip keeps an empty paragraph line.
    EXPECT_EQ(CorrectedParagraphs(memo),
              (std::vector<std::string>{"<L>Wiersz bez wcięcia</X>"_cp, "<A>Akapit</X>", "<A>_</X>"}));

    MemoCaret caret{0, 6};
    EXPECT_EQ(AddParagraph({"Wiersz bez", "b"}, caret), (std::vector<std::string>{"Wiersz", "   bez", "b"}));
    EXPECT_EQ(caret.line, 1);
    EXPECT_EQ(caret.column, 2);
    caret = {1, 0};
    EXPECT_EQ(AddParagraph({"a", "b"}, caret), (std::vector<std::string>{"a", "  b"}));
}

TEST(CardCorrection, RegeneratingReplacesTheParagraphsOnlyAndKeepsTheRest) {
    const std::vector<std::string> text = {
        "[KARTA]",     "[SYGNATURY]", "II_10007", "[HASLO]",    "Prus",   "[PARAGRAF]", "Stary opis.", "[PARAGRAF]",
        "Drugi.",      "[UKD]",       "821",      "[INWENTARZ]", "Inw. 1", "[KARTA_CENTRALNA]", "[HASLO]", "Inny"};
    const std::vector<std::string> corrected = {"<L>Pierwszy</X>", "<L>dalej</X>", "<A>Nowy akapit</X>", "<A>_</X>"};
    const std::vector<std::string> out = GenerujNowaKarta(text, 1, corrected);
    EXPECT_EQ(out, (std::vector<std::string>{"[KARTA]", "[SYGNATURY]", "II_10007", "[HASLO]", "Prus", "[PARAGRAF]",
                                             "<L>Pierwszy</X>", "<L>dalej</X>", "[PARAGRAF]", "<A>Nowy akapit</X>",
                                             "[PARAGRAF]", "<A>_</X>", "[UKD]", "821", "[INWENTARZ]", "Inw. 1",
                                             "[KARTA_CENTRALNA]", "[HASLO]", "Inny"}));
    // The first "<L>" line gets its marker and does not join the heading.
    const Laid again = Lay(out);
    std::string kinds;
    for (const TLiniaKarty& line : again.card.lines) kinds += line.kind;
    EXPECT_EQ(kinds, "SHPPPPUI");
    EXPECT_EQ(again.card.lines[1].text, "Prus");
    EXPECT_EQ(again.card.lines[2].Stored(), "<L>Pierwszy</X>");
    EXPECT_EQ(again.card.lines[5].Stored(), "<A>  </X>");
    EXPECT_EQ(again.card.lines[0].text, "II 10007");

    // Sections the settings leave out and lines that did not fit stay in the text.
    CardSettings off;
    off.printInventory = false;
    off.printUdc = false;
    const Laid shown = Lay(text, off);
    const std::vector<std::string> kept = GenerujNowaKarta(text, 1, CorrectedParagraphs(CorrectionLines(shown.card)));
    EXPECT_NE(std::find(kept.begin(), kept.end(), "Inw. 1"), kept.end());
    EXPECT_NE(std::find(kept.begin(), kept.end(), "821"), kept.end());
    // A call number the card had no room for is still the card's.
    CardSettings small;
    small.height = 40;
    small.callFont.points = 40;
    std::vector<std::string> calls = text;
    calls.insert(calls.begin() + 3, {"II 2", "II 3", "II 4"});
    const Laid cramped = Lay(calls, small);
    ASSERT_FALSE(cramped.card.messages.empty()) << "a call number left out";
    const std::vector<std::string> back =
        GenerujNowaKarta(calls, 1, CorrectedParagraphs(CorrectionLines(cramped.card)));
    EXPECT_NE(std::find(back.begin(), back.end(), "II 4"), back.end());
    // A card without paragraphs gets them before its classification.
    EXPECT_EQ(GenerujNowaKarta({"[KARTA]", "[HASLO]", "x", "[UKD]", "8"}, 1, {"<A>p</X>"}),
              (std::vector<std::string>{"[KARTA]", "[HASLO]", "x", "[PARAGRAF]", "<A>p</X>", "[UKD]", "8"}));
    // The second card, and a card that is not there.
    EXPECT_EQ(GenerujNowaKarta(text, 2, {"<A>p</X>"}).back(), "<A>p</X>");
    EXPECT_EQ(GenerujNowaKarta(text, 3, {"<A>p</X>"}), text);
}

TEST(CardSettingsFile, ReadWithDefaultsAndBoundsWrittenWhole) {
    test::TempDir dir;
    EXPECT_EQ(ReadCardSettings(dir.Path() + "none.ini"), CardSettings{});
    const std::string path = dir.Write("Velt_kar.ini", "[Marginesy]\r\nGórny=5\r\nLewy=-4\r\n"
                                                       "[Wymiary Karty]\r\nSzerokość=125\r\nWysokość=abc\r\n"
                                                       "[FILIE]\r\nLiczba kolumn=0\r\nWysokosc wierszy=8\r\n"
                                                       "[Sposób Wydruku]\r\nPoziomo=0\r\n"
                                                       "[Paragraf]\r\nNazwa Czcionki=Arial\r\nWielkosc Czcionki=500\r\n"
                                                       "Pochylenie=1\r\n[UKD]\r\nDrukowac=0\r\n"
                                                       "[Liczba Kart Do Druku]\r\nLiczba=1000\r\n"_cp);
    const CardSettings s = ReadCardSettings(path);
    EXPECT_EQ(s.top, 5);
    EXPECT_EQ(s.left, 0);
    EXPECT_EQ(s.width, 125);
    EXPECT_EQ(s.height, 75) << "no number: the default";
    EXPECT_EQ(s.branchColumns, 1) << "\"Filie\" and \"FILIE\" are one section";
    EXPECT_EQ(s.branchRowHeight, 8);
    EXPECT_FALSE(s.landscape);
    EXPECT_EQ(s.paragraphFont.face, "Arial");
    EXPECT_EQ(s.paragraphFont.points, CardBounds::kMaxPoints);
    EXPECT_TRUE(s.paragraphFont.italic);
    EXPECT_FALSE(s.printUdc);
    EXPECT_EQ(s.copies, CardBounds::kMaxCopies);

    CardSettings changed = s;
    changed.callFont = CardFont{"DejaVu Sans Mono", 11, 238, true, false, true};
    changed.branchRows = 2;
    ASSERT_EQ(WriteCardSettings(path, changed), "");
    EXPECT_EQ(ReadCardSettings(path), BoundedCardSettings(changed));
    const ProfileFile ini(path);
    EXPECT_EQ(ini.ReadString("Sygnatury", "Nazwa Czcionki"_cp, ""), "DejaVu Sans Mono");
    EXPECT_EQ(ini.ReadString("Sygnatury", "Podkreślenie"_cp, ""), "1");
    EXPECT_EQ(ini.ReadString("Marginesy", "Lewy", ""), "0");
    EXPECT_EQ(ini.ReadSections().size(), 12u) << "the branch table and its font under the section read, \"FILIE\"";

    // The directory is made; a path that cannot be written is an error.
    EXPECT_EQ(WriteCardSettings(dir.Path() + "nowy/katalog/Velt_kar.ini", s), "");
    const std::string blocked = dir.Write("plik", "x") + "/Velt_kar.ini";
    const std::string error = WriteCardSettings(blocked, s);
    EXPECT_EQ(error.rfind("Nie można zapisać pliku "_cp + blocked, 0), 0u) << error;
}
