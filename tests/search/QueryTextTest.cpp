#include "search/QueryHistory.h"
#include "search/QueryText.h"
#include "search/SearchService.h"
#include "net/TVeltClient.h"
#include "text/CpLiteral.h"

#include "support/Hex.h"

#include <gtest/gtest.h>

using namespace velt;

namespace {

ElementaryState Lines(std::vector<std::string> wzorce) { return {std::move(wzorce), {}}; }

}  // namespace

TEST(QueryText, KindsOperatorsQuotesAndEscapes) {
    EXPECT_BYTES_EQ(MatchKindText(MatchKind::Rowny), "\x20R\xD3WNY\x20");
    EXPECT_BYTES_EQ(MatchKindText(MatchKind::Poczatek), " POCZ\xA5TEK ");
    EXPECT_BYTES_EQ(MatchKindText(MatchKind::Slowo), " S\xA3OWO ");
    EXPECT_EQ(MatchKindText(MatchKind::Liczba), " LICZBA ");
    EXPECT_EQ(MatchKindText(MatchKind::Wzorzec), " WZORZEC ");
    EXPECT_EQ(MatchKindText(MatchKind::None), "");
    EXPECT_EQ(OperatorText(QueryOperator::Lub), " LUB ");
    EXPECT_EQ(OperatorText(QueryOperator::I), " I ");
    EXPECT_BYTES_EQ(OperatorText(QueryOperator::Oprocz), " OPR\xD3" "CZ ");
    EXPECT_EQ(OperatorText(QueryOperator::Implicit), "LUB");
    // a"b(c) inside its quotes; a backslash at the end cannot escape the quote.
    EXPECT_EQ(EscapeSearchText("a\"b(c)"), "a\\\"b\\(c\\)");
    EXPECT_EQ(EscapeSearchText("#&|x\\"), "\\#\\&\\|x\\\\");
    EXPECT_EQ(EscapeParameterList("R|\"1990\"|x\\|"), "R|\\\"1990\\\"|x\\\\|");
}

TEST(QueryText, SortPrefixFollowsTheDescriptor) {
    EXPECT_EQ(SortPrefix({}, 0), "");
    EXPECT_EQ(SortPrefix({}, 2), "");
    EXPECT_EQ(SortPrefix({"autor", "tytuł"}, 0), "SORTUJ \"\" ");
    EXPECT_EQ(SortPrefix({"autor", "tytuł"}, 2), "SORTUJ \"tytuł\" ");
    EXPECT_EQ(SortPrefix({"autor"}, 5), "SORTUJ \"\" ") << "past the list";
    EXPECT_EQ(PlainCriterionQuery("Nowości"), "SORTUJ \"\" \"Nowości\"") << "always, whatever the sort keys";
}

TEST(QueryText, AddCriterionJoinsLinesAndWrapsTheExpression) {
    ElementaryState s = Lines({"Kowal", "Nowak"});
    AddCriterion(s, MatchKind::Poczatek, QueryOperator::Lub);
    EXPECT_BYTES_EQ(Expression(s), " POCZ\xA5TEK \"Kowal\"  LUB  POCZ\xA5TEK \"Nowak\"");
    EXPECT_TRUE(s.wzorce.empty());
    // A second criterion wraps the first.
    s.wzorce = {"x"};
    AddCriterion(s, MatchKind::Rowny, QueryOperator::I);
    EXPECT_BYTES_EQ(Expression(s), "( POCZ\xA5TEK \"Kowal\"  LUB  POCZ\xA5TEK \"Nowak\")  I  R\xD3WNY \"x\"");
    // Two lines joined by "Zawęż (i)" on an empty expression: no parentheses.
    ElementaryState i = Lines({"a", "b"});
    AddCriterion(i, MatchKind::Slowo, QueryOperator::I);
    EXPECT_BYTES_EQ(Expression(i), " S\xA3OWO \"a\"  I  S\xA3OWO \"b\"");
    // "Zawęż (oprócz)" first: "DOWOLNY " and the operator in front.
    ElementaryState e = Lines({"a"});
    AddCriterion(e, MatchKind::None, QueryOperator::Oprocz);
    EXPECT_BYTES_EQ(Expression(e), "DOWOLNY  OPR\xD3" "CZ \"a\"");
    // Only empty lines: nothing changes and wzorce keeps its text (a line of spaces counts).
    ElementaryState empty = Lines({"", ""});
    AddCriterion(empty, MatchKind::Rowny, QueryOperator::Lub);
    EXPECT_EQ(empty.wzorce.size(), 2u);
    EXPECT_TRUE(empty.wyrazenie.empty());
    ElementaryState spaces = Lines({"  "});
    AddCriterion(spaces, MatchKind::Rowny, QueryOperator::Lub);
    EXPECT_BYTES_EQ(Expression(spaces), " R\xD3WNY \"  \"");
}

