// The layout of catalogue cards over fixed metrics (a character half the
// font's pixel height wide) at 254 pixels an inch, so a screen pixel is a
// tenth of a millimetre and the measuring surface is the preview (r = 1):
// the sections' places, the pages a long text takes with the continuation
// note, the page numbers, the repeated call numbers and heading, a central
// card's branch table, the sections the settings leave out, the bounds.

#include "FixedCardMeasurer.h"

#include "cards/CardLayout.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace velt;
using namespace velt::card_kind;

namespace {

constexpr int kScreen = 254;  // s = 10: a pixel a tenth of a millimetre

LaidOutCard Lay(const std::vector<std::string>& text, const CardSettings& settings = {}, int number = 1,
                int measuring = kScreen) {
    test::FixedCardMeasurer measurer(measuring);
    CardLayout layout(settings, kScreen, measurer);
    return layout.RysujKarte(text, number);
}

std::vector<const TLiniaKarty*> Kind(const LaidOutCard& card, char kind) {
    std::vector<const TLiniaKarty*> out;
    for (const TLiniaKarty& l : card.lines)
        if (l.kind == kind) out.push_back(&l);
    return out;
}

std::string Kinds(const LaidOutCard& card) {
    std::string out;
    for (const TLiniaKarty& l : card.lines) out += l.kind;
    return out;
}

// A paragraph of n words of 9 letters and a blank (ten characters each).
std::string Words(int n, char letter = 'a') {
    std::string out;
    for (int i = 0; i < n; ++i) out += std::string(9, static_cast<char>(letter + i % 20)) + " ";
    return out.substr(0, out.size() - 1);
}

std::vector<std::string> Card(const std::string& paragraph, bool central = false) {
    return {central ? "[KARTA_CENTRALNA]" : "[KARTA]", "[SYGNATURY]", "II 10007", "[HASLO]", "Prus, Bolesław"_cp,
            "[PARAGRAF]", paragraph, "[UKD]", "821.162.1-3", "[INWENTARZ]", "Inw. 12345, 12346"};
}

}  // namespace

TEST(CardText, CardsAndSectionsAreFoundByTheirMarkers) {
    const std::vector<std::string> text = {
        "before any card", "[KARTA]",     "", "[SYGNATURY]", "  ", "II 1", "x [HASLO] y", "Prus",
        " [KARTA_CENTRALNA] ", "[PARAGRAF][UKD]", "<A>akapit</X>", "karta: [KARTA_CENTRALNA] tu", "[FILIE]", "F1"};
    const std::vector<CardRange> cards = FindCards(text);
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(cards[0].marker, 1u);
    EXPECT_EQ(cards[0].end, 8u);
    EXPECT_FALSE(cards[0].central);
    EXPECT_TRUE(cards[1].central) << "trimmed, the line is the central marker";
    EXPECT_FALSE(cards[2].central) << "a marker inside other text starts a plain card";
    EXPECT_EQ(cards[2].end, text.size());

    const auto first = ReadCardSections(text, cards[0]);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].section, CardSection::Calls);
    EXPECT_EQ(first[0].lines, std::vector<std::string>{"II 1"}) << "blank lines count for nothing";
    EXPECT_EQ(first[1].section, CardSection::Heading);
    const auto second = ReadCardSections(text, cards[1]);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].section, CardSection::Paragraph) << "two markers: the earlier section of the order";

    const struct {
        std::string line, unwrapped;
    } wrappers[] = {
        {"<A>tekst</X>", "tekst"}, {"<L>tekst</X>", "tekst"}, {"<L>tekst", "tekst"},
        {"<A>abc", "abc"},         {"tekst</X>", "tekst</X>"}, {"<B>x</X>", "<B>x</X>"}, {"<A></X>", ""},
    };
    for (const auto& w : wrappers) EXPECT_EQ(Unwrapped(w.line), w.unwrapped) << w.line;
    EXPECT_TRUE(FindCards({"[HASLO]", "x"}).empty());
}

