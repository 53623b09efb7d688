// The administrator's programs and global deletion without their window,
// against velt-server: the guard of the four commands, the program text kept
// between openings, "Wykonaj" over a record, the local and the remote
// collection with the answers it may get, program files, and global
// deletion with one question, the records it must not touch and a
// connection that breaks half-way.

#include "EditingHarness.h"
#include "admin/AdministratorCommands.h"
#include "browse/PresentationTabs.h"
#include "browse/VrCollection.h"
#include "catalogue/CatalogueContext.h"
#include "files/FileFaults.h"
#include "net/RecordRequests.h"
#include "net/SearchRequests.h"
#include "search/QueryHistory.h"
#include "text/RecordText.h"

#include "browse/FakeMeasurer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

using namespace velt;
using namespace velt::test;

namespace {

struct Context : CatalogueContext {
    velt_files* files = nullptr;
    CatalogueSettings settings;
    std::vector<CatalogueListener*> listeners;
    velt_files* Current() const override { return files; }
    CatalogueSettings& Settings() override { return settings; }
    void AddListener(CatalogueListener* l) override { listeners.push_back(l); }
    void RemoveListener(CatalogueListener* l) override { std::erase(listeners, l); }
};

struct Host : BrowserHost {
    void CellsChanged() override {}
    void Defer(std::function<void()> action) override { action(); }
};

struct View : TabsView {
    Host host;
    FakeMeasurer measurer;
    std::vector<std::string> box;
    void TabsRemoved() override {}
    void TabsBuilt() override {}
    void TabActivated(int) override {}
    void BrowserBuilt(int, VrBrowser&) override {}
    BrowserHost& HostFor(int) override { return host; }
    void PageSize(int& width, int& height) override {
        width = 400;
        height = 200;
    }
    CellMeasurer& Measurer() override { return measurer; }
    void FormatsChanged() override {}
    void PutIntoRecordBox(const std::string& shown) override { box.push_back(shown); }
    std::string RecordBoxText() override { return box.empty() ? std::string() : box.back(); }
    void EntryCommand(const std::string&, const std::string&, const std::string&, bool) override {}
    void FatalStop() override {}
};

// The progress window's worker: a thread of its own, as in the program.
struct WorkerOps : LongOperations {
    std::vector<std::string> texts;
    void run_with_progress(const std::string& text, const std::function<void()>& work) override {
        texts.push_back(text);
        std::thread(work).join();
    }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override {
        work([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
};

// The window: what it was opened with, and what the test does while it is open.
struct Window : GlobalProgramWindow {
    int shown = 0;
    std::vector<std::string> offered;
    ModificationMode mode{};
    std::string record;
    std::function<std::vector<std::string>(GlobalProgram&, std::vector<std::string>)> act;
    std::vector<std::string> ShowModal(GlobalProgram& program, const std::vector<std::string>& lines) override {
        ++shown;
        offered = lines;
        mode = program.Mode();
        record = program.Record();
        return act ? act(program, lines) : lines;
    }
};

std::vector<std::string> Lines(std::initializer_list<std::string> lines) { return lines; }

// Adds "590Z.1.1.1.1=note" to every record it runs over.
std::vector<std::string> Note(const std::string& note) {
    return {"BEGIN", "  GRUPA('590')", "  POZYCJA = '.1.1.1'", "  GRUPA('Z')", "  POLE = '" + note + "'", "  BACK",
            "  BACK", "END"};
}

class GlobalTest : public ::testing::Test {
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
        SetProgramText("begin\r\nend");
    }
    void TearDown() override { sServer->Control("clear"); }

    // An administrator's session with the tabs of the catalogue.
    struct Scene {
        Scene(const std::string& user, const std::string& dir)
            : editing(*sServer, dir, user), tabs((context.files = &editing.files, context), editing.prompts, view) {
            context.settings.WorkingDirectory = dir;
            for (auto* l : context.listeners) l->CatalogueOpened(editing.files);
        }
        ~Scene() {
            for (auto* l : context.listeners) l->CatalogueClosing(editing.files, true);
        }
        AdminScene Of(const std::string& box = {}) { return {&editing.files, editing.session.get(), &tabs, box}; }
        VrCollection& Local() { return tabs.Local()->Collection(); }
        void Include(std::initializer_list<const char*> shown) {
            for (const char* id : shown)
                Local().Include(editing.files.RecordNumber(editing.files.StoredIdentifier(id)));
        }

        Context context;
        Editing editing;
        View view;
        PresentationTabs tabs;
        WorkerOps longOps;
        Window window;
        AdministratorCommands commands{editing.prompts, longOps, window};
    };

    // A field of a record as another session reads it; "<none>" when it cannot be opened.
    std::string Stored(const std::string& id, const std::string& key) {
        TVeltClient other("127.0.0.1", nullptr, sServer->Port());
        other.Login("admin", "admin", "");
        const Answers opened = EditRequest(other, 'O', {id});
        if (!opened.Answered() || !opened[1].empty() || opened.count < 2) return "<none>";
        const my_record r = ParseRecordText(opened[2]);
        EditRequest(other, 'X', {id});
        return r.GetValue(key);
    }

    static inline ServerProcess* sServer = nullptr;
    TempDir dir;
};

}  // namespace

TEST(ProgramText, AFreshRunOffersBeginAndEndAndLinesSurviveTheirEnds) {
    EXPECT_EQ(ProgramText(), "begin\r\nend");
    EXPECT_EQ(TextLines(ProgramText()), Lines({"begin", "end"}));
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},           {"a", {"a"}},           {"a\r\n", {"a"}},         {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}}, {"a\rb", {"a", "b"}}, {"a\n\nb", {"a", "", "b"}}, {"a\r\r\nb", {"a", "", "b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(TextLines(c.text), c.lines) << c.text;
    EXPECT_EQ(JoinLines({"begin", "", "end"}), "begin\r\n\r\nend");
    EXPECT_EQ(ProgramForServer({"begin", "end"}), "begin\rend\r");
}

TEST_F(GlobalTest, TheCommandsNeedEditingTheRightAndSomethingToRunOver) {
    {
        Scene librarian("bibliotekarz", dir.Path());
        librarian.commands.ModifyRecord(librarian.Of(), "K1");
        librarian.commands.DeleteLocalCollection(librarian.Of());
        EXPECT_EQ(librarian.window.shown, 0);
        EXPECT_EQ(librarian.editing.prompts.Take(),
                  Lines({"error:Operacja dostępna jedynie dla administratora"_cp,
                         "error:Operacja dostępna jedynie dla administratora"_cp}));
    }
    Scene admin("admin", dir.Path());
    AdminScene withoutEditing = admin.Of();
    withoutEditing.editing = nullptr;
    admin.commands.ModifyRecord(withoutEditing, "K1");
    admin.commands.DeleteLocalCollection(withoutEditing);
    // No remote collection, no record: nothing at all.
    ASSERT_EQ(admin.editing.files.RemoteCollection, 0);
    admin.commands.ModifyRemoteCollection(admin.Of());
    admin.commands.ModifyRecord(admin.Of(), "");
    EXPECT_EQ(admin.window.shown, 0);
    EXPECT_TRUE(admin.editing.prompts.Take().empty());
    admin.commands.ModifyLocalCollection(admin.Of());
    EXPECT_EQ(admin.window.shown, 1);
    EXPECT_EQ(admin.window.mode, ModificationMode::LocalCollection);
}

TEST_F(GlobalTest, TheProgramEditedAndCancelledIsOfferedAgainAtTheNextOpening) {
    Scene admin("admin", dir.Path());
    admin.window.act = [](GlobalProgram&, std::vector<std::string>) { return Lines({"BEGIN", "  { nic }", "END"}); };
    admin.commands.ModifyRecord(admin.Of(), "K12");
    EXPECT_EQ(admin.window.offered, Lines({"begin", "end"}));
    EXPECT_EQ(admin.window.mode, ModificationMode::Record);
    EXPECT_EQ(admin.window.record, "K12");
    EXPECT_EQ(ProgramText(), "BEGIN\r\n  { nic }\r\nEND");
    admin.window.act = nullptr;
    admin.commands.ModifyLocalCollection(admin.Of());
    EXPECT_EQ(admin.window.offered, Lines({"BEGIN", "  { nic }", "END"}));
}

TEST_F(GlobalTest, WykonajSendsTheProgramOverTheRecordAndShowsTheTabsAgain) {
    Scene admin("admin", dir.Path());
    bool accepted = false;
    admin.window.act = [&](GlobalProgram& program, std::vector<std::string>) {
        const auto lines = Note("Jeden rekord");
        accepted = program.Execute(lines);
        return lines;
    };
    const long lists = sServer->Count("200L");
    admin.commands.ModifyRecord(admin.Of("K12"), "K12");
    EXPECT_TRUE(accepted);
    EXPECT_EQ(sServer->Count("200L") - lists, 1);
    EXPECT_EQ(admin.longOps.texts, Lines({"Wykonywanie programu"}));
    EXPECT_EQ(Stored("K12", "590Z.1.1.1.1"), "Jeden rekord");
    EXPECT_EQ(Stored("K13", "590Z.1.1.1.1"), "");
    EXPECT_TRUE(admin.editing.prompts.Take().empty());
    EXPECT_EQ(admin.editing.prompts.busyDepth, 0);
}

TEST_F(GlobalTest, WykonajOverTheLocalAndTheRemoteCollection) {
    Scene admin("admin", dir.Path());
    // An empty local collection sends an empty list, which changes nothing.
    GlobalProgram empty(admin.editing.files, admin.editing.prompts, admin.longOps, ModificationMode::LocalCollection,
                        {}, &admin.Local(), {});
    EXPECT_TRUE(empty.Execute(Note("Nic")));
    admin.Include({"K22", "K21"});
    EXPECT_EQ(LocalRecordList(admin.Local(), admin.editing.files), "K21|K22|");
    int redisplayed = 0;
    GlobalProgram local(admin.editing.files, admin.editing.prompts, admin.longOps, ModificationMode::LocalCollection,
                        {}, &admin.Local(), [&] { ++redisplayed; });
    EXPECT_TRUE(local.Execute(Note("Lokalna")));
    EXPECT_EQ(redisplayed, 1);
    for (const char* id : {"K21", "K22"}) EXPECT_EQ(Stored(id, "590Z.1.1.1.1"), "Lokalna");

    const SearchOutcome found =
        InterpretSearchReply(Search(admin.editing.files.Connection(), "\"numer rekordu\" RÓWNY \"K23\""_cp).get());
    ASSERT_NE(found.collection, 0);
    admin.editing.files.RemoteCollection = found.collection;
    GlobalProgram remote(admin.editing.files, admin.editing.prompts, admin.longOps,
                         ModificationMode::RemoteCollection, {}, nullptr, {});
    const long collections = sServer->Count("200G");
    EXPECT_TRUE(remote.Execute(Note("Zdalna")));
    EXPECT_EQ(sServer->Count("200G") - collections, 1);
    EXPECT_EQ(Stored("K23", "590Z.1.1.1.1"), "Zdalna");
}

TEST_F(GlobalTest, AFailedRunKeepsTheWindowOpenWithOneMessage) {
    Scene admin("admin", dir.Path());
    int redisplayed = 0;
    GlobalProgram program(admin.editing.files, admin.editing.prompts, admin.longOps, ModificationMode::Record, "K24",
                          nullptr, [&] { ++redisplayed; });
    // The server's refusal, shown as it is.
    EXPECT_FALSE(program.Execute({"BEGIN", "  X = ", "END"}));
    const auto refused = admin.editing.prompts.Take();
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].rfind("error:Błąd programu\r"_cp, 0), 0u) << refused[0];
    EXPECT_EQ(program.Result(), refused[0].substr(6));
    // An answer of no texts is no success.
    ASSERT_EQ(sServer->Control("answers 200L 0"), "ok");
    EXPECT_FALSE(program.Execute(Note("Bez odpowiedzi")));
    EXPECT_EQ(admin.editing.prompts.Take(), Lines({"error:Bład odpowiedzi"_cp}));
    sServer->Control("clear");
    // A connection that breaks is told once, by the session.
    ASSERT_EQ(sServer->Control("close 200L"), "ok");
    EXPECT_FALSE(program.Execute(Note("Zerwane")));
    EXPECT_FALSE(program.Result().empty());
    EXPECT_TRUE(admin.editing.prompts.Take().empty());
    EXPECT_EQ(admin.editing.sessionMessages.size(), 1u);
    EXPECT_EQ(redisplayed, 0);
    EXPECT_EQ(admin.editing.prompts.busyDepth, 0);
}

