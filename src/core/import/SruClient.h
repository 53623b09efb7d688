#pragma once
// The client of an SRU server (searchRetrieve and scan over HTTP GET,
// versions 1.1 and 1.2): a CQL query searched, its MARCXML records fetched
// on demand by position and held as ISO 2709 records in UTF-8, so that
// everything made for the records of Z39.50 (display formats, taking a
// record, converter modules) takes them as they are. Every exchange is a
// connection of its own with a bounded wait and a bounded answer; failures
// come back as texts (Windows-1250).

#include "import/RemoteRecords.h"
#include "import/SruResponse.h"
#include "net/HttpGet.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace velt {

struct ScanTerm;

class SruClient : public RemoteRecords {
public:
    static constexpr int kWindow = 7;  // records fetched before and after the one wanted
    static constexpr std::size_t kMaxAnswer = 8 * 1024 * 1024;

    // message receives the failures of fetching on demand (each once).
    explicit SruClient(std::function<void(const std::string&)> message = {});

    // The server's base address, the version ("1.1" or "1.2") and the
    // record schema asked for.
    void SetServer(HttpAddress base, std::string version = "1.2", std::string schema = "marcxml");
    void SetTimeout(int ms) { mTimeoutMs = ms; }

    // Searches the CQL query (UTF-8); the error text, empty on success. The
    // result list restarts with the first records of the answer.
    std::string Search(const std::string& cql);
    // The terms of the index from the scan clause on (CQL, UTF-8); the error text, empty on success.
    std::string Scan(const std::string& scanClause, int count, std::vector<ScanTerm>& terms);

    // The path and query of an operation (parameters percent-encoded).
    std::string SearchPath(const std::string& cql, long long start, long long count) const;
    std::string ScanPath(const std::string& scanClause, int count) const;
    // The last error (also of fetching on demand).
    const std::string& ErrorText() const { return mError; }
    // Requests sent since the search (tests watch the window).
    int Requests() const { return mRequests; }

    // RemoteRecords
    long long ResultCount() const override { return mResultCount; }
    void FetchRecords(long long start, long long count) override;
    const Z3950Record* RecordAt(long long position) const override;
    void SetDisplay(MarcOptions options, MarcFormatter formatter = {}) override;

    // The data source.
    std::string First() override;
    std::string Last() override;
    std::string Next(const std::string& key) override;
    std::string Prior(const std::string& key) override;
    std::optional<std::vector<std::string>> Lines(const std::string& key) override;
    int Action(const std::string& key, const std::string& command) override;

    // The records of an answer put at their positions (start: the first's
    // when the answer numbers none); the error text of an answer that is none.
    std::string TakeAnswer(const SruResponse& answer, long long start);

private:
    // One GET; the body, or nothing with mError set.
    std::optional<std::string> Get(const std::string& path);
    long long PositionOf(const std::string& key) const;

    HttpAddress mBase;
    std::string mVersion = "1.2";
    std::string mSchema = "marcxml";
    std::string mQuery;
    int mTimeoutMs = 15000;
    std::map<long long, Z3950Record> mRecords;
    long long mResultCount = 0;
    int mRequests = 0;
    bool mReported = false;
    std::string mError;
    MarcOptions mMarcOptions;
    MarcFormatter mFormatter;
    std::function<void(const std::string&)> mMessage;
};

// The parameter's value percent-encoded (all but letters, digits and "-._~").
std::string PercentEncode(std::string_view text);

}  // namespace velt
