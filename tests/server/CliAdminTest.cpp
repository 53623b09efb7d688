// velt-cli modify and delete run as programs against velt-server: a program
// file (Windows-1250) run over one record, a "*.num" file's records and a
// query's collection; a program failing on one record changing none, its
// reason on stderr with exit code 2; the administrator's right; and global
// deletion line by line, the file keeping the records that stay.

#include "ServerTestSupport.h"
#include "Identifiers.h"
#include "Seeder.h"
#include "Sqlite.h"
#include "net/RecordRequests.h"
#include "support/TempDir.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

namespace {

const server::Identifiers kIds(server::DbKind::Velt2, server::kRecordLetters);

class CliAdminTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ServerProcess::Options o;
        o.records = 120;
        sServer = new ServerProcess(o);
    }
    static void TearDownTestSuite() {
        delete sServer;
        sServer = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(sServer->Ready()) << sServer->Why();
        sServer->Control("clear");
    }
    void TearDown() override { sServer->Control("clear"); }

    static CliRun Cli(const std::string& args, const std::string& user = "admin") {
        return RunCli("--host 127.0.0.1 --port " + std::to_string(sServer->Port()) + " --user " + user +
                      " --password " + user + " " + args);
    }

    // A field of a record as another session reads it; "<none>" when the record cannot be opened.
    static std::string Field(const std::string& shown, const std::string& key) {
        auto c = Connect(*sServer);
        EXPECT_EQ((*c)->Login("admin", "admin", ""), "");
        const std::string id = kIds.Stored(kIds.ParseShown(shown));
        const Answers opened = EditRequest(**c, 'O', {id});
        if (!opened.Answered() || !opened[1].empty() || opened.count < 2) return "<none>";
        EditRequest(**c, 'X', {id});
        return ParseRecordText(opened[2]).GetValue(key);
    }

    static inline ServerProcess* sServer = nullptr;
    TempDir dir;
};

// A program file that adds a 590 with the note (Windows-1250, CR LF lines);
// on the record named, the title is emptied, which no book may save.
std::string ProgramFile(TempDir& dir, const std::string& note, const std::string& failOn = "-") {
    // REKORD is the shown identifier.
    return dir.Write("program.apr", "BEGIN\r\n  GRUPA('590')\r\n  POZYCJA = '.1.1.1'\r\n  GRUPA('Z')\r\n  POLE = '" + note +
                                        "'\r\n  BACK\r\n  BACK\r\n  IF REKORD = '" + failOn + "'\r\n    GRUPA('245')\r\n    GRUPA('Z')\r\n    POLE = ''\r\n    BACK\r\n"
                                        "    BACK\r\n  ENDIF\r\nEND\r\n");
}

}  // namespace

TEST_F(CliAdminTest, ModifyRunsAProgramOverARecordAFilesRecordsAndAQuerysCollection) {
    const std::string program = ProgramFile(dir, "Łąka"_cp);
    CliRun r = Cli("modify " + program + " --record K5");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(Field("K5", "590Z.1.1.1.1"), "Łąka"_cp);
    EXPECT_EQ(Field("K6", "590Z.1.1.1.1"), "");

    // The file's lines in any order, with blanks and a repeat: each record once.
    const std::string numFile = dir.Write("wybrane.num", "K8\r\n\r\nK7\r\nK8\r\n");
    r = Cli("modify " + program + " --local " + numFile);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* id : {"K7", "K8"}) EXPECT_EQ(Field(id, "590Z.1.1.1.1"), "Łąka"_cp) << id;

    r = Cli("modify " + program + " --remote '\"numer rekordu\" RÓWNY \"K9\"'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Field("K9", "590Z.1.1.1.1"), "Łąka"_cp);
}

TEST_F(CliAdminTest, AProgramFailingOnOneRecordChangesNoneAndSaysWhy) {
    const std::string numFile = dir.Write("wybrane.num", "K20\r\nK21\r\nK22\r\n");
    CliRun r = Cli("modify " + ProgramFile(dir, "Raz", "K21") + " --local " + numFile);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Nie zmieniono żadnego rekordu. Rekord K21: Brak tytułu właściwego\n") << r.err;
    for (const char* id : {"K20", "K21", "K22"}) EXPECT_EQ(Field(id, "590Z.1.1.1.1"), "") << id;

    // A record another user holds fails the run too.
    ASSERT_EQ(sServer->Control("lock K22 kowalski"), "ok");
    r = Cli("modify " + ProgramFile(dir, "Dwa") + " --local " + numFile);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("Nie zmieniono żadnego rekordu. Rekord K22 jest zarezerwowany przez użytkownika kowalski",
                          0),
              0u)
        << r.err;
    sServer->Control("clear");
    EXPECT_EQ(Field("K20", "590Z.1.1.1.1"), "");

    // A program that does not compile: the server's lines, one a line.
    dir.Write("zly.apr", "BEGIN\r\n  X = \r\nEND\r\n");
    r = Cli("modify " + dir.Path() + "zly.apr --record K20");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("Błąd programu\nprogram: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\r'), std::string::npos);
}

