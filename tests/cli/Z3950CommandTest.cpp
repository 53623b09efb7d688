// velt-cli z3950 against yaz-ztest and Zebra, and velt-cli marc over the
// MARC 21 sample, whole and with a broken record among sound ones.

#include "support/TempDir.h"
#include "support/Tool.h"
#include "support/Z3950Server.h"

#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace velt;

namespace {

// Output and error text of velt-cli, with "rc=N" as the last line.
std::string RunCli(const std::string& args) {
    const auto out = test::RunTool("(" + std::string(VELT_CLI) + " " + args + " 2>&1; echo rc=$?)", "");
    return out ? *out : "";
}

int CountLines(const std::string& text, const std::string& prefix) {
    std::istringstream in(text);
    int n = 0;
    for (std::string line; std::getline(in, line);) n += line.rfind(prefix, 0) == 0;
    return n;
}

}  // namespace

TEST(Z3950Command, FindShowAndScanAgainstYazZtest) {
    test::Z3950Server server(test::Z3950Server::Kind::YazZtest);
    if (!server.Installed()) GTEST_SKIP() << server.Why();
    ASSERT_TRUE(server.Ready()) << server.Why();
    const std::string target = "z3950 --target " + server.Target("Default");

    const std::string found = RunCli(target + " find 4 40 --show 3");
    EXPECT_EQ(found.rfind("hits=40\nL.1=", 0), 0u) << found;
    EXPECT_EQ(CountLines(found, "L.1="), 3);
    EXPECT_NE(found.find("\n\nL.1="), std::string::npos);
    EXPECT_NE(found.find("rc=0"), std::string::npos);

    const std::string login = RunCli(target + " --user ala --password kot find 4 7");
    EXPECT_EQ(login, "hits=7\nrc=0\n");

    const std::string scanned = RunCli(target + " scan 4 computer --count 3");
    EXPECT_EQ(scanned, "CALCULUS\t18\nCOMPUTER\t21\nDATA\t24\nrc=0\n");

    const std::string refused = RunCli("z3950 --target " + server.Target("Nope") + " find 4 x");
    EXPECT_EQ(refused, "Błąd - diagnostyka 109: Nope\nrc=2\n");

    EXPECT_NE(RunCli("z3950 --target 127.0.0.1:1/Default find 4 x").find("rc=3"), std::string::npos);
    EXPECT_NE(RunCli("z3950 --target nowhere find 4 x").find("rc=1"), std::string::npos);
}

TEST(Z3950Command, FindAndScanAgainstZebra) {
    test::Z3950Server server(test::Z3950Server::Kind::Zebra);
    if (!server.Installed()) GTEST_SKIP() << server.Why();
    ASSERT_TRUE(server.Ready()) << server.Why();
    const std::string target = "z3950 --target " + server.Target("Default");
    const std::string found = RunCli(target + " find 4 computer --show 10");
    EXPECT_EQ(found.rfind("hits=10\n", 0), 0u) << found;
    EXPECT_EQ(CountLines(found, "L.1="), 10);
    EXPECT_EQ(CountLines(found, "245Z.1.1.1.1="), 10);
    EXPECT_NE(found.find("rc=0"), std::string::npos);
    const std::string unsupported = RunCli(target + " find 9999 computer");
    EXPECT_EQ(unsupported, "Błąd - diagnostyka 114: 9999\nrc=2\n");
    const std::string scanned = RunCli(target + " scan 4 computer --count 3");
    EXPECT_NE(scanned.find("computer\t10\n"), std::string::npos) << scanned;
}

