#include "RecordLocks.h"

#include "text/CpLiteral.h"

#include <atomic>
#include <cstdio>

namespace velt::server {

std::uint64_t RecordLocks::NewSession() {
    static std::atomic<std::uint64_t> next{kPhantom + 1};
    return next++;
}

std::optional<LockHolder> RecordLocks::Acquire(std::uint32_t number, std::uint64_t session, const std::string& user) {
    std::lock_guard lock(mLock);
    const auto [it, added] = mHeld.try_emplace(number, LockHolder{session, user, std::time(nullptr)});
    if (!added && it->second.session != session) return it->second;
    return std::nullopt;
}

std::optional<LockHolder> RecordLocks::Holder(std::uint32_t number) const {
    std::lock_guard lock(mLock);
    const auto it = mHeld.find(number);
    if (it == mHeld.end()) return std::nullopt;
    return it->second;
}

bool RecordLocks::Release(std::uint32_t number, std::uint64_t session) {
    std::lock_guard lock(mLock);
    const auto it = mHeld.find(number);
    if (it == mHeld.end() || it->second.session != session) return false;
    mHeld.erase(it);
    return true;
}

void RecordLocks::ReleaseAll(std::uint64_t session) {
    std::lock_guard lock(mLock);
    std::erase_if(mHeld, [session](const auto& entry) { return entry.second.session == session; });
}

std::vector<std::uint32_t> RecordLocks::HeldBy(std::uint64_t session) const {
    std::lock_guard lock(mLock);
    std::vector<std::uint32_t> out;
    for (const auto& [number, holder] : mHeld)
        if (holder.session == session) out.push_back(number);
    return out;
}

RecordLocks& SharedLocks() {
    static RecordLocks locks;
    return locks;
}

std::string HeldMessage(const std::string& shown, const LockHolder& holder) {
    std::tm t{};
    localtime_r(&holder.since, &t);
    char when[40];
    std::snprintf(when, sizeof when, "%02d.%02d.%04d %02d:%02d:%02d", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return "Rekord "_cp + shown + " jest zarezerwowany przez użytkownika "_cp + holder.user + " od "_cp + when;
}

}  // namespace velt::server
