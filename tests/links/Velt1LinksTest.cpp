// The links against scripted servers: the VELT1 walk up to the root and down
// to the parts (and where it must stop), linking through DOK_IDO, a new
// record under a parent, the links program's failure after a save, and the
// schema window's flows that velt-server never lets happen (a record with
// parts deleted).

#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "files/WorkFile.h"
#include "links/LinkEditing.h"
#include "links/LinkSchema.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"

#include "editing/EditingHarness.h"
#include "links/FakeLinksServer.h"
#include "links/HeadlessLinks.h"
#include "support/RecordingPrompts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

namespace {

const std::string kVelt1 =
    "VELT1&wersja=2025.01.01&edycja=1&struktura={f={nam=Opis}{typ=prezentacja}{id=1}}{f={nam=Drzewo}{typ=drzewo}{id=3}}"
    "{r={nam=Zestawienie}{lan=TABELA}{id=1}{par=BEGIN END}}{r={nam=Wykaz}{lan=TEXT}{id=2}{par=BEGIN END}}"
    "{p={nam=Uwagi}{id=3}{cal=uwagi}}";
const std::string kVelt3Links =
    "VELT3&wersja=2025.01.01&edycja=1&rekordy=KOT&struktura={f={nam=schemat}{typ=struktura}{id=10}}"
    "{p={nam=Powiązania}{id=6}{opt=S}{cal=WIAZANIE|DOK_IDO}}";

std::string S(int n) { return FakeLinksServer::Stored(n); }

// A work (2) in a collection (1) with two volumes (3, 4), and a record of its own (5).
std::map<std::string, FakeLinksServer::Record> Hierarchy() {
    return {{"1", {"", "Kolekcja"}}, {"2", {"1", "Dzieło"}}, {"3", {"2", "Tom 1"}},
            {"4", {"2", "Tom 2"}},   {"5", {"", "Osobny"}},  {"6", {"", "Inny"}}, {"7", {"", "Jeszcze inny"}}};
}

std::vector<std::string> Ids(const std::vector<LinkNode>& nodes) {
    std::vector<std::string> out;
    for (const LinkNode& n : nodes) out.push_back(std::string(TrimSpaces(n.identifier)) + "@" + std::to_string(n.level));
    return out;
}

velt_files Connect(const FakeLinksServer& server) {
    return velt_files(std::make_unique<TVeltClient>("127.0.0.1", nullptr, server.Port()), true);
}

TEST(Velt1Links, TheWalkGoesUpToTheRootAndShowsTheWholeTree) {
    auto records = Hierarchy();
    records["6"].parent = "          ";  // ten blanks: no superior either
    records["7"].parent = "6";
    FakeLinksServer server(kVelt1, records);
    velt_files files = Connect(server);
    ASSERT_TRUE(files.Ready) << files.ErrorText;
    const LinkTreeBuild tree = TreeByWalk(files, 3, S(3));
    EXPECT_EQ(tree.problem, "");
    EXPECT_EQ(Ids(tree.nodes), (std::vector<std::string>{"1@0", "2@1", "3@2", "4@2"}));
    EXPECT_EQ(tree.selected, 2);
    EXPECT_EQ(TrimSpaces(tree.root), "1");
    EXPECT_EQ(tree.nodes[2].caption, "Tom 1") << "the first line of the text";
    EXPECT_EQ(tree.nodes[3].parent, 1);
    const LinkTreeBuild other = TreeByWalk(files, 3, S(7));
    EXPECT_EQ(Ids(other.nodes), (std::vector<std::string>{"6@0", "7@1"}));
    // The parent's entry is asked by the identifier as stored, blanks and all.
    bool asked = false;
    for (const auto& r : server.Requests()) asked |= r == "55 1 1 [" + S(3) + "] []";
    EXPECT_TRUE(asked);
}

TEST(Velt1Links, AWalkStopsAtAChainThatComesBackAMissingRecordAndTheCap) {
    auto records = Hierarchy();
    records["5"].parent = "6";
    records["6"].parent = "5";  // a chain of superiors without end
    records["7"].parent = "9";  // a superior that is not there
    FakeLinksServer server(kVelt1, records);
    server.AddPart("3", "1");  // the parts of a volume come back to the collection
    velt_files files = Connect(server);
    ASSERT_TRUE(files.Ready);
    const LinkTreeBuild up = TreeByWalk(files, 3, S(5));
    EXPECT_EQ(up.problem, InconsistencyText());
    EXPECT_TRUE(up.nodes.empty());
    const LinkTreeBuild missing = TreeByWalk(files, 3, S(7));
    EXPECT_EQ(missing.problem, InconsistencyText());
    const LinkTreeBuild down = TreeByWalk(files, 3, S(2));
    EXPECT_EQ(down.problem, InconsistencyText());
    EXPECT_EQ(Ids(down.nodes), (std::vector<std::string>{"1@0", "2@1", "3@2"})) << "what was built stays";
    // A tree larger than the cap: its beginning, and why no more.
    auto many = Hierarchy();
    for (int i = 10; i < 40; ++i) many[std::to_string(i)] = {"1", "Część "_cp + std::to_string(i)};
    FakeLinksServer large(kVelt1, many);
    velt_files other = Connect(large);
    ASSERT_TRUE(other.Ready);
    const LinkTreeBuild capped = TreeByWalk(other, 3, S(10), 12);
    EXPECT_EQ(capped.nodes.size(), 12u);
    EXPECT_NE(capped.problem.find("12"), std::string::npos) << capped.problem;
}

TEST(Velt1Links, LinkingWritesDokIdoAndAFailedSaveReleasesTheRecord) {
    FakeLinksServer server(kVelt1, Hierarchy());
    server.RefuseSave("5", "Rekord zawiera błędy"_cp);
    velt_files files = Connect(server);
    ASSERT_TRUE(files.Ready);
    RecordingPrompts prompts;
    EditRequests requests(files.Connection(), prompts);
    std::vector<std::string> changed;
    LinkEditing::Hooks hooks;
    hooks.changed = [&](const std::string& s) { changed.push_back(s); };
    hooks.isOpen = [](const std::string& id) { return TrimSpaces(id) == "6"; };
    LinkEditing links(files, requests, prompts, hooks);
    EXPECT_EQ(links.LinkRecord(S(3), {}), "");
    EXPECT_EQ(server.ParentOf("3"), "") << "detached";
    EXPECT_EQ(links.LinkRecord(S(3), S(1)), "");
    EXPECT_EQ(server.ParentOf("3"), "1");
    EXPECT_EQ(links.LinkRecord(S(5), S(1)), "Rekord zawiera błędy"_cp);
    EXPECT_EQ(links.LinkRecord(S(8), S(1)), "Brak rekordu 8");
    EXPECT_EQ(links.LinkRecord(S(6), S(1)), "Rekord 6 jest otwarty do edycji"_cp) << "a sheet holds it";
    EXPECT_EQ(changed, (std::vector<std::string>{"3", "3"}));
    const std::vector<std::string> expected = {
        "200O [" + S(3) + "]", "200U [3] [DOK_IDO=         0\r]", "200O [" + S(3) + "]",
        "200U [3] [DOK_IDO=" + S(1) + "\r]", "200O [" + S(5) + "]", "200U [5] [DOK_IDO=" + S(1) + "\r]",
        "200X [" + S(5) + "]", "200O [" + S(8) + "]"};
    EXPECT_EQ(server.Requests(), expected);
    // A new record under a parent: the initial record, DOK_IDO, no identifier.
    const std::string added = links.AddLinkedRecord(S(2));
    EXPECT_EQ(added, S(900));
    EXPECT_EQ(server.ParentOf("900"), "2");
    EXPECT_EQ(server.Requests().back(), "200U [] [DOK_IDO=" + S(2) + "\r]");
    EXPECT_EQ(server.Requests()[server.Requests().size() - 2], "200N []");
}

TEST(Velt3Links, ARecordSavedButNotLinkedIsNamedAndNoNodeStandsForIt) {
    FakeLinksServer server(kVelt3Links, {{"1", {"", "Dzieło"}}}, 2);
    server.NumberNewRecords(77, "K");
    std::string refusal;
    server.SetProgramAnswer([&](const std::string&, const std::string&) { return refusal; });
    velt_files files = Connect(server);
    ASSERT_TRUE(files.Ready);
    QueuePrompts prompts;
    EditRequests requests(files.Connection(), prompts);
    LinkEditing links(files, requests, prompts);
    refusal = "Rekord nadrzędny K1 jest zarezerwowany"_cp;
    EXPECT_EQ(links.AddLinkedRecord("K1"), "");
    EXPECT_EQ(links.Orphan(), "K77");
    const auto shown = prompts.Take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("plain:" + refusal, 0), 0u);
    EXPECT_NE(shown[0].find("K77"), std::string::npos) << shown[0];
    refusal.clear();
    EXPECT_EQ(links.AddLinkedRecord("K1"), "K78");
    EXPECT_EQ(links.Orphan(), "");
    const auto requestsSent = server.Requests();
    EXPECT_EQ(requestsSent[0], "200U [K] []") << "an empty record of the parent's kind";
    EXPECT_EQ(requestsSent[1], "201X 6 [DOK_IDO|K1|] [K77|]");
    EXPECT_EQ(links.LinkRecord("K78", {}), "");
    EXPECT_EQ(server.Requests().back(), "201X 6 [DOK_IDO||] [K78|]");
    // A save the server refuses: its message and the errors, nothing linked.
    server.RefuseSave("K", "Rekord nie został zapisany"_cp);
    const std::size_t before = server.Requests().size();
    EXPECT_EQ(links.AddLinkedRecord("K1"), "");
    EXPECT_EQ(links.Orphan(), "");
    EXPECT_EQ(prompts.Take(), (std::vector<std::string>{"error:Rekord nie został zapisany\r\nBrak tytułu"_cp}));
    EXPECT_EQ(server.Requests().size(), before + 1) << "the save alone: no links program";
}

