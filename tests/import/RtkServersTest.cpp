// The import from other catalogues between two velt-server processes: a
// VELT2 catalogue taking records of a VELT3 catalogue of another size (so
// record and authority numbers differ) into its editor and saving them,
// searching the source with its previous collection released, copying an
// attachment, the list of source catalogues over HTTP with the server's
// faults, and velt-cli rtk.

#include "catalogue/velt_files.h"
#include "import/RtkImport.h"
#include "import/SessionEditor.h"
#include "lang/TMultiIniFile.h"
#include "net/RecordRequests.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"
#include "text/dll_converter.h"

#include "Seeder.h"
#include "editing/EditingHarness.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sys/wait.h>

using namespace velt;
using namespace velt::test;

namespace {

constexpr int kLocalBooks = 60;
constexpr int kSourceBooks = 25;
constexpr char kTitle[] = "245Z.1.1.1.1";

// The list the source serves: two catalogues, and what a hostile list would
// add to the configuration that includes it.
const std::string kServedList =
    "[RTK_KATALOG1]\r\nnazwa=Biblioteka Centralna\r\nip=10.0.0.1\r\nport=8001\r\n\r\n"
    "[KONWERTER9]\r\ndll=/tmp/obcy.so\r\nz=S\r\ndo=K\r\n\r\n"
    "[RTK_KATALOG2]\r\nnazwa=Filia\r\nip=10.0.0.2\r\nport=8002\r\n\r\n"
    "[PLIKI]\r\nexe=/bin/sh\r\n";

struct CliRun {
    int status = -1;
    std::string out, err;
};

struct Host : RtkHost {
    velt_files* local = nullptr;
    ImportEditor* editor = nullptr;
    ConverterModules modules;
    std::string workDirectory, recordBox, query;
    std::vector<std::string> changed, opened;
    int reloads = 0;
    velt_files* Local() override { return local; }
    ImportEditor* Editor() override { return editor; }
    const ConverterModules* Converters() override { return &modules; }
    std::string AskCriteria(velt_files&, int&) override { return query; }
    void ChooseForImport(velt_files&, const std::string&, const std::string&, std::function<void(const std::string&)>,
                         std::function<void(const std::string&)>) override {}
    void ShowPicture(const std::string& file) override { opened.push_back(file); }
    void OpenFile(const std::string& file) override { opened.push_back(file); }
    void ReloadConfiguration() override { ++reloads; }
    std::string WorkingDirectory() override { return workDirectory; }
    std::string RecordBoxText() override { return recordBox; }
    void RecordChanged(const std::string& identifier) override { changed.push_back(identifier); }
};

struct View : RtkView {
    std::string caption, selected;
    std::vector<std::string> indexes, formats;
    void ShowCaption(const std::string& c) override { caption = c; }
    void ShowSource(Vrserwer* s) override { sources += s != nullptr; }
    void ShowFrom(const std::string& key) override { selected = key; }
    int sources = 0;
    void Redraw() override {}
    std::string SelectedKey() override { return selected; }
    void EnableButtons(bool, bool) override {}
    void ShowMenus(const std::vector<std::string>& i, const std::vector<std::string>& f, bool) override {
        indexes = i;
        formats = f;
    }
    void PopUpAttachmentMenu(const std::vector<std::string>&) override {}
};

struct NoProgress : LongOperations {
    void run_with_progress(const std::string&, const std::function<void()>& work) override { work(); }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override {
        work([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
};

class RtkServers : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sDir = new TempDir;
        std::ofstream(sDir->Path() + "lista.ini", std::ios::binary) << kServedList;
        ServerProcess::Options local;
        local.records = kLocalBooks;
        sLocal = new ServerProcess(local);
        ServerProcess::Options source;
        source.records = kSourceBooks;
        source.kind = "VELT3";
        source.hierarchies = true;
        source.extra = {"--http-port", "0", "--http-file", sDir->Path() + "lista.ini"};
        sSource = new ServerProcess(source);
    }
    static void TearDownTestSuite() {
        delete sSource;
        delete sLocal;
        delete sDir;
        sSource = sLocal = nullptr;
        sDir = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(sLocal->Ready()) << sLocal->Why();
        ASSERT_TRUE(sSource->Ready()) << sSource->Why();
        ASSERT_GT(sSource->HttpPort(), 0);
        editing = std::make_unique<Editing>(*sLocal, work.Path());
        editor.session = editing->session.get();
        host.local = &editing->files;
        host.editor = &editor;
        host.workDirectory = work.Path();
        model = std::make_unique<RtkImport>(view, host, editing->prompts, progress);
    }
    void TearDown() override {
        model.reset();
        editing.reset();
    }
    bool ConnectSource() {
        return model->ConnectTo({"", "Katalog źródłowy"_cp, "127.0.0.1", sSource->Port()});
    }
    // A record of the source as its server keeps it.
    static my_record SourceRecord(const std::string& shown) {
        TVeltClient other("127.0.0.1", nullptr, sSource->Port());
        other.Login("admin", "admin", "");
        const Answers opened = EditRequest(other, 'O', {shown});
        if (!opened.Answered() || !opened[1].empty() || opened.count < 2) return my_record();
        EditRequest(other, 'X', {shown});
        return ParseRecordText(opened[2]);
    }
    static std::string LocalValue(const std::string& id, const std::string& key) {
        TVeltClient other("127.0.0.1", nullptr, sLocal->Port());
        other.Login("admin", "admin", "");
        const Answers opened = EditRequest(other, 'O', {id});
        if (!opened.Answered() || !opened[1].empty() || opened.count < 2) return "<none>";
        EditRequest(other, 'X', {id});
        return ParseRecordText(opened[2]).GetValue(key);
    }
    static bool HasAuthorityLink(const my_record& r) {
        for (const my_field& f : r.fields())
            if (f.value.find("^9") != std::string::npos) return true;
        return false;
    }
    static CliRun Cli(const std::string& args) {
        TempDir dir;
        const std::string command = ServerProcess::CliPath() + " " + args + " 2>" + dir.Path() + "err";
        CliRun r;
        FILE* p = ::popen(command.c_str(), "r");
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, p)) > 0;) r.out.append(buffer, got);
        const int status = ::pclose(p);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = TempDir::Read(dir.Path() + "err");
        return r;
    }
    static std::string LocalLogin() {
        return "--host 127.0.0.1 --port " + std::to_string(sLocal->Port()) + " --user bibliotekarz --password bibliotekarz";
    }
    static std::string SourceAddress() { return "127.0.0.1:" + std::to_string(sSource->Port()); }

    static inline TempDir* sDir = nullptr;
    static inline ServerProcess* sLocal = nullptr;
    static inline ServerProcess* sSource = nullptr;
    TempDir work;
    std::unique_ptr<Editing> editing;
    SessionEditor editor;
    Host host;
    View view;
    NoProgress progress;
    std::unique_ptr<RtkImport> model;
};

