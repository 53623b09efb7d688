#include "lang/TInterpreter.h"
#include "lang/TextFunctions.h"
#include "text/CpLiteral.h"
#include "text/converter.h"

#include "lang/ScriptHarness.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

using namespace velt;
using test::Eval;
using test::RunScript;

namespace {

struct Case {
    std::string expression;
    std::string expected;
};

void ExpectAll(const std::vector<Case>& cases) {
    for (const auto& c : cases) EXPECT_EQ(Eval(c.expression), c.expected) << c.expression;
}

// An interpreter with no host at all.
std::vector<std::string> RunBare(const Program& program, std::vector<std::string>* messages) {
    TInterpreter interpreter(messages ? ErrorSink([messages](const std::string& m) { messages->push_back(m); })
                                      : ErrorSink());
    return interpreter.Run(program);
}

ProgramPtr Compile(const std::string& source) {
    std::istringstream in(source);
    return CompileOpenText(in, {}, "t", {});
}

}  // namespace

TEST(Interpreter, OperatorsAndTruth) {
    ExpectAll({
        {"'a' + 'b' + 'c'", "abc"},
        {"'a' = 'a'", ""},
        {"'a' = 'A'", "N"},
        {"'a' # 'b'", ""},
        {"'a' # 'a'", "N"},
        {"'b' > 'a'", ""},
        {"'a' > 'b'", "N"},
        {"'a' > 'a'", "N"},
        {"'\xB9' > 'a'", ""},     // ą sorts after a
        {"'\xB9' > 'b'", "N"},    // ... and before b
        {"'' OR 'N'", ""},
        {"'N' OR ''", ""},
        {"'N' OR 'N'", "N"},
        {"!''", "N"},
        {"!'N'", ""},
        {"!!'x'", "N"},
        {"'a' + 'b' = 'ab'", ""},  // one precedence, from the left
        {"'x' = 'x' + 'y'", "y"},
        {"('x' = 'x') + 'y'", "y"},
        {"'x' = ('x' + 'y')", "N"},
        {"unset", "*** brak wartości ***"_cp},
    });
}

TEST(Interpreter, StatementsVariablesAndProcedures) {
    const auto run = RunScript(
        "PROCEDURE count BEGIN i = SUCC(i) out = out + i END\n"
        "BEGIN\n"
        "  i = '0' out = ''\n"
        "  WHILE GT('5', i) count ENDDO\n"
        "  IF POSITION('x', 'abc') PRINT('then') ELSE PRINT('else') ENDIF\n"
        "  IF POSITION('b', 'abc') PRINT('then') ELSE PRINT('else') ENDIF\n"
        "  IF 'N' PRINT('no') ENDIF\n"
        "  x = y\n"
        "  PRINT(out) PRINT(x)\n"
        "END");
    ASSERT_TRUE(run.compiled);
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(run.printed, (std::vector<std::string>{"then", "else", "12345", "*** brak wartości ***"_cp}));
}

TEST(Interpreter, RecursionRuns) {
    const auto run = RunScript(
        "PROCEDURE down BEGIN IF GT(n, '0') out = out + n n = ADD(n, '-1') down ENDIF END\n"
        "BEGIN n = '5' out = '' down PRINT(out) END");
    EXPECT_EQ(run.Printed(), "54321");
}

TEST(Interpreter, TextFunctions) {
    ExpectAll({
        {"HEAD('abc', 'b')", "a"},
        {"HEAD('abc', 'x')", ""},
        {"HEAD('abc', '')", ""},
        {"TAIL('abcbd', 'b')", "cbd"},
        {"TAIL('abc', 'x')", "abc"},
        {"TAIL('abc', '')", "abc"},
        {"SEP('', ', ', 'b')", "b"},
        {"SEP('a', ', ', '')", "a"},
        {"SEP('a', ', ', 'b')", "a, b"},
        {"PR('a', 'b')", "ab"},
        {"PR('a', '')", ""},
        {"TA('a', 'b')", "ab"},
        {"TA('', 'b')", ""},
        {"UP('a\xB9z')", "A\xA5Z"},
        {"LO('A\xA5Z')", "a\xB9z"},
        {"POSITION('b', 'abc')", "2"},
        {"POSITION('x', 'abc')", ""},
        {"POSITION('', 'abc')", ""},
        {"REPLACE('a-b-c', '-', '+-')", "a+-b+-c"},
        {"REPLACE('abc', '', 'x')", "abc"},
        {"REPLACE('aaa', 'aa', 'b')", "ba"},
        {"TRIM('  a b  ')", "a b"},
        {"TRIM('\ta ')", "\ta"},
        {"ASCII('A')", "65"},
        {"ASCII('\xB9')", "185"},
        {"ASCII('')", "0"},
        {"CHR('65')", "A"},
        {"CHR('321')", "A"},
        {"CHR('-191')", "A"},
        {"URI('a b/\xB9z')", "a%20b%2F%B9z"},
        {"URI(\\26\\27)", "\x1A\x1B"},
        {"UTF8('\xB9')", "\xC4\x85"},
        {"MATCHES('abc', 'a*')", ""},
        {"MATCHES('abc', 'a?c')", ""},
        {"MATCHES('abc', 'a?')", "N"},
        {"MATCHES('a*', 'a\\*')", ""},  // inside apostrophes a backslash is itself
        {"MATCHES('ab', 'a\\*')", "N"},
    });
}