TEST(Velt3Links, WithoutTheLinksProgramTheServerDoesNotOfferIt) {
    FakeLinksServer server("VELT3&wersja=2025.01.01&rekordy=KOT&struktura={f={nam=Opis}{typ=prezentacja}{id=1}}", {});
    velt_files files = Connect(server);
    ASSERT_TRUE(files.Ready);
    QueuePrompts prompts;
    EditRequests requests(files.Connection(), prompts);
    LinkEditing links(files, requests, prompts);
    EXPECT_EQ(links.AddLinkedRecord("K1"), "");
    EXPECT_EQ(links.LinkRecord("K2", "K1"), "Serwer nie realizuje tej funkcji");
    EXPECT_EQ(prompts.Take(), (std::vector<std::string>{"error:Serwer nie realizuje tej funkcji"}));
    // Nor is there a schema to show without the structure format.
    SchemaView view;
    SchemaHost host;
    OnTheSpot longOps;
    LinkSchema schema(files, view, host, prompts, longOps);
    schema.ShowLinks("K1", "");
    EXPECT_FALSE(view.shown);
    EXPECT_EQ(prompts.Take(), (std::vector<std::string>{"plain:Niedostępne dla tej wersji serwera"_cp}));
    EXPECT_TRUE(server.Requests().empty());
}

