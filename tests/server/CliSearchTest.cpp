// velt-cli search and velt-cli query against velt-server: the query the
// elementary window would send, sent, and its collection shown.

#include "ServerTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

using namespace velt::test;

namespace {

CliRun Cli(const std::string& args) { return RunCli(args); }

std::string Arg(const std::string& s) { return "'" + s + "'"; }

}  // namespace

TEST(CliSearch, QueriesComposedAsTheWindowDoesAndSent) {
    ServerProcess::Options o;
    o.records = 200;
    ServerProcess server(o);
    ASSERT_TRUE(server.Ready()) << server.Why();
    const std::string where = "--host 127.0.0.1 --port " + std::to_string(server.Port());
    const CliRun q = Cli(where + " query elementary autor poczatek lub Kowal Nowak --then rowny i x");
    EXPECT_EQ(q.status, 0) << q.err;
    EXPECT_EQ(q.out, "SORTUJ \"\" \"autor\" ( POCZĄTEK \"Kowal\"  LUB  POCZĄTEK \"Nowak\")  I  RÓWNY \"x\"\n");
    const CliRun sorted = Cli(where + " query elementary tytuł --sort 1 slowo lub 'a\"b(c)\\'");
    EXPECT_EQ(sorted.status, 0) << sorted.err;
    EXPECT_NE(sorted.out.find("\"tytuł\"  SŁOWO \"a\\\"b\\(c\\)\\\\\""), std::string::npos) << sorted.out;
    const CliRun empty = Cli(where + " query elementary autor");
    EXPECT_EQ(empty.out, "SORTUJ \"\" \"autor\" \n") << "OK on empty memos";
    EXPECT_EQ(Cli(where + " query elementary autor zle lub x").status, 1);
    EXPECT_EQ(Cli(where + " query elementary brak rowny lub x").status, 2);

    // What the query command prints, the search command sends.
    const CliRun word = Cli(where + " query elementary tytuł slowo lub histori");
    ASSERT_EQ(word.status, 0);
    std::string text = word.out.substr(0, word.out.size() - 1);
    const CliRun found = Cli(where + " search " + Arg(text) + " --show 3");
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out.rfind("kolekcja=", 0), 0u) << found.out;
    EXPECT_NE(found.out.find("\nliczba="), std::string::npos);
    int lines = 0;
    for (char c : found.out) lines += c == '\n';
    EXPECT_GE(lines, 3);
    // A text ending in a backslash cannot escape its closing quote.
    const CliRun slash = Cli(where + " search " + Arg("\"autor\" RÓWNY \"x\\\\\""));
    EXPECT_EQ(slash.status, 0) << slash.err;
    // The server's own error goes to stderr.
    const CliRun bad = Cli(where + " search " + Arg("\"nieznany\" RÓWNY \"x\""));
    EXPECT_EQ(bad.status, 2);
    EXPECT_FALSE(bad.err.empty());
    // Filters set first (the catalogue has four, the last one fixed).
    const CliRun filtered = Cli(where + " search " + Arg(text) + " --filters TNTn");
    EXPECT_EQ(filtered.status, 0) << filtered.err;
    const CliRun refused = Cli(where + " search " + Arg(text) + " --filters TNTT");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("nie może być zmieniony"), std::string::npos) << refused.err;
}
