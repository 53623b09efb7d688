// The catalogue cards (KARTA) against velt-server: the card text of a list
// and of a collection read as the card window reads it (a line holding a
// card marker starts a card, one holding a section marker a section) and
// laid out as the program lays it out, the descriptor's entry and velt-cli
// writing the card text. The parts: the texts of a card's lines and the
// cards of a record with copies, branches, a classification, notes,
// contents and co-authors.

#include "ServerTestSupport.h"
#include "net/SearchRequests.h"
#include "net/FileRequests.h"

#include "CardReport.h"
#include "TableReports.h"

#include "Seeder.h"

#include "cards/CardLayout.h"
#include "cards/StandardFaces.h"
#include "catalogue/velt_files.h"
#include "reports/ReportMacros.h"
#include "reports/tbl_report.h"
#include "text/CpLiteral.h"
#include "text/utf.h"
#include "support/Tool.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace velt;
using namespace velt::test;

namespace {

const char* const kCardMarkers[] = {"[KARTA]", "[KARTA_CENTRALNA]"};
const char* const kSectionMarkers[] = {"[SYGNATURY]", "[HASLO]", "[PARAGRAF]",
                                       "[UKD]",       "[INWENTARZ]", "[FILIE]"};

bool Holds(const std::string& line, const char* const* markers, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (line.find(markers[i]) != std::string::npos) return true;
    return false;
}
bool IsCardMarker(const std::string& line) { return Holds(line, kCardMarkers, 2); }
bool IsSectionMarker(const std::string& line) { return Holds(line, kSectionMarkers, 6); }

struct Section {
    std::string marker;
    std::vector<std::string> lines;
};
struct Card {
    bool central = false;
    std::vector<Section> sections;
    // The content of the first section with marker, joined by "|".
    std::string Of(const std::string& marker) const {
        for (const Section& s : sections)
            if (s.marker == marker) {
                std::string out;
                for (const std::string& l : s.lines)
                    out += (out.empty() ? "" : "|") + l;
                return out;
            }
        return "";
    }
    std::vector<std::string> Markers() const {
        std::vector<std::string> out;
        for (const Section& s : sections)
            out.push_back(s.marker);
        return out;
    }
};

// The cards of a card text as the card window reads it; lines before the
// first card marker belong to no card, empty lines are passed over.
std::vector<Card> ReadCards(const std::vector<std::string>& lines) {
    std::vector<Card> cards;
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        if (IsCardMarker(line)) {
            cards.push_back({line == "[KARTA_CENTRALNA]", {}});
        } else if (cards.empty()) {
            continue;
        } else if (IsSectionMarker(line)) {
            cards.back().sections.push_back({line, {}});
        } else {
            EXPECT_FALSE(cards.back().sections.empty()) << "a line outside a section: " << line;
            if (!cards.back().sections.empty()) cards.back().sections.back().lines.push_back(line);
        }
    }
    return cards;
}

// The lines of a work file; every line ends with CR LF and holds neither.
std::vector<std::string> WorkLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "the last line has its CR LF";
        if (end == std::string::npos) break;
        lines.push_back(text.substr(at, end - at));
        EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.back();
        at = end + 2;
    }
    return lines;
}

std::string Record(const std::vector<std::pair<const char*, std::string>>& fields) {
    server::RecordText r;
    std::map<std::string, int> n;
    for (const auto& [tag, value] : fields)
        r.Add(tag, ++n[tag], value);
    return r.Text();
}

} // namespace

