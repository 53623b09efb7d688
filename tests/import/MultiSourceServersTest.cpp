// Several sources searched at once against real servers started here:
// yaz-ztest over Z39.50 and over SRU (it answers both on one port and logs
// the CQL it got), Zebra over the MARC 21 sample, and a listening socket that
// never answers; the import window's model searching a group of them and
// taking a record that came over SRU.

#include "import/MultiSearch.h"
#include "import/SruClient.h"
#include "import/Z3950Client.h"
#include "import/Z3950Import.h"
#include "lang/TMultiIniFile.h"
#include "params/HeadlessParameterWindow.h"
#include "params/ParameterForms.h"
#include "support/RecordingPrompts.h"
#include "support/TempDir.h"
#include "support/Z3950Server.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

using namespace velt;

namespace {

// A loopback port that takes connections into its backlog and never answers.
class DeadTarget {
public:
    DeadTarget() {
        mFd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        if (mFd < 0 || bind(mFd, reinterpret_cast<sockaddr*>(&a), n) != 0 || listen(mFd, 8) != 0 ||
            getsockname(mFd, reinterpret_cast<sockaddr*>(&a), &n) != 0)
            return;
        mPort = ntohs(a.sin_port);
    }
    ~DeadTarget() {
        if (mFd >= 0) close(mFd);
    }
    int Port() const { return mPort; }

private:
    int mFd = -1;
    int mPort = 0;
};

class Servers : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sYaz = std::make_unique<test::Z3950Server>(test::Z3950Server::Kind::YazZtest);
        sZebra = std::make_unique<test::Z3950Server>(test::Z3950Server::Kind::Zebra);
    }
    static void TearDownTestSuite() {
        sYaz.reset();
        sZebra.reset();
    }
    void SetUp() override {
        for (const auto* s : {sYaz.get(), sZebra.get()}) {
            if (!s->Installed()) GTEST_SKIP() << s->Why();
            ASSERT_TRUE(s->Ready()) << s->Why();
        }
    }
    static Z3950Source Z3950(const std::string& name, int port, const std::string& db) {
        Z3950Source s;
        s.name = name;
        s.port = port;
        s.database = db;
        return s;
    }
    static Z3950Source Sru(const std::string& name, int port, const std::string& version = "1.2") {
        Z3950Source s;
        s.name = name;
        s.protocol = Z3950Source::Protocol::Sru;
        s.sruBase = *ReadHttpAddress("http://127.0.0.1:" + std::to_string(port) + "/Default");
        s.sruVersion = version;
        return s;
    }
    static std::string Log() {
        std::ifstream in(sYaz->Directory() + "/ztest.log");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static std::unique_ptr<test::Z3950Server> sYaz, sZebra;
};
std::unique_ptr<test::Z3950Server> Servers::sYaz, Servers::sZebra;

QueryRows TitleRows(const std::string& title) {
    QueryRows rows;
    rows[0] = {"!", title};
    return rows;
}

}  // namespace

TEST_F(Servers, FiveSourcesOneDeadAnsweredWithinTheTimeout) {
    DeadTarget dead;
    ASSERT_GT(dead.Port(), 0);
    const Z3950Expression e = ParseZ3950Expression("", TitleRows("computer"));
    const SourceQuery query{e.rpn, e.cql};
    const std::vector<Z3950Source> sources = {
        Z3950(sYaz->Target("Default"), sYaz->Port(), "Default"), Z3950("zebra", sZebra->Port(), "Default"),
        Z3950("martwy", dead.Port(), "Default"), Sru("sru 1.2", sYaz->Port()), Sru("sru 1.1", sYaz->Port(), "1.1")};
    constexpr int kTimeout = 1500;
    MultiSearch multi;
    const auto start = std::chrono::steady_clock::now();
    multi.Run(sources,
              [&](const Z3950Source& s, std::string& error) { return SearchSource(s, query, kTimeout, error); },
              std::chrono::milliseconds(kTimeout));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // The dead source is given up at the timeout (plenty of slack for a loaded machine).
    EXPECT_LT(elapsed, std::chrono::milliseconds(kTimeout + 1000));
    const auto& a = multi.Answers();
    EXPECT_EQ(a[0].count, 23);
    EXPECT_EQ(a[1].count, 10);
    EXPECT_FALSE(a[2].error.empty());
    EXPECT_EQ(a[2].count, 0);
    EXPECT_EQ(a[3].count, 19) << a[3].error;
    EXPECT_EQ(a[4].count, 19) << a[4].error;
    EXPECT_EQ(multi.TotalCount(), 23 + 10 + 19 + 19);
    // Every answered source's first record, in turn, each named.
    std::string key = multi.First();
    for (const char* expected : {"1.1", "2.1", "4.1", "5.1", "1.2"}) {
        EXPECT_EQ(key, expected);
        const auto lines = multi.Lines(key);
        ASSERT_TRUE(lines) << key;
        EXPECT_EQ(lines->front().rfind("Źródło: "_cp, 0), 0u) << lines->front();
        bool title = false;
        for (const std::string& l : *lines) title = title || l.rfind("245Z.1.1.1.1=", 0) == 0;
        EXPECT_TRUE(title) << key;
        key = multi.Next(key);
    }
    EXPECT_NE(Log().find("cql: dc.title=\"computer\""), std::string::npos);
}