TEST(Interpreter, MatchesTreatsABackslashAsEscape) {
    // \92 is the backslash character inside a literal.
    ExpectAll({{"MATCHES('a*', 'a'\\92'*')", ""}, {"MATCHES('ab', 'a'\\92'*')", "N"}});
}

TEST(Interpreter, NameInversion) {
    ExpectAll({
        {"REVERSE('Kowalski, Jan [1950-]')", "Jan Kowalski [1950-]"},
        {"REVERSE('Jan Kowalski')", "Kowalski Jan"},
        {"REVERSE('Kowalski,   Jan')", "Jan Kowalski"},
        {"REVERSE('Kowalski')", "Kowalski"},
        {"REVERSE('')", ""},
        {"REVERSE('Jan Kowalski [1950-]')", "Kowalski Jan [1950-]"},
        {"REVERSE('[x]')", "[x]"},
        {"REVERSE('a b]')", "b] a"},  // no "[": nothing is set aside, nothing read before the text
        {"REVERSE(']')", "]"},
    });
}

TEST(Interpreter, Arithmetic) {
    ExpectAll({
        {"SUCC('')", "0"},
        {"SUCC('41')", "42"},
        {"SUCC(' -1')", "0"},
        {"SUCC('$ff')", "256"},
        {"SUCC('0x10')", "17"},
        {"SUCC('1 ')", "0"},
        {"SUCC('9223372036854775807')", "9223372036854775808"},  // no wrap-around
        {"ADD('', '5')", "5"},
        {"ADD('2', '-7')", "-5"},
        {"ADD('9223372036854775807', '9223372036854775807')", "18446744073709551614"},
        {"ADD('9223372036854775808', '1')", "1"},  // beyond 64 bits: no number, counts as 0
        {"MUL('2', 'x')", "0"},
        {"MUL('-3', '4')", "-12"},
        {"MUL('9223372036854775807', '2')", "18446744073709551614"},
        {"DIV('7', '2', '0')", "4"},
        {"DIV('5', '2', '0')", "2"},
        {"DIV('-5', '2', '0')", "-2"},
        {"DIV('-7', '2', '0')", "-4"},
        {"DIV('1', '3', '2')", "0,33"},
        {"DIV('2', '3', '2')", "0,67"},
        {"DIV('-1', '3', '2')", "-0,33"},
        {"DIV('10', '4', '1')", "2,5"},
        {"DIV('1', '8', '2')", "0,13"},
        {"DIV('1', '0', '0')", "-"},
        {"DIV('x', '2', '0')", "-"},
        {"DIV('1', '3', '-2')", "0"},
        {"DIV('1', '3', '40')", "0," + std::string(40, '3')},
        {"DIV('2', '3', '20')", "0,66666666666666666667"},
        {"DIV('999', '1000', '2')", "1,00"},
        {"DIV('-1', '1000', '2')", "0,00"},
        {"DIV('1', '0', 'x')", "-"},
        {"DIV('-9223372036854775808', '-1', '0')", "9223372036854775808"},
        {"GT('10', '9')", ""},
        {"GT('9', '10')", "N"},
        {"GT('x', '-1')", ""},
        {"GE('5', '5')", ""},
        {"GE('4', '5')", "N"},
    });
}

