// The server lookups of action scripts (LAST, SELECT, REFERENCES, CFG)
// against velt-server, and velt-cli script with --host.

#include "ServerTestSupport.h"
#include "catalogue/velt_files.h"
#include "lang/ActionScript.h"
#include "lang/Compiler.h"
#include "text/Wildcard.h"
#include "text/my_record.h"

#include "Fold.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <algorithm>
#include <map>
#include <set>
#include <sys/wait.h>

using namespace velt;
using namespace velt::test;

namespace {

class ScriptLookupsTest : public SharedServerTest {
protected:
    void SetUp() override {
        SharedServerTest::SetUp();
        if (HasFatalFailure()) return;
        walker = Connect(*sServer);
        auto session = std::make_unique<TVeltClient>("127.0.0.1", [](const std::string&, SessionText) {}, sServer->Port());
        files = std::make_unique<velt_files>(std::move(session), false);
        ASSERT_TRUE(files->Ready) << files->ErrorText;
    }
    // What the script prints, one text; the messages go to messages.
    std::string Run(const std::string& expression) {
        std::istringstream in("BEGIN PRINT(" + expression + ") END");
        auto sink = [this](const std::string& m) { messages.push_back(m); };
        ProgramPtr program = CompileOpenText(in, {}, "t", sink);
        if (!program) return "<no program>";
        my_record record;
        const auto printed = RunActionScript(record, program.get(), "", {}, sink, {}, {}, files.get());
        return printed.size() == 1 ? printed[0] : "<" + std::to_string(printed.size()) + " texts>";
    }
    std::unique_ptr<Client> walker;
    std::unique_ptr<velt_files> files;
    std::vector<std::string> messages;
};

std::set<std::string> Split(const std::string& list) {
    std::set<std::string> out;
    std::size_t pos = 0;
    for (auto bar = list.find('|'); bar != std::string::npos; bar = list.find('|', pos)) {
        out.insert(list.substr(pos, bar - pos));
        pos = bar + 1;
    }
    return out;
}

}  // namespace

TEST_F(ScriptLookupsTest, LastGivesTheLastValueWithThePrefix) {
    const auto shelf = WalkIndex(**walker, 21, 5, "SY");
    ASSERT_GT(shelf.size(), 10u);
    EXPECT_EQ(Run("LAST('SY', '')"), shelf.back().items[4]);
    // The last shelf mark beginning with the first one's first three characters.
    const std::string start = shelf.front().items[4].substr(0, 3);
    std::string expected;
    for (const auto& e : shelf)
        if (e.key.rfind(server::Fold(start), 0) == 0) expected = e.items[4];
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Run("LAST('SY', '" + start + "')"), expected);
    EXPECT_EQ(Run("LAST('SY', 'no such shelf')"), "");
    EXPECT_EQ(Run("LAST('XX', '')"), "");
    EXPECT_TRUE(messages.empty());
}

TEST_F(ScriptLookupsTest, SelectCollectsMatchingRecordsAndStops) {
    const auto numbers = WalkIndex(**walker, 21, 5, "NR");
    std::string expected;
    long k1 = 0;  // entries the walk passes: every K1... one, then the first K2 stops it
    for (const auto& e : numbers) {
        if (MatchWildcard("K1?", e.items[6])) expected += e.items[6] + "|";
        k1 += e.items[6].rfind("K1", 0) == 0;
    }
    ASSERT_FALSE(expected.empty());
    const long served = sServer->Count("56");
    EXPECT_EQ(Run("SELECT('', 'NRK1', 'K1?')"), expected);
    EXPECT_EQ(sServer->Count("56") - served, k1) << "the walk stops after the K1 entries";
    EXPECT_EQ(Run("SELECT('K', 'NRK1', 'K1?')"), expected);
    EXPECT_EQ(Run("SELECT('T', 'NRK1', 'K1?')"), "");
    EXPECT_EQ(Run("SELECT('', 'NRK12', 'K12')"), "K12|");
    EXPECT_TRUE(messages.empty());
}