TEST(CardReportParts, CardTextsCannotStartCardsSectionsOrParagraphs) {
    const struct {
        std::string text, line;
    } cases[] = {
        {"II 10007", "II 10007"},
        {"  Lalka  ", "Lalka"},
        {"Tytuł [KARTA] w środku"_cp, "Tytuł (KARTA) w środku"_cp},
        {"[karta_centralna]", "(karta_centralna)"},
        {"[HASLO][UKD]", "(HASLO)(UKD)"},
        {"a [Sygnatury] [paragraf] [inwentarz] [filie]", "a (Sygnatury) (paragraf) (inwentarz) (filie)"},
        {"<A>akapit</X>", "(A)akapit(/X)"},
        {"<l>wiersz", "(l)wiersz"},
        {"[bez tytułu]"_cp, "[bez tytułu]"_cp},
        {"[KARTA", "[KARTA"},
        {"dwa\r\nwiersze\tz\x01", "dwa  wiersze z"},
        {"\r\n", ""},
        {"", ""},
        {std::string(600, 'x'), std::string(server::kMaxCardText, 'x')},
        {std::string(499, 'x') + " y", std::string(499, 'x')},
    };
    for (const auto& k : cases) {
        const std::string line = server::CardTextLine(k.text);
        EXPECT_EQ(line, k.line) << k.text;
        EXPECT_FALSE(IsCardMarker(line) || IsSectionMarker(line)) << line;
    }
}

TEST(CardReportParts, ACardHasItsSectionsInOrderAndACentralOneItsBranches) {
    const std::string title = "^aLalka ^bpowieść ^cBolesław Prus"_cp;
    const std::string imprint = "^aWarszawa ^bPIW ^c1990";
    const struct {
        const char* what;
        std::string text;
        bool central;
        std::vector<std::string> markers;
        std::string calls, heading, udc, inventory, branches;
    } cases[] = {
        {"one branch, two copies",
         Record({{"100", "^aPrus, Bolesław ^d1847-1912"_cp},
                 {"245", title},
                 {"260", imprint},
                 {"300", "^a650 s. ^bil."},
                 {"020", "^a83-06-01234-5"},
                 {"080", "^a821.162.1-3 ^a(0.034)"},
                 {"852", "^bW ^hII 10007 ^p12345"},
                 {"852", "^bW ^hII 10007 ^p12346"}}),
         false,
         {"[SYGNATURY]", "[HASLO]", "[PARAGRAF]", "[PARAGRAF]", "[PARAGRAF]", "[UKD]", "[INWENTARZ]"},
         "II 10007", "Prus, Bolesław"_cp, "821.162.1-3|(0.034)", "Inw. 12345, 12346", ""},
        {"three branches",
         Record({{"100", "^aPrus, Bolesław"_cp},
                 {"245", title},
                 {"852", "^bF1 ^hII 10007 ^p1"},
                 {"852", "^bF2 ^hCz. 7 ^p2"},
                 {"852", "^bF3 ^hII 10007 ^p3"}}),
         true,
         {"[SYGNATURY]", "[HASLO]", "[PARAGRAF]", "[FILIE]"},
         "II 10007|Cz. 7", "Prus, Bolesław"_cp, "", "", "F1|F2|F3"},
        {"no author, no copies",
         Record({{"245", "^aKronika [HASLO] roku"}, {"260", imprint}}),
         false,
         {"[HASLO]", "[PARAGRAF]"},
         "", "Kronika (HASLO) roku", "", "", ""},
        {"nothing but a call number",
         Record({{"852", "^hIV 1"}}),
         false,
         {"[SYGNATURY]", "[PARAGRAF]"},
         "IV 1", "", "", "", ""},
    };
    for (const auto& k : cases) {
        const std::vector<std::string> lines = server::CardLines(server::RecordText::Parse(k.text));
        const std::vector<Card> cards = ReadCards(lines);
        ASSERT_EQ(cards.size(), 1u) << k.what;
        EXPECT_EQ(lines[0], k.central ? "[KARTA_CENTRALNA]" : "[KARTA]") << k.what;
        const Card& card = cards[0];
        EXPECT_EQ(card.central, k.central) << k.what;
        EXPECT_EQ(card.Markers(), k.markers) << k.what;
        for (const Section& s : card.sections)
            EXPECT_FALSE(s.lines.empty()) << k.what << ": " << s.marker << " without lines";
        EXPECT_EQ(card.Of("[SYGNATURY]"), k.calls) << k.what;
        EXPECT_EQ(card.Of("[HASLO]"), k.heading) << k.what;
        EXPECT_EQ(card.Of("[UKD]"), k.udc) << k.what;
        EXPECT_EQ(card.Of("[INWENTARZ]"), k.inventory) << k.what;
        EXPECT_EQ(card.Of("[FILIE]"), k.branches) << k.what;
    }
    // The paragraphs of the full record: the description, the extent, the ISBN.
    const auto card = ReadCards(server::CardLines(server::RecordText::Parse(cases[0].text)))[0];
    ASSERT_EQ(card.sections.size(), 7u);
    EXPECT_EQ(card.sections[2].lines,
              (std::vector<std::string>{"Lalka : powieść / Bolesław Prus. - Warszawa : PIW, 1990."_cp}));
    EXPECT_EQ(card.sections[3].lines, (std::vector<std::string>{"650 s. : il."}));
    EXPECT_EQ(card.sections[4].lines, (std::vector<std::string>{"ISBN 83-06-01234-5"}));
    const auto untitled = ReadCards(server::CardLines(server::RecordText::Parse(cases[3].text)))[0];
    EXPECT_EQ(untitled.Of("[PARAGRAF]"), "[bez tytułu]."_cp);
}