TEST(CardLayout, AOnePageCardHasItsSectionsWhereTheyBelong) {
    const LaidOutCard card = Lay(Card("Lalka : powieść."_cp));
    EXPECT_EQ(Kinds(card), "SHPUI");
    EXPECT_EQ(card.ZliczStrony(), 1);
    const TLiniaKarty& call = card.lines[0];
    EXPECT_EQ(call.text, "II 10007");
    EXPECT_EQ(call.x, 1100 - 30 - 150) << "call numbers end at W - R - RS";
    EXPECT_EQ(call.y, 30);
    const TLiniaKarty& heading = card.lines[1];
    EXPECT_EQ(heading.x, 32);
    EXPECT_EQ(heading.y, 30 + 49);
    const TLiniaKarty& paragraph = card.lines[2];
    EXPECT_EQ(paragraph.x, 31);
    EXPECT_EQ(paragraph.y, 30 + 49 + 49 + 2);
    EXPECT_TRUE(paragraph.indented) << "the section's first line is indented";
    EXPECT_EQ(paragraph.indent, 2 * 24) << "the heading's first two characters in its font";
    EXPECT_EQ(paragraph.Stored(), "<A>Lalka : powieść.</X>"_cp);
    // Classification and inventory end just above the continuation note's place.
    const TLiniaKarty& udc = card.lines[3];
    const TLiniaKarty& inventory = card.lines[4];
    EXPECT_EQ(udc.x, 1100 - 30);
    EXPECT_EQ(inventory.x, 32);
    EXPECT_EQ(inventory.y, 751 - 0 - 32 - (35 + 3));
    EXPECT_EQ(udc.y, 751 - 0 - 2 - 32 - 35 - (35 + 3));
    EXPECT_TRUE(card.messages.empty());
}

TEST(CardLayout, ALongTextGoesOnOverPagesThatRepeatCallNumbersAndHeading) {
    const LaidOutCard card = Lay(Card(Words(400)));
    const std::vector<CardPage> pages = CardPages(card);
    ASSERT_GE(pages.size(), 3u);
    EXPECT_EQ(card.ZliczStrony(), static_cast<int>(pages.size()));
    for (std::size_t p = 0; p < pages.size(); ++p) {
        std::string kinds;
        for (std::size_t i = pages[p].begin; i < pages[p].end; ++i) kinds += card.lines[i].kind;
        if (p + 1 < pages.size()) {
            EXPECT_EQ(kinds.back(), 'C') << "page " << p + 1 << ": " << kinds;
            const TLiniaKarty& note = card.lines[pages[p].end - 1];
            EXPECT_EQ(note.text, ContinuationNote());
            EXPECT_EQ(note.y, 751 - 32);
            EXPECT_EQ(note.x, (1100 - static_cast<int>(note.text.size()) * 16) / 2);
        } else {
            EXPECT_EQ(kinds.find('C'), std::string::npos);
        }
        if (p == 0) {
            EXPECT_EQ(kinds.substr(0, 3), "SHP");
            EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 'P'), 13) << kinds;
        } else {
            EXPECT_EQ(kinds.substr(0, 4), "NYOP") << "page " << p + 1 << ": " << kinds;
            const TLiniaKarty& number = card.lines[pages[p].begin];
            EXPECT_EQ(number.text, std::to_string(p + 1) + ".");
            EXPECT_EQ(number.x, 30);
            EXPECT_EQ(number.y, 30);
            const TLiniaKarty& call = card.lines[pages[p].begin + 1];
            EXPECT_EQ(call.text, "II 10007");
            EXPECT_EQ(call.y, 30);
            // The page number's height goes below the repeated call numbers.
            const TLiniaKarty& heading = card.lines[pages[p].begin + 2];
            EXPECT_EQ(heading.text, "Prus, Bolesław"_cp);
            EXPECT_EQ(heading.y, 30 + 49 + 49);
            EXPECT_EQ(card.lines[pages[p].begin + 3].y, 30 + 49 + 49 + 49 + 2);
        }
        // No paragraph line runs into the note's place.
        for (std::size_t i = pages[p].begin; i < pages[p].end; ++i) {
            if (card.lines[i].kind == kParagraph) {
                EXPECT_LE(card.lines[i].y + 42, 751 - 2 - 32);
            }
        }
    }
    // Every word is on the card once, in order.
    std::string words;
    for (const TLiniaKarty* l : Kind(card, kParagraph)) words += (words.empty() ? "" : " ") + l->text;
    EXPECT_EQ(words, Words(400));
    // Only a paragraph's first line is indented; the other lines use the full width.
    const auto paragraphs = Kind(card, kParagraph);
    EXPECT_TRUE(paragraphs[0]->indented);
    for (std::size_t i = 1; i < paragraphs.size(); ++i) {
        EXPECT_FALSE(paragraphs[i]->indented);
        EXPECT_LE(static_cast<int>(paragraphs[i]->text.size()) * 21, 1040);
    }
    EXPECT_LE(static_cast<int>(paragraphs[0]->text.size()) * 21, 1040 - 48);
    // Classification and inventory come on the last page.
    EXPECT_EQ(card.lines[card.lines.size() - 2].kind, kUdc);
    EXPECT_EQ(card.lines.back().kind, kInventory);
}