// SELECT over a real heading index: an exact heading gives every record
// filed under it, a pattern every record whose heading it matches.
TEST_F(ScriptLookupsTest, SelectWalksAnIndexByItsHeadings) {
    std::map<std::string, std::set<std::string>> byHeading;
    for (const auto& e : WalkIndex(**walker, 21, 5, "AU"))
        byHeading[e.items[4]].insert(files->ShownIdentifier(e.items[2] + e.items[3]));
    const auto plain = [](const std::string& t) {
        return t.size() > 3 && std::all_of(t.begin(), t.begin() + 3, [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }) &&
               t.find_first_of("'*?\\") == std::string::npos;
    };
    const auto shared = std::find_if(byHeading.begin(), byHeading.end(),
                                     [&](const auto& h) { return h.second.size() > 1 && plain(h.first); });
    ASSERT_NE(shared, byHeading.end());
    const std::string& heading = shared->first;
    EXPECT_EQ(Split(Run("SELECT('', 'AU" + heading + "', '" + heading + "')")), shared->second) << heading;

    const std::string stem = heading.substr(0, 3);
    std::set<std::string> expected;
    for (const auto& [h, ids] : byHeading)
        if (h.rfind(stem, 0) == 0) expected.insert(ids.begin(), ids.end());
    EXPECT_EQ(Split(Run("SELECT('', 'AU" + stem + "', '" + stem + "*')")), expected) << stem;
    EXPECT_TRUE(messages.empty());
}

TEST_F(ScriptLookupsTest, ReferencesListTheRecordsThatPointAtAnAuthority) {
    // A person whose heading no other person shares.
    const auto persons = WalkIndex(**walker, 9, 1, "OS");
    std::map<std::string, int> seen;
    for (const auto& p : persons) ++seen[p.items[3]];
    const auto unique = std::find_if(persons.begin(), persons.end(), [&](const Entry& p) { return seen[p.items[3]] == 1; });
    ASSERT_NE(unique, persons.end());
    const std::string shown = files->ShownIdentifier(unique->items[2]);
    std::set<std::string> expected;
    for (const auto& e : WalkIndex(**walker, 21, 5, "AU"))
        if (e.items[4] == unique->items[3]) expected.insert(files->ShownIdentifier(e.items[2] + e.items[3]));
    const std::string all = Run("REFERENCES('" + shown + "')");
    EXPECT_EQ(Split(all), expected) << shown;
    EXPECT_EQ(Run("REFS('" + shown + "', 'K')"), all);
    EXPECT_EQ(Run("REFS('" + shown + "', 'T')"), "");
    EXPECT_EQ(Run("REFERENCES('nothing')"), "");
    EXPECT_TRUE(messages.empty());
}

TEST_F(ScriptLookupsTest, ConfigReadsTheStatusParameters) {
    EXPECT_EQ(Run("CFG('wersja')"), "2025.01.01");
    EXPECT_EQ(Run("CFG('no such')"), "");
}

TEST_F(ScriptLookupsTest, CliScriptReachesTheServer) {
    char file[] = "/tmp/velt-script-XXXXXX";
    const int fd = ::mkstemp(file);
    const std::string source = "BEGIN PRINT(CFG('wersja')) PRINT(LAST('NR', 'K1')) END";
    ASSERT_EQ(::write(fd, source.data(), source.size()), static_cast<ssize_t>(source.size()));
    ::close(fd);
    const std::string command = ServerProcess::CliPath() + " --host 127.0.0.1 --port " +
                                std::to_string(sServer->Port()) + " script " + file;
    FILE* p = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, got);
    const int status = ::pclose(p);
    std::remove(file);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(out.substr(0, 11), "2025.01.01\n");
    EXPECT_EQ(out.substr(11, 2), "K1");
}

TEST(ScriptLookupsVelt3, ReferencesReadDecimalIdentifiers) {
    ServerProcess::Options o;
    o.kind = "VELT3";
    ServerProcess server(o);
    ASSERT_TRUE(server.Ready()) << server.Why();
    auto walker = Connect(server);
    velt_files files(std::make_unique<TVeltClient>("127.0.0.1", [](const std::string&, SessionText) {}, server.Port()), false);
    ASSERT_TRUE(files.Ready);
    const auto subjects = WalkIndex(**walker, 9, 1, "TH");
    ASSERT_FALSE(subjects.empty());
    const Entry& subject = subjects.front();
    std::set<std::string> expected;
    for (const auto& e : WalkIndex(**walker, 21, 5, "TE"))
        if (e.items[4] == subject.items[3]) expected.insert(files.ShownIdentifier(e.items[2] + e.items[3]));
    std::istringstream in("BEGIN PRINT(REFERENCES('" + files.ShownIdentifier(subject.items[2]) + "')) END");
    std::vector<std::string> messages;
    ProgramPtr program = CompileOpenText(in, {}, "t", [&](const std::string& m) { messages.push_back(m); });
    ASSERT_TRUE(program);
    my_record record;
    const auto printed = RunActionScript(record, program.get(), "", {}, {}, {}, {}, &files);
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(Split(printed[0]), expected);
    EXPECT_FALSE(expected.empty());
}
