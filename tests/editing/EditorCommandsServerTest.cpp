// The scripts' commands against velt-server: records read and stored
// without a window (and what stays reserved afterwards), the inventory walk
// a form fills the next number from, the index values, and a record looked
// up in another catalogue (this one, reached over a connection of its own).

#include "EditingHarness.h"
#include "authority/HeadlessAuthority.h"
#include "net/RecordRequests.h"
#include "net/TVeltClient.h"
#include "text/PipeList.h"
#include "text/RecordText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

namespace {

struct NoLong : LongOperations {
    void run_with_progress(const std::string&, const std::function<void()>& w) override { w(); }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& w) override {
        w([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
};

// Connections to other catalogues, counted.
struct Connector : ConnectingCatalogues {
    explicit Connector(LongOperations& l) : ConnectingCatalogues(l) {}
    std::vector<std::string> asked;
    std::unique_ptr<velt_files> Connect(const std::string& host, int port, std::string& error) override {
        asked.push_back(host + ":" + std::to_string(port));
        return ConnectingCatalogues::Connect(host, port, error);
    }
};

class EditorCommandsServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ServerProcess::Options o;
        o.records = 300;
        sServer = new ServerProcess(o);
    }
    static void TearDownTestSuite() {
        delete sServer;
        sServer = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(sServer->Ready()) << sServer->Why();
        sServer->Control("clear");
        e = std::make_unique<Editing>(*sServer, dir.Path(), "bibliotekarz", &windows);
    }
    void TearDown() override {
        e.reset();
        sServer->Control("clear");
    }
    std::string Run(const std::string& command) { return e->session->Command(nullptr, command); }
    // Whether another user may take the record now (it is not reserved).
    bool Free(const std::string& id) {
        TVeltClient other("127.0.0.1", nullptr, sServer->Port());
        other.Login("admin", "admin", "");
        const Answers opened = EditRequest(other, 'O', {e->files.StoredIdentifier(id)});
        const bool free = opened.Answered() && opened[1].empty();
        if (free) EditRequest(other, 'X', {e->files.StoredIdentifier(id)});
        return free;
    }

    static inline ServerProcess* sServer = nullptr;
    TempDir dir;
    QueuePrompts windowPrompts;
    NoLong longOps;
    HeadlessAuthority windows{windowPrompts, longOps, "/tmp/"};
    std::unique_ptr<Editing> e;
};

}  // namespace

TEST_F(EditorCommandsServer, ARecordReadOrStoredByAScriptIsNotLeftReserved) {
    const std::string text = Run("MOK74");
    EXPECT_NE(text.find("\r245Z.1.1.1.1=^a"), std::string::npos) << text;
    EXPECT_TRUE(Free("K74")) << "reading reserves nothing";
    EXPECT_EQ(Run("MSK74|500Z.1.1.1.1=z polecenia"), "");
    EXPECT_TRUE(Free("K74")) << "stored and released";
    EXPECT_NE(Run("MOK74").find("\r500Z.1.1.1.1=z polecenia\r"), std::string::npos);
    EXPECT_EQ(Run("HZ"), "K74|");
    // Past another user's reservation nothing is stored.
    sServer->Control("lock K75 kowalski");
    const long saves = sServer->Count("200U");
    const std::string refused = Run("MSK75|500Z.1.1.1.1=nie");
    EXPECT_NE(refused.find("kowalski"), std::string::npos) << refused;
    EXPECT_EQ(sServer->Count("200U"), saves);
    EXPECT_EQ(Run("MOK75").find("=nie\r"), std::string::npos);
    // A store the server refuses releases what it reserved.
    EXPECT_NE(Run("MSK76|001Z.1.1.1.1=K1"), "") << "the record number is the server's";
    EXPECT_TRUE(Free("K76"));
    EXPECT_EQ(Run("MOK9999"), "") << "no record, no text";
}

TEST_F(EditorCommandsServer, TheInventoryWalkListsTheNumbersUnderItsPrefixAndASavedCopyJoinsIt) {
    const std::string walked = Run("S2001");
    const std::vector<std::string_view> seeded = SplitPipeList(walked);
    ASSERT_GE(seeded.size(), 3u);
    for (std::size_t i = 0; i + 1 < seeded.size(); i += 2) {
        EXPECT_EQ(seeded[i].substr(0, 4), "2001");
        EXPECT_EQ(seeded[i + 1].substr(0, 1), "K");
    }
    EXPECT_EQ(Run("S2026/"), "");
    const std::string created = Run("NK|245Z.1.1.1.1=^aNowa\r876I.1.1.1.1=2026/00007\r876I.1.1.2.1=2026/00008");
    ASSERT_FALSE(created.empty()) << ::testing::PrintToString(e->prompts.Take());
    EXPECT_EQ(Run("S2026/"), "2026/00007|" + created + "|2026/00008|" + created + "|");
    EXPECT_EQ(Run("MS" + created + "|876I.1.1.2.1="), "");
    EXPECT_EQ(Run("S2026/"), "2026/00007|" + created + "|") << "a copy taken out leaves the register";
}

TEST_F(EditorCommandsServer, IndexValuesAndNeighboursComeFromTheServersIndexes) {
    // L: the last heading of a value list under its prefix.
    EXPECT_EQ(Run("LWY|Czytelnik"), "Czytelnik");
    EXPECT_EQ(Run("LWY|Brak takiego wydawcy"), "");
    // ED: the copy at an inventory number, else the one before it.
    const std::string at = Run("ED|010005");
    EXPECT_EQ(at.rfind("010005|", 0), 0u) << at;
    const std::string before = Run("ED|010005x");
    EXPECT_EQ(before.rfind("010005|", 0), 0u) << before;
}

TEST_F(EditorCommandsServer, ARecordOfAnotherCatalogueComesBackInItsExportForm) {
    Connector connector(longOps);
    e->session->Commands().Services().connector = &connector;
    const std::string port = std::to_string(sServer->Port());
    const std::string exported = Run("CV127.0.0.1:" + port + "|K7|AU|");
    EXPECT_EQ(connector.asked, (std::vector<std::string>{"127.0.0.1:" + port}));
    EXPECT_FALSE(exported.empty());
    EXPECT_NE(exported, "** K7 **");
    windows.pick = 0;
    EXPECT_EQ(Run("CV127.0.0.1:" + port + "|K7|AU|"), "") << "nothing chosen";
    // A closed port: the connection's own error, shown as a message.
    const std::string closed = Run("CV127.0.0.1:1|K7|AU|");
    EXPECT_EQ(closed, "");
    const auto shown = e->prompts.Take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("message:", 0), 0u) << shown[0];
}