TEST(Interpreter, MasksAndMarkers) {
    ExpectAll({
        {"FORM('abcdef', 'AA-AA-AA')", "ab-cd-ef"},
        {"FORM('abc', 'AA-AA-AA')", "ab-c"},
        {"FORM('abcdef', 'A'\\92'A')", "ac"},
        {"FORM('', '(A)')", "("},
        {"RFORM('12345', 'A AAA')", "2 345"},
        {"RFORM('45', 'A AAA')", "45"},
        {"RFORM('12345', 'A'\\92'A')", "35"},
        {"OMIT('a^bc^d')", "ac"},
        {"OMIT('ab^')", "ab"},
        {"SUBFIELD(' ^aFirst ^bSecond', 'b')", "Second"},
        {"SUBFIELD(' ^aFirst ^bSecond', 'a')", "First "},
        {"SUBFIELD(' ^aFirst', 'c')", ""},
        {"MARKER('x^ay')", "a"},
        {"MARKER('xy^')", ""},
        {"MARKER('xy')", ""},
    });
}

TEST(Interpreter, SortAndAgregate) {
    ExpectAll({
        {"SORT('b;a;c', ';')", "a;b;"},
        {"SORT('\xB9;b;a;', ';')", "a;\xB9;b;"},
        {"SORT('', ';')", ""},
        {"SORT('a;b', '')", ""},
        {"SORT('c, b, a, ', ', ')", "a, b, c, "},
        {"AGREGATE('007;008', ';')", "7 - 8;"},
        {"AGREGATE('1; 2; 3; 5; t. 7; t. 8', ';')", "1 - 3;5;t. 7 - t. 8;"},
        {"AGREGATE('3;1;2', ';')", "1 - 3;"},
        {"AGREGATE('a;;b', ';')", "a;b;"},
        {"AGREGATE('1;1;2', ';')", "1 - 2;1;"},
        {"AGREGATE('t. 1 z. 2;t. 1 z. 3;t. 2 z. 1', ';')", "t. 1 z. 2 - t. 1 z. 3;t. 2 z. 1;"},
        {"AGREGATE('t. 1 z. 5;t. 2 z. 5', ';')", "t. 1 z. 5 - t. 2 z. 5;"},
        {"AGREGATE('12', '')", "12"},
        {"AGREGATE('99999999999999999999;100000000000000000000', ';')", "100000000000000000000;99999999999999999999;"},
    });
}

TEST(Interpreter, LetterSequences) {
    ExpectAll({
        {"MAK('~5cesky')", "česky"_cp},
        {"MAK('ab~')", "ab"},
        {"MAK('~5')", ""},
        {"MAK('~'\\39'a~'\\39'q')", "á"_cp},
        {"MAK('~,c~9S~1o~2c~4a~5Z~5x')", "çŞôćăŽž"_cp},
        {"MAK('~:u~:q~:r')", "ür"_cp},
        {"MAK('~0x~ss~sx')", "xßx"_cp},
        {"MAK('~^G~^q~^m')", "AC"},
        {"MAK('~Dx~Mq')", "\"x\"q"},
        {"MAK('~Zq')", "Zq"},
        {"MAK('~5~5c')", "č"_cp},
        {"MAK('~~')", ""},
    });
}

TEST(Interpreter, Dates) {
    EXPECT_EQ(DatePlus("", DaysFromCivil(2024, 2, 28)), "20240228");
    EXPECT_EQ(DatePlus("1", DaysFromCivil(2024, 2, 28)), "20240229");
    EXPECT_EQ(DatePlus("2", DaysFromCivil(2023, 12, 31)), "20240102");
    EXPECT_EQ(DatePlus("-366", DaysFromCivil(2024, 12, 31)), "20231231");
    EXPECT_THROW(DatePlus("x", 0), ScriptFailure);
    EXPECT_THROW(DatePlus("2000000000", 0), ScriptFailure);
    const std::int64_t today = DaysFromCivil(2024, 3, 1);
    EXPECT_EQ(Days("20240101", "20240301", today), "60");
    EXPECT_EQ(Days("20240301", "20240101", today), "-60");
    EXPECT_EQ(Days("20230229", "20240302", today), "1");  // no 29 February in 2023: today
    EXPECT_EQ(Days("x", "", today), "0");
    EXPECT_EQ(Days("20241301", "20240302", today), "1");
    // Through the interpreter, against the clock.
    const std::string date = Eval("DATE('')");
    ASSERT_EQ(date.size(), 8u);
    EXPECT_EQ(Eval("DAYS(DATE(''), DATE('10'))"), "10");
    EXPECT_EQ(Eval("DAYS('', DATE('-3'))"), "-3");
    EXPECT_EQ(Eval("TIME('')").size(), 6u);
    EXPECT_EQ(Eval("TIME('7')").size(), 6u);
}

