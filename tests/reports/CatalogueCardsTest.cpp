// The KARTA hand-over: the work file's lines reach the catalogue cards as
// they were written, a missing or empty file is said instead, and the work
// file is gone either way.

#include "reports/CatalogueCards.h"
#include "support/TempDir.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace velt;

namespace {

struct RecordedCards : CatalogueCards {
    int calls = 0;
    std::vector<std::string> lines;
    void KartaKatalogowa(std::vector<std::string> l) override {
        ++calls;
        lines = std::move(l);
    }
};

}  // namespace

TEST(CatalogueCardsTest, TheLinesOfTheWorkFileAreHandedOverOrTheMissingTextSaid) {
    const std::string kNoFile = "CARD_REPORT: Brak pliku roboczego zestawienia";
    const std::string kEmpty = "Pusta zawartość karty"_cp;
    const struct {
        const char* what;
        std::string bytes;
        std::string error;
        std::vector<std::string> lines;
    } cases[] = {
        {"CR LF lines", "[KARTA]\r\n[HASLO]\r\nPrus, Bolesław\r\n"_cp, "", {"[KARTA]", "[HASLO]", "Prus, Bolesław"_cp}},
        {"LF lines, the last without its end", "[KARTA]\n\n[UKD]\n821", "", {"[KARTA]", "", "[UKD]", "821"}},
        {"a lone CR stays inside", "a\rb\r\n", "", {"a\rb"}},
        {"blanks around text", "  \r\n x\r\n", "", {"  ", " x"}},
        {"nothing", "", kEmpty, {}},
        {"empty lines only", "\r\n\r\n\n", kEmpty, {}},
        {"blank lines only", "  \r\n\t\r\n", kEmpty, {}},
    };
    for (const auto& k : cases) {
        test::TempDir dir;
        const std::string file = dir.Write("report1.tmp", k.bytes);
        RecordedCards cards;
        EXPECT_EQ(HandOverCardReport(file, cards), k.error) << k.what;
        EXPECT_EQ(cards.calls, k.error.empty() ? 1 : 0) << k.what;
        EXPECT_EQ(cards.lines, k.lines) << k.what;
        EXPECT_EQ(::access(file.c_str(), F_OK), -1) << k.what << ": the work file goes once read";
    }
    RecordedCards cards;
    EXPECT_EQ(HandOverCardReport("/nonexistent-velt/report1.tmp", cards), kNoFile);
    EXPECT_EQ(cards.calls, 0);
    test::TempDir dir;
    EXPECT_EQ(HandOverCardReport(dir.Path(), cards), kNoFile) << "a directory is no work file";
    EXPECT_EQ(cards.calls, 0);
}

TEST(CatalogueCardsTest, AnOverlongWorkFileIsReadUpToItsBound) {
    test::TempDir dir;
    std::string bytes(kMaxCardReport - 3, 'x');
    bytes += "\r\nyyyyyyyy\r\n";
    const std::string file = dir.Write("report2.tmp", bytes);
    RecordedCards cards;
    EXPECT_EQ(HandOverCardReport(file, cards), "");
    ASSERT_EQ(cards.lines.size(), 2u);
    EXPECT_EQ(cards.lines[0].size(), kMaxCardReport - 3);
    EXPECT_EQ(cards.lines[1], "y");
}