TEST(CardLayout, EveryContinuationPageTakesALineOfTheCardsText) {
    // Call numbers and heading so large that they fill a page alone: the
    // layout must still end, a paragraph line on every page.
    CardSettings settings;
    settings.height = 40;
    settings.callFont.points = 72;
    settings.headingFont.points = 72;
    const LaidOutCard card = Lay(Card(Words(30)), settings);
    const std::vector<CardPage> pages = CardPages(card);
    ASSERT_GT(pages.size(), 2u);
    for (std::size_t p = 1; p < pages.size(); ++p) {
        int own = 0;
        for (std::size_t i = pages[p].begin; i < pages[p].end; ++i) {
            const char k = card.lines[i].kind;
            own += k == kParagraph || k == kUdc || k == kInventory;
        }
        EXPECT_GE(own, 1) << "page " << p + 1;
    }
    EXPECT_EQ(Kind(card, kUdc).size(), 1u);
    EXPECT_EQ(Kind(card, kInventory).size(), 1u);
    std::string words;
    for (const TLiniaKarty* l : Kind(card, kParagraph)) words += (words.empty() ? "" : " ") + l->text;
    EXPECT_EQ(words, Words(30));
    // The heading did not fit: said once, for page 1 only.
    ASSERT_EQ(card.messages.size(), 1u);
    EXPECT_EQ(card.messages[0],
              "Hasła są zbyt duże - zmniejsz wielkość czcionki\r\n Hasło Prus, Bolesław zostanie pominięte"_cp);
    EXPECT_TRUE(Kind(card, kHeading).empty());
    EXPECT_TRUE(Kind(card, kHeadingAgain).empty());
}

TEST(CardLayout, ACardHasAtMostItsBoundOfPages) {
    const LaidOutCard card = Lay(Card(Words(60000)));
    EXPECT_EQ(card.ZliczStrony(), kMaxCardPages);
    ASSERT_EQ(card.messages.size(), 1u);
    EXPECT_NE(card.messages[0].find("1000"), std::string::npos);
}

TEST(CardLayout, CallNumbersAndHeadingsThatDoNotFitAreDroppedAndToldOnPageOne) {
    CardSettings settings;
    settings.height = 40;  // H 400: a call-number line fits while y <= 400 - 30 - 49 - 42 - 32
    std::vector<std::string> text = {"[KARTA]", "[SYGNATURY]"};
    for (int i = 1; i <= 8; ++i) text.push_back("II  1000" + std::to_string(i) + "_a");
    text.insert(text.end(), {"[HASLO]", "Prus", "[PARAGRAF]", Words(60)});
    const LaidOutCard card = Lay(text, settings);
    const auto calls = Kind(card, kCall);
    ASSERT_EQ(calls.size(), 5u) << "at y 30, 79, 128, 177, 226";
    EXPECT_EQ(calls[0]->text, "II 10001 a") << "blanks collapsed, \"_\" as a blank";
    ASSERT_EQ(card.messages.size(), 4u) << "three call numbers and the heading";
    EXPECT_EQ(card.messages[0],
              "Sygnatury są zbyt duże - zmniejsz wielkość czcionki\r\n Sygnatura II 10006 a zostanie pominięta"_cp);
    // Continuation pages repeat what fits, silently.
    ASSERT_GT(card.ZliczStrony(), 1);
    EXPECT_EQ(Kind(card, kCallAgain).size(), 5u * static_cast<std::size_t>(card.ZliczStrony() - 1));
}

