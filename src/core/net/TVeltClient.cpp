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


}  // namespace

const std::string& Answers::operator[](int i) const {
    if (i < 1 || i > count || i > 50) return kEmpty;
    return texts[static_cast<std::size_t>(i)];
}

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

Answers TVeltClient::ReadAnswers() {
    Answers a;
    const std::int32_t n = GETINTEGER();
    if (n < 0 || n > kMaxAnswers) {
        Fail("Zła postać odpowiedzi ("_cp + std::to_string(n) + ")");
        return a;
    }
    for (std::int32_t i = 1; i <= n; ++i) a.texts[static_cast<std::size_t>(i)] = GETLONG();
    a.count = Broken() ? 0 : n;
    return a;
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
    detail::RequestHold hold(mRequestOpen);
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
    Answers answer;
    const int named = Exchange(
        RequestCode::User, -1,
        [&] {
            PUTSTRING(user);
            SEND();
            answer = ReadAnswers();
            SetKey({});
            return answer.Answered() ? 1 : 0;
        },
        [] { return -1; });
    if (named < 0) return FailureText();
    if (named == 0) {
        RequestStatus();
        return Broken() ? ErrorText() : "Błędna nazwa użytkownika"_cp;
    }

    const std::string text = answer[1];
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
            answer = ReadAnswers();
            return answer.Answered() ? 1 : 0;
        },
        [] { return -1; });
    if (accepted < 0) return FailureText();
    if (accepted == 0) {
        RequestStatus();
        return Broken() ? ErrorText() : "Błędne hasło"_cp;
    }

    std::string result;
    mRights = answer[1];
    if (!right.empty() && mRights.find(right) == std::string::npos) result = "Brak uprawnień"_cp;
    if (result.empty()) {
        mLoggedIn = true;
        mUserName = user;
        mProfile = answer[2];
    }
    if (answer.count > 2) SetKey(answer[3]);
    mPasswordNotice = answer[4];
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
            (void)ReadAnswers();
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
            const Answers a = ReadAnswers();
            if (a.count == 1) {
                if (a[1].empty()) mPasswordNotice.clear();
                return a[1];
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

}  // namespace velt