TEST_F(GlobalTest, AProgramFailingOnOneRecordOfTheLocalCollectionChangesNone) {
    Scene admin("admin", dir.Path());
    admin.Include({"K30", "K31", "K32"});
    int redisplayed = 0;
    GlobalProgram program(admin.editing.files, admin.editing.prompts, admin.longOps, ModificationMode::LocalCollection,
                          {}, &admin.Local(), [&] { ++redisplayed; });
    // The second record's title emptied: no book may be saved so.
    std::vector<std::string> failing = Note("Wszystkie albo żaden"_cp);
    failing.insert(failing.end() - 1, {"  IF REKORD = 'K31'", "    GRUPA('245')", "    GRUPA('Z')", "    POLE = ''",
                                       "    BACK", "    BACK", "  ENDIF"});
    EXPECT_FALSE(program.Execute(failing));
    EXPECT_EQ(admin.editing.prompts.Take(),
              Lines({"error:Nie zmieniono żadnego rekordu. Rekord K31: Brak tytułu właściwego"_cp}));
    for (const char* id : {"K30", "K31", "K32"}) EXPECT_EQ(Stored(id, "590Z.1.1.1.1"), "") << id;
    // A record another user holds fails the run as well.
    ASSERT_EQ(sServer->Control("lock K32 kowalski"), "ok");
    EXPECT_FALSE(program.Execute(Note("Zablokowany")));
    const auto held = admin.editing.prompts.Take();
    ASSERT_EQ(held.size(), 1u);
    EXPECT_NE(held[0].find("Rekord K32 jest zarezerwowany przez użytkownika kowalski"_cp), std::string::npos) << held[0];
    sServer->Control("clear");
    EXPECT_EQ(Stored("K30", "590Z.1.1.1.1"), "");
    EXPECT_EQ(redisplayed, 0);
    // Once sound, every record is changed.
    EXPECT_TRUE(program.Execute(Note("Poprawiony")));
    EXPECT_EQ(redisplayed, 1);
    for (const char* id : {"K30", "K31", "K32"}) EXPECT_EQ(Stored(id, "590Z.1.1.1.1"), "Poprawiony") << id;
}

