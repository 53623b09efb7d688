// The links against velt-server's hierarchies: the structure text of a
// multi-volume work stored out of order, of a collection of three levels and
// of a series of 300 parts; the component sort; the links program and its
// refusals; a record with parts that may not be deleted; the schema window's
// model with the edit session; the chooser's links window; velt-cli links
// and attachment; attachments fetched into files of their own.

#include "authority/RecordChooser.h"
#include "browse/TBlobChange.h"
#include "catalogue/velt_files.h"
#include "editing/EditRequests.h"
#include "links/LinkChoice.h"
#include "links/LinkEditing.h"
#include "links/LinkSchema.h"
#include "net/ProgramRequests.h"
#include "net/RecordRequests.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"
#include "text/Trim.h"

#include "Seeder.h"
#include "editing/EditingHarness.h"
#include "links/HeadlessLinks.h"
#include "support/RecordingPrompts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

using namespace velt;
using namespace velt::test;

namespace {

constexpr int kBooks = 40;

std::string K(std::uint32_t seq) { return "K" + std::to_string(seq); }

struct CliRun {
    int status = -1;
    std::string out, err;
};

class LinksServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ServerProcess::Options o;
        o.records = kBooks;
        o.hierarchies = true;
        sServer = new ServerProcess(o);
    }
    static void TearDownTestSuite() {
        delete sServer;
        sServer = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(sServer->Ready()) << sServer->Why();
        files = std::make_unique<velt_files>(std::make_unique<TVeltClient>("127.0.0.1", nullptr, sServer->Port()), true);
        ASSERT_TRUE(files->Ready) << files->ErrorText;
        structure = files->FormatByType("struktura");
        ASSERT_NE(structure, 0);
    }
    // The shown identifiers and levels of a tree.
    std::vector<std::string> Shape(const std::vector<LinkNode>& nodes) const {
        std::vector<std::string> out;
        for (const LinkNode& n : nodes) out.push_back(files->ShownIdentifier(n.identifier) + "@" + std::to_string(n.level));
        return out;
    }
    LinkTreeBuild Tree(const std::string& shown) { return TreeFromStructure(*files, structure, files->StoredIdentifier(shown)); }
    // A librarian's catalogue of its own.
    std::unique_ptr<velt_files> Librarian(const std::string& user = "bibliotekarz") {
        auto f = std::make_unique<velt_files>(std::make_unique<TVeltClient>("127.0.0.1", nullptr, sServer->Port()), false);
        EXPECT_EQ(f->Connection().Login(user, user, ""), "");
        f->LoadDescriptor();
        return f;
    }
    static CliRun Cli(const std::string& args, const std::string& user = {}) {
        TempDir dir;
        std::string command = ServerProcess::CliPath() + " --host 127.0.0.1 --port " + std::to_string(sServer->Port());
        if (!user.empty()) command += " --user " + user + " --password " + user;
        command += " " + args + " 2>" + dir.Path() + "err";
        CliRun r;
        FILE* p = ::popen(command.c_str(), "r");
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, p)) > 0;) r.out.append(buffer, got);
        const int status = ::pclose(p);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = TempDir::Read(dir.Path() + "err");
        return r;
    }

    static inline ServerProcess* sServer = nullptr;
    const server::HierarchyHeads heads = server::HierarchyHeadsOf(kBooks);
    std::unique_ptr<velt_files> files;
    std::int32_t structure = 0;
};

