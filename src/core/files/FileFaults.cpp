#include "files/FileFaults.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>

namespace velt {

namespace {

struct Fault {
    int remaining = 0;  // steps to go until the one that fails; 0: none armed
    int error = 0;
};

std::mutex gLock;
std::array<Fault, 4> gFaults;
bool gShortWrites = false;
std::atomic<bool> gArmed{false};  // the program's writes pass by without the lock

void Rearm() {
    bool any = gShortWrites;
    for (const Fault& f : gFaults) any = any || f.remaining > 0;
    gArmed.store(any, std::memory_order_release);
}

constexpr unsigned long kShortWrite = 7;

}  // namespace

void InjectFileFault(FileStep step, int nth, int error) {
    std::lock_guard lock(gLock);
    gFaults[static_cast<std::size_t>(step)] = {std::max(nth, 1), error != 0 ? error : EIO};
    Rearm();
}

void InjectShortWrites() {
    std::lock_guard lock(gLock);
    gShortWrites = true;
    Rearm();
}

void ClearFileFaults() {
    std::lock_guard lock(gLock);
    gFaults = {};
    gShortWrites = false;
    Rearm();
}

namespace files_detail {

int InjectedFault(FileStep step) {
    if (!gArmed.load(std::memory_order_acquire)) return 0;
    std::lock_guard lock(gLock);
    Fault& f = gFaults[static_cast<std::size_t>(step)];
    if (f.remaining == 0 || --f.remaining > 0) return 0;
    const int error = f.error;
    f = {};
    Rearm();
    return error;
}

unsigned long WriteLimit(unsigned long n) {
    if (!gArmed.load(std::memory_order_acquire)) return n;
    std::lock_guard lock(gLock);
    return gShortWrites ? std::min(n, kShortWrite) : n;
}

}  // namespace files_detail

}  // namespace velt