TEST(CardLayout, TheHeadingIsNarrowedBesideTheCallNumbersAndCutAtItsBreaks) {
    const std::string heading = "Kowalski-Nowak, Jan Maria Aleksander, 1900-1980, pisarz i tłumacz"_cp;
    const LaidOutCard card = Lay({"[KARTA]", "[SYGNATURY]", "II 10007", "[HASLO]", heading, "[PARAGRAF]", "x"});
    const auto lines = Kind(card, kHeading);
    ASSERT_GE(lines.size(), 2u);
    // Beside the call numbers: W - L - 10 - (8 * 24 + R + RS) = 688 pixels, 28 characters.
    EXPECT_LE(static_cast<int>(lines[0]->text.size() + 1) * 24, 688);
    EXPECT_EQ(lines[0]->text, "Kowalski-Nowak, Jan Maria");
    std::string joined;
    for (const TLiniaKarty* l : lines) joined += l->text + " ";
    EXPECT_EQ(joined.substr(0, joined.size() - 1), heading);
    EXPECT_EQ(lines[1]->y, lines[0]->y + 49 + 2);
}

TEST(CardLayout, ParagraphItemsAreIndentedByTheirWrappers) {
    const LaidOutCard card = Lay({"[KARTA]", "[HASLO]", "Prus", "[PARAGRAF]", "<L>Pierwszy wiersz.</X>",
                                  "<A>Drugi akapit</X> reszta", "bez znacznika", "[PARAGRAF]", "<A>_</X>", "[PARAGRAF]",
                                  "Trzeci."});
    const auto p = Kind(card, kParagraph);
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[0]->Stored(), "<L>Pierwszy wiersz.</X>") << "an \"<L>\" first line is not indented";
    EXPECT_EQ(p[1]->Stored(), "<A>Drugi akapit</X>");
    EXPECT_EQ(p[2]->Stored(), "<L>reszta bez znacznika</X>") << "the rest after the last \"</X>\" is an item";
    EXPECT_EQ(p[3]->Stored(), "<A>  </X>") << "\"_\" is a line of two blanks";
    EXPECT_EQ(p[4]->Stored(), "<A>Trzeci.</X>") << "a section's first line is indented";
    EXPECT_EQ(p[1]->indent, 2 * 24);
    // Without a heading, a paragraph is indented by its own first two characters.
    const LaidOutCard bare = Lay({"[KARTA]", "[PARAGRAF]", "Akapit bez hasła"_cp});
    ASSERT_EQ(Kind(bare, kParagraph).size(), 1u);
    EXPECT_EQ(Kind(bare, kParagraph)[0]->indent, 2 * 21);
}

TEST(CardLayout, ALongLineIsCutToTheLineBoundWithItsWrapperWhole) {
    CardSettings settings;
    settings.width = 300;
    settings.paragraphFont.points = 4;  // 14 pixels: 7 a character, 394 characters a line
    const LaidOutCard card = Lay({"[KARTA]", "[PARAGRAF]", "<L>" + std::string(300, 'x') + "</X>"}, settings);
    const auto p = Kind(card, kParagraph);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0]->text.size(), kMaxCardLineText);
    const std::string stored = p[0]->Stored();
    EXPECT_EQ(stored.substr(stored.size() - 4), "</X>");
    EXPECT_EQ(stored.size(), kMaxCardLineText + 7);
}

TEST(CardLayout, AWordWiderThanALineIsBrokenNotLost) {
    CardSettings settings;
    settings.width = 40;  // 340 pixels of text: 16 characters of the paragraph font
    const std::string word(40, 'w');
    const LaidOutCard card = Lay({"[KARTA]", "[PARAGRAF]", "<L>" + word + " koniec</X>"}, settings);
    std::string joined;
    for (const TLiniaKarty* l : Kind(card, kParagraph)) {
        EXPECT_LE(static_cast<int>(l->text.size()) * 21, 340) << l->text;
        joined += l->text;
    }
    EXPECT_EQ(joined, word + " koniec");
}

TEST(CardLayout, TheClassificationBreaksButNeverInsideADoubleColon) {
    CardSettings settings;
    settings.width = 60;  // 540 pixels: 31 characters of the classification font
    const LaidOutCard card = Lay(
        {"[KARTA]", "[UKD]", "821.162.1-31::82-94(438)+929::7.071.1:94(438)\"19\"", "[INWENTARZ]",
         "Inw. " + std::string(40, '1') + ", 2"},
        settings);
    const auto udc = Kind(card, kUdc);
    ASSERT_EQ(udc.size(), 2u);
    EXPECT_EQ(udc[0]->text, "821.162.1-31::82-94(438)+");
    EXPECT_EQ(udc[1]->text, "929::7.071.1:94(438)\"19\"");
    // An inventory piece wider than a line is dropped and told.
    const auto inventory = Kind(card, kInventory);
    ASSERT_EQ(inventory.size(), 2u);
    EXPECT_EQ(inventory[0]->text, "Inw.");
    EXPECT_EQ(inventory[1]->text, "2");
    ASSERT_EQ(card.messages.size(), 1u);
    EXPECT_EQ(card.messages[0], "Tekst \"" + std::string(40, '1') +
                                    ",\" jest zbyt duży i zostanie pominięty \r\nZmniejsz wielkość czcionki"_cp);
}

