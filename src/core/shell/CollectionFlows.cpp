#include "shell/CollectionFlows.h"

#include "browse/CollectionCommands.h"
#include "browse/CollectionFile.h"
#include "browse/PresentationTabs.h"
#include "catalogue/CatalogueContext.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "search/QueryHistory.h"
#include "text/CpLiteral.h"

namespace velt {

namespace {

std::string FileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

CollectionFlows::CollectionFlows(CatalogueContext& catalogue, PresentationTabs& tabs, QueryHistory& history,
                                 Prompts& prompts, LongOperations& longOps, CollectionDialogs& dialogs)
    : mCatalogue(catalogue), mTabs(tabs), mHistory(history), mPrompts(prompts), mLongOps(longOps), mDialogs(dialogs) {}

void CollectionFlows::SaveLocal(std::string file) {
    coll_serwer* local = mTabs.Local();
    velt_files* files = mCatalogue.Current();
    if (!local || !files || local->Collection().CountNumbers() == 0) return;
    if (file.empty()) file = mDialogs.AskSaveFile("Zachowaj kolekcję"_cp, mCatalogue.Settings().WorkingDirectory);
    if (file.empty()) return;
    const std::string error = SaveCollectionFile(file, local->Collection(), files->Rules());
    if (!error.empty()) mPrompts.plain_message(error);
}

void CollectionFlows::RestoreLocal(std::string file) {
    coll_serwer* local = mTabs.Local();
    velt_files* files = mCatalogue.Current();
    if (!local || !files) return;
    if (file.empty()) file = mDialogs.AskOpenFile("Odtwórz kolekcję"_cp, mCatalogue.Settings().WorkingDirectory);
    if (file.empty()) return;
    if (!ReadCollectionFile(file).opened) {
        mPrompts.plain_message("Błąd otwarcia pliku "_cp + file);
        return;
    }
    local->Collection().Clear();
    LoadCollectionFile(file, local->Collection(), files->Rules());
    mTabs.ShowInLocal(local->First());
    mTabs.RefreshAllChecks();
    mTabs.Activate(mTabs.FindTab(PresentationTabs::LocalCaption()));
}

void CollectionFlows::SaveRemote(std::string file) {
    velt_files* files = mCatalogue.Current();
    if (!files || files->RemoteCollection == 0) return;
    if (!files->VersionAtLeast(kRemoteCollectionFileVersion)) {
        mPrompts.plain_message("Niedostępne dla tej wersji serwera"_cp);
        return;
    }
    if (file.empty()) file = mDialogs.AskSaveFile("Zachowaj kolekcję"_cp, mCatalogue.Settings().WorkingDirectory);
    if (file.empty()) return;
    std::string error;
    bool wrote = false;
    mLongOps.run_with_progress("Tworzenie zestawienia", [&] { error = SaveRemoteCollection(*files, file, wrote); });
    if (!error.empty()) mPrompts.plain_message(error);
}

void CollectionFlows::RestoreRemote(std::string file) {
    if (!mCatalogue.Current()) return;
    if (file.empty()) file = mDialogs.AskOpenFile("Odtwórz kolekcję"_cp, mCatalogue.Settings().WorkingDirectory);
    if (file.empty()) return;
    const CollectionFileLines lines = ReadCollectionFile(file);
    if (!lines.opened) {
        mPrompts.plain_message("Błąd otwarcia pliku "_cp + file);
        return;
    }
    const std::string query = RecordListQuery(lines.lines);
    std::int32_t n = 0;
    {
        BusyCursor busy(mPrompts);
        n = mHistory.RunQuery(query);
    }
    if (n == 0) return;
    mHistory.AddToHistory("\"" + FileName(file) + "\"", n, query);
    mTabs.ShowRemoteCollection(n);
}

void CollectionFlows::CopyRemoteToLocal() {
    coll_serwer* local = mTabs.Local();
    velt_files* files = mCatalogue.Current();
    if (!local || !files) return;
    std::string error;
    mLongOps.run_with_progress("Tworzenie zestawienia", [&] {
        error = velt::CopyRemoteToLocal(*files, local->Collection(), mCatalogue.Settings().WorkingDirectory);
    });
    if (!error.empty()) mPrompts.plain_message(error);
    mTabs.ShowInLocal(local->First());
    mTabs.RefreshAllChecks();
    if (files->RemoteCollection != 0) mTabs.Activate(mTabs.FindTab(PresentationTabs::LocalCaption()));
}

void CollectionFlows::CopyLocalToRemote() {
    coll_serwer* local = mTabs.Local();
    velt_files* files = mCatalogue.Current();
    if (!local || !files) return;
    const std::string query = LocalCollectionQuery(local->Collection(), *files);
    std::int32_t n = 0;
    {
        BusyCursor busy(mPrompts);
        n = mHistory.RunQuery(query);
    }
    if (n == 0) return;
    mHistory.AddToHistory("Kolekcja lokalna", n, query);
    mTabs.ShowRemoteCollection(n);
}

void CollectionFlows::DeleteLocal() {
    coll_serwer* local = mTabs.Local();
    if (!local) return;
    local->Collection().Clear();
    mTabs.ShowInLocal({});
    mTabs.RefreshAllChecks();
}

}  // namespace velt
