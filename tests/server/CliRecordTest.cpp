// velt-cli record run as a program against velt-server (VELT2, so shown
// identifiers are turned into stored ones and back): records read, created,
// changed, checked and deleted from key=value lines in UTF-8, errors on
// stderr with exit code 2, and no reservation left behind.

#include "net/RecordRequests.h"
#include "ServerTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

using namespace velt::test;

namespace {

class CliRecordTest : public ::testing::Test {
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
        ASSERT_TRUE(sServer->Ready()) << sServer->Why();
        sServer->Control("clear");
    }

    // velt-cli with the server's address, a login unless user is empty, and input on stdin.
    static CliRun Cli(const std::string& args, const std::string& input = {}, const std::string& user = "bibliotekarz") {
        std::string command = "--host 127.0.0.1 --port " + std::to_string(sServer->Port());
        if (!user.empty()) command += " --user " + user + " --password " + user;
        return RunCli(command + " " + args, input);
    }

    // True when another session can open (so reserve) the record now.
    static bool Free(const std::string& id) {
        auto c = Connect(*sServer);
        EXPECT_EQ((*c)->Login("admin", "admin", ""), "");
        const velt::Answers opened = velt::EditRequest(**c, 'O', {id});
        const bool free = opened.Answered() && opened[1].empty();
        velt::EditRequest(**c, 'X', {id});
        return free;
    }

    static inline ServerProcess* sServer = nullptr;
};

TEST_F(CliRecordTest, GetPrintsTheRecordAndReleasesIt) {
    const CliRun r = Cli("record get K5");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("*001Z.1.1.1.1=K5\n*005Z.1.1.1.1=\n100Z.1.1.1.1=^a", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\n245Z.1.1.1.1=^a"), std::string::npos);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(Free("K5"));
    const CliRun missing = Cli("record get K999");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Brak rekordu K999\n");
}

TEST_F(CliRecordTest, SaveCreatesAndChangesRecordsFromUtf8Lines) {
    const CliRun fresh = Cli("record new K");
    EXPECT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_NE(fresh.out.find("\n041Z.1.1.1.1=^apol\n"), std::string::npos) << fresh.out;
    const CliRun created = Cli("record save K", "245Z.1.1.1.1=^aŁąka w słońcu\n100Z.1.1.1.1=^aNowak, Jan ^9O3\r\n\nbez znaku równości\n");
    ASSERT_EQ(created.status, 0) << created.err;
    ASSERT_EQ(created.out, "K51\n");
    const CliRun read = Cli("record get K51");
    EXPECT_NE(read.out.find("\n245Z.1.1.1.1=^aŁąka w słońcu\n"), std::string::npos) << read.out;
    EXPECT_NE(read.out.find("\n876S.1.1.1.1=D\n"), std::string::npos);  // the initial record's copy
    const CliRun browse = Cli("browse tytuł --from łąka --count 1", {}, "");
    EXPECT_EQ(browse.out.rfind("K51\tŁąka w słońcu", 0), 0u) << browse.out;

    const CliRun changed = Cli("record save K5", "500Z.1.1.1.1=Uwaga z wiersza poleceń\n876S.1.1.1.1=\n");
    EXPECT_EQ(changed.status, 0) << changed.err;
    EXPECT_EQ(changed.out, "K5\n");
    EXPECT_NE(Cli("record get K5").out.find("\n500Z.1.1.1.1=Uwaga z wiersza poleceń\n"), std::string::npos);
    EXPECT_TRUE(Free("K5"));
}

TEST_F(CliRecordTest, ErrorsGoToStderrWithExitCode2) {
    const CliRun refused = Cli("record save K6", "245Z.1.1.1.1=\n020Z.1.1.1.1=^a83-7039-000-4\n");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "Rekord nie został zapisany, ponieważ zawiera błędy\n"
              "Brak tytułu właściwego\t245Z.1.1.1.1\n"
              "Błędna cyfra kontrolna numeru ISBN 83-7039-000-4\t020Z.1.1.1.1\n");
    EXPECT_TRUE(Free("K6"));
    const CliRun check = Cli("record check K6", "260Z.1.1.1.1=^c999\n");
    EXPECT_EQ(check.status, 2);
    EXPECT_EQ(check.err.rfind("Rekord zawiera błędy\nRok wydania 999 spoza zakresu 1450-", 0), 0u) << check.err;
    const CliRun good = Cli("record check K6", "500Z.1.1.1.1=dobrze\n");
    EXPECT_EQ(good.status, 0) << good.err;
    EXPECT_EQ(good.out + good.err, "");
    EXPECT_EQ(Cli("record get K6").out.find("dobrze"), std::string::npos);  // a check stores nothing
    // What the server refuses as a whole, and what needs a login.
    ASSERT_EQ(sServer->Control("lock K7 kowalski"), "ok");
    const CliRun held = Cli("record get K7");
    EXPECT_EQ(held.status, 2);
    EXPECT_EQ(held.err.rfind("Rekord K7 jest zarezerwowany przez użytkownika kowalski od ", 0), 0u) << held.err;
    const CliRun anonymous = Cli("record get K5", {}, "");
    EXPECT_EQ(anonymous.status, 2);
    EXPECT_EQ(anonymous.err, "Najpierw należy się zalogować\n");
    // An open answered without its record is a broken answer, not an empty record.
    ASSERT_EQ(sServer->Control("answers 200O 1"), "ok");
    const CliRun shortAnswer = Cli("record get K8");
    EXPECT_EQ(shortAnswer.status, 2);
    EXPECT_EQ(shortAnswer.err, "Bład odpowiedzi\n");
    EXPECT_EQ(shortAnswer.out, "");
    EXPECT_TRUE(Free("K8"));
    EXPECT_EQ(Cli("record frobnicate K5").status, 1);
    EXPECT_EQ(Cli("record get").status, 1);
}

TEST_F(CliRecordTest, DeleteAndTheKindsFormsAndScripts) {
    EXPECT_EQ(Cli("record delete K15").status, 0);
    const CliRun gone = Cli("record get K15");
    EXPECT_EQ(gone.status, 2);
    EXPECT_EQ(gone.err, "Brak rekordu K15\n");
    // A book a reader has borrowed stays.
    const CliRun lent = Cli("record delete K10");
    EXPECT_EQ(lent.status, 2);
    EXPECT_EQ(lent.err.rfind("Nie można usunąć rekordu K10, którego egzemplarze są wypożyczone, zarezerwowane lub "
                             "zamówione: ",
                             0),
              0u)
        << lent.err;
    EXPECT_TRUE(Free("K10"));
    const CliRun inUse = Cli("record delete O3");
    EXPECT_EQ(inUse.status, 2);
    EXPECT_EQ(inUse.err.rfind("Nie można usunąć rekordu wzorcowego O3, do którego odwołują się rekordy: ", 0), 0u) << inUse.err;
    EXPECT_TRUE(Free("O3"));

    const CliRun form = Cli("record form K");
    EXPECT_EQ(form.status, 0) << form.err;
    EXPECT_EQ(form.out.rfind("{ Formularz rekordu bibliograficznego: książka.", 0), 0u) << form.out.substr(0, 80);
    EXPECT_NE(form.out.find("\n  TABS ON 0, 32, 700, 469 - 36\n"), std::string::npos);
    const CliRun script = Cli("record script O");
    EXPECT_EQ(script.out.rfind("{ Skrypty pól rekordu wzorcowego osoby. }\n[SHOW #PODGLAD]\n", 0), 0u) << script.out.substr(0, 80);
    EXPECT_EQ(Cli("record form X").err, "Nieznany formularz X\n");
}

}  // namespace
