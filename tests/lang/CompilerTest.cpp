#include "lang/Compiler.h"
#include "lang/Tokenizer.h"
#include "text/CpLiteral.h"

#include "lang/ScriptHarness.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace velt;
using test::RunScript;
using test::TempDir;

namespace {

std::vector<std::string> CompileMessages(const std::string& source, bool* compiled = nullptr) {
    std::vector<std::string> messages;
    std::istringstream in(source);
    auto program = CompileOpenText(in, {}, "f.txt", [&](const std::string& m) { messages.push_back(m); });
    if (compiled) *compiled = program != nullptr;
    return messages;
}

std::vector<std::string> Tokens(const std::string& source) {
    std::istringstream in(source);
    Tokenizer t(in, "f", {}, {});
    std::vector<std::string> out;
    for (t.Next(); t.Current().kind != TokenKind::End; t.Next()) out.push_back(t.Current().text);
    out.push_back("<end:" + t.Current().text + ">");
    return out;
}

}  // namespace

TEST(Tokenizer, SplitsLiteralsOperatorsAndNames) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Tokens("'a'+'b'"), (V{"a", "+", "b", "<end:>"}));
    EXPECT_EQ(Tokens("'a''b'"), (V{"ab", "<end:>"}));
    EXPECT_EQ(Tokens("'It'\\39's'"), (V{"It's", "<end:>"}));
    EXPECT_EQ(Tokens("\\13\\10"), (V{"\r\n", "<end:>"}));
    EXPECT_EQ(Tokens("\\"), (V{std::string(1, '\0'), "<end:>"}));
    EXPECT_EQ(Tokens("begin Head x_1 # > ! ( ) , ="), (V{"BEGIN", "HEAD", "X_1", "#", ">", "!", "(", ")", ",", "=", "<end:>"}));
    EXPECT_EQ(Tokens("a { comment\n over } b"), (V{"A", "B", "<end:>"}));
    EXPECT_EQ(Tokens("a ; b"), (V{"A", "<end:;>"}));
    EXPECT_EQ(Tokens("'open\n'x'"), (V{"<end:open>"}));
    EXPECT_EQ(Tokens("a\r\nb\r\n"), (V{"A", "B", "<end:>"}));
}

TEST(Tokenizer, NumbersNamesFromFourAfterTheParameters) {
    std::istringstream in("zeta lp Alfa ZETA");
    Tokenizer t(in, "f", {"n", "M"}, {});
    std::vector<int> numbers;
    for (t.Next(); t.Current().kind == TokenKind::Name; t.Next()) numbers.push_back(t.Current().name);
    EXPECT_EQ(numbers, (std::vector<int>{6, 1, 7, 6}));
    EXPECT_EQ(t.Names()[3], "N");
    EXPECT_EQ(t.Names()[4], "M");
}

TEST(Compiler, ReportsEveryErrorWithTheTokenAndTheLine) {
    struct Case {
        std::string source;
        std::vector<std::string> messages;  // the first text of each report
    };
    const std::vector<Case> cases = {
        {"BEGIN END", {}},
        {"BEGIN PRINT('a') END tail that is never read", {}},
        {"BEGIN PRINT(5) END", {"f.txt: Błędne wyrażenie 5 [jest: 5]"_cp}},
        {"BEGIN PRINT(12) END",
         {"f.txt: Błędne wyrażenie 1 [jest: 1]"_cp, "f.txt: Spodziewany ) [jest: 2]", "f.txt: Spodziewany END [jest: 2]"}},
        {"BEGIN WHILE OK PRINT('a') END", {"f.txt: Spodziewane ENDDO [jest: END]"}},
        {"BEGIN IF OK PRINT('a') ELSE PRINT('b') END", {"f.txt: Spodziewane ENDIF [jest: END]"}},
        {"BEGIN POLE 'x' END",
         {"f.txt: Spodziewany znak przypisania polu wartości [jest: x]"_cp, "f.txt: Błędna instrukcja x [jest: x]"_cp}},
        {"BEGIN EDYTOWALNE END", {"f.txt: Spodziewany znak przypisania [jest: END]"}},
        {"BEGIN POZYCJA END", {"f.txt: Spodziewany znak przypisania wartości [jest: END]"_cp}},
        {"BEGIN x END", {"f.txt: Spodziewany znak przypisania [jest: END]"}},
        {"BEGIN ) END", {"f.txt: Błędna instrukcja ) [jest: )]"_cp}},
        {"BEGIN OK END", {"f.txt: Błędna instrukcja OK [jest: OK]"_cp}},
        {"BEGIN x = HEAD END", {"f.txt: Spodziewany  ( [jest: END]"}},
        {"BEGIN x = HEAD('a' 'b') END", {"f.txt: Spodziewany przecinek [jest: b]"}},
        {"BEGIN x = HEAD('a', 'b' END", {"f.txt: Spodziewany ) [jest: END]"}},
        {"BEGIN x = ('a' END", {"f.txt: Spodziewany ) [jest: END]"}},
        {"BEGIN x = + END", {"f.txt: Błędne wyrażenie + [jest: +]"_cp}},
        {"BEGIN PRINT 'a' END", {"f.txt: Spodziewany  ( [jest: a]", "f.txt: Błędna instrukcja a [jest: a]"_cp}},
        {"PRINT('a') END", {"f.txt: Spodziewany BEGIN [jest: PRINT]"}},
        {"BEGIN PRINT('a')", {"f.txt: Spodziewany END [jest: ]"}},
        {"BEGIN { never closed\nPRINT('a') END", {"f.txt: Spodziewany END [jest: ]"}},
        {"", {"f.txt: Spodziewany BEGIN [jest: ]", "f.txt: Spodziewany END [jest: ]"}},
        {"PROCEDURE BEGIN END", {"f.txt: Spodziewana nazwa podprogramu [jest: BEGIN]"}},
        {"PROCEDURE p PRINT('a') END BEGIN END",
         {"f.txt: Spodziewany BEGIN (podprogram} [jest: PRINT]", "f.txt: Spodziewany BEGIN [jest: PRINT]"}},
        {"PROCEDURE p BEGIN PRINT('a')", {"f.txt: Spodziewany END [jest: ]", "f.txt: Spodziewany BEGIN [jest: ]",
                                          "f.txt: Spodziewany END [jest: ]"}},
        {"BEGIN x = \\256 END", {"f.txt: Kod znaku większy niż 255: \\256 [jest: ]"_cp}},
    };
    for (const auto& c : cases) {
        bool compiled = false;
        const auto messages = CompileMessages(c.source, &compiled);
        std::vector<std::string> firsts;
        for (std::size_t i = 0; i < messages.size(); i += 2) firsts.push_back(messages[i]);
        EXPECT_EQ(firsts, c.messages) << c.source;
        EXPECT_EQ(messages.size(), 2 * c.messages.size()) << c.source;
        EXPECT_EQ(compiled, c.messages.empty()) << c.source;
    }
}

