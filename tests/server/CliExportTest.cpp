// velt-cli export against velt-server: a record, a query's records and a
// saved collection file written as MARC 21 in UTF-8 and MARC-8 and as
// MARCXML, each read back by yaz-marcdump: as many records as were asked for,
// every field of the catalogue's record in it, the MARC-8 file the same text
// as the UTF-8 one.

#include "ServerTestSupport.h"
#include "support/TempDir.h"
#include "support/Tool.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace velt::test;

namespace {

class CliExportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ServerProcess::Options o;
        o.records = 50;
        sServer = new ServerProcess(o);
    }
    static void TearDownTestSuite() {
        delete sServer;
        sServer = nullptr;
    }
    void SetUp() override {
        if (!HaveTool("yaz-marcdump")) GTEST_SKIP() << "yaz-marcdump is not installed";
        ASSERT_TRUE(sServer->Ready()) << sServer->Why();
    }
    static CliRun Cli(const std::string& args, bool login = false) {
        std::string command = "--host 127.0.0.1 --port " + std::to_string(sServer->Port());
        if (login) command += " --user bibliotekarz --password bibliotekarz";
        return RunCli(command + " " + args);
    }
    static std::string Dump(const std::string& options, const std::string& file) {
        return RunTool("yaz-marcdump " + options + " '" + file + "'", "").value_or("");
    }
    static int Records(const std::string& lineDump) {
        // Every record of the line format begins with its leader.
        int n = 0;
        std::istringstream in(lineDump);
        for (std::string l; std::getline(in, l);) n += l.size() == 24 && l.find_first_not_of("0123456789") == 5;
        return n;
    }
    static inline ServerProcess* sServer = nullptr;
};

std::string Arg(const std::string& s) { return "'" + s + "'"; }

// The line yaz-marcdump prints for a field of the catalogue: "TTT II $a x $b y".
std::string DumpLine(const std::string& tag, const std::string& data) {
    std::string out = tag + "    ";
    std::string text = data[0] == '^' ? data : "^a" + data;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '^' && i + 1 < text.size()) {
            if (out.back() == ' ' && i > 0) out.pop_back();
            out += (i > 0 ? " $" : "$") + std::string(1, text[i + 1]) + " ";
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

}  // namespace

TEST_F(CliExportTest, OneRecordHoldsEveryFieldOfTheCatalogues) {
    TempDir dir;
    const std::string file = dir.Path() + "k5.mrc";
    const CliRun r = Cli("export --record K5 --format marc --out " + file);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "zapisano=1\n");
    const std::string dump = Dump("", file);
    EXPECT_EQ(Records(dump), 1) << dump;
    EXPECT_NE(dump.find("\n001 K5\n"), std::string::npos) << dump;
    const CliRun record = Cli("record get K5", true);
    ASSERT_EQ(record.status, 0) << record.err;
    std::istringstream in(record.out);
    int fields = 0;
    for (std::string line; std::getline(in, line);) {
        // The data of every field (working fields "*" aside).
        if (line.size() < 14 || line[0] == '*' || line[3] != 'Z') continue;
        ++fields;
        const std::string expected = DumpLine(line.substr(0, 3), line.substr(line.find('=') + 1));
        EXPECT_NE(dump.find(expected), std::string::npos) << expected << "\n" << dump;
    }
    EXPECT_GT(fields, 5);
}

TEST_F(CliExportTest, AQuerysRecordsInEveryFormatReadBackAlike) {
    const CliRun query = Cli("query elementary tytuł poczatek lub a");
    ASSERT_EQ(query.status, 0) << query.err;
    const std::string text = query.out.substr(0, query.out.size() - 1);
    const CliRun found = Cli("search " + Arg(text));
    ASSERT_EQ(found.status, 0) << found.err;
    const std::string count = found.out.substr(found.out.find("liczba=") + 7, found.out.find('\n', found.out.find("liczba=")) - found.out.find("liczba=") - 7);
    ASSERT_GT(std::stoi(count), 1);

    TempDir dir;
    std::string dumps[3];
    const char* formats[] = {"marc", "marc8", "marcxml"};
    // MARC-8 writes letters with their marks apart: compared composed (uconv).
    const char* readers[] = {"", "-f MARC-8 -t UTF-8", "-i marcxml"};
    for (int i = 0; i < 3; ++i) {
        const std::string file = dir.Path() + formats[i];
        const CliRun r = Cli("export --remote " + Arg(text) + " --format " + formats[i] + " --out " + file);
        ASSERT_EQ(r.status, 0) << formats[i] << ": " << r.err;
        EXPECT_EQ(r.out, "zapisano=" + count + "\n");
        dumps[i] = RunTool("yaz-marcdump " + std::string(readers[i]) + " '" + file + "' | uconv -x any-nfc", "")
                       .value_or("");
        EXPECT_EQ(Records(dumps[i]), std::stoi(count)) << formats[i] << "\n" << dumps[i];
    }
    // The same text whatever the file's character set; only the leaders' charset and lengths differ.
    auto body = [](const std::string& dump) {
        std::istringstream in(dump);
        std::string out;
        for (std::string l; std::getline(in, l);)
            if (!(l.size() == 24 && l.find_first_not_of("0123456789") == 5)) out += l + "\n";
        return out;
    };
    EXPECT_EQ(body(dumps[1]), body(dumps[0]));
    EXPECT_EQ(body(dumps[2]), body(dumps[0]));
    EXPECT_NE(dumps[0].find("ó"), std::string::npos);  // Polish letters came through
}

TEST_F(CliExportTest, ASavedCollectionAndWhatIsLeftOut) {
    TempDir dir;
    const std::string list = dir.Write("kolekcja.num", "K5\r\nK999\r\nK7\r\n");
    const std::string file = dir.Path() + "out.xml";
    const CliRun r = Cli("export --local " + list + " --format marcxml --out " + file);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "zapisano=2\n");
    EXPECT_NE(r.err.find("K999"), std::string::npos) << r.err;
    EXPECT_EQ(Records(Dump("-i marcxml", file)), 2);

    // Nothing to write: the file that was there stays as it was.
    const std::string none = dir.Write("none.num", "K999\r\n");
    const std::string kept = dir.Write("kept.mrc", "stare");
    const CliRun empty = Cli("export --local " + none + " --format marc --out " + kept);
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(TempDir::Read(kept), "stare");
    const CliRun nowhere = Cli("export --record K5 --format marc --out " + dir.Path() + "no/such/dir.mrc");
    EXPECT_EQ(nowhere.status, 2);
    EXPECT_FALSE(nowhere.err.empty());

    for (const char* bad : {"export --record K5 --format iso --out x", "export --record K5 --format marc",
                            "export --record K5 --local x --format marc --out x", "export --format marc --out x"})
        EXPECT_EQ(Cli(bad).status, 1) << bad;  // usage
}
