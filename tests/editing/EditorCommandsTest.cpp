// The scripts' command function without a catalogue: the dialogs and their
// rules (one entry chosen unasked, a tree read up to its first misfit),
// the text files of FO and FS (their round trip, and the paths a script may
// name), what goes to the edit session, the label printer and the other
// services, and the commands that answer nothing.

#include "editing/EditorCommands.h"

#include "authority/AuthorityWindows.h"
#include "catalogue/velt_files.h"

#include "text/CpLiteral.h"

#include "support/RecordingPrompts.h"
#include "support/ScriptedPeer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace velt;
using namespace velt::test;

namespace {

struct FakeDialogs : CommandDialogs {
    std::optional<CommandFont> font;
    std::optional<std::string> file;
    int listPick = -1, treePick = -1;
    int listShown = 0, treeShown = 0;
    std::vector<ListChoiceEntry> lastList;
    std::vector<StructureNode> lastTree;
    CommandFont askedFont;
    std::string askedName, askedFilter, askedDirectory;
    std::optional<CommandFont> ChooseFont(const CommandFont& f) override {
        askedFont = f;
        return font;
    }
    std::optional<std::string> ChooseFileToOpen(const std::string& n, const std::string& f, const std::string& d) override {
        askedName = n, askedFilter = f, askedDirectory = d;
        return file;
    }
    std::optional<std::string> ChooseFileToSave(const std::string& n, const std::string& f, const std::string& d) override {
        return ChooseFileToOpen(n, f, d);
    }
    int ShowListChoice(const std::vector<ListChoiceEntry>& entries) override {
        ++listShown;
        lastList = entries;
        return listPick;
    }
    int ShowTreeChoice(const std::vector<StructureNode>& nodes) override {
        ++treeShown;
        lastTree = nodes;
        return treePick;
    }
};

struct FakeSession : EditSessionCommands {
    std::vector<std::string> calls;
    std::string NewRecordWithLines(const std::string& c, const std::string& l) override {
        calls.push_back("A:" + c + ":" + l);
        return {};
    }
    std::string CreateAndStore(const std::string& c, const std::string& l) override {
        calls.push_back("N:" + c + ":" + l);
        return "K900";
    }
    void OpenRecordCommand(const std::string& id) override { calls.push_back("O:" + id); }
    std::string ReadRecord(const std::string& id) override {
        calls.push_back("MO:" + id);
        return "a=1\r";
    }
    std::string ReleaseRecord(const std::string& id) override {
        calls.push_back("MC:" + id);
        return {};
    }
    std::string StoreRecord(const std::string& id, const std::string& l) override {
        calls.push_back("MS:" + id + ":" + l);
        return {};
    }
    std::string Help(char c, const std::string& t) override {
        calls.push_back(std::string("PO:") + c + ":" + t);
        return "pomoc";
    }
    std::string Service(char c, const std::string& t, const std::string& o) override {
        calls.push_back(std::string("PS:") + c + ":" + t + ":" + o);
        return "usługa";
    }
    std::vector<std::string> OpenedRecords() const override { return {"K1", "K2"}; }
    std::vector<std::string> SavedRecords() const override { return {"K3"}; }
};

struct Others : LabelPrinter, ClosedOrdersChooser, FileOpener, CatalogueConnector {
    std::vector<std::string> labels, opened;
    std::string ordersAsked;
    int connects = 0;
    void AddLabel(const std::string& id, const std::string& rest) override { labels.push_back(id + "/" + rest); }
    std::optional<std::string> ChooseClosedOrder(const std::string& a) override {
        ordersAsked = a;
        return std::string("Z17");
    }
    void OpenFile(const std::string& path) override { opened.push_back(path); }
    std::unique_ptr<velt_files> Connect(const std::string&, int, std::string& error) override {
        ++connects;
        error = "Brak połączenia z serwerem"_cp;
        return nullptr;
    }
};

class EditorCommandsTest : public ::testing::Test {
protected:
    EditorCommandsTest() {
        EditorServices s;
        s.prompts = &prompts;
        s.dialogs = &dialogs;
        s.labels = &others;
        s.orders = &others;
        s.opener = &others;
        s.connector = &others;
        s.workingDirectory = work.Path();
        commands = std::make_unique<EditorCommands>(s);
    }
    std::string Run(const std::string& c) { return commands->Run(c); }
    std::vector<std::string> Shown() {
        std::vector<std::string> out;
        out.swap(prompts.shown);
        return out;
    }