TEST_F(RtkServers, ATakenRecordOpensAsANewRecordHereWithoutTheSourcesNumbersAndIsSaved) {
    ASSERT_TRUE(ConnectSource()) << (editing->prompts.shown.empty() ? "" : editing->prompts.shown.back());
    EXPECT_EQ(view.caption, "Katalog źródłowy"_cp);
    EXPECT_FALSE(view.indexes.empty());
    velt_files& source = *model->Source();
    EXPECT_EQ(source.DatabaseKind, kVelt3);
    // The first book has an author and subjects linked to the source's authority records.
    const my_record original = SourceRecord("K1");
    ASSERT_FALSE(original.GetValue(kTitle).empty());
    ASSERT_TRUE(HasAuthorityLink(original));
    const std::string id = source.StoredIdentifier("K1");
    ASSERT_TRUE(model->CanTake(id));
    editing->prompts.Take();
    model->TakeRecord(id);
    ASSERT_EQ(editing->session->SheetCount(), 1) << testing::PrintToString(editing->prompts.shown);
    edit_sheet& sheet = editing->Sheet();
    EXPECT_TRUE(sheet.IsNew());
    const my_record& taken = sheet.Record();
    EXPECT_EQ(taken.GetValue(kTitle), original.GetValue(kTitle));
    EXPECT_FALSE(HasAuthorityLink(taken)) << "links to the other catalogue's authority records are removed";
    EXPECT_EQ(taken.GetValue("DOK_IDO"), "");
    // The editor lists what was removed.
    bool warned = false;
    for (const my_error& e : taken.errors()) warned = warned || e.message.find("^9") != std::string::npos ||
                                                         e.message.find("wzorc") != std::string::npos;
    EXPECT_TRUE(warned) << testing::PrintToString(taken.errors().size());

    editing->changes.clear();
    editing->session->SaveActive();
    ASSERT_EQ(editing->session->SheetCount(), 0) << testing::PrintToString(editing->prompts.shown);
    ASSERT_EQ(editing->changes.size(), 1u);
    const std::string saved = editing->changes[0].substr(editing->changes[0].find('>') + 1);
    EXPECT_EQ(LocalValue(saved, kTitle), original.GetValue(kTitle));
    EXPECT_EQ(saved[0], 'K');
}

