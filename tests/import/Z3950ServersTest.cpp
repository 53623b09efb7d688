// The association against real Z39.50 servers started here: yaz-ztest (hit
// counts follow numeric terms, "Slow" answers after 3 seconds, scan reads
// dummy-words) and Zebra over the MARC 21 sample.

#include "import/RpnQuery.h"
#include "import/Z3950Client.h"
#include "import/Z3950Import.h"
#include "lang/TMultiIniFile.h"
#include "params/HeadlessParameterWindow.h"
#include "params/PairText.h"
#include "params/ParameterForms.h"
#include "support/RecordingPrompts.h"
#include "support/TempDir.h"
#include "support/Z3950Server.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

using namespace velt;

namespace {

std::string Query(std::uint32_t use, const std::string& term) {
    return EncodeOperand(EncodeAttributesPlusTerm({{kBib1Use, use}}, term));
}

class ServerTest : public ::testing::Test {
protected:
    static void Start(std::unique_ptr<test::Z3950Server>& server, test::Z3950Server::Kind kind) {
        if (!server) server = std::make_unique<test::Z3950Server>(kind);
    }
    static void Require(const std::unique_ptr<test::Z3950Server>& server) {
        if (!server->Installed()) GTEST_SKIP() << server->Why();
        ASSERT_TRUE(server->Ready()) << server->Why();
    }
    void Open(Z3950Client& z, const test::Z3950Server& server) {
        ASSERT_TRUE(z.OpenAssociation("127.0.0.1", server.Port(), "", "")) << z.ErrorText();
    }
};

class YazZtest : public ServerTest {
protected:
    static void SetUpTestSuite() { Start(sServer, test::Z3950Server::Kind::YazZtest); }
    static void TearDownTestSuite() { sServer.reset(); }
    void SetUp() override { Require(sServer); }
    static std::unique_ptr<test::Z3950Server> sServer;
};
std::unique_ptr<test::Z3950Server> YazZtest::sServer;

class Zebra : public ServerTest {
protected:
    static void SetUpTestSuite() { Start(sServer, test::Z3950Server::Kind::Zebra); }
    static void TearDownTestSuite() { sServer.reset(); }
    void SetUp() override { Require(sServer); }
    static std::unique_ptr<test::Z3950Server> sServer;
};
std::unique_ptr<test::Z3950Server> Zebra::sServer;

}  // namespace

TEST_F(YazZtest, InitWithAndWithoutLogin) {
    for (const auto& [user, password] : {std::pair<std::string, std::string>{"", ""}, {"ala", ""}, {"ala", "kot"}}) {
        Z3950Client z;
        ASSERT_TRUE(z.OpenAssociation("127.0.0.1", sServer->Port(), password, user)) << z.ErrorText();
        EXPECT_TRUE(z.AcceptedOptions().test(0));  // search
        EXPECT_TRUE(z.AcceptedOptions().test(1));  // present
        EXPECT_TRUE(z.AcceptedOptions().test(7));  // scan
    }
}

TEST_F(YazZtest, HitCountsAndAnEmptyResult) {
    Z3950Client z;
    Open(z, *sServer);
    ASSERT_EQ(z.SendSearch("Default", Query(4, "100")), "");
    EXPECT_EQ(z.ResultCount(), 100);
    EXPECT_EQ(z.First(), "1");
    EXPECT_EQ(z.Last(), "100");
    ASSERT_EQ(z.SendSearch("Default", Query(1003, "0")), "");
    EXPECT_EQ(z.ResultCount(), 0);
    EXPECT_EQ(z.First(), "");
    EXPECT_EQ(z.Last(), "");
    EXPECT_FALSE(z.Lines("1"));
    EXPECT_EQ(z.PresentCount(), 0);
}

TEST_F(YazZtest, TheFetchWindowAtTheStartTheMiddleAndTheEnd) {
    struct Case {
        long long wanted, first, last;
    } cases[] = {{3, 1, 10}, {50, 43, 57}, {98, 91, 100}};
    for (const auto& c : cases) {
        Z3950Client z;
        Open(z, *sServer);
        ASSERT_EQ(z.SendSearch("Default", Query(4, "100")), "");
        const auto lines = z.Lines(std::to_string(c.wanted));
        ASSERT_TRUE(lines) << c.wanted;
        ASSERT_FALSE(lines->empty());
        EXPECT_EQ(lines->at(0).rfind("L.1=", 0), 0u) << lines->at(0);
        EXPECT_EQ(z.PresentCount(), 1);
        EXPECT_EQ(z.HeldCount(), static_cast<std::size_t>(c.last - c.first + 1)) << c.wanted;
        EXPECT_TRUE(z.RecordAt(c.first));
        EXPECT_TRUE(z.RecordAt(c.last));
        EXPECT_FALSE(z.RecordAt(c.first - 1));
        EXPECT_FALSE(z.RecordAt(c.last + 1));
    }
    // With 1 to 15 held, position 16 fetches 16 to 23 only.
    Z3950Client z;
    Open(z, *sServer);
    ASSERT_EQ(z.SendSearch("Default", Query(4, "100")), "");
    z.FetchRecords(1, 15);
    ASSERT_EQ(z.HeldCount(), 15u);
    ASSERT_TRUE(z.Lines("16"));
    EXPECT_EQ(z.HeldCount(), 23u);
    EXPECT_FALSE(z.RecordAt(24));
    EXPECT_EQ(z.PresentCount(), 2);
    for (long long p = 1; p <= 23; ++p) {
        ASSERT_TRUE(z.RecordAt(p));
        EXPECT_NE(z.RecordAt(p)->kind, Z3950Record::Kind::Placeholder) << p;
    }
}