    TempDir work, elsewhere;
    RecordingPrompts prompts;
    FakeDialogs dialogs;
    Others others;
    std::unique_ptr<EditorCommands> commands;
};

}  // namespace

TEST_F(EditorCommandsTest, MessagesAndQuestionsShowTheirTextAndAnswerInTheScriptsBooleans) {
    EXPECT_EQ(Run("DQx|Zapisać?"_cp), "");
    prompts.answer = kNo;
    EXPECT_EQ(Run("DQ|Zapisać?"_cp), "N");
    EXPECT_EQ(Run("DE|zły kod"_cp), "");
    Run("DM|gotowe");
    Run("DW|uwaga");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"ask:Zapisać?"_cp, "ask:Zapisać?"_cp, "error:zły kod"_cp,
                                                 "message:gotowe", "notice:uwaga"}));
    dialogs.font = CommandFont{"Arial", 238, 12, true, false};
    EXPECT_EQ(Run("DF|Courier New/0/10/I"), "Arial/238/12/B");
    EXPECT_EQ(dialogs.askedFont.face, "Courier New");
    EXPECT_EQ(dialogs.askedFont.size, 10);
    EXPECT_TRUE(dialogs.askedFont.italic && !dialogs.askedFont.bold);
    // Numbers that cannot be read are left out; the styles in any order.
    Run("DF|Times/x/-3/IB");
    EXPECT_EQ(WriteCommandFont(dialogs.askedFont), "Times/0/0/BI");
    Run("DF|Times");
    EXPECT_EQ(WriteCommandFont(dialogs.askedFont), "Times/0/0/");
    dialogs.font.reset();
    EXPECT_EQ(Run("DF|Courier/0/10/I"), "") << "cancelled";
    // An empty command, an unknown letter or sub-command: nothing at all.
    for (const char* c : {"", "K", "Kxyz|1", "DZ|a", "EX", "FX|a", "UX", "MX1"}) EXPECT_EQ(Run(c), "") << c;
    EXPECT_TRUE(Shown().empty());
}

TEST_F(EditorCommandsTest, AListOfOneIsChosenUnaskedAndSeveralGoToTheWindow) {
    EXPECT_EQ(Run("DL|"), "");
    EXPECT_EQ(Run("DL|pol\x01polski"), "pol");
    EXPECT_EQ(dialogs.listShown, 0);
    dialogs.listPick = 1;
    EXPECT_EQ(Run("DL|pol\x01polski\x01" "eng\x01" "angielski\rEnglish\x01"), "eng");
    ASSERT_EQ(dialogs.lastList.size(), 2u);
    EXPECT_EQ(dialogs.lastList[1].text, "angielski\rEnglish") << "a display text keeps its lines";
    dialogs.listPick = -1;
    EXPECT_EQ(Run("DL|pol\x01polski\x01" "eng\x01" "angielski"), "") << "closed without a choice";
    EXPECT_EQ(dialogs.listShown, 2);
}

TEST_F(EditorCommandsTest, ATreeIsReadUpToItsFirstMisfitAndOnlyNodesWithAValueAreChoices) {
    // One node with a value: chosen without the window.
    EXPECT_EQ(Run("DT|" "||Tematy\r ||Historia\r  |H1|Polska"), "H1");
    EXPECT_EQ(dialogs.treeShown, 0);
    // Nothing to choose.
    EXPECT_EQ(Run("DT|" "||Tematy\r ||Historia"), "");
    EXPECT_EQ(Run("DT|" " |H1|za głęboko"_cp), "") << "a first line not at level 1 ends the reading";
    dialogs.treePick = 2;
    const std::string tree = "DT|" "||Tematy\r |H|Historia\r  |H1|Polska\r |G|Geografia\r     |X|za głęboko\r |Z|po"_cp;
    EXPECT_EQ(Run(tree), "H1");
    ASSERT_EQ(dialogs.lastTree.size(), 4u) << "the line three levels deeper ends the tree";
    EXPECT_EQ(dialogs.lastTree[2].parent, 1);
    EXPECT_EQ(dialogs.lastTree[2].caption, "Polska");
    EXPECT_TRUE(dialogs.lastTree[0].branch);
    dialogs.treePick = 0;
    EXPECT_EQ(Run(tree), "") << "a node without a value chooses nothing";
    dialogs.treePick = 9;
    EXPECT_EQ(Run(tree), "");
}

