#pragma once
// Reservations of records being edited: one table for every connection of
// the server, keyed by record number (so every written form of an
// identifier is the same record). A reservation names the session that
// holds it, the user and since when; the open request takes it, release,
// a successful save or delete, a logout and the end of the connection give
// it back. The tests can add reservations of a session that does not exist.

#include <cstdint>
#include <ctime>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace velt::server {

struct LockHolder {
    std::uint64_t session = 0;
    std::string user;
    std::time_t since = 0;
};

class RecordLocks {
public:
    // A number for a new session, never 0 and never that of the phantom.
    static std::uint64_t NewSession();
    // The session of the tests' reservations.
    static constexpr std::uint64_t kPhantom = 1;

    // Reserves the record for the session (again, when it holds it); the
    // holder when another session does.
    std::optional<LockHolder> Acquire(std::uint32_t number, std::uint64_t session, const std::string& user);
    std::optional<LockHolder> Holder(std::uint32_t number) const;
    // Gives back the session's own reservation; false when it held none.
    bool Release(std::uint32_t number, std::uint64_t session);
    void ReleaseAll(std::uint64_t session);
    // The records a session holds, ascending.
    std::vector<std::uint32_t> HeldBy(std::uint64_t session) const;

private:
    mutable std::mutex mLock;
    std::map<std::uint32_t, LockHolder> mHeld;
};

// The server's one table.
RecordLocks& SharedLocks();

// "Rekord K5 jest zarezerwowany przez użytkownika admin od 12.03.2025 10:15:02".
std::string HeldMessage(const std::string& shown, const LockHolder& holder);

}  // namespace velt::server
