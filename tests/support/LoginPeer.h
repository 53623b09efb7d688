#pragma once
// A scripted catalogue server that knows login, logout, the password change
// and the status request, with a few accounts whose password is their name:
// "admin" (rights "modyfikowanie administrowanie", profile "p-admin"),
// "bibliotekarz" ("modyfikowanie"), "gosc" (no rights) and "nowy"
// ("modyfikowanie", must change its password). Every login hands out a key.

#include "support/ScriptedPeer.h"

#include <map>
#include <mutex>
#include <string>

namespace velt::test {

class LoginPeer {
public:
    explicit LoginPeer(std::string status = "VELT2&wersja=2026.01.01&edycja=1&rekordy=AB&struktura={x={nam=autor}{tab=21}{ind=5}{pre=A}}");
    ~LoginPeer();
    int Port() const { return mPeer->Port(); }
    // How many requests of the code arrived.
    int Count(int code);
    // Failures the peer noticed.
    std::vector<std::string> Join();

private:
    void Serve(PeerConnection& c);

    std::string mStatus;
    std::mutex mLock;
    std::map<int, int> mCounts;
    std::map<std::string, std::string> mPasswords;
    std::map<std::string, bool> mMustChange;
    std::unique_ptr<ScriptedPeer> mPeer;
};

}  // namespace velt::test
