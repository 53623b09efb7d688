#include "net/TVeltClient.h"

#include "files/AtomicFile.h"
#include "wire/WireCodec.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velt {

namespace {

const std::string kEmpty;
constexpr std::int32_t kChunk = 10000;  // the size of the chunks the client sends
constexpr std::string_view kDescriptorMark = "&struktura=";

std::string ReplyError() { return "Bład odpowiedzi"_cp; }

// The extension of a file name without its dot, at most 3 characters.
std::string ShortExtension(const std::string& fileName) {
    const auto slash = fileName.find_last_of('/');
    const auto dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return fileName.substr(dot + 1, 3);
}

}  // namespace

const std::string& TVeltRecord::Item(int i) const {
    if (i < 1 || i > Count || i > 50) return kEmpty;
    return Items[static_cast<std::size_t>(i)];
}

TVeltClient::TVeltClient(const std::string& host, MessageCallback onMessage, int port)
    : VrSocket(host, port), mOnMessage(std::move(onMessage)) {
    if (!Broken()) RequestStatus();
}

TVeltClient::TVeltClient(int connectedFd, MessageCallback onMessage)
    : VrSocket(connectedFd), mOnMessage(std::move(onMessage)) {
    RequestStatus();
}

TVeltClient::~TVeltClient() {
    StopKeepAlive();
    if (!Broken()) Goodbye();
}

std::string TVeltClient::BusyText() { return "Połączenie z serwerem jest zajęte innym żądaniem"_cp; }

void TVeltClient::Message(const std::string& text, SessionText kind) const {
    if (mOnMessage) mOnMessage(text, kind);
}

void TVeltClient::ReportFailure() {
    if (!Broken() || mFailureReported.exchange(true)) return;
    Message(ErrorText(), SessionText::Failure);
}

std::string TVeltClient::FailureText() const { return Broken() ? ErrorText() : BusyText(); }

namespace {

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

}  // namespace

template <typename Body, typename Fallback>
auto TVeltClient::Exchange(RequestCode code, int second, Body body, Fallback fallback) -> decltype(body()) {
    RequestHold hold(mRequestOpen);
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

const std::string& TVeltClient::Answer(int i) const {
    if (i < 1 || i > kMaxAnswers) return kEmpty;
    return mAnswers[static_cast<std::size_t>(i)];
}

std::string TVeltClient::Parameter(std::string_view name) const {
    const std::string_view status(mStatus);
    const std::string_view head = status.substr(0, status.find(kDescriptorMark));
    const std::string needle = "&" + std::string(name) + "=";
    const auto at = head.find(needle);
    if (at == std::string_view::npos) return {};
    const auto from = at + needle.size();
    const auto to = head.find('&', from);
    return std::string(head.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from));
}

std::string TVeltClient::Descriptor() const {
    const auto at = mStatus.find(kDescriptorMark);
    if (at == std::string::npos) return {};
    return mStatus.substr(at + kDescriptorMark.size());
}

std::vector<std::pair<std::string, std::string>> TVeltClient::Parameters() const {
    std::vector<std::pair<std::string, std::string>> out;
    const std::string_view status(mStatus);
    const std::string_view head = status.substr(0, status.find(kDescriptorMark));
    std::size_t at = head.find('&');
    while (at != std::string_view::npos) {
        const auto next = head.find('&', at + 1);
        const std::string_view part =
            head.substr(at + 1, next == std::string_view::npos ? std::string_view::npos : next - at - 1);
        const auto eq = part.find('=');
        if (eq == std::string_view::npos)
            out.emplace_back(std::string(part), std::string());
        else
            out.emplace_back(std::string(part.substr(0, eq)), std::string(part.substr(eq + 1)));
        at = next;
    }
    return out;
}

bool TVeltClient::VersionAtLeast(std::string_view date) const {
    return Parameter("wersja") >= date;
}

std::string TVeltClient::EncodePassword(std::int32_t challenge, std::string_view text) {
    return wire::EncodePassword(challenge, text);
}

void TVeltClient::ReadAnswers() {
    const std::int32_t n = GETINTEGER();
    if (n < 0 || n > kMaxAnswers) {
        Fail("Zła postać odpowiedzi ("_cp + std::to_string(n) + ")");
    } else {
        for (std::int32_t i = 1; i <= n; ++i) mAnswers[static_cast<std::size_t>(i)] = GETLONG();
        mAnswerCount = n;
    }
    if (Broken()) mAnswerCount = 0;
}