TEST(Interpreter, Random) {
    for (int i = 0; i < 50; ++i) {
        const int n = std::stoi(Eval("RANDOM('3')"));
        EXPECT_TRUE(n >= 0 && n < 3) << n;
    }
    EXPECT_EQ(Eval("RANDOM('0')"), "0");
    EXPECT_EQ(Eval("RANDOM('1')"), "0");
}

TEST(Interpreter, FailuresEndTheRunWithTheirMessage) {
    struct Failure {
        std::string source;
        std::string message;
        std::vector<std::string> printed;
    };
    const std::vector<Failure> cases = {
        {"BEGIN PRINT('before') PRINT(CHR('x')) PRINT('after') END", "INTERPRETE: 'x' is not a valid integer value",
         {"before"}},
        {"BEGIN PRINT(CHR('')) END", "INTERPRETE: '' is not a valid integer value", {}},
        {"BEGIN PRINT(TIME('t')) END", "INTERPRETE: 't' is not a valid integer value", {}},
        {"BEGIN PRINT(RANDOM('r')) END", "INTERPRETE: 'r' is not a valid integer value", {}},
        {"BEGIN PRINT(DIV('1', '2', 'c')) END", "INTERPRETE: 'c' is not a valid integer value", {}},
        {"BEGIN PRINT(DATE('d')) END", "INTERPRETE: 'd' is not a valid integer value", {}},
        {"BEGIN PRINT(FIRST('a', 'b')) END", "INTERPRETE: Abstract Error", {}},
        {"BEGIN PRINT(FIND('a', 'b')) END", "INTERPRETE: Abstract Error", {}},
        {"BEGIN PRINT(NEXT('a', 'b', 'c')) END", "INTERPRETE: Abstract Error", {}},
        {"BEGIN OPEN('a') END", "INTERPRETE: Abstract Error", {}},
    };
    for (const auto& c : cases) {
        const auto run = RunScript(c.source);
        ASSERT_TRUE(run.compiled) << c.source;
        EXPECT_EQ(run.messages, std::vector<std::string>{c.message}) << c.source;
        EXPECT_EQ(run.printed, c.printed) << c.source;
    }
}

TEST(Interpreter, AnInterpreterWithoutAHostHasNoOperations) {
    for (const std::string op : {"POLE", "POZYCJA", "OK", "EDYTOWALNE", "CFG('a')", "LAST('a', 'b')",
                                 "SELECT('a', 'b', 'c')", "REFERENCES('a')", "REFS('a', 'b')", "OMIT('a')"}) {
        auto program = Compile("BEGIN PRINT(" + op + ") END");
        ASSERT_TRUE(program) << op;
        std::vector<std::string> messages;
        EXPECT_TRUE(RunBare(*program, &messages).empty()) << op;
        EXPECT_EQ(messages, std::vector<std::string>{"INTERPRETE: Abstract Error"}) << op;
    }
    auto external = Compile("BEGIN PRINT(EXTERNAL('q')) END");
    TInterpreter interpreter({});
    EXPECT_EQ(interpreter.Run(*external), std::vector<std::string>{""});
    EXPECT_EQ(interpreter.Run(*external, [](const std::string& a) { return "<" + a + ">"; }),
              std::vector<std::string>{"<q>"});
}

TEST(Interpreter, UnknownCodesAreReportedAndSkipped) {
    Program program;
    program.main.resize(3);
    program.main[0].code = 99;
    program.main[1].code = kOpLiteral;
    program.main[1].text = "ok";
    program.main[2].code = kOpPrint;
    std::vector<std::string> messages;
    EXPECT_EQ(RunBare(program, &messages), std::vector<std::string>{"ok"});
    EXPECT_EQ(messages, std::vector<std::string>{"INTERPRETE: nieznana instrukcja 99"});
}

TEST(Interpreter, TraceWithoutASinkLeavesTheStackAsItWas) {
    // 'a' 'b' TRACE PRINT: the traced 'b' leaves the stack, 'a' is printed.
    Program program;
    program.main.resize(4);
    program.main[0].code = kOpLiteral;
    program.main[0].text = "a";
    program.main[1].code = kOpLiteral;
    program.main[1].text = "b";
    program.main[2].code = kOpTrace;
    program.main[3].code = kOpPrint;
    EXPECT_EQ(RunBare(program, nullptr), std::vector<std::string>{"a"});
    std::vector<std::string> messages;
    EXPECT_EQ(RunBare(program, &messages), std::vector<std::string>{"a"});
    EXPECT_EQ(messages, std::vector<std::string>{"b"});
}