TEST_F(LinksServer, AWorkShowsItsVolumesAsStoredUntilTheyAreSorted) {
    const std::uint32_t w = heads.works[2];  // volumes stored as 4, 2, 1, 3
    const LinkTreeBuild tree = Tree(K(w + 3));
    EXPECT_EQ(tree.problem, "");
    EXPECT_EQ(Shape(tree.nodes), (std::vector<std::string>{K(w) + "@0", K(w + 1) + "@1", K(w + 2) + "@1",
                                                           K(w + 3) + "@1", K(w + 4) + "@1"}));
    EXPECT_EQ(tree.selected, 3);
    EXPECT_EQ(tree.root, files->StoredIdentifier(K(w)));
    EXPECT_NE(tree.nodes[1].caption.find("T. 4"), std::string::npos) << tree.nodes[1].caption;
    auto librarian = Librarian();
    RecordingPrompts prompts;
    EditRequests requests(librarian->Connection(), prompts);
    LinkEditing links(*librarian, requests, prompts);
    ASSERT_EQ(librarian->ComponentSortKeys, std::vector<std::string>{"numer tomu"});
    EXPECT_EQ(links.SortComponents(files->StoredIdentifier(K(w)), "numer tomu"), "");
    EXPECT_EQ(Shape(Tree(K(w)).nodes), (std::vector<std::string>{K(w) + "@0", K(w + 3) + "@1", K(w + 2) + "@1",
                                                                 K(w + 4) + "@1", K(w + 1) + "@1"}));
    EXPECT_EQ(links.SortComponents(files->StoredIdentifier(K(w + 1)), "numer tomu"),
              "Rekord " + K(w + 1) + " nie ma rekordów składowych"_cp);
    EXPECT_EQ(links.SortComponents(files->StoredIdentifier(K(w)), "tytuł"_cp).rfind("Nieznany klucz sortowania"_cp, 0), 0u);
}

TEST_F(LinksServer, ACollectionOfThreeLevelsAndASeriesOf300Parts) {
    const LinkTreeBuild collection = Tree(K(heads.collection + 5));
    ASSERT_EQ(collection.nodes.size(), 13u);
    std::vector<int> levels;
    for (const LinkNode& n : collection.nodes) levels.push_back(n.level);
    EXPECT_EQ(levels, (std::vector<int>{0, 1, 2, 2, 2, 1, 2, 2, 2, 1, 2, 2, 2}));
    EXPECT_EQ(files->ShownIdentifier(collection.nodes[static_cast<std::size_t>(collection.selected)].identifier),
              K(heads.collection + 5));
    const LinkTreeBuild serial = Tree(K(heads.serial));
    EXPECT_EQ(serial.nodes.size(), 13u);
    EXPECT_EQ(serial.selected, 0);
    const LinkTreeBuild series = Tree(K(heads.series + 300));
    ASSERT_EQ(series.nodes.size(), 301u);
    EXPECT_EQ(series.selected, 300);
    EXPECT_NE(series.nodes[300].caption.find("nr 300"), std::string::npos);
    // A record of no hierarchy is a tree of its own.
    EXPECT_EQ(Shape(Tree("K3").nodes), std::vector<std::string>{"K3@0"});
}

TEST_F(LinksServer, TheLinksProgramLinksDetachesAndRefusesWhatWouldBreakTheHierarchy) {
    auto librarian = Librarian();
    ASSERT_TRUE(LinksItem(*librarian));
    EXPECT_FALSE(LinksItem(*files)) << "only for those who may modify records";
    QueuePrompts prompts;
    EditRequests requests(librarian->Connection(), prompts);
    std::vector<std::string> changed;
    LinkEditing::Hooks hooks;
    hooks.changed = [&](const std::string& s) { changed.push_back(s); };
    LinkEditing links(*librarian, requests, prompts, hooks);
    const std::uint32_t w = heads.works[0];
    const auto stored = [this](const std::string& shown) { return files->StoredIdentifier(shown); };
    EXPECT_EQ(links.LinkRecord(stored("K5"), stored(K(w))), "");
    // Parts not sorted yet come in record-number order.
    EXPECT_EQ(Shape(Tree("K5").nodes), (std::vector<std::string>{K(w) + "@0", "K5@1", K(w + 1) + "@1", K(w + 2) + "@1"}));
    EXPECT_EQ(changed, std::vector<std::string>{"K5"});
    struct Case {
        std::string child, parent, refusal;
    } cases[] = {
        {K(w), K(w), "nie może być podrzędny wobec samego siebie"_cp},
        {K(w), K(w + 1), "jest podrzędny wobec tego rekordu"_cp},
        {"K5", "K9999", "nie istnieje"},
        {"K9999", K(w), "Nie ma rekordu K9999"},
    };
    for (const Case& c : cases)
        EXPECT_NE(links.LinkRecord(stored(c.child), stored(c.parent)).find(c.refusal), std::string::npos)
            << c.child << " under " << c.parent;
    // A record another user has open stays as it is.
    auto admin = Librarian("admin");
    ASSERT_EQ(EditRequest(admin->Connection(), 'O', {stored("K6")})[1], "");
    const std::string held = links.LinkRecord(stored("K6"), stored(K(w)));
    EXPECT_NE(held.find("admin"), std::string::npos) << held;
    EditRequest(admin->Connection(), 'X', {stored("K6")});
    EXPECT_EQ(links.LinkRecord(stored("K5"), {}), "");
    EXPECT_EQ(Shape(Tree("K5").nodes), std::vector<std::string>{"K5@0"});
    // Without a login the server says so.
    QueuePrompts quiet;
    EditRequests anonymous(files->Connection(), quiet);
    const std::string answer = ProgramRun(files->Connection(), "6", "DOK_IDO|" + K(w) + "|", "K5|");
    EXPECT_EQ(answer, "Najpierw należy się zalogować"_cp);
    EXPECT_TRUE(prompts.Take().empty());
}