TEST(CardReportParts, NotesContentsSubjectsAndCoAuthorsMakeParagraphsAndCards) {
    std::vector<std::pair<const char*, std::string>> fields = {
        {"100", "^aPrus, Bolesław"_cp},
        {"245", "^aNowele <A>wybrane</X> [UKD]"},
        {"650", "^aHistoria – Kraków ^9T1"_cp},
        {"650", "^aBiografie ^9T2"},
        {"650", "^aTemat bez numeru"},
        {"700", "^aOrzeszkowa, Eliza"},
        {"700", "^aSienkiewicz, H."},
        {"500", "Wstęp autora."_cp},
        {"852", "^hII 1 ^bF1"},
        {"852", "^hII 1"}};
    for (int i = 1; i <= 40; ++i) fields.push_back({"505", "Opowiadanie numer " + std::to_string(i)});
    server::RecordText record = server::RecordText::Parse(Record(fields));
    record.AddKey("876I.1.1.1.1", "123");
    record.AddKey("876I.1.1.2.1", "124");
    const std::vector<std::string> lines = server::CardLines(record);
    const std::vector<Card> cards = ReadCards(lines);
    ASSERT_EQ(cards.size(), 3u) << "the main entry and one card a co-author";
    const Card& main = cards[0];
    EXPECT_FALSE(main.central) << "one branch named: no central card";
    EXPECT_EQ(main.Of("[HASLO]"), "Prus, Bolesław"_cp);
    EXPECT_EQ(main.Of("[UKD]"), "94(438)|929::94") << "the subjects' topics, with the place's auxiliary";
    EXPECT_EQ(main.Of("[INWENTARZ]"), "Inw. 123, 124");
    std::vector<std::vector<std::string>> paragraphs;
    for (const Section& s : main.sections)
        if (s.marker == "[PARAGRAF]") paragraphs.push_back(s.lines);
    ASSERT_EQ(paragraphs.size(), 4u);
    EXPECT_EQ(paragraphs[0][0], "Nowele (A)wybrane(/X) (UKD).") << "the title's markers are its own text";
    EXPECT_EQ(paragraphs[1], std::vector<std::string>{"Wstęp autora."_cp});
    // The contents over lines of at most the text bound, joined by the card window with blanks.
    ASSERT_GT(paragraphs[2].size(), 1u);
    std::string contents;
    for (const std::string& l : paragraphs[2]) {
        EXPECT_LE(l.size(), server::kMaxCardText);
        contents += (contents.empty() ? "" : " ") + l;
    }
    EXPECT_EQ(contents.rfind("Zawartość: Opowiadanie numer 1"_cp + "\xA0; Opowiadanie numer 2\xA0;", 0), 0u) << contents;
    EXPECT_EQ(contents.substr(contents.size() - 21), "Opowiadanie numer 40.");
    EXPECT_EQ(paragraphs[3], std::vector<std::string>{"1.\xA0Historia \x96 Krak\xF3w. 2.\xA0" "Biografie. 3.\xA0Temat bez "
                                                      "numeru. I.\xA0Orzeszkowa, Eliza. II.\xA0Sienkiewicz, H."});
    for (std::size_t i = 1; i < 3; ++i) {
        const Card& added = cards[i];
        EXPECT_EQ(added.Of("[HASLO]"), i == 1 ? "Orzeszkowa, Eliza" : "Sienkiewicz, H.");
        EXPECT_EQ(added.sections[2].lines, std::vector<std::string>{"Prus, Bolesław."_cp})
            << "the main heading opens an added-entry card";
        EXPECT_EQ(added.Of("[SYGNATURY]"), main.Of("[SYGNATURY]"));
        EXPECT_EQ(added.sections.size(), main.sections.size() + 1);
    }
}

