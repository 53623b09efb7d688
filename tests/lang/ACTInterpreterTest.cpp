#include "lang/ACTInterpreter.h"
#include "text/CpLiteral.h"
#include "text/my_record.h"

#include "lang/ScriptHarness.h"

#include <gtest/gtest.h>

using namespace velt;
using test::RunScript;

namespace {

my_record Record(const std::vector<std::pair<std::string, std::string>>& fields) {
    my_record r("A");
    for (const auto& [k, v] : fields) r.AddField(k, v, 0);
    return r;
}

}  // namespace

TEST(ACTInterpreter, WalksOccurrencesAndCreatesANewOne) {
    my_record record = Record({{"245Z.1.1.2.1", "two"}, {"245Z.1.1.5.1", "five"}, {"100Z.1.1.1.1", "x"}});
    const auto run = RunScript(
        "BEGIN\n"
        "  GRUPA('245') PRINT(POZYCJA) SKIP PRINT(POZYCJA) SKIP PRINT(POZYCJA)\n"
        "  IF OK PRINT('ok') ELSE PRINT('not ok') ENDIF\n"
        "  GRUPA('Z') PRINT(POZYCJA)\n"
        "  POLE = 'x  '\n"
        "  PRINT(POZYCJA)\n"
        "  BACK BACK\n"
        "END",
        record);
    EXPECT_TRUE(run.messages.empty()) << run.messages[0];
    EXPECT_EQ(run.printed, (std::vector<std::string>{".1.1.2", ".1.1.5", ".1.1.9999", "not ok", ".1.1.9999.9999",
                                                     ".1.1.6.1"}));
    EXPECT_EQ(record.GetValue("245Z.1.1.6.1"), "x") << "trailing blanks are dropped";
}

TEST(ACTInterpreter, ReadsFieldsInsideGroups) {
    my_record record = Record({{"245Z.1.1.1.1", "one"}, {"245Z.1.1.2.1", "two"}, {"245A.1.1.2.1", "ind"}});
    const auto run = RunScript(
        "BEGIN\n"
        "  IF GRUPA('245') WHILE OK GRUPA('Z') PRINT(POLE) BACK SKIP ENDDO ENDIF BACK\n"
        "  GRUPA('245Z') PRINT(POLE + POZYCJA) BACK\n"
        "  GRUPA('300') IF OK PRINT('?') ELSE PRINT('none') ENDIF BACK\n"
        "END",
        record);
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(run.printed, (std::vector<std::string>{"one", "two", "one.1.1.1.1", "none"}));
}

TEST(ACTInterpreter, BackRestoresWhatGrupaSaved) {
    my_record record = Record({{"245Z.1.1.2.1", "a"}, {"245Z.1.1.5.1", "b"}, {"245Z.1.1.5.2", "c"}});
    const auto run = RunScript(
        "BEGIN\n"
        "  GRUPA('245') SKIP GRUPA('Z') PRINT(POZYCJA) SKIP PRINT(POZYCJA) SKIP PRINT(POZYCJA) BACK\n"
        "  PRINT(POZYCJA) BACK PRINT('[' + POZYCJA + ']')\n"
        "END",
        record);
    EXPECT_EQ(run.printed, (std::vector<std::string>{".1.1.5.1", ".1.1.5.2", ".1.1.5.9999", ".1.1.5", "[]"}));
}

TEST(ACTInterpreter, NewOccurrencesClimbToTheFirstExistingParent) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> fields;
        std::string script;
        std::string key;  // where the value lands
    };
    const std::vector<Case> cases = {
        {{}, "GRUPA('245Z') POLE = 'v'", "245Z.1.1.1.1"},
        {{{"245Z.1.1.3.1", "x"}}, "GRUPA('245Z') SKIP POLE = 'v'", "245Z.1.1.3.2"},
        {{{"245Z.1.1.3.1", "x"}}, "GRUPA('245') SKIP GRUPA('Z') POLE = 'v' BACK", "245Z.1.1.4.1"},
        {{{"100Z.1.1.1.1", "x"}}, "GRUPA('245Z') POLE = 'v'", "245Z.1.1.1.1"},
        {{{"200Z.1.1.1.1", "x"}}, "GRUPA('245Z') POLE = 'v'", "245Z.1.1.1.1"},
        {{{"245Z.1.1.1.1", "x"}}, "GRUPA('245Z') POLE = 'v'", "245Z.1.1.1.1"},
        {{{"245Z.1.1.1.1", "x"}}, "GRUPA('245Z') EDYTOWALNE = 'N'", "245Z.1.1.1.1"},
        {{}, "GRUPA('245Z') EDYTOWALNE = 'N  '", "245Z.1.1.1.1"},
    };
    for (const auto& c : cases) {
        my_record record = Record(c.fields);
        const auto run = RunScript("BEGIN " + c.script + " BACK END", record);
        EXPECT_TRUE(run.messages.empty()) << c.script;
        const my_field* f = record.Find(c.key);
        ASSERT_NE(f, nullptr) << c.script << " -> " << c.key;
        EXPECT_TRUE(f->value == "v" || f->readonly == 1) << c.script;
    }
}

TEST(ACTInterpreter, EditableFlags) {
    my_record record = Record({{"245Z.1.1.1.1", "x"}});
    record.SetReadOnly("245Z.1.1.1.1", 1);
    const auto run = RunScript(
        "BEGIN GRUPA('245Z') PRINT(EDYTOWALNE) EDYTOWALNE = ' ' PRINT(EDYTOWALNE) BACK END", record);
    EXPECT_EQ(run.printed, (std::vector<std::string>{"N", ""}));
    EXPECT_EQ(record.IsReadOnly("245Z.1.1.1.1"), 0);
}