TEST_F(LinksServer, ARecordWithPartsIsNotDeleted) {
    const TempDir dir;
    Editing editing(*sServer, dir.Path());
    const std::uint32_t w = heads.works[1];
    EXPECT_FALSE(editing.session->DeleteRecord(K(w)));
    const auto shown = editing.prompts.Take();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), "error:Nie można usunąć rekordu "_cp + K(w) + ", do którego dołączone są rekordy: "_cp +
                                K(w + 1) + ", " + K(w + 2) + ", " + K(w + 3));
    EXPECT_EQ(Tree(K(w)).nodes.size(), 4u);
}

TEST_F(LinksServer, TheSchemaWindowShowsSearchesSortsAndAddsAPartToDescribe) {
    const TempDir dir;
    Editing editing(*sServer, dir.Path());
    SchemaView view;
    SchemaHost host;
    host.editing = editing.session.get();
    OnTheSpot longOps;
    LinkSchema schema(editing.files, view, host, editing.prompts, longOps);
    schema.SetAccessMode(AccessModeFor(true, true, editing.files.DatabaseKind));
    EXPECT_TRUE(view.access.toolsEnabled);
    EXPECT_FALSE(view.access.structureMenuVisible);
    const std::uint32_t w = heads.works[0];  // volumes stored as 2, 1
    schema.ShowLinks(editing.files.StoredIdentifier(K(w + 2)), "struktura");
    EXPECT_TRUE(view.shown);
    EXPECT_EQ(view.caption, "Schemat powiązań"_cp);
    EXPECT_EQ(Shape(view.tree), (std::vector<std::string>{K(w) + "@0", K(w + 1) + "@1", K(w + 2) + "@1"}));
    EXPECT_EQ(view.selected, 2);
    EXPECT_EQ(view.identifier, K(w + 2));
    EXPECT_NE(view.Record().find("\x1BLpowiazania||"), std::string::npos) << view.Record();
    // The full format's buttons of a record with parts come up on a right click.
    editing.files.SetFormat(editing.files.FormatByType("prezentacja") + 1);
    schema.NodeRightClicked(0);
    ASSERT_EQ(view.popup.size(), 2u);
    EXPECT_EQ(view.popup[0].caption, "Zestawienie \"Zestawienie tytułów\""_cp);
    EXPECT_EQ(view.popup[1].command, "OPERACJA uwagi|REKORD|" + K(w));
    EXPECT_EQ(view.identifier, K(w));
    // A new part from the initial record, to be described later: velt-server
    // keeps it under a title that says so, linked to the work.
    editing.prompts.Take();
    schema.AddRecord();
    EXPECT_EQ(editing.prompts.Take(), std::vector<std::string>{});
    ASSERT_EQ(view.tree.size(), 4u);
    const LinkNode added = view.tree.back();
    EXPECT_EQ(added.caption, "Nowy rekord");
    EXPECT_EQ(added.level, 1);
    EXPECT_EQ(Tree(K(w)).nodes.size(), 4u) << "the work has the part";
    // A part of the work that the server can show: its title, its parent.
    {
        TVeltClient other("127.0.0.1", nullptr, sServer->Port());
        other.Login("admin", "admin", "");
        const Answers opened = EditRequest(other, 'O', {files->ShownIdentifier(added.identifier)});
        ASSERT_TRUE(opened.Answered() && opened[1].empty() && opened.count >= 2);
        EXPECT_EQ(ParseRecordText(opened[2]).GetValue("245Z.1.1.1.1"), "^aNowy rekord");
        EditRequest(other, 'X', {files->ShownIdentifier(added.identifier)});
    }
    // It goes again, so that the work is as the next checks know it.
    view.selected = 3;
    schema.NodeSelected(3);
    editing.prompts.answers = {kYes};
    schema.DeleteRecord();
    EXPECT_EQ(view.tree.size(), 3u) << testing::PrintToString(editing.prompts.shown);
    schema.SortComponents("numer tomu");
    EXPECT_EQ(Shape(view.tree), (std::vector<std::string>{K(w) + "@0", K(w + 2) + "@1", K(w + 1) + "@1"}));
    schema.Search("T. 2");
    EXPECT_EQ(view.identifier, K(w + 1));
    schema.Closed();
    EXPECT_TRUE(view.tree.empty());
    EXPECT_EQ(schema.Root(), "");
}