TEST_F(GlobalTest, ProgramFilesAreReadAndWrittenAndTheirFailuresShown) {
    Scene admin("admin", dir.Path());
    GlobalProgram program(admin.editing.files, admin.editing.prompts, admin.longOps, ModificationMode::Record, "K1",
                          nullptr, {});
    const std::string file = dir.Path() + "zmiana.apr";
    ASSERT_TRUE(program.Save(file, {"BEGIN", "  { ąę }"_cp, "END"}));
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "BEGIN\r\n  { ąę }\r\nEND\r\n"_cp);
    EXPECT_EQ(program.Open(file), Lines({"BEGIN", "  { ąę }"_cp, "END"}));
    EXPECT_TRUE(admin.editing.prompts.Take().empty());

    EXPECT_TRUE(program.Open(dir.Path() + "brak.apr").empty());
    EXPECT_EQ(admin.editing.prompts.Take(), Lines({"error:Błąd czytania pliku "_cp + dir.Path() + "brak.apr"}));
    // A failed save says so, and the old file stays whole.
    {
        FileFaultScope full(FileStep::Write);
        EXPECT_FALSE(program.Save(file, {"nowy"}));
    }
    EXPECT_EQ(admin.editing.prompts.Take(),
              Lines({"error:Błąd zapisu pliku "_cp + file + " (brak miejsca na dysku)"_cp}));
    EXPECT_EQ(program.Open(file), Lines({"BEGIN", "  { ąę }"_cp, "END"}));
    EXPECT_FALSE(program.Save(dir.Path() + "nie/ma/katalogu.apr", {"x"}));
    EXPECT_EQ(admin.editing.prompts.Take().size(), 1u);
    // A file past the bound keeps the lines that fit, and says it could not be read whole.
    {
        std::ofstream big(file, std::ios::binary);
        big << "BEGIN\r\n" << std::string(kMaxModificationProgram, 'x') << "\r\nEND\r\n";
    }
    EXPECT_EQ(program.Open(file), Lines({"BEGIN"}));
    EXPECT_EQ(admin.editing.prompts.Take().size(), 1u);
}