// The schema window over a VELT1 server, with an edit session and a local collection.
struct Schema {
    explicit Schema(FakeLinksServer& server)
        : files(Connect(server)), collection(dir.Path()),
          session(files, prompts, editor, Notifications(), EditingSetup{}),
          schema(files, view, host, prompts, longOps) {
        host.collection = &collection;
        host.editing = &session;
        host.directory = dir.Path();
        schema.SetCaptionFormat(3);
    }
    EditingNotifications Notifications() {
        EditingNotifications n;
        n.changed = [this](const std::string& s, const std::string& id) { changes.push_back(s + ">" + id); };
        return n;
    }
    TempDir dir;
    velt_files files;
    VrCollection collection;
    QueuePrompts prompts;
    HeadlessEditor editor;
    std::vector<std::string> changes;
    TEdycja session;
    SchemaView view;
    SchemaHost host;
    OnTheSpot longOps;
    LinkSchema schema;
};

TEST(Velt1Schema, DeletingARecordBuildsTheTreeAgainAndItsPartsShowUnderTheirNewSuperior) {
    FakeLinksServer server(kVelt1, Hierarchy());
    Schema s(server);
    ASSERT_TRUE(s.files.Ready);
    s.schema.ShowLinks(S(3), "");
    EXPECT_TRUE(s.view.shown);
    EXPECT_EQ(s.view.caption, "Schemat powiązań (rekord 3)"_cp);
    EXPECT_EQ(Ids(s.view.tree), (std::vector<std::string>{"1@0", "2@1", "3@2", "4@2"}));
    EXPECT_EQ(s.view.identifier, "3");
    EXPECT_NE(s.view.Record().find("Tom 1\ndruga linia"), std::string::npos) << s.view.Record();
    s.schema.NodeSelected(1);
    s.schema.DeleteRecord();
    EXPECT_FALSE(server.Exists("2"));
    EXPECT_EQ(Ids(s.view.tree), (std::vector<std::string>{"1@0", "3@1", "4@1"})) << "the volumes are still there";
    EXPECT_TRUE(s.view.shown);
    EXPECT_EQ(s.changes, (std::vector<std::string>{"2>"}));
    // The root deleted: its parts are roots of their own; the tree of the first is shown.
    s.schema.NodeSelected(0);
    s.schema.DeleteRecord();
    EXPECT_EQ(Ids(s.view.tree), (std::vector<std::string>{"3@0"}));
    EXPECT_TRUE(s.view.shown);
    // The last record gone: the window closes.
    s.schema.NodeSelected(0);
    s.schema.DeleteRecord();
    EXPECT_FALSE(s.view.shown);
    EXPECT_TRUE(s.schema.Nodes().empty());
}

