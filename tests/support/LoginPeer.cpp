#include "support/LoginPeer.h"

#include "wire/WireCodec.h"
#include "text/CpLiteral.h"

namespace velt::test {

LoginPeer::LoginPeer(std::string status) : mStatus(std::move(status)) {
    for (const char* u : {"admin", "bibliotekarz", "gosc", "nowy"}) mPasswords[u] = u;
    mMustChange["nowy"] = true;
    mPeer = std::make_unique<ScriptedPeer>([this](PeerConnection& c) { Serve(c); });
}

LoginPeer::~LoginPeer() { mPeer.reset(); }

int LoginPeer::Count(int code) {
    std::lock_guard g(mLock);
    return mCounts[code];
}

std::vector<std::string> LoginPeer::Join() { return mPeer->Join(); }

void LoginPeer::Serve(PeerConnection& c) {
    std::string key, pendingUser, user;
    int challenge = 0;
    for (;;) {
        const int code = c.ReadByte();
        if (code == 0 || code == 0xFF) return;
        {
            std::lock_guard g(mLock);
            ++mCounts[code];
        }
        if (code == 30) {
            c.WriteText(mStatus + (user.empty() ? "" : "{x={nam=" + user + "}{tab=21}{ind=5}{pre=B}}"), key);
        } else if (code == 128) {
            const std::string name = c.ReadText(key);
            if (name.empty()) {  // logout
                c.WriteAnswers({""}, key);
                key.clear();
                user.clear();
                continue;
            }
            challenge = 1000 + static_cast<int>(name.size());
            pendingUser = mPasswords.count(name) ? name : "";
            if (pendingUser.empty())
                c.WriteAnswers({}, key);
            else
                c.WriteAnswers({std::to_string(challenge)}, key);
        } else if (code == 129) {
            const std::string encoded = c.ReadText(key);
            if (pendingUser.empty() || encoded != wire::EncodePassword(challenge, mPasswords[pendingUser])) {
                c.WriteAnswers({}, key);
                continue;
            }
            const std::string rights = pendingUser == "admin"   ? "modyfikowanie administrowanie"
                                       : pendingUser == "gosc" ? ""
                                                               : "modyfikowanie";
            const std::string profile = pendingUser == "admin" ? "p-admin" : "";
            const std::string newKey = "XX" + pendingUser;
            const std::string notice = mMustChange[pendingUser] ? "Hasło wygasło"_cp : "";
            c.WriteAnswers({rights, profile, newKey, notice}, key);
            key = newKey;
            user = pendingUser;
        } else if (code == 134) {
            const std::string encoded = c.ReadText(key);
            std::string chosen;
            // The new password is found by trying the candidates tests use.
            for (const char* candidate : {"nowe1", "nowe2", "x"})
                if (encoded == wire::EncodePassword(challenge, candidate)) chosen = candidate;
            if (chosen.empty() || chosen == "x") {
                c.WriteAnswers({"Hasło za krótkie"_cp}, key);
            } else {
                mPasswords[user] = chosen;
                mMustChange[user] = false;
                c.WriteAnswers({""}, key);
            }
        } else {
            c.Fail("unexpected request " + std::to_string(code));
            return;
        }
    }
}

}  // namespace velt::test