TEST_F(EditorCommandsTest, TextFilesRoundTripWithTheirBarsAndNoLineIsAdded) {
    work.Write("lista.txt", "a|b\r\nc\\\r\n\r\nd");
    const std::string read = Run("FO|lista.txt");
    EXPECT_EQ(read, "a\\|b|c\\||d|");
    // What FO gave, written back: the same lines, no empty one added.
    EXPECT_EQ(Run("FS|kopia.txt|" + read), "");
    EXPECT_EQ(TempDir::Read(work.Path() + "kopia.txt"), "a|b\r\nc|\r\nd\r\n");
    EXPECT_EQ(Run("FO|kopia.txt"), "a\\|b|c\\||d|");
    // A piece ending with a backslash continues its line after a bar.
    EXPECT_EQ(Run("FS|" + work.Path() + "ciag.txt|x\\|y|z"), "");
    EXPECT_EQ(TempDir::Read(work.Path() + "ciag.txt"), "x|y\r\nz\r\n");
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(Run("FO|brak.txt"), "");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"error:Brak pliku \"brak.txt\""}));
}

TEST_F(EditorCommandsTest, AScriptNamesOnlyFilesUnderTheWorkingDirectoryOrOnesTheUserChose) {
    const std::string outside = elsewhere.Write("tajne.txt", "hasło"_cp);
    work.Write("tu.txt", "x");
    // Out of reach: absolute, climbing out, through a link that leads out.
    std::filesystem::create_symlink(elsewhere.Path(), work.Path() + "wyjscie");
    for (const std::string& name : {outside, "../" + std::filesystem::path(elsewhere.Path()).parent_path().filename().string() + "/tajne.txt",
                                    std::string("wyjscie/tajne.txt")}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Run("FO|" + name), "");
        EXPECT_NE(Run("FS|" + name + "|zmiana"), "");
        Run("!" + name);
    }
    EXPECT_EQ(TempDir::Read(outside), "hasło"_cp) << "nothing written out there";
    EXPECT_TRUE(others.opened.empty());
    EXPECT_EQ(Shown().size(), 9u);
    // What the user chose in the open dialog the script may read and write.
    dialogs.file = outside;
    EXPECT_EQ(Run("DO|tajne.txt|*.txt"), outside);
    EXPECT_EQ(dialogs.askedDirectory, work.Path()) << "the dialog starts in the working directory";
    EXPECT_EQ(dialogs.askedFilter, "*.txt");
    EXPECT_EQ(Run("FO|" + outside), "hasło|"_cp);
    EXPECT_EQ(Run("FS|" + outside + "|nowe"), "");
    EXPECT_EQ(TempDir::Read(outside), "nowe\r\n");
    Run("!tu.txt");
    EXPECT_EQ(others.opened, (std::vector<std::string>{work.Path() + "tu.txt"}));
    dialogs.file.reset();
    EXPECT_EQ(Run("DS|x.txt|*.txt"), "") << "cancelled";
}

TEST_F(EditorCommandsTest, ABigFileIsReadOnlyUpToItsBound) {
    {
        std::ofstream out(work.Path() + "duzy.txt", std::ios::binary);
        const std::string line(1023, 'x');
        for (std::size_t n = 0; n < EditorCommands::kMaxFileRead / 1024 + 64; ++n) out << line << '\n';
    }
    const std::string read = Run("FO|duzy.txt");
    EXPECT_LE(read.size(), EditorCommands::kMaxFileRead + EditorCommands::kMaxFileRead / 1024 + 1);
    EXPECT_GE(read.size(), EditorCommands::kMaxFileRead);
}