TEST(Velt1Schema, AttachingTheCollectionSkipsTheAncestorsAndTellsOfEveryRefusal) {
    FakeLinksServer server(kVelt1, Hierarchy());
    server.RefuseSave("6", "Rekord zawiera błędy"_cp);
    Schema s(server);
    ASSERT_TRUE(s.files.Ready);
    s.schema.ShowLinks(S(2), "");
    s.schema.NodeSelected(1);  // the work
    s.prompts.Take();
    s.schema.AttachCollection();
    EXPECT_EQ(s.prompts.Take(), (std::vector<std::string>{"error:Kolekcja jest pusta!"}));
    for (const int n : {1, 5, 6, 7}) ASSERT_TRUE(s.collection.Include(n));
    const int trees = s.view.trees;
    s.schema.AttachCollection();
    EXPECT_EQ(s.prompts.Take(),
              (std::vector<std::string>{"ask:Kolekcja zawiera 4 rekordów.\r\rCzy rzeczywiście dołączyć je do struktury?"_cp,
                                        "error:Rokord 1 został odrzucony"_cp, "error:Rokord 6 został odrzucony"_cp}));
    EXPECT_EQ(server.ParentOf("1"), "") << "the collection stays where it was";
    EXPECT_EQ(server.ParentOf("5"), "2");
    EXPECT_EQ(server.ParentOf("7"), "2");
    EXPECT_EQ(s.view.trees, trees + 1) << "built once, at the end";
    EXPECT_EQ(Ids(s.view.tree), (std::vector<std::string>{"1@0", "2@1", "3@2", "4@2", "5@2", "7@2"}));
    // Answered Nie: nothing happens.
    s.prompts.answers.push_back(kNo);
    const std::size_t sent = server.Requests().size();
    s.schema.AttachCollection();
    EXPECT_EQ(server.Requests().size(), sent);
}

