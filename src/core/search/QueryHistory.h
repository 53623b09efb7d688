#pragma once
// The searches of a session: RunQuery sends a query and says what came of
// it; the history keeps the remote collections the client made, each with
// its label and its own query, so that the server can free them when the
// catalogue goes and a filter change can rerun the right one.

#include "catalogue/CatalogueContext.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velt {

class LongOperations;
struct TVeltRecord;

// What a search reply means for the user.
struct SearchOutcome {
    std::int32_t collection = 0;  // the new remote collection; 0: none
    std::string count;            // its number of records, as the server wrote it
    std::string error;            // the server's error text (shown with show_error)
    std::string notice;           // the server's notice (shown with show_notice)
    // The text for the user: "Kolekcja zdalna zawiera N rekordów" (and the notice).
    std::string Text() const;
};

// A search reply read: 1 text an error, 2 a collection and its count, 3 the
// same with a notice; anything else (or a number that is none) no collection.
SearchOutcome InterpretSearchReply(const TVeltRecord* reply);

struct HistoryEntry {
    std::int32_t collection = 0;
    std::string label;
    std::string query;  // the query that made it
    // The history list's line: the number, ". " and the label.
    std::string Line() const { return std::to_string(collection) + ". " + label; }
};

class QueryHistory : public CatalogueListener {
public:
    // Sends the search on the worker behind the progress window.
    using Search = std::function<SearchOutcome(const std::string& query)>;

    // Listens to the shell: the history is released before a disconnect.
    QueryHistory(CatalogueContext& shell, Prompts& prompts, LongOperations& longOps);
    ~QueryHistory() override;

    // The catalogue's searches go through RunQuery; the default sends the
    // search request of the current session behind the progress window.
    void SetSearch(Search search) { mSearch = std::move(search); }

    // Sends query (lastQuery becomes it) and shows the outcome; the new
    // collection number, 0 for none.
    std::int32_t RunQuery(const std::string& query);
    // A collection made by query goes into the history under label.
    void AddToHistory(const std::string& label, std::int32_t collection, const std::string& query);
    // The query of the last entry run again (after a filter change): the old
    // collection is released and the entry takes the new one; its number,
    // 0 when nothing was run.
    std::int32_t RerunLastQuery();
    // Releases every collection on the server and forgets them.
    void ReleaseHistory();

    const std::vector<HistoryEntry>& Entries() const { return mEntries; }
    const std::string& LastQuery() const { return mLastQuery; }

    // CatalogueListener: the history belongs to the session.
    void CatalogueClosing(velt_files& files, bool disconnecting) override;
    void CatalogueOpened(velt_files&) override {}

private:
    CatalogueContext& mShell;
    Prompts& mPrompts;
    LongOperations& mLongOps;
    Search mSearch;
    std::string mLastQuery;
    std::vector<HistoryEntry> mEntries;
    int mCurrent = -1;  // the entry last added or run
};

}  // namespace velt
