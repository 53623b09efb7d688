// The main window's commands without the window, against velt-server: the
// collection commands from beginning to end over a catalogue context of the
// test's own, the attachments' menu and requests, and the kinds of new
// records of a login.

#include "ServerTestSupport.h"
#include "browse/Attachments.h"
#include "browse/CollectionFile.h"
#include "browse/PresentationTabs.h"
#include "catalogue/CatalogueContext.h"
#include "catalogue/velt_files.h"
#include "editing/RecordKinds.h"
#include "search/QueryHistory.h"
#include "shell/CollectionFlows.h"
#include "text/CpLiteral.h"

#include "browse/FakeMeasurer.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

namespace {

// One catalogue, connected for the whole test: what the shell would be.
struct Catalogue : CatalogueContext {
    std::unique_ptr<velt_files> files;
    CatalogueSettings settings;
    std::vector<CatalogueListener*> listeners;
    velt_files* Current() const override { return files.get(); }
    CatalogueSettings& Settings() override { return settings; }
    void AddListener(CatalogueListener* l) override { listeners.push_back(l); }
    void RemoveListener(CatalogueListener* l) override { std::erase(listeners, l); }
    void Open() {
        for (auto* l : listeners) l->CatalogueOpened(*files);
    }
    void Close() {
        for (auto* l : listeners) l->CatalogueClosing(*files, true);
    }
};

struct Host : BrowserHost {
    void CellsChanged() override {}
    void Defer(std::function<void()> action) override { action(); }
};

struct View : TabsView {
    Host host;
    FakeMeasurer measurer;
    std::vector<std::string> box;
    int active = -1;
    void TabsRemoved() override {}
    void TabsBuilt() override {}
    void TabActivated(int i) override { active = i; }
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

struct LongOps : LongOperations {
    void run_with_progress(const std::string&, const std::function<void()>& work) override { work(); }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override {
        work([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
};

struct Dialogs : CollectionDialogs {
    std::string file;  // what the user picks; empty: cancels
    int asked = 0;
    std::string AskSaveFile(const std::string&, const std::string&) override {
        ++asked;
        return file;
    }
    std::string AskOpenFile(const std::string&, const std::string&) override {
        ++asked;
        return file;
    }
};

class MainWindowModels : public SharedServerTest {
protected:
    std::unique_ptr<velt_files> Connect() {
        return std::make_unique<velt_files>(
            std::make_unique<TVeltClient>("127.0.0.1", [](const std::string&, SessionText) {}, sServer->Port()), true);
    }
};

}  // namespace

TEST_F(MainWindowModels, CollectionCommandsRunFromBeginningToEndWithoutAWindow) {
    TempDir dir;
    Catalogue catalogue;
    catalogue.settings.WorkingDirectory = dir.Path();
    catalogue.files = Connect();
    ASSERT_TRUE(catalogue.files->Ready);
    RecordingPrompts prompts;
    LongOps longOps;
    View view;
    Dialogs dialogs;
    {
        PresentationTabs tabs(catalogue, prompts, view);
        QueryHistory history(catalogue, prompts, longOps);
        CollectionFlows flows(catalogue, tabs, history, prompts, longOps, dialogs);
        catalogue.Open();
        ASSERT_NE(tabs.Local(), nullptr);
        VrCollection& local = tabs.Local()->Collection();

        flows.SaveLocal();
        EXPECT_EQ(dialogs.asked, 0) << "an empty local collection is not saved, nothing asked";
        for (const char* id : {"K3", "K5", "K8"}) local.Include(catalogue.files->RecordNumber(id));
        flows.SaveLocal();
        EXPECT_EQ(dialogs.asked, 1) << "cancelled: nothing written";
        const std::string file = dir.Path() + "trzy.num";
        flows.SaveLocal(file);
        ASSERT_TRUE(TempDir::Exists(file));
        flows.DeleteLocal();
        EXPECT_EQ(local.CountNumbers(), 0);
        flows.RestoreLocal(file);
        EXPECT_EQ(local.CountNumbers(), 3);
        EXPECT_EQ(view.active, tabs.FindTab(PresentationTabs::LocalCaption()));

        flows.CopyLocalToRemote();
        ASSERT_EQ(history.Entries().size(), 1u);
        EXPECT_EQ(history.Entries()[0].label, "Kolekcja lokalna");
        EXPECT_EQ(catalogue.files->RemoteCollection, history.Entries()[0].collection);
        const std::string remote = dir.Path() + "zdalna.num";
        flows.SaveRemote(remote);
        EXPECT_EQ(ReadCollectionFile(remote).lines.size(), 3u);
        flows.DeleteLocal();
        flows.CopyRemoteToLocal();
        EXPECT_EQ(local.CountNumbers(), 3);
        flows.RestoreRemote(remote);
        ASSERT_EQ(history.Entries().size(), 2u);
        EXPECT_EQ(history.Entries()[1].label, "\"zdalna.num\"");

        flows.RestoreLocal(dir.Path() + "brak.num");
        EXPECT_EQ(prompts.shown.back(), "plain:Błąd otwarcia pliku "_cp + dir.Path() + "brak.num");
        EXPECT_EQ(local.CountNumbers(), 3) << "a file that cannot be read changes nothing";
        catalogue.Close();
    }
    EXPECT_TRUE(catalogue.listeners.empty());
}

TEST_F(MainWindowModels, AttachmentsOfferTheDescriptorsNamesOrTheServersAndRoundTrip) {
    auto files = Connect();
    ASSERT_TRUE(files->Ready);
    ASSERT_EQ(files->Connection().Login("admin", "admin", ""), "");
    TempDir dir;
    // A book's prefix has names in the descriptor: they are offered.
    const AttachmentChoices book = ReadAttachmentChoices(*files, "K3");
    std::vector<std::string> expected;
    for (const AttachmentNames& a : files->Attachments)
        if (a.Prefix == "K") expected = a.Names;
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(book.addNames, expected);
    EXPECT_FALSE(book.addUnnamed);

    const std::string file = dir.Write("opis.txt", "opis do rekordu");
    ASSERT_EQ(AddAttachment(*files, "K3", "opis.txt", file, {}), "");
    const AttachmentChoices after = ReadAttachmentChoices(*files, "K3");
    EXPECT_NE(std::find(after.present.begin(), after.present.end(), "opis.txt"), after.present.end());
    EXPECT_EQ(DeleteAttachment(*files, "K3", "opis.txt"), "");
    const AttachmentChoices gone = ReadAttachmentChoices(*files, "K3");
    EXPECT_EQ(std::find(gone.present.begin(), gone.present.end(), "opis.txt"), gone.present.end());

    // Nothing without a record; nothing more after the connection failed.
    EXPECT_TRUE(ReadAttachmentChoices(*files, "").present.empty());
    files->Connection().Logout();
    EXPECT_FALSE(ServerKindList(files->Connection()).empty()) << "the status names the kinds";
}