namespace {

class CardReportServerTest : public ConnectedServerTest {
protected:
    // The work file of the cards of a list; empty when aborted.
    std::string ListCards(const std::string& list) {
        const std::string target = dir + "/report" + std::to_string(++files) + ".tmp";
        if (!ListReport(**c, server::kCatalogueCardReport, "", list, target, nullptr)) return "";
        return ReadFile(target);
    }
    // The title list's data line of a record: what the card shows.
    std::string TitleLine(const std::string& id) {
        const std::string target = dir + "/tytuly" + std::to_string(++files) + ".tmp";
        EXPECT_TRUE(ListReport(**c, server::kTitleListReport, "", id + "|", target, nullptr));
        const tbl_report report = tbl_report::FromSrpFile("T", target);
        return report.lineCount == 1 ? report.data()[0] : std::string();
    }

    int files = 0;
};

} // namespace

TEST_F(CardReportServerTest, TheCardsOfAListHaveTheirMarkersInOrderAndTheRecordsData) {
    const std::vector<Card> cards = ReadCards(WorkLines(ListCards("K7|K2|")));
    ASSERT_EQ(cards.size(), 2u);
    const char* ids[] = {"K7", "K2"};
    for (int i = 0; i < 2; ++i) {
        const Card& card = cards[static_cast<std::size_t>(i)];
        const std::string data = TitleLine(ids[i]);
        ASSERT_FALSE(DataField(data, "tytul").empty()) << ids[i];
        EXPECT_FALSE(card.central) << ids[i] << " is held by one branch";
        const std::vector<std::string> markers = card.Markers();
        ASSERT_GE(markers.size(), 5u) << ids[i];
        EXPECT_EQ(markers[0], "[SYGNATURY]");
        EXPECT_EQ(markers[1], "[HASLO]");
        for (std::size_t m = 2; m + 2 < markers.size(); ++m)
            EXPECT_EQ(markers[m], "[PARAGRAF]") << ids[i];
        EXPECT_EQ(markers[markers.size() - 2], "[UKD]");
        EXPECT_EQ(markers.back(), "[INWENTARZ]");
        EXPECT_EQ(card.Of("[SYGNATURY]"), DataField(data, "sygnatura"));
        EXPECT_EQ(card.Of("[HASLO]"), DataField(data, "autor"));
        EXPECT_EQ(card.Of("[INWENTARZ]").rfind("Inw. 2", 0), 0u) << card.Of("[INWENTARZ]");
        const std::string description = card.sections[2].lines.at(0);
        EXPECT_EQ(description.rfind(DataField(data, "tytul"), 0), 0u) << description;
        EXPECT_NE(description.find(DataField(data, "wydawca")), std::string::npos) << description;
        const std::string isbn = DataField(data, "isbn");
        if (!isbn.empty()) {
            bool found = false;
            for (const Section& s : card.sections) found |= s.lines.at(0) == "ISBN " + isbn;
            EXPECT_TRUE(found) << ids[i];
        }
    }
}

