#pragma once
// The session with a catalogue server: the connection and its one rule for
// every exchange, the status text and its parameters, login and logout with
// the challenge-encoded password, the keep-alive exchange, the two reply
// shapes and file transfers in chunks. The requests themselves live in one
// module per family, each made through Exchange and returning its values:
// net/IndexRequests.h, net/SearchRequests.h, net/RecordRequests.h,
// net/FileRequests.h, net/ProgramRequests.h.
//
// Every request is one synchronous exchange on the calling thread, made
// through one helper with one rule for results and one for failures:
//  - the first failure of a connection is reported through the message
//    callback exactly once, however many requests follow;
//  - a request on a broken connection sends nothing and returns its empty
//    result (no record, false, an empty text; the requests whose result is a
//    text return ErrorText) without a further message; nothing above the
//    session shows that failure again (check Broken()).
// Failures never raise.
//
// Threads: one request at a time per connection. A request may be made on
// the GUI thread, or on the worker behind the modal progress window while the
// GUI thread only runs that window. A request begun while another is open on
// the same connection (another thread, or a handler run while a reply is
// awaited) is a programming error: debug builds stop at an assertion, release
// builds refuse it without touching the socket (its empty result, and
// BusyText() for text results). The keep-alive runs on the timer thread,
// apart from requests through the timer's lock, and may call the message
// callback there while it holds that lock: the owner must hand the text over
// to its own thread without waiting for it (a blocking hand-over would
// deadlock against a request waiting for the same lock).

#include "net/RequestCodes.h"
#include "net/VrSocket.h"

#include <array>
#include <cassert>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

// The answer of a record reply: up to 50 texts, Items[1] being the entry's key.
struct TVeltRecord {
    std::uint32_t Kind = 0;
    std::uint8_t Count = 0;
    std::array<std::string, 51> Items;  // Items[1] .. Items[50]; Items[0] unused

    // Items[i], or the empty text outside 1..Count.
    const std::string& Item(int i) const;
};

using RecordPtr = std::unique_ptr<TVeltRecord>;

// The answer reply: up to 50 texts. No answer (a failure, or a count out of
// range) has count 0.
struct Answers {
    std::int32_t count = 0;
    std::array<std::string, 51> texts;  // texts[1] .. texts[50]; texts[0] unused

    // texts[i], or the empty text outside 1..count: a text the answer did
    // not carry is never taken from an earlier one.
    const std::string& operator[](int i) const;
    bool Answered() const { return count > 0; }
};

// Progress of a transfer: bytes done and the total.
using ProgressCallback = std::function<void(std::int64_t done, std::int64_t total)>;
// What a text handed to the owner is: the failure of the connection, or the
// server's greeting or notice (the status parameter "message").
enum class SessionText { Failure, Notice };
// Takes one text for the user. Each failure comes once per connection, each
// distinct notice once per connection.
using MessageCallback = std::function<void(const std::string& text, SessionText kind)>;

class TVeltClient : public VrSocket {
public:
    static constexpr int kMaxAnswers = 50;

    // Connects and, when that worked, reads the status text.
    TVeltClient(const std::string& host, MessageCallback onMessage, int port);
    // The same over a connection made elsewhere (a socketpair in tests).
    TVeltClient(int connectedFd, MessageCallback onMessage);
    // Says goodbye (code 0, no reply) unless Broken, then closes.
    ~TVeltClient() override;

    // The value of the status parameter, empty when absent. Only the part of
    // the status before "&struktura=" is searched: a name inside the
    // descriptor is never taken for a parameter.
    std::string Parameter(std::string_view name) const;
    // The descriptor text: everything after "&struktura=".
    std::string Descriptor() const;
    // Every parameter before the descriptor, in status order.
    std::vector<std::pair<std::string, std::string>> Parameters() const;
    // True when the server's "wersja" is not less than date (byte-wise).
    bool VersionAtLeast(std::string_view date) const;

    // Logs in; empty on success, else the reason. A required right the
    // user lacks logs the half-made session out again.
    std::string Login(const std::string& user, const std::string& password, const std::string& right);
    void Logout();
    // Empty when the server accepted the new password, else the reason.
    std::string ChangePassword(const std::string& newPassword);
    static std::string EncodePassword(std::int32_t challenge, std::string_view text);

