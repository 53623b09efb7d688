#pragma once
// The collection commands of "Za&pytanie" from beginning to end, without
// their dialogs: saving and restoring the local collection, saving and
// restoring the remote collection's list, copying one collection into the
// other and emptying the local collection. What they ask of the user goes
// through CollectionDialogs and Prompts.

#include <string>

namespace velt {

class CatalogueContext;
class LongOperations;
class PresentationTabs;
class Prompts;
class QueryHistory;

// The file dialogs of the collection commands ("Pliki kolekcji (*.num)").
class CollectionDialogs {
public:
    virtual ~CollectionDialogs() = default;
    // A file to save under (".num" added when it has no extension); empty: cancelled.
    virtual std::string AskSaveFile(const std::string& title, const std::string& directory) = 0;
    // A file to read; empty: cancelled.
    virtual std::string AskOpenFile(const std::string& title, const std::string& directory) = 0;
};

class CollectionFlows {
public:
    CollectionFlows(CatalogueContext& catalogue, PresentationTabs& tabs, QueryHistory& history, Prompts& prompts,
                    LongOperations& longOps, CollectionDialogs& dialogs);

    // Each takes the file named, or asks for one when file is empty.
    // "Zachowaj kolekcję" → "Lokalną": nothing for an empty local collection.
    void SaveLocal(std::string file = {});
    // "Odtwórz kolekcję" → "Lokalną": the file's records replace the local
    // collection, whose tab becomes active.
    void RestoreLocal(std::string file = {});
    // "Zachowaj kolekcję" → "Zdalną": the remote collection's list into a file.
    void SaveRemote(std::string file = {});
    // "Odtwórz kolekcję" → "Zdalną": a remote collection of the file's records,
    // in the history under the file's name.
    void RestoreRemote(std::string file = {});
    // "Skopiuj kolekcję".
    void CopyRemoteToLocal();
    void CopyLocalToRemote();
    // "Skasuj kolekcję" → "Lokalną".
    void DeleteLocal();

private:
    CatalogueContext& mCatalogue;
    PresentationTabs& mTabs;
    QueryHistory& mHistory;
    Prompts& mPrompts;
    LongOperations& mLongOps;
    CollectionDialogs& mDialogs;
};

}  // namespace velt
