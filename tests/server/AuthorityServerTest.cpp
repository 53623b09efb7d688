// The authority files against velt-server, without windows: the lookup's
// typing (one seek per pause), the choice in modes K and F, see-references,
// the record buttons' identifiers, the older search window, the exact
// lookup and the reference text, and the record chooser.

#include "ServerTestSupport.h"
#include "authority/AuthorityEntries.h"
#include "authority/AuthorityLookup.h"
#include "authority/RecordChooser.h"
#include "authority/TermSearch.h"
#include "catalogue/velt_files.h"
#include "net/IndexRequests.h"
#include "text/CpLiteral.h"

#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

namespace {

struct LookupView : AuthorityLookupView {
    std::string search, found, shown;
    int accepted = 0, rejected = 0, lists = 0;
    void ShowSearchText(const std::string& t) override { search = t; }
    void ShowFoundTerm(const std::string& t) override { found = t; }
    void ShowEntry(const std::string& key) override { shown = key; }
    void ListChanged() override { ++lists; }
    void Accept() override { ++accepted; }
    void Reject() override { ++rejected; }
};

struct Editor : AuthorityEditing {
    std::vector<std::string> done;
    bool CanEdit(const std::string& letter) override { return letter == "O" || letter == "T"; }
    void OpenRecord(const std::string& code, const std::string& id) override { done.push_back("open " + code + " " + id); }
    void DeleteRecord(const std::string& id) override { done.push_back("delete " + id); }
    void NewRecord(const std::string& code) override { done.push_back("new " + code); }
    void ShowEditor() override { done.push_back("show"); }
};

class AuthorityServer : public SharedServerTest {
protected:
    void SetUp() override {
        SharedServerTest::SetUp();
        files = std::make_unique<velt_files>(
            std::make_unique<TVeltClient>("127.0.0.1", [](const std::string&, SessionText) {}, sServer->Port()), true);
        ASSERT_TRUE(files->Ready);
    }
    const velt_KHW& Persons() { return *FindAuthorityFile(*files, "KHWO"); }
    std::unique_ptr<velt_files> files;
    RecordingPrompts prompts;
};

}  // namespace

TEST_F(AuthorityServer, TypingSeeksOncePerPauseAndAChoiceGivesTheKeyWithItsLink) {
    LookupView view;
    Editor editor;
    AuthorityLookup lookup(*files, Persons(), 'K', view, prompts, &editor);
    EXPECT_TRUE(lookup.RecordButtons());
    lookup.Start("Prus");
    EXPECT_EQ(view.search, "Prus") << "the start text is in the field";
    EXPECT_EQ(lookup.Seeks(), 1);
    // Keystrokes only restart the pause; the pause seeks once.
    const long before = sServer->Count("55");
    for (const char* typed : {"G", "Gł", "Gło", "Głow"}) {
        (void)typed;
        EXPECT_TRUE(lookup.Typed());
    }
    lookup.TypingPaused("Głow"_cp);
    EXPECT_EQ(sServer->Count("55") - before, 1) << "one seek for the pause";
    ASSERT_FALSE(view.shown.empty());
    // The see-reference's entry gives the heading it stands for, with its link.
    lookup.Action(view.shown, "!");
    EXPECT_EQ(view.search, "Głowacki, Aleksander"_cp) << "the field takes the heading the entry stands under";
    EXPECT_EQ(view.found.rfind("^aPrus, Bolesław ^d1847-1912 ^9O"_cp, 0), 0u) << view.found;
    EXPECT_EQ(lookup.RecordIdentifiers().size(), 1u) << "the record behind the heading, once";
    lookup.Action(view.shown, "*");
    EXPECT_EQ(view.accepted, 1);
    EXPECT_EQ(lookup.Result(), view.found);
    // The record buttons act on it and close the window.
    lookup.OpenRecords();
    ASSERT_EQ(editor.done.size(), 1u);
    EXPECT_EQ(editor.done[0].rfind("open O ", 0), 0u);
    EXPECT_EQ(view.rejected, 1);
    EXPECT_EQ(lookup.Result(), "") << "a record button returns no heading";
}