RecordPtr TVeltClient::ReadRecord(std::uint32_t kind) {
    RecordPtr record;
    if (Broken()) return record;
    const std::int32_t n = GETINTEGER();
    if (n >= 1 && n <= kMaxAnswers) {
        record = std::make_unique<TVeltRecord>();
        record->Kind = kind;
        record->Count = static_cast<std::uint8_t>(n);
        for (std::int32_t i = 1; i <= n && !Broken(); ++i) record->Items[static_cast<std::size_t>(i)] = GETLONG();
    }
    if (Broken()) record.reset();
    return record;
}

void TVeltClient::RequestStatus() {
    const bool read = Exchange(
        RequestCode::Status, -1,
        [this] {
            SEND();
            std::string status = GETLONG();
            if (!Broken()) mStatus = std::move(status);
            return true;
        },
        [] { return false; });
    if (read) ReadStatus();
}

void TVeltClient::ReadStatus() {
    // The greeting comes with every status text; the user sees each one once
    // per connection, not again after every login and logout.
    const std::string notice = Parameter("message");
    if (notice.empty() || std::find(mNoticesShown.begin(), mNoticesShown.end(), notice) != mNoticesShown.end())
        return;
    mNoticesShown.push_back(notice);
    Message(notice, SessionText::Notice);
}

void TVeltClient::Goodbye() {
    RequestHold hold(mRequestOpen);
    if (!hold.Held() || Broken()) return;
    BeginRequest();
    PUTBYTE(static_cast<std::uint8_t>(RequestCode::Goodbye));
    SEND();
}

std::string TVeltClient::Login(const std::string& user, const std::string& password,
                               const std::string& right) {
    if (Broken()) return ErrorText();
    mLoggedIn = false;
    // The first step's reply is still read with any earlier key.
    // Each step gives 1 (accepted), 0 (refused by the server) or -1 (not made).
    const int named = Exchange(
        RequestCode::User, -1,
        [&] {
            PUTSTRING(user);
            SEND();
            ReadAnswers();
            SetKey({});
            return mAnswerCount > 0 ? 1 : 0;
        },
        [] { return -1; });
    if (named < 0) return FailureText();
    if (named == 0) {
        RequestStatus();
        return Broken() ? ErrorText() : "Błędna nazwa użytkownika"_cp;
    }

    const std::string& text = mAnswers[1];
    std::int32_t challenge = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    while (first < last && *first == ' ') ++first;
    if (std::from_chars(first, last, challenge).ec != std::errc()) challenge = 0;
    mChallenge = challenge;
    const int accepted = Exchange(
        RequestCode::Password, -1,
        [&] {
            PUTSTRING(EncodePassword(mChallenge, password));
            SEND();
            ReadAnswers();
            return mAnswerCount > 0 ? 1 : 0;
        },
        [] { return -1; });
    if (accepted < 0) return FailureText();
    if (accepted == 0) {
        RequestStatus();
        return Broken() ? ErrorText() : "Błędne hasło"_cp;
    }

    std::string result;
    mRights = mAnswers[1];
    if (!right.empty() && mRights.find(right) == std::string::npos) result = "Brak uprawnień"_cp;
    if (result.empty()) {
        mLoggedIn = true;
        mUserName = user;
        mProfile = mAnswerCount >= 2 ? mAnswers[2] : std::string();
    }
    if (mAnswerCount > 2) SetKey(mAnswers[3]);
    mPasswordNotice = mAnswerCount >= 4 ? mAnswers[4] : std::string();
    if (!result.empty()) {
        // The password was right but the right is missing: the server holds
        // a logged-in, possibly scrambled session. End it, so the connection
        // is not left half logged in. Logout reads the status again.
        Logout();
        return result;
    }
    RequestStatus();
    return Broken() ? ErrorText() : result;
}

void TVeltClient::Logout() {
    Exchange(
        RequestCode::User, -1,
        [this] {
            PUTSTRING("");
            SEND();
            ReadAnswers();
            return true;
        },
        [] { return false; });
    mLoggedIn = false;
    mChallenge = 0;
    mProfile.clear();
    mRights.clear();
    mPasswordNotice.clear();
    SetKey({});  // the reply above was still read with the key
    RequestStatus();
}

std::string TVeltClient::ChangePassword(const std::string& newPassword) {
    return Exchange(
        RequestCode::PasswordChange, -1,
        [&] {
            PUTSTRING(EncodePassword(mChallenge, newPassword));
            SEND();
            ReadAnswers();
            if (mAnswerCount == 1) {
                if (mAnswers[1].empty()) mPasswordNotice.clear();
                return mAnswers[1];
            }
            return Broken() ? ErrorText() : "Błędna odpowiedź serwera"_cp;
        },
        [this] { return FailureText(); });
}