TEST_F(CardReportServerTest, ACollectionGivesACardPerBookAndUnknownsAbort) {
    const RecordPtr found = Search(**c, "\"tytuł\" DOWOLNY"_cp);
    ASSERT_TRUE(found && found->Count >= 2);
    const int collection = std::stoi(found->Item(1)), count = std::stoi(found->Item(2));
    ASSERT_GT(count, 0);
    const std::string target = dir + "/karty.tmp";
    ASSERT_TRUE(
        CollectionReport(**c, collection, server::kCatalogueCardReport, "", target, nullptr));
    const std::vector<std::string> lines = WorkLines(ReadFile(target));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "[KARTA]");
    const std::vector<Card> cards = ReadCards(lines);
    // Every book of the catalogue (300 of the generator) with its added-entry cards.
    ASSERT_EQ(count, 300);
    const server::SeedCounts seeded = server::CountsFor(300);
    std::size_t expected = 0, central = 0;
    for (std::uint32_t seq = 1; seq <= 300; ++seq)
        expected += ReadCards(server::CardLines(server::RecordText::Parse(server::BookText(seq, seeded)))).size();
    EXPECT_EQ(cards.size(), expected);
    EXPECT_GT(cards.size(), 300u);
    for (const Card& card : cards) {
        EXPECT_FALSE(card.Of("[HASLO]").empty() || card.Of("[PARAGRAF]").empty());
        if (card.central) {
            ++central;
            EXPECT_NE(card.Of("[FILIE]").find('|'), std::string::npos) << "branch marks of two branches at least";
            EXPECT_EQ(card.Of("[INWENTARZ]"), "");
        }
    }
    EXPECT_GE(central, 30u) << "one book in ten is held by several branches";

    EXPECT_EQ(ListCards("K7|K999999|"), "");
    EXPECT_FALSE(
        CollectionReport(**c, 987654, server::kCatalogueCardReport, "", dir + "/z", nullptr));
    EXPECT_EQ(::access((dir + "/z").c_str(), F_OK), -1);
    // The records that are no books have no card: the file comes, empty.
    ASSERT_TRUE(ListReport(**c, server::kCatalogueCardReport, "", "O1|", dir + "/o", nullptr));
    EXPECT_EQ(ReadFile(dir + "/o"), "");

    velt_files descriptor(std::make_unique<TVeltClient>(
                              "127.0.0.1", [](const std::string&, SessionText) {}, sServer->Port()),
                          true);
    ASSERT_TRUE(descriptor.Ready) << descriptor.ErrorText;
    int listed = 0;
    for (const velt_report& r : descriptor.Reports) {
        if (r.Language != "KARTA") continue;
        ++listed;
        EXPECT_EQ(r.Id, server::kCatalogueCardReport);
        EXPECT_EQ(r.Name, "Karta katalogowa");
        EXPECT_TRUE(r.NoParameterForm);
    }
    EXPECT_EQ(listed, 1);
}

namespace {

CliRun Cli(const std::string& args) { return RunCli(args); }

} // namespace

TEST_F(CardReportServerTest, CliWritesTheCardText) {
    const std::string server =
        "--host 127.0.0.1 --port " + std::to_string(sServer->Port()) + " report 'Karta katalogowa' ";
    CliRun r = Cli(server + "--record K7");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, ListCards("K7|"));
    EXPECT_EQ(ReadCards(WorkLines(r.out)).size(), 1u);

    const std::string num = dir + "/lokalna.num";
    WriteFile(num, "K7\r\nK6\r\nK5\r\n");
    const std::string out = dir + "/karty.txt";
    r = Cli(server + "--local '" + num + "' --out '" + out + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadCards(WorkLines(ReadFile(out))).size(), 4u) << "K6 has a co-author: an added-entry card";

    r = Cli(server + "--record K999999");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Serwer nie przygotował"), std::string::npos) << r.err;
}

