// The import window's Pobierz and Konwertuj through velt-cli, from Zebra
// over the MARC 21 sample into velt-server: the record the editor would
// open, saved into the catalogue and found in its indexes.

#include "ServerTestSupport.h"
#include "support/Z3950Server.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

namespace {

class Z3950ImportServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mCatalogue.Ready()) << mCatalogue.Why();
        if (!mZebra.Installed()) GTEST_SKIP() << mZebra.Why();
        ASSERT_TRUE(mZebra.Ready()) << mZebra.Why();
        const std::string ini = "[Z3950_KATALOG_ZEBRA]\r\nnazwa=Zebra\r\nip=127.0.0.1\r\nport=" +
                                std::to_string(mZebra.Port()) + "\r\nbaza=Default\r\nv=1\r\nq=2\r\n"
                                "[KONWERTER_MARC]\r\ndll=" VELT_EXAMPLE_MODULE "\r\nz=U\r\ndo=K\r\nrodzaj=K\r\ntryb=katalog\r\n";
        mConfig = mDir.Write("VELT_TCP.INI", ini);
    }
    // velt-cli as a librarian with the configuration.
    CliRun Import(const std::string& args) {
        return RunCli("--host 127.0.0.1 --port " + std::to_string(mCatalogue.Port()) +
                      " --user bibliotekarz --password bibliotekarz --config " + mConfig + " z3950 " + args);
    }
    CliRun Browse(const std::string& index, const std::string& from) {
        return RunCli("--host 127.0.0.1 --port " + std::to_string(mCatalogue.Port()) + " browse " + index +
                      " --from '" + from + "' --count 1");
    }

    ServerProcess mCatalogue;
    Z3950Server mZebra{Z3950Server::Kind::Zebra};
    TempDir mDir;
    std::string mConfig;
};

}  // namespace

TEST_F(Z3950ImportServerTest, TakenRecordsOpenAsMarcAndAreIndexedOnceSaved) {
    const CliRun taken =
        Import("--source Z3950_KATALOG_ZEBRA import --row 2 '!' computer --row 1 '@' collins --expr '2*1' --position 1 "
               "--take");
    ASSERT_EQ(taken.status, 0) << taken.err;
    EXPECT_EQ(taken.out.rfind("hits=2\n", 0), 0u) << taken.out;
    // The initial record of kind U (its number read-only) with the MARC fields.
    EXPECT_NE(taken.out.find("\n*001Z.1.1.1.1=   11224466 \n"), std::string::npos) << taken.out;
    EXPECT_NE(taken.out.find("\nL.1=00366nam  22001698a 4500\n"), std::string::npos) << taken.out;
    EXPECT_NE(taken.out.find("\n245Z.1.1.1.1=^aHow to program a computer\n"), std::string::npos) << taken.out;
    EXPECT_EQ(taken.out.find("zapisano="), std::string::npos);

    const CliRun saved = Import("--source Z3950_KATALOG_ZEBRA import --row 2 '!' computer --row 1 '@' collins "
                                "--expr '2*1' --position 1 --take --save");
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_NE(saved.out.find("\nzapisano=U1\n"), std::string::npos) << saved.out;
    const CliRun found = Browse("tytuł", "how to program");
    EXPECT_EQ(found.out.rfind("U1\tHow to program a computer", 0), 0u) << found.out;
    const CliRun record = RunCli("--host 127.0.0.1 --port " + std::to_string(mCatalogue.Port()) +
                                 " --user bibliotekarz --password bibliotekarz record get U1");
    EXPECT_NE(record.out.find("035Z.1.1.1.1=^a(DLC)11224466\n"), std::string::npos) << record.out;
}

TEST_F(Z3950ImportServerTest, ConvertedRecordsBecomeBooksOfTheCatalogue) {
    const CliRun converted = Import("--source Z3950_KATALOG_ZEBRA import --row 2 '!' 'scintillation camera' "
                                    "--position 1 --convert --save");
    ASSERT_EQ(converted.status, 0) << converted.err;
    EXPECT_EQ(converted.out.rfind("hits=1\n", 0), 0u) << converted.out;
    EXPECT_NE(converted.out.find("\n650Z.1.1.1.1=^aRadioisotope scanning ^xData processing ^xCongresses.\n"),
              std::string::npos)
        << converted.out;
    EXPECT_EQ(converted.out.find("L.1="), std::string::npos) << "a book of the catalogue has no leader";
    const auto at = converted.out.find("zapisano=K");
    ASSERT_NE(at, std::string::npos) << converted.out;
    const std::string id = converted.out.substr(at + 9, converted.out.find('\n', at) - at - 9);
    const CliRun found = Browse("tytuł", "computer processing");
    EXPECT_EQ(found.out.rfind(id + "\tComputer processing of dynamic images", 0), 0u) << found.out;
    const CliRun author = Browse("autor", "workshop on computer");
    EXPECT_EQ(author.out.rfind(id + "\t", 0), 0u) << author.out;
}

TEST_F(Z3950ImportServerTest, RefusalsGoToStderr) {
    const CliRun unknown = Import("--source Z3950_KATALOG_NIEMA import --row 2 '!' computer --position 1 --take");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "Brak źródła Z39.50 Z3950_KATALOG_NIEMA\n");
    const CliRun past = Import("--source Z3950_KATALOG_ZEBRA import --row 2 '!' computer --position 11 --take");
    EXPECT_EQ(past.status, 2);
    EXPECT_EQ(past.err, "Wynik nie ma pozycji 11\n");
    const CliRun bad = Import("--source Z3950_KATALOG_ZEBRA import --row 2 '!' computer --expr '1/2' --position 1 --take");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "Niekompletne wyrażenie wyszukiwawcze\n");
    const CliRun usage = Import("--source Z3950_KATALOG_ZEBRA import --row 2 '!' computer --position 1");
    EXPECT_EQ(usage.status, 1);
}
