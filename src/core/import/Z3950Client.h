#pragma once
// The client side of a Z39.50 association: Init, a type-1 Search of one
// database over Bib-1, Present on demand and Scan. The result list is a
// browser data source: the key of an entry is its result position in
// decimal, and its lines are the record's display lines.
//
// Records are held sparsely by position, only positions inside the result
// count; a surrogate diagnostic is held as such, so it is never asked for
// again. Failures come back as texts; a transport failure makes the
// association unusable (a new search opens a new one).

#include "import/Codec.h"
#include "import/RemoteRecords.h"
#include "import/Decodec.h"
#include "import/SocketOfClient.h"
#include "import/usmarc.h"

#include <bitset>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velt {

// One term of a scan list.
struct ScanTerm {
    std::string term;
    long long count = -1;  // the server's occurrences; -1 when it sent none
};

class Z3950Client : public RemoteRecords {
public:
    static constexpr const char* kUsMarc = "1.2.840.10003.5.10";
    static constexpr int kWindow = 7;  // records fetched before and after the one wanted

    // message receives the failures of fetching on demand (each once).
    explicit Z3950Client(std::function<void(const std::string&)> message = {});

    // Connects and initialises; false when the connection, the exchange or
    // the server refused (ErrorText says which).
    bool OpenAssociation(const std::string& host, int port, const std::string& password, const std::string& user);
    // The reason of the last failure: of OpenAssociation, or the transport
    // failure behind "Przerwane połączenie".
    const std::string& ErrorText() const { return mError; }
    // The options the server accepted (element 7: scan).
    const std::bitset<14>& AcceptedOptions() const { return mAccepted; }

    // Searches the database with the ready-encoded RPN structure; the error
    // text, empty on success. The result list restarts empty.
    std::string SendSearch(const std::string& database, const std::string& rpn, int before = kWindow,
                           int after = kWindow, const std::string& recordSyntax = kUsMarc);
    long long ResultCount() const override { return mResultCount; }

    // Fetches positions start to start + count - 1 that are not held yet.
    void FetchRecords(long long start, long long count) override;
    // The position as held, nullptr when it is not.
    const Z3950Record* RecordAt(long long position) const override;
    std::size_t HeldCount() const { return mRecords.size(); }
    // Present requests sent since the search (tests watch the window).
    int PresentCount() const { return mPresents; }

    // The term list around the AttributesPlusTerm; the error text, empty on success.
    std::string ScanTerms(const std::string& database, const std::string& attributesPlusTerm, int count,
                          std::vector<ScanTerm>& terms);
    // The scanStatus of the last scan answered (0 success, 1 to 5 partial, 6 failure), -1 before.
    int LastScanStatus() const { return mScanStatus; }

    // The raw APDU log (empty: none) and the wait for a response.
    void SetLogFile(const std::string& path) { mLogFile = path; }
    void SetReadTimeout(int ms) { mReadTimeoutMs = ms; }
    // How records become display lines (the format set, when it is known).
    void SetDisplay(MarcOptions options, MarcFormatter formatter = {}) override;

    // The data source.
    std::string First() override;
    std::string Last() override;
    std::string Next(const std::string& key) override;
    std::string Prior(const std::string& key) override;
    std::optional<std::vector<std::string>> Lines(const std::string& key) override;
    int Action(const std::string& key, const std::string& command) override;

    // Texts shown to the user.
    static std::string TextBroken();
    static std::string TextBadStructure();

private:
    // One exchange: sends the APDU and decodes the response; nothing on a
    // transport or decoding failure (the socket's error says which).
    // logged, when given, goes into the log in the APDU's place.
    std::unique_ptr<DataElement> Exchange(const std::string& apdu, const std::string& logged = {});
    bool Usable() const { return mSocket && mInitialised && !mSocket->Failed(); }
    void Report(const std::string& text);
    // The position of a key, 0 when it is none of the result list.
    long long PositionOf(const std::string& key) const;

    std::unique_ptr<SocketOfClient> mSocket;
    std::unique_ptr<Codec> mCodec;
    std::unique_ptr<Decodec> mDecodec;
    std::string mError;
    bool mInitialised = false;  // the server accepted the Init
    std::bitset<14> mAccepted;
    std::map<long long, Z3950Record> mRecords;
    long long mResultCount = 0;
    int mBefore = kWindow, mAfter = kWindow;
    std::string mRecordSyntax = kUsMarc;
    int mPresents = 0;
    int mScanStatus = -1;
    bool mReported = false;
    std::string mLogFile;
    int mReadTimeoutMs = UniSocket::kReadTimeoutMs;
    MarcOptions mMarcOptions;
    MarcFormatter mFormatter;
    std::function<void(const std::string&)> mMessage;
};

// The text of a Z39.50 diagnostic (a DefaultDiagnosticFormat or a DiagRec
// holding one): condition and addinfo; empty when the element holds none.
std::string DiagnosticText(const DataElement& diagnostic);

}  // namespace velt