namespace {

// The cards of a work file laid out as velt-cli lays them out: the metrics of
// the standard faces at 1270 pixels an inch, a screen pixel a tenth of a
// millimetre, the default settings.
std::vector<LaidOutCard> LayOut(const std::string& work) {
    const std::vector<std::string> lines = WorkLines(work);
    StandardFaceMeasurer measurer(1270);
    CardLayout layout({}, 254, measurer);
    std::vector<LaidOutCard> cards;
    int number = 0;
    for (const CardRange& range : FindCards(lines)) cards.push_back(layout.GenLines(lines, range, ++number));
    return cards;
}

}  // namespace

TEST_F(CardReportServerTest, TheServersCardsLayOutWithinTheirCardsOnTheirPages) {
    // A collection of stories over three pages, a long one over eleven, a
    // central card and a book with a co-author.
    const std::vector<LaidOutCard> cards = LayOut(ListCards("K3|K9|K4|K6|"));
    ASSERT_EQ(cards.size(), 5u);
    EXPECT_EQ(cards[0].ZliczStrony(), 3);
    EXPECT_EQ(cards[1].ZliczStrony(), 11);
    EXPECT_TRUE(cards[2].central);
    EXPECT_EQ(cards[2].ZliczStrony(), 1);
    int marks = 0;
    for (const TLiniaKarty& line : cards[2].lines) marks += line.kind == card_kind::kBranch;
    EXPECT_EQ(marks, server::BookBranches(4));
    EXPECT_EQ(cards[3].ZliczStrony(), 1);
    EXPECT_EQ(cards[4].lines[1].kind, card_kind::kHeading);
    EXPECT_EQ(cards[4].lines[1].text, ReadCards(WorkLines(ListCards("K6|")))[1].Of("[HASLO]"));

    // Every card of the catalogue fits its lines: nothing dropped, nothing
    // past the card's edges, the continuation note only between pages.
    const RecordPtr found = Search(**c, "\"tytuł\" DOWOLNY"_cp);
    ASSERT_TRUE(found && found->Count >= 2);
    const std::string target = dir + "/wszystkie.tmp";
    ASSERT_TRUE(CollectionReport(**c, std::stoi(found->Item(1)), server::kCatalogueCardReport, "", target, nullptr));
    const std::vector<LaidOutCard> all = LayOut(ReadFile(target));
    ASSERT_GT(all.size(), 300u);
    int longest = 0;
    for (const LaidOutCard& card : all) {
        EXPECT_TRUE(card.messages.empty()) << card.number << ": " << card.messages.front();
        for (const TLiniaKarty& line : card.lines) {
            if (line.kind == card_kind::kBranch) continue;
            EXPECT_GE(line.x, 0) << card.number;
            EXPECT_LE(line.x, 1100) << card.number;
            EXPECT_GE(line.y, 0) << card.number;
            EXPECT_LT(line.y, 750) << card.number << " " << line.kind << " " << line.text;
        }
        if (card.central) {
            EXPECT_EQ(card.ZliczStrony(), 1);
        }
        longest = std::max(longest, card.ZliczStrony());
    }
    EXPECT_EQ(longest, 11);
}

namespace {

// The fields of a line of "velt-cli cards --lines".
struct CliLine {
    int card, page;
    char kind;
    int x, y;
    std::string text;  // UTF-8
};

std::vector<CliLine> CliLines(const std::string& out) {
    std::vector<CliLine> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> f;
        std::size_t at = 0;
        for (int i = 0; i < 5; ++i) {
            const std::size_t tab = line.find('\t', at);
            if (tab == std::string::npos) break;
            f.push_back(line.substr(at, tab - at));
            at = tab + 1;
        }
        EXPECT_EQ(f.size(), 5u) << line;
        if (f.size() != 5) continue;
        lines.push_back({std::stoi(f[0]), std::stoi(f[1]), f[2][0], std::stoi(f[3]), std::stoi(f[4]), line.substr(at)});
    }
    return lines;
}