TEST_F(Servers, SruRecordsFetchedOnDemandAndRefusalsSaid) {
    SruClient client;
    client.SetServer(*ReadHttpAddress("http://127.0.0.1:" + std::to_string(sYaz->Port()) + "/Default"), "1.1");
    QueryRows rows = TitleRows("zażółć"_cp);
    rows[0].text = "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87";  // UTF-8, as SRU takes it
    rows[1] = {"@", "Jack"};
    // The CQL goes out in UTF-8 and reaches the server as it was made.
    ASSERT_EQ(client.Search(ParseZ3950Expression("1+2", rows).cql), "") << client.ErrorText();
    EXPECT_NE(Log().find("cql: (dc.title=\"za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87\" or dc.creator=\"Jack\")"),
              std::string::npos);
    ASSERT_EQ(client.Search(ParseZ3950Expression("", TitleRows("computer")).cql), "") << client.ErrorText();
    EXPECT_EQ(client.ResultCount(), 19);
    EXPECT_EQ(client.Requests(), 1);
    ASSERT_NE(client.RecordAt(1), nullptr);
    EXPECT_EQ(client.RecordAt(16), nullptr);
    const auto lines = client.Lines("16");  // past the first answer: fetched now
    ASSERT_TRUE(lines);
    EXPECT_EQ(client.Requests(), 2);
    ASSERT_NE(client.RecordAt(16), nullptr);
    EXPECT_NE(Log().find("1+15 cql: dc.title=\"computer\""), std::string::npos);
    EXPECT_NE(Log().find("16+4 cql: dc.title=\"computer\""), std::string::npos);

    // A database the server does not have: its refusal, not an empty result.
    SruClient nope;
    nope.SetServer(*ReadHttpAddress("http://127.0.0.1:" + std::to_string(sYaz->Port()) + "/Nope"));
    EXPECT_EQ(nope.Search("dc.title=x").rfind("Serwer SRU odpowiedział: HTTP/1."_cp, 0), 0u) << nope.ErrorText();
    EXPECT_EQ(nope.ResultCount(), 0);
    // Zebra without a CQL mapping refuses SRU queries.
    SruClient zebra;
    zebra.SetServer(*ReadHttpAddress("http://127.0.0.1:" + std::to_string(sZebra->Port()) + "/Default"));
    EXPECT_NE(zebra.Search("dc.title=computer"), "");
    // Nobody there: the connection's failure.
    SruClient none;
    none.SetServer(*ReadHttpAddress("http://127.0.0.1:1/Default"));
    EXPECT_NE(none.Search("dc.title=x"), "");
}

