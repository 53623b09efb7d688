// The session's own requests: goodbye (0), status (30), login (128 user,
// 129 password; 128 with an empty name logs out), password change (134)
// and keep-alive (254).

#include "Descriptor.h"
#include "RecordLocks.h"
#include "Session.h"
#include "wire/WireCodec.h"
#include "text/CpLiteral.h"

#include <charconv>

namespace velt::server {

namespace {

void Goodbye(Session&, std::uint8_t, char) { throw ConnectionEnd{}; }

void Status(Session& s, std::uint8_t, char) { s.out.Status(StatusText(s)); }

void EndLogin(Session& s) {
    // The records the user reserved are free again.
    SharedLocks().ReleaseAll(s.id);
    s.user.reset();
    s.pendingUser.clear();
    s.challenge = 0;
}

std::string NewKey(Session& s) {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    std::string key = "XX";
    for (int i = 0; i < 8; ++i) key.push_back(letters[s.random() % 52]);
    return key;
}

void User(Session& s, std::uint8_t, char) {
    const std::string name = s.in.Text(256);
    // A new login, or a logout, ends the session's login; the reply still
    // goes out under the old key, which ends with it.
    EndLogin(s);
    if (name.empty()) {
        s.out.Answers({""});
    } else if (s.db.FindAccount(name)) {
        s.pendingUser = name;
        s.challenge = static_cast<std::int32_t>(1000 + s.random() % 90000000);
        s.out.Answers({std::to_string(s.challenge)});
    } else {
        s.out.Answers({});
    }
    s.SetKey({});
}

void Password(Session& s, std::uint8_t, char) {
    const std::string encoded = s.in.Text(4096);
    const auto account = s.pendingUser.empty() ? std::nullopt : s.db.FindAccount(s.pendingUser);
    if (!account || wire::EncodePassword(s.challenge, account->password) != encoded) {
        EndLogin(s);
        s.out.Answers({});
        return;
    }
    s.pendingUser.clear();
    s.user = account;
    const std::string key = s.config.scramble ? NewKey(s) : std::string();
    s.out.Answers({account->rights, account->profile, key, account->notice});
    // The key scrambles from the next request on, in both directions.
    s.SetKey(key);
}

// Undoes the password encoding: the digit string is read back from its
// interleaving, then each length digit and number gives one character.
std::optional<std::string> DecodePassword(std::int32_t challenge, const std::string& encoded) {
    const std::size_t n = encoded.size();
    std::string digits(n, '\0');
    std::size_t lo = 0, hi = n;
    bool fromEnd = true;
    for (const char c : encoded) {
        if (fromEnd) digits[--hi] = c;
        else digits[lo++] = c;
        fromEnd = !fromEnd;
    }
    std::string text;
    std::size_t at = 0;
    while (at < n) {
        const int len = digits[at] - '0';
        if (len < 1 || len > 12 || at + 1 + static_cast<std::size_t>(len) > n) return std::nullopt;
        std::int64_t v = 0;
        const char* first = digits.data() + at + 1;
        const auto r = std::from_chars(first, first + len, v);
        if (r.ec != std::errc() || r.ptr != first + len) return std::nullopt;
        const std::int64_t code = v - challenge - static_cast<std::int64_t>(text.size() + 1);
        if (code < 1 || code > 255) return std::nullopt;
        text.push_back(static_cast<char>(code));
        at += 1 + static_cast<std::size_t>(len);
    }
    return text;
}

void ChangePassword(Session& s, std::uint8_t, char) {
    const std::string encoded = s.in.Text(4096);
    if (!s.user) {
        s.out.Answers({"Najpierw należy się zalogować"_cp});
        return;
    }
    const auto password = DecodePassword(s.challenge, encoded);
    if (!password || password->empty()) {
        s.out.Answers({"Hasło nie może być puste"_cp});
        return;
    }
    if (*password == s.user->password) {
        s.out.Answers({"Nowe hasło musi się różnić od poprzedniego"_cp});
        return;
    }
    s.db.ChangePassword(s.user->name, *password);
    s.user->password = *password;
    s.user->notice.clear();
    s.out.Answers({""});
}

void KeepAlive(Session& s, std::uint8_t, char) {
    (void)s.in.Text(256);
    s.out.Answers({"Podtrzymanie połączenia"_cp});
}

}  // namespace

// Exposed for the tests: the inverse of the password encoding.
std::optional<std::string> DecodePasswordForTest(std::int32_t challenge, const std::string& encoded) {
    return DecodePassword(challenge, encoded);
}

void RegisterSessionRequests() {
    RegisterRequest(0, Goodbye);
    RegisterRequest(30, Status);
    RegisterRequest(128, User);
    RegisterRequest(129, Password);
    RegisterRequest(134, ChangePassword);
    RegisterRequest(254, KeepAlive);
}

}  // namespace velt::server