TEST_F(LinksServer, TheDisplaysPicturesAndAttachmentsArriveInWorkFilesOfTheirOwn) {
    const TempDir dir;
    SchemaView view;
    SchemaHost host;
    host.directory = dir.Path();
    QueuePrompts prompts;
    OnTheSpot longOps;
    LinkSchema schema(*files, view, host, prompts, longOps);
    schema.ShowLinks(files->StoredIdentifier("K11"), "");
    ASSERT_TRUE(view.shown);
    schema.Command("JPG okladki/K3.jpg");
    schema.Command("JPG okladki/K3.jpg");
    schema.Command("BLOBokładka.jpg"_cp);
    schema.Command("BLOBrecenzja.pdf"_cp);
    schema.Command("BLOBbrak.txt");
    ASSERT_EQ(host.calls.size(), 4u);
    EXPECT_EQ(host.calls[0].rfind("picture " + dir.Path() + "tmp-", 0), 0u) << host.calls[0];
    EXPECT_NE(host.calls[0], host.calls[1]) << "two fetches, two files";
    EXPECT_EQ(host.calls[2].substr(host.calls[2].size() - 4), ".jpg");
    EXPECT_EQ(host.calls[2].rfind("picture ", 0), 0u);
    EXPECT_EQ(host.calls[3].rfind("open " + dir.Path() + "tmp-", 0), 0u) << host.calls[3];
    EXPECT_EQ(host.calls[3].substr(host.calls[3].size() - 4), ".pdf");
    EXPECT_EQ(TempDir::List(dir.Path()).size(), 4u) << "nothing left of the attachment that did not come";
    EXPECT_TRUE(prompts.Take().empty());
}

TEST_F(LinksServer, TheChoiceWindowPicksAComponentOrHandsTheIdentifierOn) {
    test::RecordingPrompts prompts;
    OnTheSpot longOps;
    ChoiceView view;
    LinkChoice choice(view, prompts, longOps);
    const std::uint32_t w = heads.works[1];
    std::vector<std::string> picked;
    view.user = [&] {
        EXPECT_EQ(view.mode, LinkChoiceMode::Tree);
        EXPECT_EQ(view.tree.size(), 4u);
        ASSERT_FALSE(view.components.empty());
        EXPECT_EQ(view.components[0].identifier, K(w));
        choice.ComponentChosen(-1);
        EXPECT_FALSE(view.closed);
        choice.NodeSelected(2);
        EXPECT_EQ(view.identifier, K(w + 2));
        choice.ComponentChosen(0);
    };
    const auto pick = [&](const std::string& t) {
        picked.push_back(t);
        return true;
    };
    EXPECT_EQ(choice.ChooseInTree(*files, files->StoredIdentifier(K(w)), "", pick, nullptr,
                                  files->FormatByType("skladniki")),
              K(w + 2));
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"plain:Najpierw trzeba zaznaczyć wiersz"_cp});
    EXPECT_EQ(picked, std::vector<std::string>{K(w + 2)});
    // List mode: the record shows; a go-to that is refused keeps the window.
    view.user = [&] {
        EXPECT_EQ(view.selected, 0);
        EXPECT_FALSE(view.record.empty());
        choice.GoTo("K1");
        EXPECT_FALSE(view.closed);
        choice.Search("T. 3");
        EXPECT_EQ(view.identifier, K(w + 1));
    };
    EXPECT_EQ(choice.ChooseInList(*files, files->StoredIdentifier(K(w)), "", nullptr,
                                  [](const std::string&) { return false; }),
              "");
    // Import mode: only the buttons given are enabled; "Idź do" gives the identifier back.
    view.user = [&] {
        EXPECT_FALSE(view.fetchEnabled);
        EXPECT_TRUE(view.convertEnabled);
        choice.Fetch("K1");
        EXPECT_FALSE(view.closed);
        choice.GoTo(K(w + 3));
        EXPECT_TRUE(view.closed);
    };
    EXPECT_EQ(choice.ChooseForImport(*files, files->StoredIdentifier(K(w)), "", [](const std::string&) { return false; },
                                     nullptr),
              K(w + 3));
}