void TVeltClient::KeepAlive() {
    // On the timer thread, under the timer's lock: a request cannot be open
    // (it stopped the timer), so the exchange needs no hold of its own.
    if (Broken()) return;
    BeginRequest();
    const std::string kind = mStatus.substr(0, 5);
    const std::string version = Parameter("wersja");
    const bool newServer = (kind == "VELT1" && version >= "2005.12.12") ||
                           (kind == "VELT2" && version >= "2006.04.25");
    if (newServer) {
        const std::string ping = "Podtrzymanie połączenia"_cp;
        PUTBYTE(static_cast<std::uint8_t>(RequestCode::KeepAlive));
        PUTSTRING(ping);
        SEND();
        const std::int32_t n = GETINTEGER();
        std::string last;
        if (n < 0 || n > kMaxAnswers)
            Fail("PING: Zła postać odpowiedzi ("_cp + std::to_string(n) + ")");
        else
            for (std::int32_t i = 0; i < n; ++i) last = GETLONG();
        if (Broken())
            ReportFailure();
        else if (n != 1)
            Message("PING: Zła wielkość odpowiedzi"_cp, SessionText::Failure);
        else if (last != ping)
            Message("PING: Błąd komunikacji"_cp, SessionText::Failure);
    } else {
        PUTBYTE(static_cast<std::uint8_t>(RequestCode::Status));
        SEND();
        (void)GETLONG();
        if (Broken()) ReportFailure();
    }
    EndRequest();
}

bool TVeltClient::ReceiveFile(const std::string& target, const ProgressCallback& progress) {
    AtomicFile file(target);
    bool writable = target.empty() || file.Open();
    bool aborted = false;
    std::int64_t done = 0;
    for (;;) {
        const std::int32_t remaining = GETINTEGER();
        if (Broken()) break;
        if (remaining == -1) {
            aborted = true;
            break;
        }
        const std::int32_t count = GETINTEGER();
        if (Broken()) break;
        // A chunk must be a part of what remains and fit in the buffer.
        if (remaining < 0 || count < 0 || count > remaining || count > kBufferSize) {
            Fail("Zła postać odpowiedzi ("_cp + std::to_string(count) + ")");
            break;
        }
        done += count;
        if (progress) progress(done, done + remaining - count);
        if (remaining > 0) {
            if (!Need(count, "GETBYTE")) break;
            unsigned char* chunk = UnreadData();
            wire::Unscramble(Key(), chunk, static_cast<std::size_t>(count));
            if (writable && file.Open() && !file.Write(chunk, static_cast<std::size_t>(count))) writable = false;
            Skip(count);
            Compact();
        }
        if (remaining == count) break;
    }
    const bool ok = !aborted && !Broken();
    // A failed or aborted transfer leaves the target as it was.
    if (ok && writable && file.Open() && !file.Commit().empty()) writable = false;
    if (ok && !writable) {
        Message(WriteFailureText(target, file.ErrorCode()), SessionText::Failure);
        return false;
    }
    return ok;
}

void TVeltClient::SendFile(const std::string& fileName, const ProgressCallback& progress) {
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    struct stat st {};
    const bool sizeKnown = f && ::fstat(::fileno(f), &st) == 0 && S_ISREG(st.st_mode);
    if (!sizeKnown || st.st_size > 0x7FFFFFFF) {
        if (f) std::fclose(f);
        PUTINTEGER(0);
        PUTINTEGER(0);
        SEND();
        return;
    }
    const auto size = static_cast<std::int32_t>(st.st_size);
    std::int32_t sent = 0;
    bool shortRead = false;
    do {
        if (progress) progress(sent, size);
        const std::int32_t remaining = size - sent;
        const std::int32_t count = std::min(remaining, kChunk);
        PUTINTEGER(remaining);
        PUTINTEGER(count);
        if (Broken()) break;
        if (FreeSpace() < count) SEND();
        unsigned char* place = FreeEnd();
        const std::size_t got = std::fread(place, 1, static_cast<std::size_t>(count), f);
        if (got < static_cast<std::size_t>(count)) {
            // The file shrank while being sent: the server was promised
            // count bytes, so the rest of the chunk is made up of zeros.
            std::fill(place + got, place + count, 0);
            shortRead = true;
        }
        wire::Scramble(Key(), place, static_cast<std::size_t>(count));
        Commit(count);
        SEND();
        sent += count;
    } while (sent < size && !Broken());
    if (progress) progress(size, size);
    std::fclose(f);
    if (shortRead) Message("Błąd odczytu pliku "_cp + fileName, SessionText::Failure);
}