TEST_F(GlobalTest, GlobalDeletionAsksOnceWithNieAndLeavesExactlyTheRecordThatFailed) {
    Scene admin("admin", dir.Path());
    admin.Include({"K40", "K41", "K42"});
    // Nie (the default): nothing happens.
    admin.editing.prompts.answers = {kNo};
    const long opens = sServer->Count("200O");
    admin.commands.DeleteLocalCollection(admin.Of());
    EXPECT_EQ(admin.editing.prompts.defaults, std::vector<DialogResult>{kNo});
    EXPECT_EQ(admin.editing.prompts.Take(), Lines({"ask:Czy rzeczywiście chcesz usunąć 3 rekordów"_cp}));
    EXPECT_EQ(sServer->Count("200O"), opens);
    EXPECT_EQ(admin.Local().CountNumbers(), 3);

    // The second is held by another user: one error, and only it stays.
    ASSERT_EQ(sServer->Control("lock K41 kowalski"), "ok");
    admin.editing.session->OpenRecord("K", "K40");
    admin.editing.session->CloseActive();  // K40 is among the records opened
    ASSERT_EQ(admin.editing.session->Opened(), Lines({"K40"}));
    admin.editing.prompts.answers = {kYes};
    admin.commands.DeleteLocalCollection(admin.Of("K40"));
    const auto shown = admin.editing.prompts.Take();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].rfind("error:Rekord K41 jest zarezerwowany przez użytkownika kowalski"_cp, 0), 0u) << shown[1];
    EXPECT_EQ(admin.Local().CountNumbers(), 1);
    EXPECT_TRUE(admin.Local().Contains(admin.editing.files.RecordNumber(admin.editing.files.StoredIdentifier("K41"))));
    EXPECT_EQ(Stored("K40", "001Z.1.1.1.1"), "<none>");
    EXPECT_EQ(Stored("K42", "001Z.1.1.1.1"), "<none>");
    sServer->Control("clear");
    EXPECT_NE(Stored("K41", "001Z.1.1.1.1"), "<none>");
    // The editor forgot the deleted record; the busy cursor is back.
    EXPECT_TRUE(admin.editing.session->Opened().empty());
    EXPECT_EQ(admin.editing.prompts.busyDepth, 0);
}