TEST_F(AuthorityServer, ModeFTakesFullAValueListAndAMissingEntryReturnsNothing) {
    LookupView view;
    AuthorityLookup values(*files, ValueListFile("WY"), 'F', view, prompts, nullptr);
    EXPECT_FALSE(values.RecordButtons()) << "a value list has no records to open";
    values.Start("Czyt");
    ASSERT_FALSE(view.shown.empty());
    values.Action(view.shown, "*");
    EXPECT_EQ(values.Result(), "Czytelnik") << "a value list's full is its heading";
    EXPECT_TRUE(values.RecordIdentifiers().empty());
    values.OpenRecords();  // no editor: nothing happens
    // A double click on an entry the server does not have gives no stale result.
    values.Action("nie ma takiego klucza", "*");
    EXPECT_EQ(values.Result(), "");
    EXPECT_EQ(view.accepted, 2);
    // Mode K without a key tag would take the heading; any other mode gives nothing.
    LookupView other;
    AuthorityLookup odd(*files, Persons(), 'Q', other, prompts, nullptr);
    odd.Start("Prus");
    odd.Action(other.shown, "*");
    EXPECT_EQ(odd.Result(), "");
}

TEST_F(AuthorityServer, TheRecordButtonsFindRecordsByTheHeadingWhenNoOpenTagSaysSo) {
    // A catalogue whose authority format carries no tags: the record buttons
    // walk the index in the catalogue's shape for the heading chosen.
    for (velt_format& f : files->Formats)
        if (f.Type == "KHW") f.Id = 1;
    LookupView view;
    Editor editor;
    AuthorityLookup lookup(*files, Persons(), 'K', view, prompts, &editor);
    lookup.Start("Prus, B"_cp);
    lookup.Action(view.shown, "!");
    EXPECT_EQ(view.found, "Prus, Bolesław"_cp) << "no key tag: mode K takes the heading";
    const std::vector<std::string> ids = lookup.RecordIdentifiers();
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(ReferenceText(*files, ids[0], "referencja").rfind("Prus, Bolesław"_cp, 0), 0u) << ids[0];
    lookup.DeleteRecords();
    ASSERT_EQ(editor.done.size(), 1u);
    EXPECT_EQ(editor.done[0], "delete " + ids[0]);
    // Nothing chosen: no record, the window stays open.
    LookupView fresh;
    AuthorityLookup again(*files, Persons(), 'K', fresh, prompts, &editor);
    again.Start("");
    again.Action("brak", "!");
    EXPECT_TRUE(again.RecordIdentifiers().empty());
    again.OpenRecords();
    EXPECT_EQ(prompts.shown.back(), "error:Nie wskazano rekordu");
    EXPECT_EQ(fresh.rejected, 0) << "the window stays open";
}

TEST_F(AuthorityServer, TheOlderSearchWindowReturnsTheEditedTextAndTheLookupsAnswerExactly) {
    struct View : TermSearchView {
        std::string text, shown;
        bool accepted = false;
        void ShowSearchText(const std::string& t) override { text = t; }
        void ShowEntry(const std::string& k) override { shown = k; }
        void Accept() override { accepted = true; }
    } view;
    TermSearch search(*files, "WY", view);
    search.Start("Czy");
    EXPECT_EQ(search.Text(), "Czy") << "typing, not the entry, is the result";
    ASSERT_FALSE(view.shown.empty());
    search.Action(view.shown, "!");
    EXPECT_EQ(search.Text(), "Czytelnik") << "a click copies the heading";
    EXPECT_FALSE(view.accepted);
    search.TextChanged("Czytelnik i");
    EXPECT_EQ(search.Text(), "Czytelnik i");
    search.Action(view.shown, "*");
    EXPECT_TRUE(view.accepted);

    EXPECT_EQ(ExactAuthorityTerm(*files, "KHW", "WY", "Czytelnik").rfind("\x1BSB\x1A" "Czytelnik", 0), 0u);
    EXPECT_EQ(ExactAuthorityTerm(*files, "KHW", "WY", "Czytel"), "") << "only the whole term";
    EXPECT_EQ(ExactAuthorityTerm(*files, "nie-ma", "WY", "Czytelnik"), "");
    EXPECT_EQ(ReferenceText(*files, "K3", "brak-formatu"), "** K3 **");
    EXPECT_EQ(ReferenceText(*files, "", "referencja"), "");
    EXPECT_NE(ReferenceText(*files, "K3", "referencja").find("("), std::string::npos);
}