TEST(QueryText, ElementaryOkAddsTheImplicitCriterionOrSendsTheIndexAlone) {
    std::string e;
    ElementaryState both = Lines({});
    EXPECT_EQ(ElementaryQuery(both, MatchKind::Poczatek, "autor", "", e), "\"autor\" ");
    EXPECT_EQ(e, "");
    ElementaryState typed = Lines({"Mickiewicz"});
    EXPECT_BYTES_EQ(ElementaryQuery(typed, MatchKind::Poczatek, "autor", "SORTUJ \"\" ", e),
                    "SORTUJ \"\" \"autor\"  POCZ\xA5TEK \"Mickiewicz\"");
}

TEST(QueryText, CriterionParametersAndLabels) {
    const std::string cleaned = CleanPairs(" R_OD | 1990 |R_DO|  |WYD|Znak  |");
    EXPECT_EQ(cleaned, "R_OD| 1990|WYD|Znak|");
    EXPECT_EQ(CriterionQuery("", "Rok wydania", "R|\"x\"|"), "\"Rok wydania\" \"R|\\\"x\\\"|\"");
    EXPECT_EQ(CriterionLabel("Rok wydania", cleaned), "\"Rok wydania\"\" 1990\" \"Znak\" ");
    EXPECT_EQ(ReadableQueryLabel("SORTUJ \"tytuł\" \"autor\" RÓWNY \"Kowalski\""), "\"autor\" RÓWNY \"Kowalski\"");
    EXPECT_EQ(ReadableQueryLabel("\"Rok wydania\" \"R_OD|1990|R_DO|1999|\""), "\"Rok wydania\" 1990 1999");
    EXPECT_EQ(ReadableQueryLabel("(3)/7"), "(3)/7");
}

TEST(SearchReply, OneTwoThreeAndMoreTexts) {
    auto reply = [](std::vector<std::string> items) {
        TVeltRecord r;
        r.Count = static_cast<std::uint8_t>(items.size());
        for (std::size_t i = 0; i < items.size(); ++i) r.Items[i + 1] = items[i];
        return r;
    };
    const TVeltRecord err = reply({"Nieznany indeks"});
    EXPECT_EQ(InterpretSearchReply(&err).error, "Nieznany indeks");
    const TVeltRecord two = reply({"12", "0"});
    const SearchOutcome o2 = InterpretSearchReply(&two);
    EXPECT_EQ(o2.collection, 12);
    EXPECT_BYTES_EQ(o2.Text(), "Kolekcja zdalna zawiera 0 rekord\xF3w");
    const TVeltRecord three = reply({"13", "5", "Filtry pominęły 2"_cp});
    const SearchOutcome o3 = InterpretSearchReply(&three);
    EXPECT_EQ(o3.collection, 13);
    EXPECT_EQ(o3.Text(), "Kolekcja zdalna zawiera 5 rekordów\r\nFiltry pominęły 2"_cp);
    const TVeltRecord four = reply({"1", "2", "3", "4"});
    EXPECT_EQ(InterpretSearchReply(&four).collection, 0);
    const TVeltRecord bad = reply({"x7", "2"});
    EXPECT_EQ(InterpretSearchReply(&bad).collection, 0) << "not a decimal number";
    EXPECT_EQ(InterpretSearchReply(nullptr).collection, 0);
}

TEST(Filters, BoxesAndFlagsRoundTrip) {
    const std::vector<velt_filter> filters = {{"Bez egzemplarzy", "1"}, {"Tylko książki", "2"}, {"Stałe", "3"},
                                              {"Czwarty", "4"}};
    const auto boxes = FilterBoxes(filters, "TNt");
    ASSERT_EQ(boxes.size(), 3u) << "flags shorter than the list";
    EXPECT_TRUE(boxes[0].ticked && boxes[0].enabled);
    EXPECT_TRUE(!boxes[1].ticked && boxes[1].enabled);
    EXPECT_TRUE(boxes[2].ticked && !boxes[2].enabled);
    EXPECT_EQ(FilterFlagsOf(boxes), "TNt");
    auto changed = boxes;
    changed[1].ticked = true;
    EXPECT_EQ(FilterFlagsOf(changed), "TTt");
    EXPECT_EQ(FilterFlagsOf(FilterBoxes(filters, "nNTt")), "nNTt");
}