TEST_F(YazZtest, DiagnosticsAndTheTimeOut) {
    Z3950Client z;
    Open(z, *sServer);
    EXPECT_EQ(z.SendSearch("Nope", Query(4, "x")), "Błąd - diagnostyka 109: Nope"_cp);
    // A record syntax the server does not have: diagnostics held per record.
    ASSERT_EQ(z.SendSearch("Default", Query(4, "5"), 7, 7, "1.2.840.10003.5.99"), "");
    const auto lines = z.Lines("1");
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->at(0).rfind("Błąd - diagnostyka"_cp, 0), 0u) << lines->at(0);
    EXPECT_EQ(z.PresentCount(), 1);
    z.Lines("2");
    EXPECT_EQ(z.PresentCount(), 1);

    Z3950Client slow;
    slow.SetReadTimeout(1000);
    Open(slow, *sServer);
    EXPECT_EQ(slow.SendSearch("Slow", Query(4, "x")), Z3950Client::TextBroken());
    EXPECT_EQ(slow.ErrorText(), UniSocket::TextTimeout());
    EXPECT_EQ(slow.SendSearch("Default", Query(4, "x")), Z3950Client::TextBroken());
}

TEST_F(YazZtest, ScanListsAndTheirEnd) {
    Z3950Client z;
    Open(z, *sServer);
    std::vector<ScanTerm> terms;
    ASSERT_EQ(z.ScanTerms("Default", EncodeAttributesPlusTerm({{kBib1Use, 4}}, "computer"), 5, terms), "");
    ASSERT_EQ(terms.size(), 5u);
    EXPECT_EQ(terms[0].term, "CALCULUS");
    EXPECT_EQ(terms[1].term, "COMPUTER");
    EXPECT_EQ(terms[1].count, 21);
    EXPECT_EQ(terms[4].term, "ELEPHANT");
    EXPECT_EQ(z.LastScanStatus(), 0);
    // Near the end of the list the server says partial and still sends entries.
    ASSERT_EQ(z.ScanTerms("Default", EncodeAttributesPlusTerm({{kBib1Use, 4}}, "water"), 20, terms), "");
    EXPECT_GE(z.LastScanStatus(), 1);
    EXPECT_LE(z.LastScanStatus(), 5);
    ASSERT_EQ(terms.size(), 3u);
    EXPECT_EQ(terms[1].term, "WATER");
    EXPECT_EQ(terms[2].term, "ZEBRA");
    EXPECT_EQ(z.ScanTerms("Nope", EncodeAttributesPlusTerm({{kBib1Use, 4}}, "a"), 5, terms).rfind("Wystąpił błąd - diagnostyka 109"_cp, 0), 0u);
}

TEST_F(Zebra, SearchesPresentRealRecords) {
    Z3950Client z;
    Open(z, *sServer);
    ASSERT_EQ(z.SendSearch("Default", Query(4, "computer")), "");
    EXPECT_EQ(z.ResultCount(), 10);
    for (std::string key = z.First(); !key.empty(); key = z.Next(key)) {
        const auto lines = z.Lines(key);
        ASSERT_TRUE(lines) << key;
        bool title = false;
        for (const auto& l : *lines) {
            EXPECT_EQ(l.find("Błędna"_cp), std::string::npos) << l;
            if (l.rfind("245Z.1.1.1.1=", 0) == 0) title = l.find("omputer") != std::string::npos;
        }
        EXPECT_TRUE(title) << key;
    }
    EXPECT_EQ(z.PresentCount(), 2);  // 1 to 8, then 9 and 10
    // The other indexes of the configuration.
    const std::pair<std::uint32_t, std::string> indexes[] = {{1003, "collins"}, {21, "computers"}, {1018, "nuclear"}, {7, "0839108826"}};
    for (const auto& [use, term] : indexes) {
        ASSERT_EQ(z.SendSearch("Default", Query(use, term)), "") << use;
        EXPECT_GT(z.ResultCount(), 0) << use << " " << term;
    }
}