TEST_F(AuthorityServer, TheChooserKeepsItsHistoryChecksTheKindAndRestoresTheFormat) {
    struct View : RecordChooserView {
        std::vector<std::string> history;
        std::vector<StructureNode> tree;
        bool accepted = false;
        std::string shown;
        void ShowIndex(int) override {}
        void ListChanged() override {}
        void ShowEntry(const std::string& k) override { shown = k; }
        void ShowHistory(const std::vector<std::string>& h) override { history = h; }
        void ShowTree(const std::vector<StructureNode>& t) override { tree = t; }
        void Accept() override { accepted = true; }
        void ShowPicture(const std::string&) override {}
        void StartProgram(const std::string&, const std::string&) override {}
        void ShowLinks(const ChooserLinks&) override {}
    } view;
    RecordingPrompts chooserPrompts;
    struct NoLong : LongOperations {
        void run_with_progress(const std::string&, const std::function<void()>& w) override { w(); }
        void run_with_gauge(const std::function<void(const GaugeFunction&)>& w) override {
            w([](std::int64_t, std::int64_t) { return true; });
        }
        bool download_progress(std::int64_t, std::int64_t) override { return true; }
    } longOps;
    const std::int32_t format = files->CurrentFormat;
    {
        RecordChooser chooser(*files, view, chooserPrompts, longOps, "/tmp/");
        chooser.StartList("K7", "", 0);
        EXPECT_EQ(view.history, std::vector<std::string>{"K7"});
        ASSERT_FALSE(view.shown.empty()) << "the start record is shown";
        chooser.Ok();
        EXPECT_TRUE(chooser.Result().chosen);
        EXPECT_EQ(chooser.Result().identifier, "K7");
        // A record of another kind is refused on a double click.
        chooser.Picked(42, "O3", "");
        EXPECT_EQ(chooserPrompts.shown.back(), "plain:Rodzaj wskazanego rekordu nie jest odpowiedni");
        EXPECT_EQ(view.history.front(), "O3") << "it went to the top of the history all the same";
        chooser.Picked(33, "K7", "");
        EXPECT_EQ(view.history, (std::vector<std::string>{"K7", "O3"})) << "once, at the top";
        // Another presentation format for the chooser only.
        chooser.ChooseFormat(1);
        EXPECT_NE(files->CurrentFormat, format);
    }
    EXPECT_EQ(files->CurrentFormat, format) << "the main window's format is back when the chooser ends";

    View empty;
    RecordChooser cancelled(*files, empty, chooserPrompts, longOps, "/tmp/");
    cancelled.StartList("", "", 0);
    cancelled.Ok();
    EXPECT_EQ(chooserPrompts.shown.back(), "plain:Najpierw trzeba zaznaczyć rekord"_cp);
    EXPECT_FALSE(cancelled.Result().chosen) << "nothing chosen is no choice, not the start identifier";

    // Tree mode: the components of a record as nodes to choose from.
    View tree;
    RecordChooser structure(*files, tree, chooserPrompts, longOps, "/tmp/");
    structure.StartTree("K3", "skladniki");
    ASSERT_GE(tree.tree.size(), 3u);
    EXPECT_EQ(tree.tree[0].identifier, "K3");
    int author = -1;
    for (std::size_t i = 0; i < tree.tree.size(); ++i)
        if (!tree.tree[i].branch && tree.tree[i].identifier.rfind('O', 0) == 0 && author < 0) author = static_cast<int>(i);
    ASSERT_GE(author, 0);
    structure.TreeOk(author);
    EXPECT_TRUE(structure.Result().chosen);
    EXPECT_EQ(structure.Result().identifier[0], 'O');
    structure.TreeOk(-1);
    EXPECT_EQ(chooserPrompts.shown.back(), "plain:Najpierw trzeba zaznaczyć wiersz"_cp);
}
