// The query of the Z39.50 import: the expression's grammar and its error
// texts, the operands' attributes byte for byte, the search character set,
// and the query form built in code.

#include "forms/HeadlessControls.h"
#include "import/Codec.h"
#include "import/RpnQuery.h"
#include "import/Z3950Query.h"
#include "params/HeadlessParameterWindow.h"
#include "params/ParameterForms.h"
#include "support/Hex.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

using namespace velt;

namespace {

QueryRows Rows(std::initializer_list<std::pair<const char*, const char*>> rows) {
    QueryRows r;
    std::size_t i = 0;
    for (const auto& [kind, text] : rows) r[i++] = {kind, text};
    return r;
}

// Every row filled: author, title, subject, ISBN, ISSN, publisher.
QueryRows Full() {
    return Rows({{"@", "a1"}, {"!", "t2"}, {"&", "s3"}, {"$", "i4"}, {"#", "n5"}, {"^", "p6"}});
}

std::string Operand(std::uint32_t use, std::uint32_t relation, const std::string& term) {
    AttributeList a{{kBib1Use, use}};
    if (relation) a.emplace_back(kBib1Relation, relation);
    return EncodeOperand(EncodeAttributesPlusTerm(a, term));
}

}  // namespace

TEST(ParseZ3950Expression, CombinesRowsWithPrecedenceAndParentheses) {
    const QueryRows rows = Full();
    struct Case {
        const char* expression;
        const char* pqf;
    } cases[] = {
        {"1", "@attr 1=1003 a1"},
        {"1+2*3", "@or @attr 1=1003 a1 @and @attr 1=4 t2 @attr 1=21 @attr 2=3 s3"},
        {"(1+2)*3", "@and @or @attr 1=1003 a1 @attr 1=4 t2 @attr 1=21 @attr 2=3 s3"},
        {"1/2", "@not @attr 1=1003 a1 @attr 1=4 t2"},
        {"  4 + 5  ", "@or @attr 1=7 @attr 2=3 i4 @attr 1=8 @attr 2=3 n5"},
        {"06", "@attr 1=1018 p6"},
        {"((((1))))", "@attr 1=1003 a1"},
    };
    for (const auto& c : cases) {
        const Z3950Expression e = ParseZ3950Expression(c.expression, rows);
        EXPECT_EQ(e.error, "") << c.expression;
        EXPECT_EQ(e.pqf, c.pqf) << c.expression;
    }
    // The structure itself: "*" binds tighter, so 2 and 3 are joined first.
    const std::string two = Operand(4, 0, "t2"), three = Operand(21, 3, "s3"), one = Operand(1003, 0, "a1");
    EXPECT_BYTES_EQ(ParseZ3950Expression("1+2*3", rows).rpn,
                    EncodeRpnOperation(one, EncodeRpnOperation(two, three, 0), 1));
    EXPECT_BYTES_EQ(ParseZ3950Expression("1/2", rows).rpn, EncodeRpnOperation(one, two, 2));
}

TEST(ParseZ3950Expression, EmptyRowsDropOutAndAnEmptyExpressionJoinsEveryRow) {
    const QueryRows rows = Rows({{"@", "a1"}, {"!", ""}, {"!", "t3"}, {"$", ""}, {"", "no kind"}, {"^", ""}});
    // Rows 2, 4, 5 and 6 drop out of the default 1*2*3*4*5*6.
    const Z3950Expression e = ParseZ3950Expression("", rows);
    EXPECT_EQ(e.error, "");
    EXPECT_EQ(e.pqf, "@and @attr 1=1003 a1 @attr 1=4 t3");
    EXPECT_BYTES_EQ(e.rpn, EncodeRpnOperation(Operand(1003, 0, "a1"), Operand(4, 0, "t3"), 0));
    EXPECT_EQ(ParseZ3950Expression("2+1", rows).pqf, "@attr 1=1003 a1");
    EXPECT_EQ(ParseZ3950Expression("1/2", rows).pqf, "@attr 1=1003 a1");
    // Every row empty: no query and no message (the form comes back).
    const Z3950Expression none = ParseZ3950Expression("", QueryRows{});
    EXPECT_EQ(none.rpn, "");
    EXPECT_EQ(none.error, "");
}