int Pdf(const std::string& file, std::string& size) {
    const auto info = RunTool("pdfinfo '" + file + "'", "");
    if (!info) return -1;
    const auto s = info->find("Page size:");
    size = s == std::string::npos ? "" : info->substr(s + 10, info->find('\n', s) - s - 10);
    const auto p = info->find("Pages:");
    return p == std::string::npos ? -1 : std::stoi(info->substr(p + 6));
}

}  // namespace

TEST_F(CardReportServerTest, CliCardsPrintsTheLaidOutLinesAndAPdfPageForEveryCardPage) {
    const std::string server = "--host 127.0.0.1 --port " + std::to_string(sServer->Port()) + " cards ";
    const std::string ini = dir + "/Velt_kar.ini";
    WriteFile(ini, "[Marginesy]\r\nDolny=0\r\n");
    const std::string num = dir + "/karty.num";
    WriteFile(num, "K3\r\nK9\r\nK4\r\nK6\r\n");
    const std::string scope = "--report 'Karta katalogowa' --local '" + num + "' --settings '" + ini + "' ";

    // The lines: what the layout gives, x and y in tenths of a millimetre.
    const CliRun r = Cli(server + scope + "--lines");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<CliLine> lines = CliLines(r.out);
    const std::vector<LaidOutCard> cards = LayOut(ListCards("K3|K9|K4|K6|"));
    ASSERT_EQ(cards.size(), 5u);
    std::size_t i = 0;
    for (const LaidOutCard& card : cards) {
        int page = 1;
        for (const TLiniaKarty& line : card.lines) {
            ASSERT_LT(i, lines.size());
            const CliLine& l = lines[i++];
            EXPECT_EQ(l.card, card.number);
            EXPECT_EQ(l.page, page);
            EXPECT_EQ(l.kind, line.kind);
            EXPECT_EQ(l.text, WinUtf().Convert(line.text));
            if (line.kind != card_kind::kBranch) {
                EXPECT_EQ(l.x, line.x + (line.indented ? line.indent : 0)) << l.text;
                EXPECT_EQ(l.y, line.y);
            } else {
                EXPECT_GT(l.y, 750 - 60 - 10) << "a branch mark at its cell near the card's bottom";
            }
            if (line.kind == card_kind::kContinued) ++page;
        }
    }
    EXPECT_EQ(i, lines.size());
    EXPECT_EQ(lines.back().card, 5);

    // The PDF: a page of the card's size for every card page (velt-cli prints
    // through its Qt module, which a build without the windows lacks).
#ifndef VELT_CLI_PRINTING
    GTEST_SKIP() << "velt-cli is built without its printing module";
#endif
    if (!HaveTool("pdfinfo") || !HaveTool("pdftotext")) GTEST_SKIP() << "poppler-utils";
    const std::string pdf = dir + "/karty.pdf";
    CliRun p = Cli(server + scope + "--out '" + pdf + "'");
    ASSERT_EQ(p.status, 0) << p.err;
    std::string size;
    EXPECT_EQ(Pdf(pdf, size), 3 + 11 + 1 + 1 + 1);
    EXPECT_NE(size.find("311.811 x 212.598 pts"), std::string::npos) << size;
    const auto text = RunTool("pdftotext -enc UTF-8 '" + pdf + "' -", "");
    ASSERT_TRUE(text);
    std::size_t notes = 0;
    for (std::size_t at = 0; (at = text->find("(ciąg dalszy na następnej karcie)", at)) != std::string::npos; ++at) ++notes;
    EXPECT_EQ(notes, 2u + 10u);
    for (const CliLine& l : lines) {
        if (l.kind == card_kind::kHeading) {
            EXPECT_NE(text->find(l.text), std::string::npos) << l.text;
        }
    }

    // A tall card printed upright, two copies of each page.
    WriteFile(ini, "[Wymiary Karty]\r\nSzerokość=75\r\nWysokość=125\r\n[Sposób Wydruku]\r\nPoziomo=0\r\n"
                   "[Liczba Kart Do Druku]\r\nLiczba=2\r\n"_cp);
    p = Cli(server + "--report 'Karta katalogowa' --record K7 --settings '" + ini + "' --out '" + pdf + "'");
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(Pdf(pdf, size), 2);
    EXPECT_NE(size.find("212.598 x 354.331 pts"), std::string::npos) << size;
}