TEST(Interpreter, RunawayScriptsEndWithAMessage) {
    struct Runaway {
        std::string source;
        std::string message;
    };
    // Deep nesting inside recursion: few calls, many open blocks.
    std::string nested = "PROCEDURE p BEGIN ";
    for (int i = 0; i < 200; ++i) nested += "IF '' ";
    nested += "p ";
    for (int i = 0; i < 200; ++i) nested += "ENDIF ";
    nested += "END BEGIN p END";
    const std::vector<Runaway> cases = {
        {nested, "INTERPRETE: bloki programu zagnieżdżone głębiej niż 4000"_cp},
        {"BEGIN WHILE '' ENDDO END", "INTERPRETE: skrypt przekroczył limit 100000 kroków"_cp},
        {"BEGIN WHILE '' x = 'a' ENDDO END", "INTERPRETE: skrypt przekroczył limit 100000 kroków"_cp},
        {"PROCEDURE p BEGIN p END BEGIN p END",
         "INTERPRETE: wywołania podprogramów zagnieżdżone głębiej niż 1000"_cp},
        {"PROCEDURE p BEGIN PRINT('x') p END BEGIN p END",
         "INTERPRETE: wywołania podprogramów zagnieżdżone głębiej niż 1000"_cp},
        {"BEGIN x = 'abcdefgh' WHILE '' x = x + x ENDDO END", "INTERPRETE: tekst dłuższy niż 1048576 bajtów"_cp},
        {"BEGIN x = 'a' WHILE '' x = REPLACE(x, 'a', 'aa') ENDDO END",
         "INTERPRETE: tekst dłuższy niż 1048576 bajtów"_cp},
    };
    for (const auto& c : cases) {
        auto program = Compile(c.source);
        ASSERT_TRUE(program) << c.source;
        std::vector<std::string> messages;
        my_record record;
        ACTInterpreter act([&](const std::string& m) { messages.push_back(m); }, record, nullptr);
        act.Limits.steps = 100000;
        act.Limits.textSize = 1u << 20;
        act.Run(*program);
        EXPECT_EQ(messages, std::vector<std::string>{c.message}) << c.source;
    }
}

TEST(Interpreter, VariablesSetBeforeTheRun) {
    auto program = Compile("BEGIN PRINT(LP + HEADER + REKORD) END");
    TInterpreter interpreter({});
    interpreter.SetVariable(1, "1");
    interpreter.SetVariable(3, "3");
    interpreter.SetVariable(0, "ignored");
    interpreter.SetVariable(201, "ignored");
    EXPECT_EQ(interpreter.Run(*program), std::vector<std::string>{"1*** brak wartości ***3"_cp});
    EXPECT_EQ(interpreter.Variable(201), "*** brak wartości ***"_cp);
}

TEST(Numbers, ReadAsTheRunTimeLibraryDoes) {
    struct N {
        std::string text;
        std::optional<std::int64_t> value;
    };
    for (const auto& c : std::vector<N>{{"12", 12},
                                        {"  -12", -12},
                                        {"+7", 7},
                                        {"$1F", 31},
                                        {"0x1f", 31},
                                        {"-$10", -16},
                                        {"", std::nullopt},
                                        {" ", std::nullopt},
                                        {"-", std::nullopt},
                                        {"1 ", std::nullopt},
                                        {"1a", std::nullopt},
                                        {"$", std::nullopt},
                                        {"9223372036854775807", INT64_MAX},
                                        {"-9223372036854775808", INT64_MIN},
                                        {"9223372036854775808", std::nullopt},
                                        {"99999999999999999999999", std::nullopt}}) {
        EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;
    }
}

namespace {

// The described algorithms taken literally (every pair, selection sort), as
// oracles for the fast versions on random inputs.
std::string ReferenceSort(const std::string& a, const std::string& sep) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    for (auto p = a.find(sep); p != std::string::npos; p = a.find(sep, pos)) {
        items.push_back(a.substr(pos, p - pos));
        pos = p + sep.size();
    }
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
        std::size_t least = i;
        for (std::size_t j = i + 1; j < items.size(); ++j)
            if (CollationTable.Compare(items[j], items[least]) < 0) least = j;
        std::swap(items[i], items[least]);
    }
    std::string out;
    for (const auto& item : items) out += item + sep;
    return out;
}

struct RefNumber {
    std::string prefix, suffix;
    long long value;
};