TEST(Compiler, TheSecondTextOfAReportIsTheLine) {
    const auto messages = CompileMessages("BEGIN\n  x = 'a'\n  PRINT(x;\nEND");
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], "f.txt: Spodziewany ) [jest: ;]");
    EXPECT_EQ(messages[1], "Linia 3: \"  PRINT(x;\"");
    EXPECT_EQ(messages[2], "f.txt: Spodziewany END [jest: ;]");
}

TEST(Compiler, StopsAtTheLineOfTheMainEnd) {
    std::istringstream in("PROCEDURE p BEGIN PRINT('p') END\nBEGIN p END rest of line\nBEGIN PRINT('second') END\n");
    std::vector<std::string> messages;
    auto sink = [&](const std::string& m) { messages.push_back(m); };
    auto first = CompileOpenText(in, {}, "f", sink);
    auto second = CompileOpenText(in, {}, "f", sink);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(messages.empty());
    my_record record;
    EXPECT_EQ(RunActionScript(record, first.get(), "", {}, sink, {}, {}), std::vector<std::string>{"p"});
    EXPECT_EQ(RunActionScript(record, second.get(), "", {}, sink, {}, {}), std::vector<std::string>{"second"});
}

TEST(Compiler, BuildsPostfixChains) {
    std::istringstream in("BEGIN x = 'a' + y # 'b' END");
    auto p = CompileOpenText(in, {}, "f", {});
    ASSERT_TRUE(p);
    ASSERT_EQ(p->main.size(), 6u);
    const std::vector<int> codes = {kOpLiteral, kOpLoad, kOpConcat, kOpLiteral, kOpNotEqual, kOpStore};
    for (std::size_t i = 0; i < codes.size(); ++i) EXPECT_EQ(p->main[i].code, codes[i]) << i;
    EXPECT_EQ(p->main[1].index, 5);  // x is 4, y is 5
    EXPECT_EQ(p->main[5].index, 4);
}

TEST(Compiler, RejectsMoreNamesThanTheInterpreterHolds) {
    auto source = [](int names) {
        std::string s = "BEGIN\n";
        for (int i = 0; i < names; ++i) s += "v" + std::to_string(i) + " = ''\n";
        return s + "END";
    };
    EXPECT_TRUE(CompileMessages(source(197)).empty());  // with LP, HEADER, REKORD: 200
    const auto messages = CompileMessages(source(199));
    ASSERT_EQ(messages.size(), 2u) << "reported once";
    EXPECT_NE(messages[0].find("Zbyt wiele nazw"), std::string::npos);
    EXPECT_NE(messages[0].find("[jest: V197]"), std::string::npos);
}

