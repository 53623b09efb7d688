// The tabs' data sources against velt-server: what each browser operation
// costs in round trips (the server counts the requests it served), the local
// collection kept with a double click, and the collection commands.

#include "ServerTestSupport.h"
#include "net/SearchRequests.h"
#include "browse/CollectionCommands.h"
#include "browse/CollectionFile.h"
#include "browse/CollectionSources.h"
#include "browse/EntryHost.h"
#include "browse/VrBrowser.h"
#include "catalogue/velt_files.h"
#include "text/CpLiteral.h"

#include "browse/FakeMeasurer.h"
#include "support/RecordingPrompts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

namespace {

struct Host : BrowserHost, EntryHost {
    RecordingPrompts prompts;
    std::vector<std::string> asked;
    void CellsChanged() override {}
    void Defer(std::function<void()> action) override { action(); }
    void PutIntoRecordBox(const std::string& shown) override { asked.push_back("box:" + shown); }
    void SelectInActive(const std::string& key) override { asked.push_back("select:" + key); }
    void ShowInLocal(const std::string& key) override { asked.push_back("local:" + key); }
    void RefreshAllChecks() override { asked.push_back("checks"); }
    void ShowRecordInLocal(std::int64_t n) override { asked.push_back("inlocal:" + std::to_string(n)); }
    void EntryCommand(const std::string&, const std::string& command, const std::string&, bool) override {
        asked.push_back("command:" + command);
    }
    Prompts& UserPrompts() override { return prompts; }
};

class SourcesTest : public SharedServerTest {
protected:
    void SetUp() override {
        files = std::make_unique<velt_files>(
            std::make_unique<TVeltClient>("127.0.0.1", [](const std::string&, SessionText) {}, sServer->Port()), true);
        ASSERT_TRUE(files->Ready) << files->ErrorText;
        local = std::make_unique<coll_serwer>(*files, dir.Path(), &host);
        ASSERT_TRUE(local->Ready());
    }
    // Requests of a code served since the last call.
    long Served(const std::string& code) {
        const long now = sServer->Count(code);
        const long d = now - counts[code];
        counts[code] = now;
        return d;
    }
    void Settle() {
        for (const char* c : {"50", "55", "56", "57", "58"}) Served(c);
    }
    TempDir dir;
    std::unique_ptr<velt_files> files;
    std::unique_ptr<coll_serwer> local;
    Host host;
    FakeMeasurer measurer;
    std::map<std::string, long> counts;
};

}  // namespace

// A panel of 8 cells (200 pixels of cells of 30): each newly shown entry
// costs one index request, drawing it none more (its cursor holds it).
TEST_F(SourcesTest, EveryBrowserOperationCostsOneRequestPerNewEntry) {
    velt_serwer source(*files, *files->IndexByName("autor"), local.get(), &host);
    Settle();
    VrBrowser b(source, measurer, host, 400, 200, 30);
    EXPECT_EQ(Served("55"), 1) << "First";
    EXPECT_EQ(Served("56"), 7) << "Next for the other 7 cells";
    EXPECT_EQ(Served("50"), 0) << "Lines costs nothing";
    b.PageDown();
    EXPECT_EQ(Served("56"), 7);
    EXPECT_EQ(Served("50"), 0);
    b.PageUp();
    // The cursor stands at the last entry shown: going back to the first
    // one costs one find, then 7 steps back.
    EXPECT_EQ(Served("58"), 7);
    EXPECT_LE(Served("50"), 1);
    b.End();
    EXPECT_EQ(Served("57"), 1);
    EXPECT_EQ(Served("58"), 7);
    for (int i = 0; i < 7; ++i) b.LineUp();
    // The first cell began 54 pixels above the panel: after 60 of the 70
    // pixels one more entry is needed, and the cursor already stands there.
    EXPECT_EQ(Served("58"), 1);
    EXPECT_EQ(Served("56") + Served("50"), 0);
    b.Redraw();
    EXPECT_LE(Served("50"), 8) << "at most one find per cell";
}