// The import window's query over Zebra: every expression's hits agree with
// yaz-client searching the prefix notation velt-cli prints for it, and the
// expression's faults are refused with the window's texts.
TEST(Z3950Command, QueryFormExpressionsAgreeWithYazClient) {
    test::Z3950Server server(test::Z3950Server::Kind::Zebra);
    if (!server.Installed()) GTEST_SKIP() << server.Why();
    ASSERT_TRUE(server.Ready()) << server.Why();
    if (!test::HaveTool("yaz-client")) GTEST_SKIP() << "yaz-client is not installed (package yaz)";
    const std::string target = "z3950 --target " + server.Target("Default") + " query ";
    const std::string rows = "--row 1 '@' collins --row 2 '!' computer --row 3 '&' congresses --row 4 '!' program ";
    struct Case {
        const char* expression;
        const char* pqf;
    } cases[] = {
        {"", "@and @and @and @attr 1=1003 collins @attr 1=4 computer @attr 1=21 @attr 2=3 congresses @attr 1=4 program"},
        {"2", "@attr 1=4 computer"},
        {"2*1", "@and @attr 1=4 computer @attr 1=1003 collins"},
        {"2/1", "@not @attr 1=4 computer @attr 1=1003 collins"},
        {"1+3*2", "@or @attr 1=1003 collins @and @attr 1=21 @attr 2=3 congresses @attr 1=4 computer"},
        {"(1+3)*2", "@and @or @attr 1=1003 collins @attr 1=21 @attr 2=3 congresses @attr 1=4 computer"},
        {"2*4", "@and @attr 1=4 computer @attr 1=4 program"},
    };
    int nonEmpty = 0;
    for (const auto& c : cases) {
        const std::string out = RunCli(target + rows + "--pqf --expr '" + c.expression + "'");
        std::istringstream lines(out);
        std::string pqf, hits;
        std::getline(lines, pqf);
        std::getline(lines, hits);
        EXPECT_EQ(pqf, c.pqf) << c.expression;
        ASSERT_EQ(hits.rfind("hits=", 0), 0u) << out;
        const auto yaz = test::RunTool("yaz-client", "open tcp:" + server.Target("Default") + "\nfind " + pqf + "\nquit\n");
        ASSERT_TRUE(yaz) << c.expression;
        const auto at = yaz->find("Number of hits: ");
        ASSERT_NE(at, std::string::npos) << *yaz;
        EXPECT_EQ(hits.substr(5), yaz->substr(at + 16, yaz->find(',', at) - at - 16)) << c.expression;
        nonEmpty += hits != "hits=0";
    }
    EXPECT_GE(nonEmpty, 4) << "the cases find something";
    // The window's error texts, exit 2; an empty form, exit 2.
    EXPECT_EQ(RunCli(target + rows + "--expr '1*7'"), "Błąd w wyrażeniu \"7\nrc=2\n");
    EXPECT_EQ(RunCli(target + "--row 1 '@' '' --row 2 '!' computer --expr '1/2'"),
              "Niekompletne wyrażenie wyszukiwawcze\nrc=2\n");
    EXPECT_EQ(RunCli(target + rows + "--expr '(1+2'"), "Spodziewany znak \")\"\nrc=2\n");
    EXPECT_EQ(RunCli(target + "--row 1 '@' ''"), "Zapytanie nie ma kryteriów\nrc=2\n");
    EXPECT_NE(RunCli(target + "--row 7 '@' x").find("rc=1"), std::string::npos);
    EXPECT_NE(RunCli(target + "--row 1 '%' x").find("rc=1"), std::string::npos);
    // Searched in UTF-8 and as it is, an ASCII term finds the same.
    EXPECT_EQ(RunCli(target + "--row 2 '!' computer --search-charset 0"), "hits=10\nrc=0\n");
    EXPECT_EQ(RunCli(target + "--row 2 '!' computer --search-charset 2 --show 1").rfind("hits=10\nL.1=", 0), 0u);
}

TEST(MarcCommand, SampleAgreesWithYazMarcdumpAndBrokenRecordsAreSkipped) {
    test::TempDir dir;
    const std::string file = dir.Path() + "sample.mrc";
    if (!test::Z3950Server::WriteMarcSample(file))
        GTEST_SKIP() << "the MARC 21 sample is not installed (package idzebra-2.0-examples)";
    const std::string whole = RunCli("marc " + file);
    EXPECT_EQ(CountLines(whole, "L.1="), 24);
    EXPECT_NE(whole.find("\nrc=0\n"), std::string::npos);
    if (test::HaveTool("yaz-marcdump")) {
        // Every leader yaz shows, in the same order.
        const auto yaz = test::RunTool("yaz-marcdump -o line '" + file + "'", "");
        ASSERT_TRUE(yaz);
        std::istringstream theirs(*yaz), ours(whole);
        std::string line;
        std::vector<std::string> a, b;
        bool next = true;
        while (std::getline(theirs, line)) {
            if (line.rfind("(", 0) == 0) continue;  // yaz's warning about a leader
            if (next && !line.empty()) a.push_back(line);
            next = line.empty();
        }
        while (std::getline(ours, line))
            if (line.rfind("L.1=", 0) == 0) b.push_back(line.substr(4));
        ASSERT_EQ(a.size(), 24u);
        ASSERT_EQ(b.size(), 24u);
        // The last record is danMARC: yaz writes "450 " for its "45  ".
        EXPECT_EQ(std::vector<std::string>(a.begin(), a.end() - 1), std::vector<std::string>(b.begin(), b.end() - 1));
        EXPECT_EQ(b.back(), "00725nam0 2200253   45  ");
    }
    // The third record's directory made to point outside it.
    std::string bytes = test::TempDir::Read(file);
    std::size_t third = 0;
    for (int i = 0; i < 2; ++i) third += std::stoul(bytes.substr(third, 5));
    bytes.replace(third + 24 + 7, 5, "99999");
    const std::string broken = RunCli("marc " + dir.Write("broken.mrc", bytes));
    EXPECT_EQ(CountLines(broken, "L.1="), 24);
    EXPECT_NE(broken.find("record 3: Błędna struktura rekordu MARC"), std::string::npos) << broken;
    EXPECT_NE(broken.find("\nrc=2\n"), std::string::npos);
}