TEST_F(CliAdminTest, OnlyAnAdministratorAndOnlyWhatWasAskedRightly) {
    const std::string program = ProgramFile(dir, "Nie");
    CliRun r = Cli("modify " + program + " --record K30", "bibliotekarz");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Operacja dostępna jedynie dla administratora\n");
    r = Cli("delete --local " + dir.Write("a.num", "K30\r\n") + " --yes", "bibliotekarz");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Operacja dostępna jedynie dla administratora\n");
    EXPECT_NE(Field("K30", "001Z.1.1.1.1"), "<none>");

    r = Cli("modify " + dir.Path() + "brak.apr --record K30");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Błąd czytania pliku " + dir.Path() + "brak.apr\n");
    r = Cli("modify " + program + " --local " + dir.Path() + "brak.num");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Błąd otwarcia pliku " + dir.Path() + "brak.num\n");
    const std::vector<std::string> wrong = {"modify " + program, "modify " + program + " --record K1 --remote x",
                                            "modify", "delete", "delete --local a.num --yes nadmiar"};
    for (const std::string& args : wrong) {
        r = Cli(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.err.find("usage"), std::string::npos) << args;
    }
    // Without --yes nothing is deleted.
    r = Cli("delete --local " + dir.Path() + "a.num");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(Field("K30", "001Z.1.1.1.1"), "<none>");
    EXPECT_EQ(Field("K30", "590Z.1.1.1.1"), "");
}

TEST_F(CliAdminTest, DeleteSaysWhatBecameOfEachRecordAndTheFileKeepsThoseThatStay) {
    server::Database db(sServer->DbPath(), false);
    server::Statement s(db, "SELECT c.num FROM loans l JOIN copies c ON c.sn=l.sn ORDER BY c.num LIMIT 1");
    ASSERT_TRUE(s.Step());
    const std::string lent = kIds.Shown(static_cast<std::uint32_t>(s.Int(0)));
    // A free book, an authority record others refer to, a lent book, a record that is not there.
    const std::string numFile = dir.Write("usun.num", "K119\r\nO1\r\n" + lent + "\r\nK99999\r\n");
    const CliRun r = Cli("delete --local " + numFile + " --yes");
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = r.out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(r.out.substr(at, end - at));
    ASSERT_EQ(lines.size(), 4u) << r.out;
    // One line a record, each record once; the line of the record named by id.
    auto of = [&lines](const std::string& id) {
        std::string found;
        for (const std::string& l : lines)
            if (l == "usunięto " + id || l.rfind("błąd " + id + ":", 0) == 0) found += l;
        return found;
    };
    EXPECT_EQ(of("K99999"), "błąd K99999: Brak rekordu K99999");
    EXPECT_EQ(of("O1").rfind("błąd O1: Nie można usunąć rekordu wzorcowego O1", 0), 0u) << r.out;
    EXPECT_EQ(of(lent).rfind("błąd " + lent + ": Nie można usunąć rekordu " + lent +
                                 ", którego egzemplarze są wypożyczone, zarezerwowane lub zamówione",
                             0),
              0u)
        << r.out;
    EXPECT_EQ(of("K119"), "usunięto K119");
    EXPECT_EQ(Field("K119", "001Z.1.1.1.1"), "<none>");
    EXPECT_NE(Field("O1", "001Z.1.1.1.1"), "<none>");
    EXPECT_NE(Field(lent, "001Z.1.1.1.1"), "<none>");
    // The file names exactly the records that stayed.
    const std::string kept = TempDir::Read(numFile);
    EXPECT_EQ(kept.find("K119"), std::string::npos) << kept;
    for (const std::string& id : {std::string("O1"), lent, std::string("K99999")})
        EXPECT_NE(kept.find(id + "\r\n"), std::string::npos) << kept;
}