TEST_F(LinksServer, TheChoosersLinksCellOpensTheLinksWindowWithItsCallbacks) {
    struct View : RecordChooserView {
        ChooserLinks links;
        bool accepted = false;
        void ShowIndex(int) override {}
        void ListChanged() override {}
        void ShowEntry(const std::string&) override {}
        void ShowHistory(const std::vector<std::string>&) override {}
        void ShowTree(const std::vector<StructureNode>&) override {}
        void Accept() override { accepted = true; }
        void ShowPicture(const std::string&) override {}
        void StartProgram(const std::string&, const std::string&) override {}
        void ShowLinks(const ChooserLinks& l) override { links = l; }
    } view;
    RecordingPrompts prompts;
    OnTheSpot longOps;
    const std::uint32_t w = heads.works[0];
    {
        RecordChooser chooser(*files, view, prompts, longOps, "/tmp/");
        chooser.StartList(files->StoredIdentifier(K(w)), "", 0);
        chooser.Picked(76, "powiazania schemat", "");
        ASSERT_EQ(view.links.files, files.get());
        EXPECT_EQ(view.links.structure, "schemat");
        EXPECT_FALSE(view.links.tree);
        ASSERT_TRUE(view.links.goTo);
        EXPECT_TRUE(view.links.goTo(K(w + 1)));
        EXPECT_TRUE(view.accepted);
        EXPECT_EQ(chooser.Result().identifier, files->StoredIdentifier(K(w + 1)));
    }
    view.accepted = false;
    RecordChooser chooser(*files, view, prompts, longOps, "/tmp/");
    chooser.StartTree(files->StoredIdentifier(K(w)), "skladniki");
    chooser.Picked(76, "powiazania", "");
    EXPECT_TRUE(view.links.tree);
    EXPECT_EQ(view.links.structure, "struktura");
    EXPECT_EQ(view.links.componentFormat, files->FormatByType("skladniki"));
    EXPECT_FALSE(view.links.goTo("K99999"));
    EXPECT_TRUE(view.links.goTo(K(w + 2)));
    EXPECT_FALSE(view.accepted) << "tree mode moves the browser";
    EXPECT_FALSE(view.links.pick(""));
    EXPECT_TRUE(view.links.pick("^aNowak, Jan"));
    EXPECT_TRUE(view.accepted);
    EXPECT_EQ(chooser.Result().identifier, "^aNowak, Jan");
}

