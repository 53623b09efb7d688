#pragma once
// One query sent to several sources at once: every source searched on a
// worker thread of its own (its own association or HTTP exchange), the
// answers awaited no longer than the timeout, a source that has not
// answered by then reported as such and not waited for. The answered
// result lists make one browser data source: their entries taken in turn
// (the first of every source, then the second of every source, ...), each
// entry's lines headed by the name of its source; the key of an entry is
// "S.P", the source's number in the run (from 1) and the position in its
// list.
//
// The workers touch nothing but their own source's client until they hand
// it over; a worker left behind by the timeout keeps what it holds to
// itself and ends on its own (its waits are bounded as well).

#include "browse/Vrserwer.h"
#include "import/RemoteRecords.h"
#include "import/Z3950Settings.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velt {

// The query in the forms the protocols take.
struct SourceQuery {
    std::string rpn;  // the RPN structure, its terms in the source's search character set
    std::string cql;  // CQL, UTF-8
};

// Opens and searches one source of either protocol; the result list, or
// nothing with error set. message receives the failures of fetching on demand.
std::unique_ptr<RemoteRecords> SearchSource(const Z3950Source& source, const SourceQuery& query, int timeoutMs,
                                            std::string& error,
                                            const std::function<void(const std::string&)>& message = {});

// How one source answered.
struct SourceAnswer {
    std::string name;
    bool answered = false;  // false: no answer within the timeout
    std::string error;      // the source's failure, empty when it answered a count
    long long count = 0;
};

class MultiSearch : public Vrserwer {
public:
    // Runs on a worker: searches one source.
    using Searcher = std::function<std::unique_ptr<RemoteRecords>(const Z3950Source& source, std::string& error)>;

    MultiSearch() = default;
    ~MultiSearch() override;
    MultiSearch(const MultiSearch&) = delete;
    MultiSearch& operator=(const MultiSearch&) = delete;

    // Searches every source; returns once all have answered or the timeout
    // has passed since the start, whichever comes first.
    void Run(const std::vector<Z3950Source>& sources, const Searcher& search, std::chrono::milliseconds timeout);

    const std::vector<SourceAnswer>& Answers() const { return mAnswers; }
    // The sum of the answered counts.
    long long TotalCount() const;
    // "name: N" for every source ("brak odpowiedzi" or its failure instead of N), joined by "; ".
    std::string CountsText() const;
    // The result list of the run's source index (from 0); nullptr when it did not answer.
    RemoteRecords* Records(std::size_t source) const;
    // The record of an entry's key; nullptr when it is none held.
    const Z3950Record* RecordAt(const std::string& key) const;
    // The display of every result list.
    void SetDisplay(const MarcOptions& options, const MarcFormatter& formatter);

    // The data source.
    std::string First() override;
    std::string Last() override;
    std::string Next(const std::string& key) override;
    std::string Prior(const std::string& key) override;
    std::optional<std::vector<std::string>> Lines(const std::string& key) override;
    int Action(const std::string& key, const std::string& command) override;

    // Texts shown to the user.
    static std::string TextNoAnswer();

private:
    // The source and the position of a key; false when it is none.
    bool Split(const std::string& key, std::size_t& source, long long& position) const;
    std::string Key(std::size_t source, long long position) const;
    long long CountOf(std::size_t source) const;

    std::vector<SourceAnswer> mAnswers;
    std::vector<std::unique_ptr<RemoteRecords>> mLists;
};

}  // namespace velt
