#pragma once
// The client side of the catalogue server's request/reply protocol: the
// status text and its parameters, the two reply shapes, login and logout with
// the challenge-encoded password, the keep-alive exchange, file transfers in
// chunks, and one method per request.
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

    // Reads a file transfer into target (none: read and dropped). The target
    // is written through a temporary file beside it and appears only when the
    // whole transfer arrived. False when aborted, broken or not writable.
    bool ReceiveFile(const std::string& target, const ProgressCallback& progress);
    // Sends the file in chunks of at most 10000 bytes (an unreadable file is
    // sent as an empty transfer).
    void SendFile(const std::string& fileName, const ProgressCallback& progress);

    // --- the requests ---
    void RequestStatus();                                         // 30
    void Goodbye();                                               // 0
    void ReleaseCollection(std::int32_t number);                  // 6
    RecordPtr Search(const std::string& query);                   // 15
    std::string ReaderRequest(const std::string& parameters);     // 38
    RecordPtr IndexFindRequest(std::int32_t kind, std::int32_t format, std::int32_t parameter,
                               const std::string& key);           // 50
    RecordPtr IndexFromRequest(std::int32_t kind, std::int32_t format, std::int32_t parameter,
                               const std::string& prefix, const std::string& key);  // 55
    RecordPtr IndexNextRequest(std::int32_t kind, std::int32_t format, std::int32_t parameter,
                               const std::string& prefix, const std::string& key);  // 56
    RecordPtr IndexLastRequest(std::int32_t kind, std::int32_t format, std::int32_t parameter,
                               const std::string& prefix);        // 57
    RecordPtr IndexPriorRequest(std::int32_t kind, std::int32_t format, std::int32_t parameter,
                                const std::string& prefix, const std::string& key);  // 58
    // 100/1 or, with parameters, 100/6.
    bool CollectionReport(std::int32_t collection, std::int32_t report, const std::string& parameters,
                          const std::string& target, const ProgressCallback& progress);
    // 100/2 or, with parameters, 100/7; records: identifiers each followed by "|".
    bool ListReport(std::int32_t report, const std::string& parameters, const std::string& records,
                    const std::string& target, const ProgressCallback& progress);
    // 100/3.
    bool ParameterReport(std::int32_t report, const std::string& parameters,
                         const std::string& target, const ProgressCallback& progress);
    // 120/1.
    bool GetFile(const std::string& designation, const std::string& target,
                 const ProgressCallback& progress);
    // 200 and a letter of F A N O X D with one text, U T with two, H L S with
    // two, I with three. The reply is left in Answers: Answers[1] the error
    // text (empty on success), Answers[2] the data. False when nothing came.
    bool EditRequest(char letter, const std::vector<std::string>& texts);
    // 200 G: one int and one text.
    bool EditRequestG(std::int32_t number, const std::string& text);
    // 201 X: records empty, identifiers each followed by "|", or "@" and a collection number.
    std::string ProgramRun(const std::string& id, const std::string& parameters, const std::string& records);
    std::string ProgramCheck(const std::string& id);              // 201 D
    std::string SetFilters(const std::string& flags);             // 202 S
    // 202 G: the error text (empty on success) and, with two answers, the data.
    std::string GetFilters(std::string& data);
    std::string AttachmentList(const std::string& id);            // 220 L
    std::string AttachmentKinds(const std::string& id);           // 220 F
    bool AttachmentGet(const std::string& id, const std::string& name, const std::string& target,
                       const ProgressCallback& progress);         // 220 G
    std::string AttachmentAdd(const std::string& id, const std::string& fileName,
                              const ProgressCallback& progress);  // 220 A
    std::string AttachmentAddAs(const std::string& id, const std::string& name,
                                const std::string& fileName, const ProgressCallback& progress);  // 220 S
    std::string AttachmentDelete(const std::string& id, const std::string& name);  // 220 D

    // --- state ---
    const std::string& Status() const { return mStatus; }
    const std::string& Answer(int i) const;  // Answers[i], 1..50
    std::int32_t AnswerCount() const { return mAnswerCount; }
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

private:
    // The one way a request is made: refused (fallback() returned, nothing
    // sent) while another request is open or when the connection is broken;
    // otherwise BeginRequest, the code and second byte (when not negative),
    // body() (the items, SEND, the reply), EndRequest. A failure during the
    // exchange is reported once and gives fallback().
    template <typename Body, typename Fallback>
    auto Exchange(RequestCode code, int second, Body body, Fallback fallback) -> decltype(body());
    // Reads an answer reply into Answers/AnswerCount (0 after a failure).
    void ReadAnswers();
    // Reads a record reply; none for a count outside 1..50.
    RecordPtr ReadRecord(std::uint32_t kind);
    // The status request (30) and, once per connection, the notice in it.
    void ReadStatus();
    // Hands the first failure of the connection to the owner, once.
    void ReportFailure();
    // Tells the owner a text.
    void Message(const std::string& text, SessionText kind) const;
    // What a text request gives when it could not be made: ErrorText when
    // broken, BusyText when refused.
    std::string FailureText() const;
    RecordPtr IndexRequest(RequestCode code, std::int32_t kind, std::int32_t format,
                           std::int32_t parameter, const std::string* prefix, const std::string* key);
    bool ReportRequest(ReportRequestKind second, const std::vector<std::int32_t>& ints,
                       const std::vector<std::string>& texts, const std::string& target,
                       const ProgressCallback& progress);
    // A request (code and second byte) whose items are texts, answered by an
    // answer reply whose first text is the result (at least one answer
    // accepted).
    std::string FirstAnswer(RequestCode code, char second, const std::vector<std::string>& texts);
    // An answer request whose accepted counts give Answers[1] or Answers[2]
    // (the program requests): "Bład odpowiedzi" for any other count.
    std::string ProgramAnswer(char second, const std::vector<std::string>& texts);

    MessageCallback mOnMessage;
    std::string mStatus;
    std::array<std::string, kMaxAnswers + 1> mAnswers;
    std::int32_t mAnswerCount = 0;
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

}  // namespace velt