TEST_F(GlobalTest, GlobalDeletionNeverTouchesAnOpenSheetAndReleasesWhatItCouldNotDelete) {
    Scene admin("admin", dir.Path());
    // An authority record in use is opened, refused and released.
    admin.Include({"K50", "O1"});
    admin.editing.session->OpenRecord("K", "K50");
    ASSERT_EQ(admin.editing.session->SheetCount(), 1);
    const long opens = sServer->Count("200O"), releases = sServer->Count("200X"), deletes = sServer->Count("200D");
    std::vector<DeletionStep> steps;
    admin.editing.prompts.answers = {kYes};
    const DeletionOutcome outcome =
        DeleteCollectionRecords(admin.editing.files, admin.Local(), admin.editing.session.get(), admin.editing.prompts,
                                [&](const DeletionStep& s) { steps.push_back(s); });
    EXPECT_TRUE(outcome.confirmed);
    EXPECT_TRUE(outcome.deleted.empty());
    ASSERT_EQ(steps.size(), 2u);
    // In record number order; the sheet's record is not asked for at all.
    EXPECT_EQ(sServer->Count("200O") - opens, 1);
    EXPECT_EQ(sServer->Count("200D") - deletes, 1);
    EXPECT_EQ(sServer->Count("200X") - releases, 1);
    for (const DeletionStep& s : steps) {
        EXPECT_FALSE(s.deleted);
        if (s.identifier == "K50")
            EXPECT_EQ(s.reason, "Rekord K50 jest otwarty do edycji: usuń go w jego oknie"_cp);
        else
            EXPECT_EQ(s.reason.rfind("Nie można usunąć rekordu wzorcowego O1"_cp, 0), 0u) << s.reason;
    }
    EXPECT_EQ(admin.Local().CountNumbers(), 2);
    // The sheet still holds its reservation: another user cannot open K50.
    EXPECT_EQ(Stored("K50", "001Z.1.1.1.1"), "<none>");
    admin.editing.session->CloseActive();
}

TEST_F(GlobalTest, ABrokenConnectionStopsTheWalkAtOnceWithOneMessage) {
    Scene admin("admin", dir.Path());
    admin.Include({"K60", "K61", "K62", "K63"});
    ASSERT_EQ(sServer->Control("close 200D 1"), "ok");
    admin.editing.prompts.answers = {kYes};
    std::vector<DeletionStep> steps;
    const DeletionOutcome outcome = DeleteCollectionRecords(admin.editing.files, admin.Local(), nullptr,
                                                            admin.editing.prompts,
                                                            [&](const DeletionStep& s) { steps.push_back(s); });
    EXPECT_TRUE(outcome.broken);
    ASSERT_EQ(steps.size(), 1u) << "no record after the failure is tried";
    EXPECT_EQ(steps[0].reason, admin.editing.files.ConnectionError());
    EXPECT_EQ(admin.editing.prompts.Take(), Lines({"ask:Czy rzeczywiście chcesz usunąć 4 rekordów"_cp}));
    EXPECT_EQ(admin.editing.sessionMessages.size(), 1u) << "the failure is told once, by the session";
    EXPECT_EQ(admin.Local().CountNumbers(), 4);
    EXPECT_EQ(admin.editing.prompts.busyDepth, 0);
}