TEST_F(Zebra, Diagnostics109And114) {
    Z3950Client z;
    Open(z, *sServer);
    EXPECT_EQ(z.SendSearch("Default", Query(9999, "computer")), "Błąd - diagnostyka 114: 9999"_cp);
    EXPECT_EQ(z.SendSearch("Nope", Query(4, "computer")), "Błąd - diagnostyka 109: Nope"_cp);
    std::vector<ScanTerm> terms;
    EXPECT_EQ(z.ScanTerms("Nope", EncodeAttributesPlusTerm({{kBib1Use, 4}}, "a"), 5, terms),
              "Wystąpił błąd - diagnostyka 109: Nope"_cp);
}

TEST_F(Zebra, ScanAndAPartialEnd) {
    Z3950Client z;
    Open(z, *sServer);
    ASSERT_TRUE(z.AcceptedOptions().test(7));
    std::vector<ScanTerm> terms;
    ASSERT_EQ(z.ScanTerms("Default", EncodeAttributesPlusTerm({{kBib1Use, 4}}, "computer"), 5, terms), "");
    ASSERT_EQ(terms.size(), 5u);
    EXPECT_EQ(terms[1].term, "computer");
    EXPECT_EQ(terms[1].count, 10);
    ASSERT_EQ(z.ScanTerms("Default", EncodeAttributesPlusTerm({{kBib1Use, 4}}, "zzzz"), 20, terms), "");
    EXPECT_GE(z.LastScanStatus(), 1);
    EXPECT_LE(z.LastScanStatus(), 5);
    EXPECT_FALSE(terms.empty());
}

// The import window's model against Zebra: the form's rows searched in
// UTF-8 and as they are, and a scan from a title row (on an association of
// its own) filled in from the term list.
namespace {

struct QuietView : Z3950View {
    std::string count;
    void ShowCaption(const std::string&) override {}
    void ShowCharsets(int, int) override {}
    void ShowResult(Vrserwer*, const std::string& c) override { count = c; }
    void RedrawResult() override {}
    std::string SelectedKey() override { return {}; }
    void EnableButtons(bool, bool) override {}
    void ShowWindow() override {}
    void ShowLater(const std::string&) override {}
};
struct NoHost : Z3950Host {
    velt_files* Catalogue() override { return nullptr; }
    ImportEditor* Editor() override { return nullptr; }
    const ConverterModules* Converters() override { return nullptr; }
};
struct FirstOfList : ListChoiceWindow {
    std::size_t shown = 0;
    int ShowListChoice(const std::vector<ListChoiceEntry>& entries) override {
        shown = entries.size();
        return 0;
    }
};

}  // namespace

TEST_F(Zebra, TheImportModelSearchesAndScans) {
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", "[Z3950_KATALOG_Z]\r\nnazwa=Zebra\r\nip=127.0.0.1\r\nport=" +
                                                         std::to_string(sServer->Port()) + "\r\nbaza=Default\r\n");
    QuietView view;
    NoHost host;
    test::RecordingPrompts prompts;
    FirstOfList lists;
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms(window, settings, [] { return std::string(); });
    struct Synchronous : LongOperations {
        void run_with_progress(const std::string&, const std::function<void()>& work) override { work(); }
        void run_with_gauge(const std::function<void(const GaugeFunction&)>&) override {}
        bool download_progress(std::int64_t, std::int64_t) override { return true; }
    } longOps;
    Z3950Import model(view, host, prompts, longOps, forms, lists);
    model.ReadConfiguration(TMultiIniFile(ini), {});
    for (int charset : {0, 2}) {
        model.SetSearchCharset(charset);
        ASSERT_EQ(model.Search("Q.2|!|T.2|computer|Q.1|@|T.1|collins|E|2*1|"), Z3950Outcome::Found) << charset;
        EXPECT_EQ(view.count, "2");
    }
    ASSERT_EQ(model.Search("Q.2|!|T.2|computer|E||"), Z3950Outcome::Found);
    EXPECT_EQ(view.count, "10");
    const auto first = model.Client().Lines("1");
    ASSERT_TRUE(first);
    my_record values;
    FillRecord(values, "Q.2|!|T.2|comp|");
    EXPECT_TRUE(model.Scan(2, values));
    EXPECT_GT(lists.shown, 1u);
    EXPECT_FALSE(values.GetValue("T.2").empty());
    EXPECT_NE(values.GetValue("T.2"), "comp");
    // The result list is still the search's.
    EXPECT_EQ(model.Client().ResultCount(), 10);
    EXPECT_EQ(model.Client().Lines("1"), first);
    EXPECT_TRUE(prompts.shown.empty());
}