TEST_F(RtkServers, APartOfAWorkComesWithoutItsParentInTheOtherCatalogue) {
    ASSERT_TRUE(ConnectSource());
    velt_files& source = *model->Source();
    const server::HierarchyHeads heads = server::HierarchyHeadsOf(kSourceBooks);
    const std::string volume = "K" + std::to_string(heads.works[0] + 1);
    const my_record original = SourceRecord(volume);
    ASSERT_NE(original.GetValue("DOK_IDO"), "") << volume << " is a volume";
    model->TakeRecord(source.StoredIdentifier(volume));
    ASSERT_EQ(editing->session->SheetCount(), 1) << testing::PrintToString(editing->prompts.shown);
    EXPECT_EQ(editing->Sheet().Record().GetValue("DOK_IDO"), "");
    EXPECT_EQ(editing->Sheet().Record().GetValue(kTitle), original.GetValue(kTitle));
}

TEST_F(RtkServers, ASearchOfTheSourceReleasesItsPreviousCollectionAndLeavesTheCatalogueAlone) {
    ASSERT_TRUE(ConnectSource());
    const long localSearches = sLocal->Count("5");
    const long releases = sSource->Count("6");
    host.query = "\"tytuł\" DOWOLNY"_cp;
    view.sources = 0;
    model->Query();
    model->Query();
    EXPECT_EQ(sSource->Count("6"), releases + 1) << "the first search's collection is released by the second";
    EXPECT_EQ(sLocal->Count("5"), localSearches) << "the catalogue's own session sends nothing";
    EXPECT_EQ(view.sources, 2) << "the found records are shown";
    EXPECT_EQ(editing->prompts.Take().back().rfind("plain:Kolekcja zdalna zawiera "_cp, 0), 0u);
}

TEST_F(RtkServers, TheListOfCataloguesKeepsOnlyTheSourcesAndSurvivesEveryFault) {
    const std::string list = work.Path() + "rtk.ini";
    std::ofstream(list, std::ios::binary) << "[RTK_KATALOG1]\r\nnazwa=Stara lista\r\n";
    std::ofstream(work.Path() + "velt.ini", std::ios::binary)
        << "[RTK]\r\ntarlinex=127.0.0.1:" << sSource->HttpPort() << "\r\naktualizuj=" << list << "\r\n";
    model->ReadConfiguration(TMultiIniFile(work.Path() + "velt.ini"));
    ASSERT_TRUE(model->Settings().CanUpdate());
    for (const char* fault : {"404", "short", "huge"}) {
        SCOPED_TRACE(fault);
        sSource->Control(std::string("http ") + fault);
        EXPECT_NE(model->DownloadList(), "");
        EXPECT_EQ(TempDir::Read(list), "[RTK_KATALOG1]\r\nnazwa=Stara lista\r\n") << "the old file stays";
    }
    for (const char* mode : {"normal", "nolength", "chunked"}) {
        SCOPED_TRACE(mode);
        sSource->Control(std::string("http ") + mode);
        std::remove(list.c_str());
        EXPECT_EQ(model->DownloadList(), "");
        const std::string written = TempDir::Read(list);
        EXPECT_NE(written.find("Biblioteka Centralna"), std::string::npos);
        EXPECT_NE(written.find("[RTK_KATALOG2]"), std::string::npos);
        EXPECT_EQ(written.find("KONWERTER"), std::string::npos) << "no converter module comes with a list";
        EXPECT_EQ(written.find("PLIKI"), std::string::npos);
    }
    sSource->Control("http normal");
    // The window asks first and has the configuration read again.
    editing->prompts.answers = {kYes};
    model->Update();
    EXPECT_EQ(host.reloads, 1);
}