    // The keep-alive exchange (timer thread).
    void KeepAlive() override;

    void RequestStatus();                                         // 30
    void Goodbye();                                               // 0

    // --- state ---
    const std::string& Status() const { return mStatus; }
    std::int32_t Challenge() const { return mChallenge; }
    bool LoggedIn() const { return mLoggedIn; }
    const std::string& Rights() const { return mRights; }
    const std::string& Profile() const { return mProfile; }
    const std::string& UserName() const { return mUserName; }
    const std::string& PasswordNotice() const { return mPasswordNotice; }

    // True once the connection's failure has gone to the message callback.
    bool FailureReported() const { return mFailureReported.load(); }
    // The result text of a request refused because another was open.
    static std::string BusyText();
    // How many requests were refused because another was open (tests).
    std::uint64_t RefusedRequests() const { return mRefused.load(); }

    // The one way a request is made: refused (fallback() returned, nothing
    // sent) while another request is open or when the connection is broken;
    // otherwise BeginRequest, the code and second byte (when not negative),
    // body() (the items, SEND, the reply), EndRequest. A failure during the
    // exchange is reported once and gives fallback().
    template <typename Body, typename Fallback>
    auto Exchange(RequestCode code, int second, Body body, Fallback fallback) -> decltype(body());
    // The request's result text when it could not be made: ErrorText when
    // broken, BusyText when refused.
    std::string FailureText() const;

    // Inside an exchange: an answer reply (count 0 after a failure), a
    // record reply (none for a count outside 1..50).
    Answers ReadAnswers();
    RecordPtr ReadRecord(std::uint32_t kind);

    // Inside an exchange: a file transfer read into target (none: read and
    // dropped), through a temporary file beside it that appears only when
    // the whole transfer arrived; false when aborted, broken or not writable.
    bool ReceiveFile(const std::string& target, const ProgressCallback& progress);
    // Sends the file in chunks of at most 10000 bytes (an unreadable file is
    // sent as an empty transfer).
    void SendFile(const std::string& fileName, const ProgressCallback& progress);

private:
    // The status request (30) and, once per connection, the notice in it.
    void ReadStatus();
    // Hands the first failure of the connection to the owner, once.
    void ReportFailure();
    // Tells the owner a text.
    void Message(const std::string& text, SessionText kind) const;

    MessageCallback mOnMessage;
    std::string mStatus;
    std::int32_t mChallenge = 0;
    bool mLoggedIn = false;
    std::string mRights;
    std::string mProfile;
    std::string mUserName;
    std::string mPasswordNotice;
    std::vector<std::string> mNoticesShown;   // the notices already handed to the owner
    std::atomic<bool> mRequestOpen{false};    // a request holds the connection
    std::atomic<bool> mFailureReported{false};
    std::atomic<std::uint64_t> mRefused{0};
};

namespace detail {

// Holds the connection for one request; a second holder is refused.
class RequestHold {
public:
    explicit RequestHold(std::atomic<bool>& open) : mOpen(open) {
        bool expected = false;
        mHeld = mOpen.compare_exchange_strong(expected, true, std::memory_order_acq_rel);
    }
    ~RequestHold() {
        if (mHeld) mOpen.store(false, std::memory_order_release);
    }
    RequestHold(const RequestHold&) = delete;
    RequestHold& operator=(const RequestHold&) = delete;
    bool Held() const { return mHeld; }

private:
    std::atomic<bool>& mOpen;
    bool mHeld = false;
};

}  // namespace detail

template <typename Body, typename Fallback>
auto TVeltClient::Exchange(RequestCode code, int second, Body body, Fallback fallback) -> decltype(body()) {
    detail::RequestHold hold(mRequestOpen);
    if (!hold.Held()) {
        // Two requests must never interleave on the wire: one that starts
        // while another is open is refused before it touches the socket.
        ++mRefused;
        assert(!"a request was begun while another is open on the same connection");
        return fallback();
    }
    if (Broken()) return fallback();
    BeginRequest();
    PUTBYTE(static_cast<std::uint8_t>(code));
    if (second >= 0) PUTBYTE(static_cast<std::uint8_t>(second));
    auto result = body();
    EndRequest();
    if (Broken()) {
        ReportFailure();
        return fallback();
    }
    return result;
}

}  // namespace velt
