#pragma once
// The client side of the catalogue server's request/reply protocol: the
// status text and its parameters, the two reply shapes, login and logout with
// the challenge-encoded password, the keep-alive exchange, file transfers in
// chunks, and one method per request.
//
// Every request is one synchronous exchange on the calling thread. Failures
// never raise: they reach the owner through the message callback and show up
// as empty texts, no record or false.
//
// Threads: requests are made by one thread at a time (the GUI thread, or the
// worker behind a modal progress window). The keep-alive runs on the timer
// thread and calls the message callback there, while it holds the
// connection's timer lock. The owner must therefore hand the text over to
// its own thread without waiting for it: a blocking hand-over would deadlock
// against a request that is waiting for the same lock.

#include "net/VrSocket.h"

#include <array>
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
// Takes one text for the user: failure texts and the server's greeting.
using MessageCallback = std::function<void(const std::string& text)>;

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

    // Reads an answer reply into Answers/AnswerCount.
    void ReadAnswers();
    // Reads a record reply; none for a count outside 1..50.
    RecordPtr ReadRecord(std::uint32_t kind);

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

    // Tells the owner a text (failure or greeting).
    void Message(const std::string& text) const;

private:
    RecordPtr IndexRequest(std::uint8_t code, std::int32_t kind, std::int32_t format,
                           std::int32_t parameter, const std::string* prefix, const std::string* key);
    bool ReportRequest(std::uint8_t second, const std::vector<std::int32_t>& ints,
                       const std::vector<std::string>& texts, const std::string& target,
                       const ProgressCallback& progress);
    // An answer request returning Answers[1] (at least one answer accepted).
    std::string FirstAnswer();

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
};

}  // namespace velt
