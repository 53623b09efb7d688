#include "net/ServerWait.h"

#include <atomic>

namespace velt {

namespace {
std::atomic<ServerWait*> gHook{nullptr};
}

void SetServerWait(ServerWait* hook) { gHook.store(hook, std::memory_order_release); }

ServerWait* CurrentServerWait() { return gHook.load(std::memory_order_acquire); }

}  // namespace velt