void TVeltClient::ReleaseCollection(std::int32_t number) {
    Exchange(
        RequestCode::ReleaseCollection, -1,
        [&] {
            PUTINTEGER(number);
            SEND();
            (void)ReadRecord(0);
            return true;
        },
        [] { return false; });
}

RecordPtr TVeltClient::Search(const std::string& query) {
    return Exchange(
        RequestCode::Search, -1,
        [&] {
            PUTSTRING(query);
            SEND();
            return ReadRecord(0);
        },
        [] { return RecordPtr(); });
}

std::string TVeltClient::ReaderRequest(const std::string& parameters) {
    return Exchange(
        RequestCode::Reader, -1,
        [&] {
            PUTSTRING("&client=VELT_TCP" + parameters);
            SEND();
            return GETSTRING();
        },
        [] { return std::string(); });
}

RecordPtr TVeltClient::IndexRequest(RequestCode code, std::int32_t kind, std::int32_t format,
                                    std::int32_t parameter, const std::string* prefix,
                                    const std::string* key) {
    return Exchange(
        code, -1,
        [&] {
            PUTINTEGER(kind);
            PUTINTEGER(format);
            PUTINTEGER(parameter);
            if (prefix) PUTSTRING(*prefix);
            if (key) PUTSTRING(*key);
            SEND();
            return ReadRecord(static_cast<std::uint32_t>(kind));
        },
        [] { return RecordPtr(); });
}

RecordPtr TVeltClient::IndexFindRequest(std::int32_t kind, std::int32_t format, std::int32_t parameter,
                                        const std::string& key) {
    return IndexRequest(RequestCode::IndexFind, kind, format, parameter, nullptr, &key);
}

RecordPtr TVeltClient::IndexFromRequest(std::int32_t kind, std::int32_t format, std::int32_t parameter,
                                        const std::string& prefix, const std::string& key) {
    return IndexRequest(RequestCode::IndexFrom, kind, format, parameter, &prefix, &key);
}

RecordPtr TVeltClient::IndexNextRequest(std::int32_t kind, std::int32_t format, std::int32_t parameter,
                                        const std::string& prefix, const std::string& key) {
    return IndexRequest(RequestCode::IndexNext, kind, format, parameter, &prefix, &key);
}

RecordPtr TVeltClient::IndexLastRequest(std::int32_t kind, std::int32_t format, std::int32_t parameter,
                                        const std::string& prefix) {
    return IndexRequest(RequestCode::IndexLast, kind, format, parameter, &prefix, &kEmpty);
}

RecordPtr TVeltClient::IndexPriorRequest(std::int32_t kind, std::int32_t format, std::int32_t parameter,
                                         const std::string& prefix, const std::string& key) {
    return IndexRequest(RequestCode::IndexPrior, kind, format, parameter, &prefix, &key);
}

bool TVeltClient::ReportRequest(ReportKind second, const std::vector<std::int32_t>& ints,
                                const std::vector<std::string>& texts, const std::string& target,
                                const ProgressCallback& progress) {
    return Exchange(
        RequestCode::Report, static_cast<int>(second),
        [&] {
            for (std::int32_t v : ints) PUTINTEGER(v);
            for (const auto& t : texts) PUTSTRING(t);
            SEND();
            return ReceiveFile(target, progress);
        },
        [] { return false; });
}

bool TVeltClient::CollectionReport(std::int32_t collection, std::int32_t report, const std::string& parameters,
                                   const std::string& target, const ProgressCallback& progress) {
    if (parameters.empty()) return ReportRequest(ReportKind::Collection, {collection, report}, {}, target, progress);
    return ReportRequest(ReportKind::CollectionWithParameters, {collection, report}, {parameters}, target, progress);
}

bool TVeltClient::ListReport(std::int32_t report, const std::string& parameters, const std::string& records,
                             const std::string& target, const ProgressCallback& progress) {
    if (parameters.empty()) return ReportRequest(ReportKind::List, {report}, {records}, target, progress);
    return ReportRequest(ReportKind::ListWithParameters, {report}, {parameters, records}, target, progress);
}

bool TVeltClient::ParameterReport(std::int32_t report, const std::string& parameters,
                                  const std::string& target, const ProgressCallback& progress) {
    return ReportRequest(ReportKind::Parameters, {report}, {parameters}, target, progress);
}

bool TVeltClient::GetFile(const std::string& designation, const std::string& target,
                          const ProgressCallback& progress) {
    return Exchange(
        RequestCode::File, 1,
        [&] {
            PUTSTRING(designation);
            SEND();
            return ReceiveFile(target, progress);
        },
        [] { return false; });
}

