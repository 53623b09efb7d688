#pragma once
// The server's end of the catalogue connection: a bounded reader of requests
// and a writer of replies, both over plain byte streams so that the request
// loop runs the same over a socket and over a fuzzer's bytes.
//
// Nothing the client sends is trusted: texts are read up to a limit, every
// integer the handlers take is checked against its range, and a request that
// breaks a rule raises ProtocolError, which ends that connection only.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velt::server {

// A malformed request: the connection is closed with one line on stderr.
struct ProtocolError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The connection ends without a complaint (goodbye, a fault switch, shutdown).
struct ConnectionEnd {};

// The longest text a request may carry: record lists of whole collections
// and record texts fit easily; anything longer is a broken or hostile client.
inline constexpr std::size_t kMaxText = 1 << 20;
// The largest attachment a client may upload.
inline constexpr std::int64_t kMaxUpload = 32 << 20;

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes; 0 at the end of input. betweenRequests: waiting for
    // the first byte of a request, when an idle client may wait indefinitely.
    virtual std::size_t Read(unsigned char* p, std::size_t n, bool betweenRequests) = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all n bytes; false when the peer is gone.
    virtual bool Write(const unsigned char* p, std::size_t n) = 0;
    // Closes the connection at once (used by the close-in-the-middle switch).
    virtual void Close() {}
};

class RequestReader {
public:
    explicit RequestReader(ByteSource& source) : mSource(source) {}

    // Reads the code byte of the next request; false at a clean end of input.
    bool NextRequest(std::uint8_t& code);
    std::uint8_t Byte();
    std::int32_t Integer();
    // An integer that must lie in [lo, hi]; what names it in the complaint.
    std::int32_t Integer(std::int32_t lo, std::int32_t hi, const char* what);
    // A zero-terminated text, unscrambled with the session key.
    std::string Text(std::size_t limit = kMaxText);
    // The same, but a text longer than limit is read off the wire and
    // dropped (tooLong set, empty result) instead of ending the connection:
    // for texts whose size a user decides and may be told about.
    std::string Text(std::size_t limit, bool& tooLong);
    // n raw bytes (a file chunk), unscrambled with the session key.
    void Chunk(unsigned char* p, std::size_t n);

    void SetKey(std::string key) { mKey = std::move(key); }
    const std::string& Key() const { return mKey; }

private:
    // Makes at least one unread byte available; raises at the end of input.
    void Fill();

    ByteSource& mSource;
    std::vector<unsigned char> mBuffer = std::vector<unsigned char>(65536);
    std::size_t mPos = 0;
    std::size_t mLen = 0;
    std::string mKey;
};

// What a test asked to go wrong with one reply (see TestControl).
struct Faults {
    int delayMs = 0;
    bool closeMid = false;
    bool count51 = false;
    bool abortTransfer = false;
    int keepAnswers = -1;  // not negative: an answer reply carries only its first texts
};

class ReplyWriter {
public:
    explicit ReplyWriter(ByteSink& sink) : mSink(sink) {}

    // Starts the reply of one request with the faults asked for it.
    void Begin(const Faults& faults);
    void Integer(std::int32_t v);
    // A text and its zero byte, scrambled with the session key.
    void Text(std::string_view text);
    // An answer reply: the count, then the texts.
    void Answers(const std::vector<std::string>& texts);
    // A record reply: the count (0 for no entry), then the texts.
    void Record(const std::vector<std::string>& texts);
    // The status reply: one text.
    void Status(std::string_view text) { Text(text); }
    // Sends a file in chunks of at most 10000 bytes: remaining, count, bytes.
    // The abort switch sends -1 after the first chunk (or at once).
    void File(std::string_view data);
    // The transfer ends early: -1 in place of the next remaining count.
    void AbortFile();
    // Writes out what the reply holds.
    void Flush();

    void SetKey(std::string key) { mKey = std::move(key); }
    const std::string& Key() const { return mKey; }

private:
    void Bytes(const unsigned char* p, std::size_t n);

    ByteSink& mSink;
    std::string mOut;
    Faults mFaults;
    bool mSuppressed = false;  // a count of 51 went out: the rest is dropped
    std::string mKey;
};

}  // namespace velt::server