TEST_F(EditorCommandsTest, WithoutAnEditSessionTheCommandsThatNeedOneSayItIsNotAvailable) {
    const std::string unavailable = "Operacja niedostępna z tego programu"_cp;
    EXPECT_EQ(Run("AK|a=1"), unavailable);
    EXPECT_EQ(Run("OK1"), unavailable);
    EXPECT_EQ(Run("NK|a=1"), "");
    for (const char* c : {"MOK1", "MCK1", "MSK1|a=1", "POx", "HO", "HZ"}) EXPECT_EQ(Run(c), "") << c;
    EXPECT_EQ(Shown(), std::vector<std::string>(3, "error:" + unavailable));
    // No catalogue: the lookups answer nothing.
    for (const char* c : {"UN", "S2026", "L22|2|x|1", "EDx|1", "ELx|1", "IKHW|A|x", "VK1", "RK1", "XKHW|x", "YKHW|x"})
        EXPECT_EQ(Run(c), "") << c;
}

TEST_F(EditorCommandsTest, SessionCommandsPassTheirArgumentsAndAHelpRequestNeedsItsCharacter) {
    FakeSession session;
    commands->Services().session = &session;
    EXPECT_EQ(Run("AK|a=1\r*b=2"), "");
    EXPECT_EQ(Run("NK|a=1"), "K900");
    EXPECT_EQ(Run("OK12"), "");
    EXPECT_EQ(Run("MOK12"), "a=1\r");
    Run("MCK12");
    Run("MSK12|a=2");
    EXPECT_EQ(Run("PO"), "") << "no character: nothing asked";
    EXPECT_EQ(Run("POhtytuł"_cp), "pomoc");
    EXPECT_EQ(Run("PSxpole|inne"), "usługa");
    EXPECT_EQ(Run("HO"), "K1|K2|");
    EXPECT_EQ(Run("HZ"), "K3|");
    EXPECT_EQ(session.calls, (std::vector<std::string>{"A:K:a=1\r*b=2", "N:K:a=1", "O:K12", "MO:K12", "MC:K12",
                                                       "MS:K12:a=2", "PO:h:tytuł"_cp, "PS:x:pole:inne"}));
}

TEST_F(EditorCommandsTest, LabelsClosedOrdersAndAnotherCatalogueGoToTheirServices) {
    EXPECT_EQ(Run("B|sygn. 12"), "");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"error:Przed wydrukiem naklejki trzeba wypełnić identyfikator!"_cp}));
    Run("BK12|sygn. 12");
    EXPECT_EQ(others.labels, (std::vector<std::string>{"K12/sygn. 12"}));
    EXPECT_EQ(Run("Z|2026"), "Z17");
    EXPECT_EQ(others.ordersAsked, "|2026");
    // Another catalogue: no authority windows, no lookup.
    EXPECT_EQ(Run("CVhost:2100|K1|KA|x"), "");
    EXPECT_EQ(others.connects, 0);
}

TEST_F(EditorCommandsTest, AnotherCataloguesPortIsCheckedBeforeAnyConnectionAndItsErrorIsShown) {
    struct NoWindows : AuthorityWindows {
        std::string Lookup(velt_files&, const velt_KHW&, char, const std::string&) override { return {}; }
        std::string TermSearch(velt_files&, const std::string&, const std::string&) override { return {}; }
        ChosenRecord SelectRecord(velt_files&, const std::string&, const std::string&, int) override { return {}; }
        ChosenRecord SelectInStructure(velt_files&, const std::string&, const std::string&) override { return {}; }
    } windows;
    commands->Services().authority = &windows;
    for (const char* c : {"CVhost|K1|KA|x", "CVhost:abc|K1", "CVhost:0|K1", "CVhost:65536|K1", "CVhost:-5|K1", "CV"}) {
        EXPECT_EQ(Run(c), "") << c;
        EXPECT_EQ(Shown(), (std::vector<std::string>{"message:Błąd połączenia z ZUVO"_cp})) << c;
    }
    EXPECT_EQ(others.connects, 0);
    EXPECT_EQ(Run("CVhost:65535|K1|KA|x"), "");
    EXPECT_EQ(others.connects, 1);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"message:Brak połączenia z serwerem"_cp})) << "the connection's own error";
}