bool TVeltClient::EditRequest(char letter, const std::vector<std::string>& texts) {
    return Exchange(
        RequestCode::Edit, static_cast<unsigned char>(letter),
        [&] {
            for (const auto& t : texts) PUTSTRING(t);
            SEND();
            ReadAnswers();
            return mAnswerCount > 0;
        },
        [this] {
            mAnswerCount = 0;
            return false;
        });
}

bool TVeltClient::EditRequestG(std::int32_t number, const std::string& text) {
    return Exchange(
        RequestCode::Edit, 'G',
        [&] {
            PUTINTEGER(number);
            PUTSTRING(text);
            SEND();
            ReadAnswers();
            return mAnswerCount > 0;
        },
        [this] {
            mAnswerCount = 0;
            return false;
        });
}

std::string TVeltClient::ProgramAnswer(char second, const std::vector<std::string>& texts) {
    return Exchange(
        RequestCode::Program, second,
        [&] {
            for (const auto& t : texts) PUTSTRING(t);
            SEND();
            ReadAnswers();
            if (mAnswerCount == 1) return mAnswers[1];
            if (mAnswerCount == 2) return mAnswers[2];
            return ReplyError();
        },
        [this] { return FailureText(); });
}

std::string TVeltClient::ProgramRun(const std::string& id, const std::string& parameters,
                                    const std::string& records) {
    return ProgramAnswer('X', {id, parameters, records});
}

std::string TVeltClient::ProgramCheck(const std::string& id) { return ProgramAnswer('D', {id}); }

std::string TVeltClient::SetFilters(const std::string& flags) {
    return Exchange(
        RequestCode::Filters, 'S',
        [&] {
            PUTSTRING(flags);
            SEND();
            ReadAnswers();
            return mAnswerCount == 1 ? mAnswers[1] : ReplyError();
        },
        [this] { return FailureText(); });
}

std::string TVeltClient::GetFilters(std::string& data) {
    data.clear();
    return Exchange(
        RequestCode::Filters, 'G',
        [&] {
            SEND();
            ReadAnswers();
            if (mAnswerCount == 2) data = mAnswers[2];
            if (mAnswerCount == 1 || mAnswerCount == 2) return mAnswers[1];
            return ReplyError();
        },
        [this] { return FailureText(); });
}

std::string TVeltClient::FirstAnswer(RequestCode code, char second, const std::vector<std::string>& texts) {
    return Exchange(
        code, second,
        [&] {
            for (const auto& t : texts) PUTSTRING(t);
            SEND();
            ReadAnswers();
            return mAnswerCount >= 1 ? mAnswers[1] : ReplyError();
        },
        [this] { return FailureText(); });
}

std::string TVeltClient::AttachmentList(const std::string& id) {
    return FirstAnswer(RequestCode::Attachment, 'L', {id});
}

std::string TVeltClient::AttachmentKinds(const std::string& id) {
    return FirstAnswer(RequestCode::Attachment, 'F', {id});
}

bool TVeltClient::AttachmentGet(const std::string& id, const std::string& name, const std::string& target,
                                const ProgressCallback& progress) {
    return Exchange(
        RequestCode::Attachment, 'G',
        [&] {
            PUTSTRING(id);
            PUTSTRING(name);
            SEND();
            return ReceiveFile(target, progress);
        },
        [] { return false; });
}

std::string TVeltClient::AttachmentAdd(const std::string& id, const std::string& fileName,
                                       const ProgressCallback& progress) {
    return Exchange(
        RequestCode::Attachment, 'A',
        [&] {
            PUTSTRING(id);
            PUTSTRING(ShortExtension(fileName));
            SendFile(fileName, progress);
            ReadAnswers();
            return mAnswerCount >= 1 ? mAnswers[1] : ReplyError();
        },
        [this] { return FailureText(); });
}

std::string TVeltClient::AttachmentAddAs(const std::string& id, const std::string& name,
                                         const std::string& fileName, const ProgressCallback& progress) {
    return Exchange(
        RequestCode::Attachment, 'S',
        [&] {
            PUTSTRING(id);
            PUTSTRING(name);
            PUTSTRING(ShortExtension(fileName));
            SendFile(fileName, progress);
            ReadAnswers();
            return mAnswerCount >= 1 ? mAnswers[1] : ReplyError();
        },
        [this] { return FailureText(); });
}

std::string TVeltClient::AttachmentDelete(const std::string& id, const std::string& name) {
    return FirstAnswer(RequestCode::Attachment, 'D', {id, name});
}

}  // namespace velt