TEST_F(Servers, TheWindowSearchesAGroupAndTakesARecordThatCameOverSru) {
    DeadTarget dead;
    test::TempDir dir;
    const std::string yaz = std::to_string(sYaz->Port());
    const std::string ini = dir.Write(
        "VELT_TCP.INI",
        "[Z3950_GRUPA_X]\r\nnazwa=Grupa\r\n"
        "[Z3950_KATALOG_X1]\r\nnazwa=Ztest\r\nip=127.0.0.1\r\nport=" + yaz + "\r\nbaza=Default\r\n"
        "[Z3950_KATALOG_X2]\r\nnazwa=Ztest SRU\r\nprotokół=SRU\r\nip=127.0.0.1\r\nport="_cp + yaz + "\r\nbaza=Default\r\n"
        "[Z3950_KATALOG_X3]\r\nnazwa=Martwy\r\nip=127.0.0.1\r\nport=" + std::to_string(dead.Port()) + "\r\n"
        "[Z3950_KATALOG_Y]\r\nnazwa=Poza grupą\r\nip=127.0.0.1\r\nport=1\r\n"_cp);
    struct View : Z3950View {
        std::string caption, count, counts, selected;
        Vrserwer* results = nullptr;
        std::vector<int> checked;
        void ShowCaption(const std::string& c) override { caption = c; }
        void ShowCharsets(int, int) override {}
        void ShowResult(Vrserwer* r, const std::string& c) override {
            results = r;
            count = c;
        }
        void RedrawResult() override {}
        std::string SelectedKey() override { return selected; }
        void EnableButtons(bool, bool) override {}
        void ShowWindow() override {}
        void ShowLater(const std::string&) override {}
        void ShowSourceCounts(const std::string& c) override { counts = c; }
        void ShowCheckedSources(const std::vector<int>& s) override { checked = s; }
    } view;
    struct Editor : ImportEditor {
        std::vector<my_record> opened;
        bool CanEdit(const std::string&) override { return true; }
        void NewRecord(const std::string&, const my_record& r) override { opened.push_back(r); }
        void ImportRecord(const std::string&, const std::string&, const my_record&) override {}
        void CheckRecord(my_record&) override {}
        std::string TemporaryIdentifier() override { return "T"; }
    } editor;
    struct Host : Z3950Host {
        ImportEditor* editor = nullptr;
        velt_files* Catalogue() override { return nullptr; }
        ImportEditor* Editor() override { return editor; }
        const ConverterModules* Converters() override { return nullptr; }
    } host;
    host.editor = &editor;
    struct NoLists : ListChoiceWindow {
        int ShowListChoice(const std::vector<ListChoiceEntry>&) override { return -1; }
    } lists;
    test::RecordingPrompts prompts;
    struct Direct : LongOperations {
        void run_with_progress(const std::string&, const std::function<void()>& work) override { work(); }
        void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override {
            work([](std::int64_t, std::int64_t) { return true; });
        }
        bool download_progress(std::int64_t, std::int64_t) override { return true; }
    } longOps;
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms(window, settings, [] { return std::string(); });
    Z3950Import import(view, host, prompts, longOps, forms, lists);
    import.ReadConfiguration(TMultiIniFile(ini), {});
    ASSERT_EQ(import.Settings().Sources().size(), 4u);
    EXPECT_EQ(import.Settings().Sources()[1].protocol, Z3950Source::Protocol::Sru);
    import.SetSourceTimeout(1000);

    import.CheckGroup({"Grupa"});
    EXPECT_EQ(view.checked, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(view.caption, "Import Z39.50: Ztest, Ztest SRU, Martwy");
    ASSERT_EQ(import.Search("Q.1|!|T.1|computer|E||"), Z3950Outcome::Found);
    EXPECT_EQ(view.count, "42");
    EXPECT_EQ(view.counts, "Ztest: 23; Ztest SRU: 19; Martwy: brak odpowiedzi");
    ASSERT_EQ(view.results, &import.Multi());
    EXPECT_TRUE(prompts.shown.empty());

    // The second entry is the SRU source's first record.
    view.selected = import.Multi().Next(import.Multi().First());
    EXPECT_EQ(view.selected, "2.1");
    import.Multi().Lines(view.selected);
    import.Take();
    ASSERT_EQ(editor.opened.size(), 1u) << (prompts.shown.empty() ? "" : prompts.shown.front());
    EXPECT_EQ(editor.opened[0].GetValue("245Z.1.1.1.1"), "^aHow to program a computer");

    // One source chosen again: the search is that source's alone.
    import.SelectSource(0);
    EXPECT_TRUE(view.checked.empty());
    ASSERT_EQ(import.Search("Q.1|!|T.1|computer|E||"), Z3950Outcome::Found);
    EXPECT_EQ(view.results, &import.Client());
    EXPECT_EQ(view.counts, "");
}