TEST(ParseZ3950Expression, ErrorTexts) {
    const QueryRows rows = Rows({{"@", ""}, {"!", "t2"}, {"&", "s3"}});
    const std::string incomplete = "Niekompletne wyrażenie wyszukiwawcze"_cp;
    struct Case {
        const char* expression;
        std::string error;
    } cases[] = {
        {"(1+2", "Spodziewany znak"_cp + " \")\""},
        {"1 2", "Błąd w wyrażeniu"_cp + " \"2"},
        {"1*&", "Niespodziewany znak"_cp + " \"&\""},
        {"1&2", "Błąd w wyrażeniu"_cp + " \"&2"},
        {"1*", incomplete},
        {"()", "Niespodziewany operator"_cp + " \")\""},
        {"*1", "Niespodziewany operator"_cp + " \"*\""},
        {"2+(3", "Spodziewany znak"_cp + " \")\""},
        // Rows that do not exist are refused, not dropped.
        {"1*7", "Błąd w wyrażeniu"_cp + " \"7"},
        {"0", "Błąd w wyrażeniu"_cp + " \"0"},
        {"2*99999999999999999999", "Błąd w wyrażeniu"_cp + " \"99999999999999999999"},
        // And-not with an empty left side would search what was to be left out.
        {"1/2", incomplete},
        {"(1+1)/3", incomplete},
    };
    for (const auto& c : cases) {
        const Z3950Expression e = ParseZ3950Expression(c.expression, rows);
        EXPECT_EQ(e.error, c.error) << c.expression;
        EXPECT_EQ(e.rpn, "") << c.expression;
    }
    // Nesting and chains are bounded.
    const std::string deep = std::string(100000, '(') + "2" + std::string(100000, ')');
    EXPECT_EQ(ParseZ3950Expression(deep, rows).error, "Wyrażenie wyszukiwawcze jest zbyt złożone"_cp);
    std::string chain = "2";
    for (int i = 0; i < 200; ++i) chain += "*3";
    EXPECT_EQ(ParseZ3950Expression(chain, rows).error, "Wyrażenie wyszukiwawcze jest zbyt złożone"_cp);
    std::string shortChain = "2";
    for (int i = 0; i < 20; ++i) shortChain += "*3";
    EXPECT_EQ(ParseZ3950Expression(shortChain, rows).error, "");
}

TEST(Z3950Criteria, SearchAndScanAttributes) {
    const Z3950Criterion* isbn = FindCriterion("$");
    ASSERT_NE(isbn, nullptr);
    EXPECT_EQ(SearchAttributes(*isbn), (AttributeList{{1, 7}, {2, 3}}));
    EXPECT_EQ(ScanAttributes(*isbn), (AttributeList{{1, 7}, {2, 3}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}));
    EXPECT_EQ(ScanAttributes(*FindCriterion("@")), (AttributeList{{1, 1003}, {4, 2}}));
    EXPECT_EQ(ScanAttributes(*FindCriterion("!")), (AttributeList{{1, 4}, {3, 1}, {4, 2}}));
    EXPECT_EQ(FindCriterion("x"), nullptr);
    EXPECT_EQ(FindCriterion("@@"), nullptr);
    // An ISBN operand: use 7 and relation 3, each a SEQUENCE of [120] and [121].
    EXPECT_EQ(test::Hex(ParseZ3950Expression("1", Rows({{"$", "83"}})).rpn),
              "A0 1F BF 66 1C BF 2C 14 30 08 9F 78 01 01 9F 79 01 07 30 08 9F 78 01 02 9F 79 01 03 9F 2D 02 38 33");
}

TEST(Z3950Criteria, UtfSearchSendsTheTwoBytesOfEachPolishLetter) {
    const std::string pairs = "Q.1|!|T.1|" + "łąka"_cp + "|E||";
    EXPECT_EQ(RowsOfValues(pairs, false)[0].text, "łąka"_cp);
    EXPECT_EQ(RowsOfValues(pairs, true)[0].text, "\xC5\x82\xC4\x85ka");
    EXPECT_EQ(RowsOfValues(pairs, true)[0].kind, "!");
    const Z3950Expression e = ParseZ3950Expression("", RowsOfValues(pairs, true));
    EXPECT_NE(e.rpn.find("\x9F\x2D\x06\xC5\x82\xC4\x85ka"), std::string::npos) << test::Hex(e.rpn);
    // A term with blanks or quotes is quoted in the prefix notation.
    EXPECT_EQ(ParseZ3950Expression("1", Rows({{"!", "a \"b\""}})).pqf, "@attr 1=4 \"a \\\"b\\\"\"");
}

TEST(Z3950QueryForm, SixRowsOfKindAndTextAndTheExpression) {
    const auto form = Z3950QueryForm();
    const auto ids = form->FieldIds({});
    EXPECT_NE(std::find(ids.begin(), ids.end(), "Q.*"), ids.end());
    EXPECT_NE(std::find(ids.begin(), ids.end(), "T.*"), ids.end());
    EXPECT_NE(std::find(ids.begin(), ids.end(), "E"), ids.end());
    // Shown with the kept values over headless controls, answered as typed.
    HeadlessParameterWindow window;
    window.user = [](HeadlessParameterWindow& w) {
        ASSERT_NE(w.Control("T.6"), nullptr);
        ASSERT_NE(w.Control("Q.6"), nullptr);
        EXPECT_EQ(w.Control("T.7"), nullptr);
        w.Dialog()->Record().SetValue("T.2", "Lalka");
        w.Execute();
    };
    FormSettings settings;
    ParameterForms forms(window, settings, [] { return std::string(); });
    const std::string answer = forms.AskParameters(Z3950QueryTitle(), *form, DefaultQuestion(), nullptr);
    EXPECT_EQ(window.titles, std::vector<std::string>{"Zapytanie Z39.50"});
    const QueryRows rows = RowsOfValues(answer, false);
    EXPECT_EQ(rows[1].kind, "!");
    EXPECT_EQ(rows[1].text, "Lalka");
    EXPECT_EQ(rows[5].kind, "#");
    EXPECT_EQ(ParseZ3950Expression("", rows).pqf, "@attr 1=4 Lalka");
}