TEST_F(CardReportServerTest, CliCardsReadsACardTextAndSaysWhatIsWrong) {
    const std::string text = dir + "/karta.txt";
    WriteFile(text, "przed kartą\r\n[KARTA]\r\n[HASLO]\r\nPrus, Bolesław\r\n[PARAGRAF]\r\nLalka.\r\n"_cp);
    // Without a server, and with the user's own settings (none yet: the defaults).
    TempDir config;
    ::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    CliRun r = Cli("cards --text '" + text + "' --lines");
    ::unsetenv("XDG_CONFIG_HOME");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<CliLine> lines = CliLines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].kind, 'H');
    EXPECT_EQ(lines[0].text, "Prus, Bolesław");
    EXPECT_EQ(lines[0].x, 32);
    EXPECT_EQ(lines[0].y, 30);
    EXPECT_EQ(lines[1].kind, 'P');
    EXPECT_EQ(lines[1].text, "Lalka.");

    const std::string server = "--host 127.0.0.1 --port " + std::to_string(sServer->Port()) + " cards ";
    const struct {
        std::string args;
        int status;
        std::string error;
    } cases[] = {
        {"--text '" + text + "' --lines --out x.pdf", 1, "usage"},
        {"--text '" + text + "'", 1, "usage"},
        {"--lines", 1, "usage"},
        {"--report 'Karta katalogowa' --lines", 1, "usage"},
        {"--text '" + text + "' --record K7 --lines", 1, "usage"},
        {"--text '" + dir + "/brak.txt' --lines", 2, "Błąd otwarcia pliku"},
        {"--text '" + text + "' --settings '" + dir + "/brak.ini' --lines", 2, "Błąd otwarcia pliku"},
        {"--report 'Lista tytułów' --record K7 --lines", 2, "nie daje kart katalogowych"},
        {"--report 'Karta katalogowa' --record K999999 --lines", 2, "Serwer nie przygotował"},
        {"--report 'Karta katalogowa' --record O1 --lines", 2, "Pusta zawartość karty"},
    };
    for (const auto& c : cases) {
        const CliRun e = Cli(server + c.args);
        EXPECT_EQ(e.status, c.status) << c.args;
        EXPECT_NE(e.err.find(c.error), std::string::npos) << c.args << ": " << e.err;
        EXPECT_EQ(e.out, "") << c.args;
    }
}

TEST(CardReportBound, ACollectionOfMoreBooksThanTheBoundGivesTheFirstCardsOnly) {
    ServerProcess::Options o;
    o.records = static_cast<int>(server::kMaxCards) + 40;
    ServerProcess srv(o);
    ASSERT_TRUE(srv.Ready()) << srv.Why();
    auto c = Connect(srv);
    const RecordPtr found = Search(**c, "\"tytuł\" DOWOLNY"_cp);
    ASSERT_TRUE(found && found->Count >= 2);
    ASSERT_GT(std::stoi(found->Item(2)), static_cast<int>(server::kMaxCards));
    char pattern[] = "/tmp/velt-karty-XXXXXX";
    ASSERT_TRUE(::mkdtemp(pattern));
    const std::string target = std::string(pattern) + "/karty.tmp";
    ASSERT_TRUE(CollectionReport(**c, std::stoi(found->Item(1)), server::kCatalogueCardReport, "",
                                       target, nullptr));
    EXPECT_EQ(ReadCards(WorkLines(ReadFile(target))).size(), server::kMaxCards) << "the cards, added entries counted";
    std::system(("rm -rf '" + std::string(pattern) + "'").c_str());
}