TEST(FileFilters, PairsOrPatternsAloneAndNothingThatMatchesNothing) {
    const auto pairs = ReadFileFilter("Pliki tekstowe|*.txt;*.csv|Wszystkie pliki|*.*");
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].description, "Pliki tekstowe");
    EXPECT_EQ(pairs[0].patterns, (std::vector<std::string>{"*.txt", "*.csv"}));
    EXPECT_EQ(pairs[1].patterns, (std::vector<std::string>{"*.*"}));
    const auto alone = ReadFileFilter(" *.mrc ");
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_EQ(alone[0].description, "*.mrc");
    EXPECT_TRUE(ReadFileFilter("").empty());
    EXPECT_EQ(ReadFileFilter("Opis bez wzorca||Tekst|*.txt|nieparzysty").size(), 1u);
    EXPECT_EQ(ReadFileFilter("|*.txt")[0].description, "*.txt");
}

TEST(ComposedKeys, ADigitGroupBeyondAByteGivesNoCharacter) {
    EXPECT_EQ(ComposedNumberText("x.1.2"), "12   ");
    EXPECT_EQ(ComposedNumberText("x.1.207.208.99999999999.3"), std::string("1\xFF" "3  "));
    EXPECT_EQ(ComposedNumberText("x..a.5."), "5    ") << "a dot without digits is no group";
    EXPECT_EQ(ComposedNumberText(".1.2.3.4.5.6"), "123456") << "padded to at least 5, never cut";
}

namespace {

// A server whose inventory walk never ends: every next entry is a new key,
// or (repeating) the same key again.
struct EndlessWalk {
    explicit EndlessWalk(bool repeating, std::string status = "VELT2&wersja=2026.01.01&rekordy=KOT")
        : peer([this, repeating, status](test::PeerConnection& c) {
              for (;;) {
                  const int code = c.ReadByte();
                  if (code == 0 || code == 0xFF) return;
                  if (code == 30) {
                      c.WriteText(status);
                      continue;
                  }
                  c.ReadInt();  // kind
                  c.ReadInt();  // format
                  c.ReadInt();  // parameter
                  if (code != 50) c.ReadText();
                  c.ReadText();
                  ++answered;
                  const std::string key = repeating ? "2026/00001" : "2026/" + std::to_string(answered);
                  c.WriteAnswers({key, key + "   ", "K1  "});
              }
          }) {}
    std::atomic<int> answered{0};
    test::ScriptedPeer peer;
};

}  // namespace

TEST(InventoryWalk, ARepeatedKeyEndsTheWalkAndAnEndlessIndexIsCutAtTheBound) {
    RecordingPrompts prompts;
    for (const bool repeating : {true, false}) {
        SCOPED_TRACE(repeating ? "repeating" : "endless");
        EndlessWalk server(repeating);
        velt_files files("127.0.0.1", nullptr, false, server.peer.Port());
        ASSERT_TRUE(files.Ready) << files.ErrorText;
        EditorServices services;
        services.prompts = &prompts;
        services.files = &files;
        EditorCommands commands(services);
        const std::string walked = commands.Run("S2026/");
        if (repeating) {
            EXPECT_EQ(walked, "2026/00001|K1|") << "trailing blanks trimmed, the repeat not listed";
            EXPECT_EQ(server.answered, 2);
        } else {
            EXPECT_EQ(std::count(walked.begin(), walked.end(), '|'), 2 * EditorCommands::kMaxWalk);
            EXPECT_EQ(server.answered, EditorCommands::kMaxWalk);
        }
    }
}

TEST(InventoryWalk, AnIndexValueOfAnItemTheEntryDoesNotHaveIsEmpty) {
    RecordingPrompts prompts;
    EndlessWalk server(true, "VELT1&wersja=2026.01.01");
    velt_files files("127.0.0.1", nullptr, false, server.peer.Port());
    ASSERT_TRUE(files.Ready) << files.ErrorText;
    EditorServices services;
    services.prompts = &prompts;
    services.files = &files;
    EditorCommands commands(services);
    EXPECT_EQ(commands.Run("L8|1|2026/|3"), "K1  ");
    for (const char* c : {"L8|1|2026/|4", "L8|1|2026/|0", "L8|1|2026/|-1", "L8|1|2026/|x", "L999|1|2026/|1", "L8|1"})
        EXPECT_EQ(commands.Run(c), "") << c;
}
