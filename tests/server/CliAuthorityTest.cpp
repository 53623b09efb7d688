// velt-cli authority and reference against velt-server: the authority
// files of the descriptor, their entries with the tags the lookup reads,
// what the lookup window returns, and reference texts.

#include "ServerTestSupport.h"

#include <gtest/gtest.h>

using namespace velt::test;

TEST(CliAuthority, FilesEntriesLookupsAndReferenceTexts) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    const std::string where = "--host 127.0.0.1 --port " + std::to_string(server.Port()) + " ";
    const CliRun files = RunCli(where + "authority files");
    EXPECT_EQ(files.status, 0) << files.err;
    EXPECT_EQ(files.out, "O\tOsoby\tnazwisko\t9\t2\tOS\nT\tTematy\thasło przedmiotowe\t9\t2\tTH\n");

    const CliRun browse = RunCli(where + "authority browse KHWO --from 'Głow' --count 1");
    ASSERT_EQ(browse.status, 0) << browse.err;
    // term, key, full, open, display: the see-reference stands for Prus.
    EXPECT_EQ(browse.out.rfind("Głowacki, Aleksander\t^aPrus, Bolesław ^d1847-1912 ^9O", 0), 0u) << browse.out;
    EXPECT_NE(browse.out.find("zob. Prus, Bolesław"), std::string::npos) << browse.out;
    const CliRun values = RunCli(where + "authority browse WY --count 2");
    EXPECT_EQ(values.status, 0) << values.err;
    EXPECT_EQ(std::count(values.out.begin(), values.out.end(), '\n'), 2);

    const CliRun key = RunCli(where + "authority lookup --mode K KHWO 'Głowacki'");
    EXPECT_EQ(key.status, 0) << key.err;
    EXPECT_EQ(key.out.rfind("result=^aPrus, Bolesław ^d1847-1912 ^9O", 0), 0u) << key.out;
    const CliRun second = RunCli(where + "authority lookup --mode K KHWO 'Prus' --pick 2");
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out.find("Prus, Bolesław"), std::string::npos) << "the second entry is another heading";
    const CliRun full = RunCli(where + "authority lookup --mode F KHWT 'Poezja'");
    EXPECT_EQ(full.out.rfind("result=^aPoezja ^9T", 0), 0u) << full.out;
    const CliRun list = RunCli(where + "authority lookup --mode F WY 'Czyt'");
    EXPECT_EQ(list.out, "result=Czytelnik\n") << "a value list's full value is its heading";
    const CliRun none = RunCli(where + "authority lookup --mode K KHWO 'Żżżż'");
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err, "Nie znaleziono hasła\n");
    EXPECT_EQ(RunCli(where + "authority lookup --mode Q KHWO x").status, 1);

    const CliRun prus = RunCli(where + "authority lookup --mode K KHWO 'Prus'");
    const std::string id = prus.out.substr(prus.out.rfind("^9") + 2, prus.out.size() - prus.out.rfind("^9") - 3);
    const CliRun reference = RunCli(where + "reference " + id);
    EXPECT_EQ(reference.status, 0) << reference.err;
    EXPECT_EQ(reference.out, "Prus, Bolesław\nzob. też: Głowacki, Aleksander\n");
    EXPECT_EQ(RunCli(where + "reference K3 --type brak").out, "** K3 **\n");
    const CliRun components = RunCli(where + "reference K3 --type skladniki");
    EXPECT_EQ(components.out.rfind("+", 0), 0u) << components.out;
    EXPECT_NE(components.out.find("\n+Autorzy|\n-"), std::string::npos) << components.out;
    EXPECT_EQ(RunCli(where + "reference K999999").status, 2);
}