TEST(CardLayout, SectionsTheSettingsLeaveOutArePassedOver) {
    const std::vector<std::string> plain = Card("Akapit.");
    std::vector<std::string> central = Card("Akapit.", true);
    central.insert(central.end(), {"[FILIE]", "F1", "F2"});
    const struct {
        const char* what;
        bool heading, calls, udc, inventory;
        bool central;
        std::string kinds;
    } cases[] = {
        {"everything", true, true, true, true, false, "SHPUI"},
        {"no heading", false, true, true, true, false, "SPUI"},
        {"no call numbers", true, false, true, true, false, "HPUI"},
        {"no classification", true, true, false, true, false, "SHPI"},
        {"no inventory", true, true, true, false, false, "SHPU"},
        {"a central card: branches, never inventory", true, true, true, true, true, "SHPUFF"},
    };
    for (const auto& c : cases) {
        CardSettings s;
        s.printHeading = c.heading;
        s.printCalls = c.calls;
        s.printUdc = c.udc;
        s.printInventory = c.inventory;
        std::vector<std::string> text = c.central ? central : plain;
        if (!c.central) text.insert(text.end(), {"[FILIE]", "F1"});
        EXPECT_EQ(Kinds(Lay(text, s)), c.kinds) << c.what;
    }
}

TEST(CardLayout, ACentralCardNeverContinuesAndFillsItsBranchTableByColumns) {
    CardSettings settings;
    settings.branchColumns = 3;
    settings.branchRows = 2;
    std::vector<std::string> text = Card(Words(400), true);
    text.insert(text.end(), {"[FILIE]", "F1", "F2", "<L>F3_a  </X>", std::string(30, 'W'), "F5", "F6"});
    const LaidOutCard card = Lay(text, settings);
    EXPECT_TRUE(card.central);
    EXPECT_EQ(card.ZliczStrony(), 1);
    EXPECT_TRUE(Kind(card, kContinued).empty());
    EXPECT_TRUE(Kind(card, kInventory).empty());
    const auto branches = Kind(card, kBranch);
    ASSERT_EQ(branches.size(), 5u);
    std::map<std::string, std::pair<int, int>> at;
    for (const TLiniaKarty* b : branches) at[b->text] = {b->x, b->y};
    EXPECT_EQ(at["F1"], std::make_pair(1, 1));
    EXPECT_EQ(at["F2"], std::make_pair(1, 2));
    EXPECT_EQ(at["F3 a"], std::make_pair(2, 1)) << "unwrapped, trimmed, \"_\" as a blank";
    EXPECT_EQ(at["F5"], std::make_pair(3, 1)) << "the mark too wide for its cell leaves the cell empty";
    EXPECT_EQ(at["F6"], std::make_pair(3, 2));
    ASSERT_EQ(card.messages.size(), 1u);
    EXPECT_EQ(card.messages[0], "Oznaczenia filii są zbyt duże - zmniejsz wielkość czcionki\r\n Oznaczenie "_cp +
                                    std::string(30, 'W') + " zostanie pominięte"_cp);

    // Exactly full: no message; one more: the table-full message once.
    std::vector<std::string> full = {"[KARTA_CENTRALNA]", "[FILIE]"};
    for (int i = 1; i <= 6; ++i) full.push_back("F" + std::to_string(i));
    EXPECT_TRUE(Lay(full, settings).messages.empty());
    full.insert(full.end(), {"F7", "F8"});
    const LaidOutCard over = Lay(full, settings);
    EXPECT_EQ(Kind(over, kBranch).size(), 6u);
    EXPECT_EQ(over.messages, std::vector<std::string>{"Tabela filii jest zbyt mała\r\n Część oznaczeń zostanie pominięta"_cp});
}