TEST(Compiler, LimitsNesting) {
    const std::string deep = "BEGIN x = " + std::string(5000, '(') + "'a'" + std::string(5000, ')') + " END";
    bool compiled = true;
    const auto messages = CompileMessages(deep, &compiled);
    EXPECT_FALSE(compiled);
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages[0].find("Zbyt głębokie zagnieżdżenie"_cp), std::string::npos);
    std::string ifs = "BEGIN ";
    for (int i = 0; i < 5000; ++i) ifs += "IF OK ";
    EXPECT_FALSE(CompileMessages(ifs).empty());
    std::string nots = "BEGIN x = " + std::string(5000, '!') + "'a' END";
    EXPECT_FALSE(CompileMessages(nots).empty());
    EXPECT_TRUE(CompileMessages("BEGIN x = " + std::string(100, '(') + "'a'" + std::string(100, ')') + " END").empty());
}

TEST(CompileScript, NamesAMissingOrEmptyFile) {
    std::vector<std::string> messages;
    auto sink = [&](const std::string& m) { messages.push_back(m); };
    EXPECT_FALSE(CompileScript("", {}, sink));
    EXPECT_FALSE(CompileScript("/nonexistent/s.txt", {}, sink));
    EXPECT_FALSE(CompileScript("/tmp", {}, sink));
    EXPECT_EQ(messages, (std::vector<std::string>{"Pusta nazwa pliku skryptu", "Brak pliku \"/nonexistent/s.txt\"",
                                                  "Brak pliku \"/tmp\""}));
}

TEST(CompileScript, FollowsIncludesRelativeToTheIncludingFile) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path() + "sub");
    dir.Write("sub/inner.txt", "PRINT('inner')\n");
    dir.Write("sub/part.txt", "PRINT('part')\n  [PLIK inner.txt]  \nPRINT('after')\n");
    const std::string main = dir.Write("main.txt",
        "BEGIN\n[PLIK sub\\part.txt]\n{ a comment\n[PLIK missing.txt]\n}\nPRINT('main')\n"
        "{[PLIK not-an-include.txt]}\nEND\n");
    std::vector<std::string> messages;
    auto program = CompileScript(main, {}, [&](const std::string& m) { messages.push_back(m); });
    ASSERT_TRUE(program) << (messages.empty() ? "" : messages[0]);
    EXPECT_EQ(messages, std::vector<std::string>{main + ": brak pliku \"" + dir.Path() + "missing.txt\""});
    my_record record;
    EXPECT_EQ(RunActionScript(record, program.get(), "", {}, {}, {}, {}),
              (std::vector<std::string>{"part", "inner", "after", "main"}));
}

TEST(CompileScript, ReportsErrorsInIncludesWithTheirOwnLines) {
    TempDir dir;
    dir.Write("inc.txt", "\nx = 1 + 'a'\n");
    const std::string main = dir.Write("main.txt", "BEGIN\n[PLIK inc.txt]\nx = 2 + 'b'\nEND\n");
    std::vector<std::string> messages;
    EXPECT_FALSE(CompileScript(main, {}, [&](const std::string& m) { messages.push_back(m); }));
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], dir.Path() + "inc.txt: Błędne wyrażenie 1 [jest: 1]"_cp);
    EXPECT_EQ(messages[1], "Linia 2: \"x = 1 + 'a'\"");
    EXPECT_EQ(messages[2], main + ": Błędne wyrażenie 2 [jest: 2]"_cp);
    EXPECT_EQ(messages[3], "Linia 3: \"x = 2 + 'b'\"");
}

TEST(CompileScript, StopsIncludesThatLoopOrNestTooDeep) {
    TempDir dir;
    dir.Write("a.txt", "[PLIK b.txt]\n");
    dir.Write("b.txt", "[PLIK a.txt]\n");
    const std::string looping = dir.Write("loop.txt", "BEGIN\n[PLIK a.txt]\nEND\n");
    const std::string self = dir.Write("self.txt", "BEGIN\n[PLIK self.txt]\nEND\n");
    for (int i = 0; i < 30; ++i)
        dir.Write("d" + std::to_string(i) + ".txt", "[PLIK d" + std::to_string(i + 1) + ".txt]\n");
    dir.Write("d30.txt", "PRINT('deep')\n");
    const std::string deep = dir.Write("deep.txt", "BEGIN\n[PLIK d0.txt]\nEND\n");
    for (const auto& [file, text] : std::vector<std::pair<std::string, std::string>>{
             {looping, "Zapętlone dołączanie"_cp}, {self, "Zapętlone dołączanie"_cp},
             {deep, "Zbyt głęboko zagnieżdżone pliki"_cp}}) {
        std::vector<std::string> messages;
        EXPECT_FALSE(CompileScript(file, {}, [&](const std::string& m) { messages.push_back(m); })) << file;
        ASSERT_EQ(messages.size(), 2u) << file;
        EXPECT_NE(messages[0].find(text), std::string::npos) << messages[0];
    }
}

TEST(CompileScript, AMissingIncludeAloneStillCompiles) {
    TempDir dir;
    const std::string main = dir.Write("m.txt", "BEGIN\n[PLIK nothing.txt]\nPRINT('x')\nEND\n");
    std::vector<std::string> messages;
    auto program = CompileScript(main, {}, [&](const std::string& m) { messages.push_back(m); });
    EXPECT_TRUE(program);
    EXPECT_EQ(messages.size(), 1u);
}