TEST_F(LinksServer, VeltCliPrintsTheTreeAndChangesLinks) {
    const std::uint32_t w = heads.works[1];
    const CliRun tree = Cli("links " + K(w + 2));
    EXPECT_EQ(tree.status, 0) << tree.err;
    const std::vector<std::string> lines = {K(w) + "\t", "  " + K(w + 1) + "\t", "  " + K(w + 2) + "\t", "  " + K(w + 3) + "\t"};
    std::size_t at = 0;
    for (const std::string& l : lines) {
        EXPECT_EQ(tree.out.compare(at, l.size(), l), 0) << tree.out;
        at = tree.out.find('\n', at) + 1;
    }
    EXPECT_NE(tree.out.find("Historia literatury polskiej. T. 3"), std::string::npos) << "UTF-8 captions";
    const CliRun refused = Cli("links attach K7 " + K(w));
    EXPECT_EQ(refused.status, 2);
    // Without a login the descriptor offers no links program.
    EXPECT_EQ(refused.err, "Serwer nie realizuje tej funkcji\n");
    EXPECT_EQ(Cli("links attach K7 " + K(w), "bibliotekarz").status, 0);
    EXPECT_NE(Cli("links K7").out.find("  K7\t"), std::string::npos);
    const CliRun cycle = Cli("links attach " + K(w) + " K7", "bibliotekarz");
    EXPECT_EQ(cycle.status, 2);
    EXPECT_NE(cycle.err.find("podrzędny"), std::string::npos) << cycle.err;
    EXPECT_EQ(Cli("links detach K7", "bibliotekarz").status, 0);
    EXPECT_EQ(Cli("links K7").out.rfind("K7\t", 0), 0u);
    EXPECT_EQ(Cli("links sort " + K(w) + " 'numer tomu'", "bibliotekarz").status, 0);
    EXPECT_EQ(Cli("links sort K7 'numer tomu'", "bibliotekarz").status, 2);
    EXPECT_EQ(Cli("links K99999").status, 2);
    EXPECT_EQ(Cli("links").status, 1);
    EXPECT_EQ(Cli("links attach K7").status, 1);
}

TEST_F(LinksServer, AttachmentsAreListedFetchedIntoFilesOfTheirOwnAndAdded) {
    const TempDir dir;
    const CliRun list = Cli("attachment list K5");
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "spis treści.txt\n");
    const CliRun get = Cli("attachment get K5 'spis treści.txt' --out " + dir.Path() + "spis.txt");
    EXPECT_EQ(get.status, 0) << get.err;
    EXPECT_EQ(TempDir::Read(dir.Path() + "spis.txt").rfind("Spis tre\xB6" "ci", 0), std::string::npos);
    EXPECT_EQ(TempDir::Read(dir.Path() + "spis.txt").rfind("Spis tre", 0), 0u);
    const CliRun missing = Cli("attachment get K5 brak.txt --out " + dir.Path() + "brak.txt");
    EXPECT_EQ(missing.status, 2);
    EXPECT_FALSE(TempDir::Exists(dir.Path() + "brak.txt")) << "nothing half-written";
    const std::string file = dir.Write("recenzja.txt", "Dobra książka.\n");
    EXPECT_EQ(Cli("attachment put K8 recenzja " + file).status, 2) << "only for those who may modify records";
    const CliRun put = Cli("attachment put K8 recenzja " + file, "bibliotekarz");
    EXPECT_EQ(put.status, 0) << put.err;
    EXPECT_NE(Cli("attachment list K8").out.find("recenzja"), std::string::npos);
    EXPECT_EQ(Cli("attachment put K8").status, 1);
    // The program's fetches: a file of their own each, the name's extension only.
    OnTheSpot longOps;
    TBlobChange blobs(longOps);
    std::string problem;
    const std::string a = blobs.FetchToWorkFile(files->Connection(), dir.Path(), files->StoredIdentifier("K5"),
                                                "spis treści.txt"_cp, problem);
    const std::string b = blobs.FetchToWorkFile(files->Connection(), dir.Path(), files->StoredIdentifier("K5"),
                                                "spis treści.txt"_cp, problem);
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    EXPECT_NE(a, b);
    EXPECT_EQ(a.substr(a.size() - 4), ".txt");
    EXPECT_EQ(a.rfind(dir.Path() + "tmp-", 0), 0u);
    EXPECT_EQ(TempDir::Read(a), TempDir::Read(b));
    EXPECT_EQ(blobs.FetchToWorkFile(files->Connection(), dir.Path(), files->StoredIdentifier("K5"), "brak/../x", problem), "");
    EXPECT_EQ(problem, "");
    EXPECT_EQ(blobs.FetchToWorkFile(files->Connection(), "/nie/ma/takiego/", "K5", "a.txt", problem), "");
    EXPECT_EQ(problem, "Brak dostępu do folderu roboczego"_cp);
    EXPECT_EQ(TempDir::List(dir.Path()).size(), 4u) << "two fetched, the file put and the one fetched by velt-cli";
}

}  // namespace