TEST(CardLayout, SettingsOutOfBoundsStillLayOut) {
    CardSettings settings;
    settings.branchColumns = 0;
    settings.branchRows = -3;
    settings.branchRowHeight = 0;
    settings.width = 0;
    settings.height = -5;
    settings.left = settings.right = settings.top = settings.bottom = -1;
    settings.callRight = 500;
    settings.paragraphFont.points = 0;
    std::vector<std::string> text = Card(Words(40), true);
    text.insert(text.end(), {"[FILIE]", "F1", "F2"});
    const LaidOutCard card = Lay(text, settings);
    EXPECT_FALSE(card.lines.empty());
    const CardSettings b = BoundedCardSettings(settings);
    EXPECT_EQ(b.branchColumns, 1);
    EXPECT_EQ(b.branchRows, 1);
    EXPECT_GE(b.branchRowHeight, CardBounds::kMinRowHeight);
    EXPECT_EQ(b.width, CardBounds::kMinWidth);
    EXPECT_EQ(b.height, CardBounds::kMinHeight);
    EXPECT_EQ(b.left, 0);
    EXPECT_GE(b.width - b.left - b.right - b.callRight, 10);
    EXPECT_EQ(b.paragraphFont.points, CardBounds::kMinPoints);

    // Margins as wide as the card give way to the least text area.
    CardSettings wide;
    wide.left = wide.right = 80;
    wide.top = wide.bottom = 60;
    const CardSettings w = BoundedCardSettings(wide);
    EXPECT_EQ(w.width - w.left - w.right, CardBounds::kMinTextWidth);
    EXPECT_EQ(w.height - w.top - w.bottom, CardBounds::kMinTextHeight);
    EXPECT_EQ(w.left, 80);
    EXPECT_EQ(Lay(Card(Words(100)), wide).ZliczStrony() > 1, true);
}

namespace {

// Metrics that scale with the resolution: a character half the height wide,
// rounded once.
class ScalingMeasurer : public CardMeasurer {
public:
    explicit ScalingMeasurer(int resolution) : mResolution(resolution) {}
    int Resolution() const override { return mResolution; }
    int TextWidth(const CanvasFont& f, std::string_view t) override { return static_cast<int>(t.size()) * f.height / 2; }
    int TextHeight(const CanvasFont& f) override { return f.height; }

private:
    int mResolution;
};

LaidOutCard LayScaling(const std::vector<std::string>& text, const CardSettings& settings, int resolution) {
    ScalingMeasurer measurer(resolution);
    CardLayout layout(settings, kScreen, measurer);
    return layout.RysujKarte(text, 1);
}

}  // namespace

TEST(CardLayout, APrintersResolutionBreaksTheLinesWhereThePreviewDoes) {
    // A printer of five times the preview's pixels gives the same card
    // lines in screen pixels (fonts of 36 points are whole pixels at both).
    CardSettings settings;
    for (CardFont* f : {&settings.headingFont, &settings.callFont, &settings.paragraphFont, &settings.udcFont,
                        &settings.inventoryFont, &settings.branchFont})
        f->points = 36;
    const std::vector<std::string> text = Card(Words(200));
    const LaidOutCard preview = LayScaling(text, settings, kScreen);
    const LaidOutCard printer = LayScaling(text, settings, 5 * kScreen);
    ASSERT_GT(preview.ZliczStrony(), 2);
    ASSERT_EQ(preview.lines.size(), printer.lines.size());
    for (std::size_t i = 0; i < preview.lines.size(); ++i) {
        EXPECT_EQ(preview.lines[i].text, printer.lines[i].text);
        EXPECT_NEAR(preview.lines[i].x, printer.lines[i].x, 2) << i;  // the note's 9 points are no whole pixels
        EXPECT_NEAR(preview.lines[i].y, printer.lines[i].y, 1) << i;
    }
}

TEST(CardLayout, TheUnitsFollowTheScreenAndTheMeasuringResolution) {
    CardSettings settings;
    const CardGeometry g = CardGeometry::For(settings, 96);
    EXPECT_DOUBLE_EQ(g.s, 3.78);
    EXPECT_EQ(g.W, 416);  // round(110 * 3.78)
    EXPECT_EQ(g.H, 284);
    EXPECT_EQ(g.Hi, 285);
    EXPECT_EQ(g.RS, 57);
    EXPECT_EQ(g.cellWidth, 99);  // round((416 - 11 - 11) / 4)
    EXPECT_EQ(g.rowHeight, 23);
    test::FixedCardMeasurer printer(600);
    CardLayout layout(settings, 96, printer);
    EXPECT_DOUBLE_EQ(layout.Ratio(), 6.25);  // 600 / (3.78 * 25.4) = 6.249...
}