TEST_F(SourcesTest, ADoubleClickTogglesTheLocalCollectionAndItsCheckMark) {
    velt_serwer source(*files, *files->IndexByName("tytuł"_cp), local.get(), &host);
    VrBrowser b(source, measurer, host, 400, 200, 30);
    const Vrklatka& first = b.Cells().front();
    const auto check = std::find_if(first.content.items.begin(), first.content.items.end(),
                                    [](const CellItem& i) { return i.kind == CellItemKind::Check; });
    ASSERT_NE(check, first.content.items.end()) << "every entry carries the local collection's check";
    EXPECT_FALSE(check->shown);
    const std::string identifier = source.EntryIdentifier(first.key);
    const std::int32_t number = files->RecordNumber(identifier);
    ASSERT_GT(number, 0);
    source.Action(first.key, "*");
    EXPECT_TRUE(local->Collection().Contains(number));
    EXPECT_EQ(host.asked, (std::vector<std::string>{"local:" + coll_serwer::KeyOf(number), "checks"}));
    b.RefreshChecks();
    EXPECT_TRUE(std::find_if(b.Cells().front().content.items.begin(), b.Cells().front().content.items.end(),
                             [](const CellItem& i) { return i.kind == CellItemKind::Check; })
                    ->shown);
    source.Action(first.key, "!");
    EXPECT_EQ(host.asked.back(), "box:" + files->ShownIdentifier(identifier));
    // The local collection's own browser shows the record with one request.
    Settle();
    VrBrowser lb(*local, measurer, host, 400, 200, 30);
    EXPECT_EQ(lb.Cells().front().key, coll_serwer::KeyOf(number));
    EXPECT_EQ(Served("55"), 1);
    EXPECT_GT(lb.Cells().front().content.items.size(), 1u) << "the record's display and the collection picture";
    local->Action(lb.Cells().front().key, "?");
    EXPECT_EQ(host.prompts.shown.back(), "plain:Kolekcja zawiera 1 rekordów"_cp);
    // A second double click takes it out again.
    host.asked.clear();
    source.Action(first.key, "*");
    EXPECT_FALSE(local->Collection().Contains(number));
    EXPECT_EQ(host.asked.front(), "local:");
    source.Action(first.key, "kolekcja " + identifier);
    EXPECT_EQ(host.asked.back(), "inlocal:" + std::to_string(number));
    source.Action(first.key, "BLOBx");
    EXPECT_EQ(host.asked.back(), "command:BLOBx");
}

TEST_F(SourcesTest, CollectionsTravelBetweenTheServerAndTheClient) {
    const RecordPtr found = Search(files->Connection(), "\"tytuł\" SŁOWO \"histori\""_cp);
    ASSERT_NE(found, nullptr);
    ASSERT_GE(found->Count, 2);
    files->RemoteCollection = std::stoi(found->Item(1));
    const long count = std::stol(found->Item(2));
    ASSERT_GT(count, 1);
    EXPECT_EQ(CopyRemoteToLocal(*files, local->Collection(), dir.Path()), "");
    EXPECT_EQ(local->Collection().CountNumbers(), count);
    EXPECT_EQ(TempDir::List(dir.Path()).size(), 1u) << "the work file is gone, the collection file stays";
    bool wrote = false;
    EXPECT_EQ(SaveRemoteCollection(*files, dir.Path() + "zdalna.num", wrote), "");
    EXPECT_TRUE(wrote);
    EXPECT_EQ(ReadCollectionFile(dir.Path() + "zdalna.num").lines.size(), static_cast<std::size_t>(count));
    // The local collection back to the server as a query.
    const RecordPtr again = Search(files->Connection(), LocalCollectionQuery(local->Collection(), *files));
    ASSERT_NE(again, nullptr);
    ASSERT_GE(again->Count, 2);
    EXPECT_EQ(std::stol(again->Item(2)), count);
    // Without a remote collection nothing happens but the emptying.
    files->RemoteCollection = 0;
    EXPECT_EQ(CopyRemoteToLocal(*files, local->Collection(), dir.Path()), "");
    EXPECT_EQ(local->Collection().CountNumbers(), 0);
    EXPECT_EQ(SaveRemoteCollection(*files, dir.Path() + "x.num", wrote), "");
    EXPECT_FALSE(wrote);
}