TEST_F(RtkServers, CliTakesARecordSavesItAndCopiesAnAttachment) {
    const CliRun taken = Cli(LocalLogin() + " rtk --source " + SourceAddress() + " take K2");
    ASSERT_EQ(taken.status, 0) << taken.err;
    EXPECT_EQ(taken.out.find("^9"), std::string::npos);
    const std::string title = SourceRecord("K2").GetValue(kTitle);
    ASSERT_FALSE(title.empty());
    EXPECT_NE(taken.out.find(kTitle), std::string::npos);

    const CliRun saved = Cli(LocalLogin() + " rtk --source " + SourceAddress() + " take K2 --save");
    ASSERT_EQ(saved.status, 0) << saved.err;
    const auto at = saved.out.find("zapisano=");
    ASSERT_NE(at, std::string::npos) << saved.out;
    const std::string id = saved.out.substr(at + 9, saved.out.find('\n', at) - at - 9);
    EXPECT_EQ(LocalValue(id, kTitle), title);

    // An attachment of a source record, copied to the record just saved.
    const std::string file = work.Path() + "spis.txt";
    std::ofstream(file, std::ios::binary) << "Spis treści\n";
    const CliRun put = Cli("--host 127.0.0.1 --port " + std::to_string(sSource->Port()) +
                           " --user admin --password admin attachment put K2 spis " + file);
    ASSERT_EQ(put.status, 0) << put.err;
    const CliRun wrongName = Cli(LocalLogin() + " rtk --source " + SourceAddress() + " copy-attachment K2 brak --to " + id);
    EXPECT_EQ(wrongName.status, 2) << "an attachment that never arrived is no success";
    EXPECT_NE(wrongName.err.find("brak"), std::string::npos) << wrongName.err;
    const std::string copy = LocalLogin() + " rtk --source " + SourceAddress() + " copy-attachment K2 spis.txt --to " + id;
    const CliRun notOffered = Cli(copy + " --as spis");
    EXPECT_EQ(notOffered.status, 2);
    EXPECT_NE(notOffered.err.find("okładka"), std::string::npos) << "the offered names are listed: " << notOffered.err;
    const CliRun copied = Cli(copy + " --as okładka");
    ASSERT_EQ(copied.status, 0) << copied.err;
    EXPECT_NE(copied.out.find("zmieniono=" + id), std::string::npos);
    EXPECT_NE(Cli(LocalLogin() + " attachment list " + id).out.find("okładka"), std::string::npos);
    // Replacing what is there is asked for, never assumed.
    const CliRun again = Cli(copy + " --as okładka");
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.err.find("Zastąpić"), std::string::npos) << again.err;
    EXPECT_EQ(Cli(copy + " --as okładka --replace").status, 0);

    const CliRun missing = Cli(LocalLogin() + " rtk --source " + SourceAddress() + " take K99999");
    EXPECT_EQ(missing.status, 2);
    const CliRun noServer = Cli(LocalLogin() + " rtk --source 127.0.0.1:1 take K2");
    EXPECT_NE(noServer.status, 0);
    EXPECT_FALSE(noServer.err.empty());
}

TEST_F(RtkServers, CliUpdateWritesTheListOrKeepsTheOldFile) {
    const std::string list = work.Path() + "rtk.ini";
    const std::string config = work.Path() + "velt.ini";
    std::ofstream(config, std::ios::binary)
        << "[RTK]\r\ntarlinex=127.0.0.1:" << sSource->HttpPort() << "\r\naktualizuj=" << list << "\r\n";
    sSource->Control("http chunked");
    const CliRun ok = Cli("rtk update --config " + config);
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out.rfind("zapisano=" + list + " bajtów=", 0), 0u) << ok.out;
    const std::string before = TempDir::Read(list);
    sSource->Control("http 404");
    const CliRun refused = Cli("rtk update --config " + config);
    EXPECT_EQ(refused.status, 2);
    EXPECT_FALSE(refused.err.empty());
    EXPECT_EQ(TempDir::Read(list), before);
    sSource->Control("http normal");
}

}  // namespace