TEST(Velt1Schema, DetachingWritesNoParentAndDoesNotBuildTheTreeItself) {
    FakeLinksServer server(kVelt1, Hierarchy());
    Schema s(server);
    ASSERT_TRUE(s.files.Ready);
    s.schema.ShowLinks(S(4), "");
    ASSERT_EQ(s.view.selected, 3);
    const int asked = server.IndexRequests();
    s.schema.Detach();
    EXPECT_EQ(server.ParentOf("4"), "");
    EXPECT_EQ(server.Requests().back(), "200U [4] [DOK_IDO=         0\r]");
    EXPECT_EQ(server.IndexRequests(), asked);
    EXPECT_EQ(s.changes, (std::vector<std::string>{"4>4"})) << "the editor's host hears of it";
}

TEST(Velt1Schema, DoubleClicksPutARecordIntoTheCollectionAndTakeItOutAgain) {
    FakeLinksServer server(kVelt1, Hierarchy());
    Schema s(server);
    ASSERT_TRUE(s.files.Ready);
    s.schema.ShowLinks(S(3), "");
    s.schema.NodeDoubleClicked(2);
    EXPECT_TRUE(s.collection.Contains(3));
    EXPECT_TRUE(s.schema.Nodes()[2].inCollection);
    EXPECT_EQ(s.view.record.back(), CollectionButtonLine(S(3))) << "the pane's own button";
    s.schema.NodeDoubleClicked(2);
    EXPECT_FALSE(s.collection.Contains(3));
    EXPECT_FALSE(s.schema.Nodes()[2].inCollection);
    EXPECT_EQ(s.view.changed, (std::vector<int>{2, 2}));
    EXPECT_EQ(s.host.calls, (std::vector<std::string>{"local 3", "local 0"}));
    // The button takes the record out of the collection; the window stays.
    s.schema.NodeDoubleClicked(3);
    ASSERT_TRUE(s.collection.Contains(4));
    s.schema.Command("kolekcja|" + S(4));
    EXPECT_FALSE(s.collection.Contains(4));
    EXPECT_FALSE(s.schema.Nodes()[3].inCollection);
    EXPECT_TRUE(s.view.shown);
    EXPECT_EQ(s.host.calls.back(), "local 0");
    // A tree built again shows what the collection holds.
    s.collection.Include(1);
    s.schema.RefreshLinks(S(3));
    EXPECT_TRUE(s.view.tree[0].inCollection);
}

TEST(Velt1Schema, TheDisplaysCommandsGoWhereTheySay) {
    FakeLinksServer server(kVelt1, Hierarchy());
    Schema s(server);
    ASSERT_TRUE(s.files.Ready);
    s.schema.ShowLinks(S(3), "");
    s.schema.Search("tom");
    EXPECT_EQ(s.view.selected, 3);
    EXPECT_EQ(s.view.identifier, "4") << "without the leading blanks";
    s.schema.Command("BAR K1\x1Bspis");
    s.schema.Command("RAPORT Zestawienie|S.1|T");
    s.schema.Command("RAPORT Wykaz|S.1|T");    // not a table report: nothing
    s.schema.Command("OPERACJA Brak|a|b");     // no such program: nothing
    s.schema.Command("OPERACJA uwagi|U.1|B");  // done: the window shows the record again
    s.schema.Command("@xmessage|a b");
    s.schema.Command("&op=Z");
    s.schema.Command("nic");
    EXPECT_EQ(s.host.calls, (std::vector<std::string>{"labels K1\x1Bspis", "report Zestawienie|S.1|T",
                                                       "operation uwagi|U.1|B", "program xmessage a b", "order &op=Z",
                                                       "changed 4"}));
    s.host.calls.clear();
    s.schema.Command("rekord 3 tytuł"_cp);
    EXPECT_FALSE(s.view.shown);
    s.view.shown = true;
    s.schema.Command("autor|Nowak");
    EXPECT_FALSE(s.view.shown);
    EXPECT_EQ(s.host.calls, (std::vector<std::string>{"record 3 in tytuł"_cp, "find Nowak in autor"}));
    s.view.shown = true;
    s.host.goToFound = false;
    s.schema.GoTo("3");
    EXPECT_TRUE(s.view.shown);
    s.host.goToFound = true;
    s.schema.GoTo("3");
    EXPECT_FALSE(s.view.shown);
}

}  // namespace