std::string ReferenceAgregate(const std::string& a, const std::string& sep) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    auto take = [&](std::string t) {
        t = Trim(t);
        if (!t.empty()) items.push_back(t);
    };
    for (auto p = a.find(sep); p != std::string::npos; p = a.find(sep, pos)) {
        take(a.substr(pos, p - pos));
        pos = p + sep.size();
    }
    take(a.substr(pos));
    std::stable_sort(items.begin(), items.end());
    const std::size_t n = items.size();
    std::vector<std::vector<RefNumber>> numbers(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t end = items[i].size();
        while (numbers[i].size() < 3) {
            while (end > 0 && !std::isdigit(static_cast<unsigned char>(items[i][end - 1]))) --end;
            if (end == 0) break;
            std::size_t start = end;
            while (start > 0 && std::isdigit(static_cast<unsigned char>(items[i][start - 1]))) --start;
            numbers[i].push_back({items[i].substr(0, start), items[i].substr(end), std::stoll(items[i].substr(start, end - start))});
            end = start;
        }
    }
    std::vector<std::array<int, 3>> pred(n, {-1, -1, -1}), succ(n, {-1, -1, -1});
    for (std::size_t x = 0; x < n; ++x)
        for (std::size_t y = x + 1; y < n; ++y)
            for (std::size_t k = 0; k < std::min(numbers[x].size(), numbers[y].size()); ++k) {
                const auto &nx = numbers[x][k], &ny = numbers[y][k];
                if (nx.prefix != ny.prefix || nx.suffix != ny.suffix) continue;
                int lo, hi;
                if (ny.value == nx.value + 1) lo = int(x), hi = int(y);
                else if (nx.value == ny.value + 1) lo = int(y), hi = int(x);
                else continue;
                if (succ[lo][k] >= 0 || pred[hi][k] >= 0) continue;
                succ[lo][k] = hi;
                pred[hi][k] = lo;
            }
    auto lowest = [&](std::size_t i) {
        for (int k = 0; k < 3; ++k)
            if (pred[i][k] >= 0 || succ[i][k] >= 0) return k;
        return -1;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const int low = lowest(i);
        if (low < 0) continue;
        for (int k = low + 1; k < 3; ++k) {
            if (succ[i][k] >= 0) pred[succ[i][k]][k] = -1;
            if (pred[i][k] >= 0) succ[pred[i][k]][k] = -1;
            succ[i][k] = pred[i][k] = -1;
        }
    }
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        const int k = lowest(i);
        if (k < 0) {
            out += items[i] + sep;
        } else if (pred[i][k] < 0) {
            std::size_t last = i;
            while (succ[last][k] >= 0) last = std::size_t(succ[last][k]);
            const RefNumber& m = numbers[i][k];
            out += m.prefix + std::to_string(m.value) + m.suffix + " - " + m.prefix +
                   std::to_string(numbers[last][k].value) + m.suffix + sep;
        }
    }
    return out;
}

}  // namespace

TEST(Interpreter, SortAndAgregateAgreeWithTheLiteralAlgorithmsOnRandomItems) {
    std::mt19937 random(7);
    // Few distinct pieces, so that items repeat, collate equal (a, A, ą) and link.
    const std::vector<std::string> pieces = {"a", "A", "\xB9", "b", "t. ", " z. ", "1", "2", "3", "4", "10", "07", "x"};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int count = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            const int parts = 1 + static_cast<int>(random() % 4);
            for (int p = 0; p < parts; ++p) text += pieces[random() % pieces.size()];
            text += ";";
        }
        EXPECT_EQ(Sort(text, ";"), ReferenceSort(text, ";")) << text;
        EXPECT_EQ(Agregate(text, ";"), ReferenceAgregate(text, ";")) << text;
    }
}

TEST(Interpreter, WorkOnLongTextsCountsAgainstTheBudget) {
    auto program = Compile(
        "BEGIN x = 'a' i = '0' WHILE GT('20', i) x = x + x i = SUCC(i) ENDDO\n"
        "WHILE '' y = MATCHES(x, '*b*' + x) ENDDO END");
    ASSERT_TRUE(program);
    std::vector<std::string> messages;
    my_record record;
    ACTInterpreter act([&](const std::string& m) { messages.push_back(m); }, record, nullptr);
    act.Limits.steps = 1'000'000;
    act.Run(*program);
    EXPECT_EQ(messages, std::vector<std::string>{"INTERPRETE: skrypt przekroczył limit 1000000 kroków"_cp});
}
