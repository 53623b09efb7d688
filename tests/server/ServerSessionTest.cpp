// The session against the real server: status and descriptor, login with
// scrambling, refused logins, password change, keep-alive and its version
// gate, and the database surviving a restart.

#include "text/utf.h"
#include "net/IndexRequests.h"
#include "ServerTestSupport.h"
#include "net/VrTimer.h"
#include "wire/WireCodec.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace velt;
using namespace velt::test;
using namespace std::chrono_literals;

namespace {

class SessionTest : public SharedServerTest {};

TEST_F(SessionTest, StatusNamesTheKindItsParametersAndTheDescriptorLast) {
    auto c = Connect(*sServer);
    ASSERT_FALSE((*c)->Broken()) << (*c)->ErrorText();
    const std::string& status = (*c)->Status();
    EXPECT_EQ(status.substr(0, 5), "VELT2");
    EXPECT_GE((*c)->Parameter("wersja"), "2008.01.23");  // past every version gate of the client
    // The MARC records' letter comes last: the letters before it keep their places.
    EXPECT_EQ((*c)->Parameter("rekordy"), "KOTU");
    EXPECT_EQ((*c)->Parameter("blob"), "T");
    EXPECT_EQ((*c)->Parameter("edycja"), "1");
    EXPECT_EQ((*c)->Parameter("formularze"), "K|Książka|O|Osoba|T|Temat|U|Rekord MARC 21|"_cp);
    EXPECT_FALSE((*c)->Parameter("CFG_HELP_N").empty());
    EXPECT_EQ(c->messages, std::vector<std::string>{"Witamy w katalogu demonstracyjnym"_cp});
    // The parameters in order, the descriptor last.
    std::vector<std::string> names;
    for (const auto& [name, value] : (*c)->Parameters()) names.push_back(name);
    const std::vector<std::string> expected = {"wersja", "message", "edycja", "rekordy", "formularze", "zamawianie",
                                               "blob", "CFG_HELP_N", "CFG_HELP_W"};
    EXPECT_EQ(names, expected);
    const std::string d = (*c)->Descriptor();
    for (const std::string& group :
         {"{x={nam=autor}{tab=21}{ind=5}{pre=AU}{khw=O}}"_cp, "{x={nam=tytuł}{tab=21}{ind=5}{pre=TY}}"_cp,
          "{x={nam=rok wydania}{tab=21}{ind=5}{pre=RW}}"_cp, "{q={nam=autor}{typ=INDEX}{khw=OS}}"_cp,
          "{s={nam=tytuł}}"_cp, "{f={nam=Opis skrócony}{typ=prezentacja}{id=1}}"_cp, "{typ=drzewo}"_cp,
          "{typ=KHW}"_cp, "{typ=export}"_cp, "{w={id=O}{nam=Osoby}{x={nam=nazwisko}{tab=9}{ind=2}{pre=OS}}}"_cp,
          "{c={nam=wydane po roku 2000}{id=1}}"_cp, "{blob={id=K}{nam=okładka}{nam=spis treści}{nam=recenzja}}"_cp,
          "{r={nam=Lista tytułów}"_cp})
        EXPECT_NE(d.find(group), std::string::npos) << WinUtf().Convert(group);
    // Without a login only the readers' programs: the others are for
    // administrators and users who logged in.
    std::size_t programs = 0;
    for (auto at = d.find("{p="); at != std::string::npos; at = d.find("{p=", at + 1)) ++programs;
    EXPECT_EQ(programs, 2u);
    EXPECT_NE(d.find("{cal=ZAMPROL|KARTA|%KARTA%|HASLO|%HASLO%|NAZWISKO|%NAZWISKO%|}"), std::string::npos);
    EXPECT_EQ(d.find("{cal=isbn}"), std::string::npos);
    EXPECT_EQ(d.find("{cal=uwagi}"), std::string::npos);
}

TEST_F(SessionTest, Velt3CatalogueNamesRecordsInDecimal) {
    ServerProcess::Options o;
    o.kind = "VELT3";
    o.records = 50;
    ServerProcess v3(o);
    ASSERT_TRUE(v3.Ready()) << v3.Why();
    auto c = Connect(v3);
    EXPECT_EQ((*c)->Status().substr(0, 5), "VELT3");
    const RecordPtr r = IndexFrom(**c, 21, 1, 1, "K12", "");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Item(2) + r->Item(3), "K12");
}

TEST_F(SessionTest, LoginScramblesEveryTextFromTheNextRequestOn) {
    auto c = Connect(*sServer);
    const RecordPtr before = IndexFrom(**c, 21, 1, 5, "TY", "");
    ASSERT_TRUE(before);
    EXPECT_EQ((*c)->Login("admin", "admin", "modyfikowanie"_cp), "");
    EXPECT_TRUE((*c)->LoggedIn());
    EXPECT_EQ((*c)->Rights(), "modyfikowanie administrowanie"_cp);
    EXPECT_EQ((*c)->Profile(), "administrator");
    EXPECT_TRUE(wire::KeyActive((*c)->Key())) << (*c)->Key();
    EXPECT_EQ((*c)->Parameter("uzytkownik"), "admin");
    EXPECT_NE((*c)->Descriptor().find("{p={nam=Sprawdzenie numerów ISBN}"_cp), std::string::npos);
    // The same entry, now scrambled both ways, reads the same.
    const RecordPtr after = IndexFrom(**c, 21, 1, 5, "TY", "");
    ASSERT_TRUE(after);
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(after->Item(i), before->Item(i)) << i;
    const RecordPtr seek = IndexFrom(**c, 21, 1, 5, "TY", after->Item(4));
    ASSERT_TRUE(seek);
    EXPECT_EQ(seek->Item(1), after->Item(1));
    (*c)->Logout();
    EXPECT_EQ((*c)->Key(), "");
    EXPECT_FALSE((*c)->Broken()) << (*c)->ErrorText();
    EXPECT_EQ((*c)->Parameter("uzytkownik"), "");
    EXPECT_TRUE(IndexFrom(**c, 21, 1, 5, "TY", ""));
    // A second login on the same connection gets a new key.
    EXPECT_EQ((*c)->Login("bibliotekarz", "bibliotekarz", "modyfikowanie"_cp), "");
    EXPECT_TRUE(IndexFrom(**c, 21, 1, 5, "AU", ""));
    EXPECT_FALSE((*c)->Broken()) << (*c)->ErrorText();
}

