#include "lang/EventScripts.h"
#include "text/CpLiteral.h"
#include "text/my_record.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace velt;

namespace {

struct Loaded {
    act_script scripts;
    std::vector<std::string> messages;
};

Loaded Load(const std::string& text) {
    Loaded l;
    std::istringstream in(text);
    l.scripts = LoadEventScripts(in, "ACT-A", [&l](const std::string& m) { l.messages.push_back(m); });
    return l;
}

const char* kFile =
    "{ field events of kind A }\r\n"
    "\r\n"
    "[CHANGE 245Z.1.1.<N>.1]\r\n"
    "BEGIN PRINT('change ' + N) END\r\n"
    "[EXIT 200*] the rest of the header is ignored\r\n"
    "PROCEDURE p BEGIN PRINT('exit') END\r\n"
    "BEGIN p END\r\n"
    "[HELP 245Z.1.1.<N>.<M>]\r\n"
    "BEGIN PRINT(N + '/' + M) END\r\n"
    "[SHOW ?]\r\n"
    "BEGIN PRINT(REKORD) GRUPA('9') POLE = 'shown' BACK END\r\n"
    "\r\n"
    "\r\n";

}  // namespace

TEST(EventScripts, LoadsEntriesInFileOrder) {
    const Loaded l = Load(kFile);
    EXPECT_TRUE(l.messages.empty()) << l.messages[0];
    ASSERT_EQ(l.scripts.size(), 4u) << "blank lines at the end make no entry";
    EXPECT_EQ(l.scripts[0].event, kEventChange);
    EXPECT_EQ(l.scripts[0].pattern, "245Z.1.1.&.1");
    EXPECT_EQ(l.scripts[0].names, std::vector<std::string>{"N"});
    EXPECT_EQ(l.scripts[1].event, kEventExit);
    EXPECT_EQ(l.scripts[1].pattern, "200*");
    EXPECT_EQ(l.scripts[2].event, kEventHelp);
    EXPECT_EQ(l.scripts[2].names, (std::vector<std::string>{"N", "M"}));
    EXPECT_EQ(l.scripts[3].event, kEventShow);
    for (const auto& s : l.scripts) EXPECT_TRUE(s.program);
}

TEST(EventScripts, DispatchesByEventAndPatternWithCaptures) {
    const Loaded l = Load(kFile);
    my_record record("A");
    struct Case {
        int event;
        std::string key;
        std::vector<std::string> printed;
    };
    const std::vector<Case> cases = {
        {kEventChange, "245Z.1.1.3.1", {"change 3"}},
        {kEventChange, "245Z.1.1.3.2", {}},
        {kEventExit, "200A.1.1.1.1", {"exit"}},
        {kEventChange, "200A.1.1.1.1", {}},
        {kEventHelp, "245Z.1.1.3.1", {"3/1"}},
        {kEventHelp, "245Z.1.1.12.7", {"12/7"}},
        {kEventEnter, "245Z.1.1.3.1", {}},
        {kEventShow, "x", {"A-1"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunEvent(l.scripts, "A-1", record, {}, {}, c.event, c.key), c.printed) << c.key;
    EXPECT_EQ(record.GetValue("9.1"), "shown");

    // Captures take the numbers from 4 on by position, even when a
    // placeholder repeats a name or is named like a fixed variable.
    const Loaded named = Load("[HELP 245Z.<N>.<REKORD>.<N>.<M>]\r\nBEGIN PRINT(N + '/' + REKORD + '/' + M) END\r\n");
    EXPECT_EQ(RunEvent(named.scripts, "A-1", record, {}, {}, kEventHelp, "245Z.1.2.3.4"),
              (std::vector<std::string>{"1/A-1/4"}));
}

TEST(EventScripts, MatchesPatternsWithShortestCaptures) {
    struct Case {
        std::string pattern;
        std::string key;
        bool matches;
        std::vector<std::string> captures;
    };
    const std::vector<Case> cases = {
        {"245Z.1.1.&.1", "245Z.1.1.3.1", true, {"3"}},
        {"&.&", "a.b.c", true, {"a", "b.c"}},
        {"&*", "abc", true, {""}},
        {"*&", "abc", true, {"abc"}},
        {"a?c", "abc", true, {}},
        {"a?c", "ac", false, {}},
        {"&x", "abc", false, {}},
        {"", "", true, {}},
        {"", "a", false, {}},
        {std::string(40, '&') + "b", std::string(60, 'a'), false, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> captures;
        EXPECT_EQ(MatchEventPattern(c.pattern, c.key, captures), c.matches) << c.pattern;
        EXPECT_EQ(captures, c.captures) << c.pattern;
    }
}

TEST(EventScripts, BadEntries) {
    const std::string longTag(400, 'X');
    const Loaded l = Load(
        "[CHANGE 245<N.1]\nBEGIN PRINT('dropped') END\n"
        "no event here\n"
        "[EXIT a]\nBEGIN PRINT(5) END\n"
        "[ENTER " + longTag + "<T>]\nBEGIN PRINT(T) END\n");
    ASSERT_GE(l.messages.size(), 1u);
    EXPECT_EQ(l.messages[0], "Błąd we wzorcu \"<N.1\""_cp);
    ASSERT_EQ(l.scripts.size(), 2u);
    EXPECT_EQ(l.scripts[0].pattern, "a");
    EXPECT_FALSE(l.scripts[0].program) << "a script that does not compile has no program";
    EXPECT_EQ(l.scripts[1].pattern, longTag + "&") << "patterns are not cut";
    my_record record;
    EXPECT_TRUE(RunEvent(l.scripts, "", record, {}, {}, kEventExit, "a").empty());
    EXPECT_EQ(RunEvent(l.scripts, "", record, {}, {}, kEventEnter, longTag + "tail"),
              std::vector<std::string>{"tail"});
}

TEST(EventScripts, FilesAndFreeing) {
    test::TempDir dir;
    EXPECT_TRUE(LoadEventScripts("", {}).empty());
    EXPECT_TRUE(LoadEventScripts(dir.Path() + "none", {}).empty());
    act_script scripts = LoadEventScripts(dir.Write("ACT-A", kFile), {});
    EXPECT_EQ(scripts.size(), 4u);
    FreeEventScripts(scripts);
    EXPECT_TRUE(scripts.empty());
}