TEST(ACTInterpreter, ScriptErrorsOfTheGroupWalk) {
    struct Case {
        std::string script;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"BACK", {"ACT: błąd skryptu: za dużo BACK"_cp}},
        {"GRUPA('1') BACK BACK PRINT('on')", {"ACT: błąd skryptu: za dużo BACK"_cp}},
        {"GRUPA('1')", {"ACT_TCP: za mało BACK"_cp}},
        {"POLE = 'x'", {"ACT: błąd skryptu: zapis pola przed GRUPA"_cp}},
        {"POZYCJA = '.1' POLE = 'x' EDYTOWALNE = 'N'",
         {"ACT: błąd skryptu: zapis pola przed GRUPA"_cp, "ACT: błąd skryptu: zapis pola przed GRUPA"_cp}},
        {"PRINT(FIRST('a', 'b'))", {"INTERPRETE: Abstract Error"}},
        {"OPEN('x')", {"INTERPRETE: Abstract Error"}},
        {"GRUPA('" + std::string(200, '1') + "') GRUPA('" + std::string(56, '2') + "') PRINT('not here')",
         {"INTERPRETE: grupa dłuższa niż 255 znaków"_cp, "ACT_TCP: za mało BACK"_cp}},
    };
    for (const auto& c : cases) {
        my_record record;
        const auto run = RunScript("BEGIN " + c.script + " END", record);
        EXPECT_EQ(run.messages, c.messages) << c.script;
        for (const auto& f : record.fields()) EXPECT_NE(f.key.front(), '.') << c.script;
    }
}

TEST(ACTInterpreter, SkipsKeysTheWalkCannotRead) {
    my_record record = Record({{"245Z.1.x.3.1", "bad"}, {"245Z.1", "short"}, {"245Z..1.1.1", "empty"},
                               {"245", "attribute"}, {"245Z.1.1.4.1", "good"}, {"245Z.1.1.99999999999.1", "long"}});
    const auto run = RunScript("BEGIN GRUPA('245Z') PRINT(POZYCJA) SKIP PRINT(POZYCJA) BACK END", record);
    EXPECT_EQ(run.printed, (std::vector<std::string>{".1.1.4.1", ".1.1.4.9999"}));
}

TEST(ACTInterpreter, HostValuesAndParameters) {
    my_record record = Record({{"L.1", "leader"}});
    const auto run = RunScript(
        "BEGIN PRINT(REKORD) PRINT(HEADER) PRINT(N + M) PRINT(OMIT(' ^aA ^bB')) PRINT(MARKER('^x'))\n"
        "PRINT(CFG('wersja')) PRINT(LAST('a', 'b')) PRINT(SELECT('', 'AU', 'x')) PRINT(REFS('a', ''))\n"
        "GRUPA('L') PRINT(POLE) BACK END",
        record, {"N", "M"}, {"3", "4"});
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(run.printed, (std::vector<std::string>{"A", "", "34", " A B", "x", "", "", "", "", "leader"}));
}

TEST(ACTInterpreter, OccurrenceArithmetic) {
    my_record record = Record({{"245Z.1.1.2.1", ""}, {"245Z.1.1.5.1", ""}, {"245A.1.1.7.1", ""}, {"246Z.1.2.1.1", ""},
                                {"200A.5.1.1.1", ""}});
    ACTInterpreter act({}, record, nullptr);
    EXPECT_EQ(act.NextOccurrence("245", ".1.1.0"), ".1.1.2");
    EXPECT_EQ(act.NextOccurrence("245", ".1.1.5"), ".1.1.7");
    EXPECT_EQ(act.NextOccurrence("245Z", ".1.1.5"), ".1.1.9999");
    EXPECT_EQ(act.NextOccurrence("24", ".1.1"), ".1.2");
    EXPECT_EQ(act.NextOccurrence("2", ".0"), ".1");
    EXPECT_EQ(act.NewOccurrence("245", ".1.1.9999"), ".1.1.8");
    EXPECT_EQ(act.NewOccurrence("245Z", ".1.1.9999.9999"), ".1.1.8.1");
    EXPECT_EQ(act.NewOccurrence("24", ".1.9999"), ".1.3");
    EXPECT_EQ(act.NewOccurrence("3", ".9999"), ".1");
    // No parent is missing: the whole group counts, not its first character.
    EXPECT_EQ(act.NewOccurrence("245", ".9999"), ".2");
}

TEST(RunActionScript, SetsHeaderKindAndParametersAndReportsThroughTheSink) {
    std::istringstream in("BEGIN PRINT(HEADER + '|' + REKORD + '|' + A + B + '|' + LP) TRACE('traced') END");
    auto program = CompileOpenText(in, {"a", "b"}, "t", {});
    ASSERT_TRUE(program);
    my_record record;
    std::vector<std::string> messages;
    const auto printed = RunActionScript(record, program.get(), "K12", {},
                                         [&](const std::string& m) { messages.push_back(m); }, {"1", "2"}, "nagłówek"_cp);
    EXPECT_EQ(printed, std::vector<std::string>{"nagłówek|K12|12|*** brak wartości ***"_cp});
    EXPECT_EQ(messages, std::vector<std::string>{"traced"});
    EXPECT_TRUE(RunActionScript(record, nullptr, "", {}, {}, {}, {}).empty());
}