TEST_F(SessionTest, RefusedLoginsGiveTheSystemsTexts) {
    const struct {
        std::string user, password, right, reason;
    } cases[] = {
        {"nikt", "nikt", "", "Błędna nazwa użytkownika"_cp},
        {"admin", "zle", "", "Błędne hasło"_cp},
        {"admin", "", "", "Błędne hasło"_cp},
        {"gosc", "gosc", "modyfikowanie"_cp, "Brak uprawnień"_cp},
    };
    auto c = Connect(*sServer);
    for (const auto& t : cases) {
        EXPECT_EQ((*c)->Login(t.user, t.password, t.right), t.reason) << t.user;
        EXPECT_FALSE((*c)->LoggedIn());
        EXPECT_FALSE((*c)->Broken()) << (*c)->ErrorText();
    }
    // The connection is still good after all of them.
    EXPECT_EQ((*c)->Login("gosc", "gosc", ""), "");
}

TEST_F(SessionTest, NoScrambleHandsOutNoKey) {
    ServerProcess::Options o;
    o.scramble = false;
    o.records = 20;
    ServerProcess plain(o);
    ASSERT_TRUE(plain.Ready()) << plain.Why();
    auto c = Connect(plain);
    EXPECT_EQ((*c)->Login("admin", "admin", ""), "");
    EXPECT_EQ((*c)->Key(), "");
}

TEST(ServerRestart, ANewPasswordIsDemandedThenKeptAcrossARestart) {
    char dir[] = "/tmp/velt-restart-XXXXXX";
    ASSERT_TRUE(::mkdtemp(dir));
    ServerProcess::Options o;
    o.directory = dir;
    o.records = 30;
    {
        ServerProcess server(o);
        ASSERT_TRUE(server.Ready()) << server.Why();
        auto c = Connect(server);
        EXPECT_EQ((*c)->Login("nowy", "nowy", "modyfikowanie"_cp), "");
        EXPECT_FALSE((*c)->PasswordNotice().empty());
        EXPECT_EQ((*c)->ChangePassword(""), "Hasło nie może być puste"_cp);
        EXPECT_EQ((*c)->ChangePassword("nowy"), "Nowe hasło musi się różnić od poprzedniego"_cp);
        EXPECT_FALSE((*c)->PasswordNotice().empty());
        EXPECT_EQ((*c)->ChangePassword("Świeże1"_cp), "");
        EXPECT_TRUE((*c)->PasswordNotice().empty());
        // Without a login nothing can be changed.
        auto other = Connect(server);
        EXPECT_EQ((*other)->ChangePassword("x"), "Najpierw należy się zalogować"_cp);
        EXPECT_EQ(server.Stop(), 0);
    }
    {
        ServerProcess server(o);
        ASSERT_TRUE(server.Ready()) << server.Why();
        auto c = Connect(server);
        EXPECT_EQ((*c)->Login("nowy", "nowy", ""), "Błędne hasło"_cp);
        EXPECT_EQ((*c)->Login("nowy", "Świeże1"_cp, ""), "");
        EXPECT_TRUE((*c)->PasswordNotice().empty());
    }
    std::system(("rm -rf " + std::string(dir)).c_str());
}

// The keep-alive of the client, with a fast timer: a server of today gets
// the keep-alive request, one older than 2006.04.25 the status request.
class KeepAliveAgainstServer : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        TTimer::Terminate();
        TTimer::Start(50ms);
        VrTimer::SetKeepAliveInterval(1000);
    }
    void TearDown() override {
        TTimer::Terminate();
        VrTimer::SetKeepAliveInterval(300000);
    }
};

TEST_F(KeepAliveAgainstServer, FollowsTheVersionGate) {
    ServerProcess::Options old;
    old.version = "2006.04.24";
    old.records = 20;
    ServerProcess oldServer(old);
    ASSERT_TRUE(oldServer.Ready()) << oldServer.Why();
    for (ServerProcess* server : {sServer, &oldServer}) {
        server->Control("reset");
        auto c = Connect(*server);
        std::this_thread::sleep_for(700ms);
        const bool isNew = server == sServer;
        EXPECT_GE(server->Count("254"), isNew ? 2 : 0);
        EXPECT_EQ(server->Count("254") > 0, isNew);
        EXPECT_GE(server->Count("30"), isNew ? 1 : 3);  // the first status, then the pings of the old one
        EXPECT_TRUE(c->messages.size() <= 1) << WinUtf().Convert(c->messages.back());
        EXPECT_FALSE((*c)->Broken()) << (*c)->ErrorText();
        c.reset();
    }
}

}  // namespace
