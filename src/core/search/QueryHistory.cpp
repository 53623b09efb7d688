#include "search/QueryHistory.h"
#include "net/SearchRequests.h"

#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "text/CpLiteral.h"

#include <charconv>

namespace velt {

std::string SearchOutcome::Text() const {
    std::string t = "Kolekcja zdalna zawiera "_cp + count + " rekordów"_cp;
    if (!notice.empty()) t += "\r\n" + notice;
    return t;
}

SearchOutcome InterpretSearchReply(const TVeltRecord* reply) {
    SearchOutcome out;
    if (!reply) return out;
    if (reply->Count == 1) {
        out.error = reply->Item(1);
        return out;
    }
    if (reply->Count != 2 && reply->Count != 3) return out;
    // A number that is none (not decimal, 0, or out of range) is no collection.
    const std::string& n = reply->Item(1);
    std::int32_t number = 0;
    const auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), number);
    if (ec != std::errc() || end != n.data() + n.size() || number <= 0) return out;
    out.collection = number;
    out.count = reply->Item(2);
    if (reply->Count == 3) out.notice = reply->Item(3);
    return out;
}

QueryHistory::QueryHistory(CatalogueContext& shell, Prompts& prompts, LongOperations& longOps)
    : mShell(shell), mPrompts(prompts), mLongOps(longOps) {
    mShell.AddListener(this);
}

QueryHistory::~QueryHistory() { mShell.RemoveListener(this); }

std::int32_t QueryHistory::RunQuery(const std::string& query) {
    mLastQuery = query;
    SearchOutcome outcome;
    if (mSearch) {
        outcome = mSearch(query);
    } else if (velt_files* files = mShell.Current(); files && files->Ready) {
        RecordPtr reply;
        mLongOps.run_with_progress("Trwa wyszukiwanie", [&] { reply = velt::Search(files->Connection(), query); });
        outcome = InterpretSearchReply(reply.get());
        // No reply on a sound connection: the request was refused, which is
        // no empty result (a broken connection has reported itself).
        if (!reply && !files->Broken()) outcome.error = TVeltClient::BusyText();
    }
    if (!outcome.error.empty()) {
        mPrompts.show_error(outcome.error);
        return 0;
    }
    if (outcome.collection == 0) return 0;
    if (outcome.notice.empty())
        mPrompts.show_message(outcome.Text());
    else
        mPrompts.show_notice(outcome.Text());
    return outcome.collection;
}

void QueryHistory::AddToHistory(const std::string& label, std::int32_t collection, const std::string& query) {
    mEntries.push_back({collection, label, query});
    mCurrent = static_cast<int>(mEntries.size()) - 1;
}

std::int32_t QueryHistory::RerunLastQuery() {
    if (mCurrent < 0 || mCurrent >= static_cast<int>(mEntries.size())) return 0;
    const std::string query = mEntries[static_cast<std::size_t>(mCurrent)].query;
    if (query.empty()) return 0;
    const std::int32_t n = RunQuery(query);
    if (n == 0) return 0;
    HistoryEntry& entry = mEntries[static_cast<std::size_t>(mCurrent)];
    if (velt_files* files = mShell.Current(); files && files->Ready) ReleaseCollection(files->Connection(), entry.collection);
    entry.collection = n;
    return n;
}

void QueryHistory::ReleaseHistory() {
    mLastQuery.clear();
    const std::vector<HistoryEntry> entries = std::move(mEntries);
    mEntries.clear();
    mCurrent = -1;
    velt_files* files = mShell.Current();
    if (!files || !files->Ready) return;
    for (const HistoryEntry& e : entries) ReleaseCollection(files->Connection(), e.collection);
}

void QueryHistory::CatalogueClosing(velt_files&, bool disconnecting) {
    if (disconnecting) ReleaseHistory();
}

}  // namespace velt