// A display program for the sample's books: one line per record with the kind
// letter and the title; a program that does not compile stops the command.
TEST(MarcCommand, FormatProgramShowsEveryRecordOfItsKind) {
    test::TempDir dir;
    const std::string file = dir.Path() + "sample.mrc";
    if (!test::Z3950Server::WriteMarcSample(file))
        GTEST_SKIP() << "the MARC 21 sample is not installed (package idzebra-2.0-examples)";
    const std::string script =
        dir.Write("titles.txt", "BEGIN GRUPA('245Z') PRINT(REKORD + ': ' + POLE) BACK END\n");
    const std::string shown = RunCli("marc " + file + " --format U=" + script);
    EXPECT_EQ(CountLines(shown, "U: ^a"), 24) << shown;
    EXPECT_EQ(CountLines(shown, "L.1="), 0);
    EXPECT_NE(shown.find("U: ^aThe use of passwords for controlled access to computer resources /"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("\nrc=0\n"), std::string::npos);

    const std::string bad = RunCli("marc " + file + " --format U=" + dir.Write("bad.txt", "BEGIN PRINT( END\n"));
    EXPECT_NE(bad.find("Linia 1"), std::string::npos) << bad;
    EXPECT_NE(bad.find("\nrc=2\n"), std::string::npos);
    EXPECT_EQ(CountLines(bad, "U: "), 0);
}

TEST(Z3950Command, SeveralTargetsOneLineEach) {
    test::Z3950Server yaz(test::Z3950Server::Kind::YazZtest);
    test::Z3950Server zebra(test::Z3950Server::Kind::Zebra);
    if (!yaz.Installed() || !zebra.Installed()) GTEST_SKIP() << yaz.Why() << zebra.Why();
    ASSERT_TRUE(yaz.Ready() && zebra.Ready()) << yaz.Why() << zebra.Why();
    const std::string sru = "http://127.0.0.1:" + std::to_string(yaz.Port()) + "/Default";
    const std::string out = RunCli("z3950 --targets " + yaz.Target("Default") + "," + zebra.Target("Default") + "," +
                                   sru + " query --row 1 '!' computer --timeout 3000");
    EXPECT_EQ(out, yaz.Target("Default") + "\thits=23\n" + zebra.Target("Default") + "\thits=10\n" + sru +
                       "\thits=19\nrc=0\n");
    // A target nobody serves is said on its line, and the exit code says a target failed.
    const std::string failed =
        RunCli("z3950 --targets " + yaz.Target("Default") + ",127.0.0.1:1/x query --row 1 '!' computer");
    EXPECT_EQ(failed.rfind(yaz.Target("Default") + "\thits=23\n127.0.0.1:1/x\tBłąd połączenia", 0), 0u) << failed;
    EXPECT_NE(failed.find("rc=2"), std::string::npos);
    for (const char* bad : {"z3950 --targets 127.0.0.1:1/x,nohost query --row 1 '!' a",
                            "z3950 --targets 127.0.0.1:1/x find 4 a"})
        EXPECT_NE(RunCli(bad).find("usage:"), std::string::npos) << bad;
}

TEST(SruCommand, QueryWithItsCqlRecordsAndUsage) {
    test::Z3950Server yaz(test::Z3950Server::Kind::YazZtest);
    if (!yaz.Installed()) GTEST_SKIP() << yaz.Why();
    ASSERT_TRUE(yaz.Ready()) << yaz.Why();
    const std::string url = "sru --url http://127.0.0.1:" + std::to_string(yaz.Port()) + "/Default";
    const std::string out = RunCli(url + " query --row 1 '!' computer --row 2 @ 'Żółw' --expr '1/2' --cql --show 2");
    EXPECT_EQ(out.rfind("(dc.title=\"computer\" not dc.creator=\"Żółw\")\nhits=", 0), 0u) << out;
    EXPECT_EQ(CountLines(out, "245Z.1.1.1.1=^aHow to program a computer"), 2) << out;
    EXPECT_NE(out.find("rc=0"), std::string::npos);
    const std::string v11 = RunCli(url + " --sru-version 1.1 query --row 1 '!' computer");
    EXPECT_EQ(v11, "hits=19\nrc=0\n");
    EXPECT_NE(RunCli(url + " query --row 1 '!' x --expr '1+'").find("Niekompletne"), std::string::npos);
    EXPECT_NE(RunCli("sru --url http://127.0.0.1:1/x query --row 1 '!' x").find("rc=2"), std::string::npos);
    for (const char* bad : {"sru query --row 1 '!' x", "sru --url http://h/x --sru-version 2.0 query --row 1 '!' x",
                            "sru --url http://h/x scan '?' x"})
        EXPECT_NE(RunCli(bad).find("usage:"), std::string::npos) << bad;
}
