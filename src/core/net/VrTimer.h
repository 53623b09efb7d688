#pragma once
// The keep-alive countdown of one connection, and TTimer, the one
// process-wide thread that drives every countdown.
//
// Locking: TTimer holds its list lock for a whole visit of the list and each
// timer's own lock while it looks at (and possibly fires) that timer. The
// callback therefore runs with the timer's lock held; the lock is re-entrant
// so that the callback may itself stop and restart its timer. A request on
// another thread stops the timer first (taking the same lock), so it waits
// for a keep-alive exchange under way and the two never meet on the wire.

#include "net/ServerWait.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velt {

class VrTimer {
public:
    // Registers the timer with TTimer; it counts down 2 ticks per second of
    // the interval once Restart is called.
    VrTimer(std::int32_t intervalSeconds, std::function<void()> callback);
    ~VrTimer();
    VrTimer(const VrTimer&) = delete;
    VrTimer& operator=(const VrTimer&) = delete;

    // Disables the countdown; waits for a callback under way to return,
    // asking the server-wait hook while it waits. Anything but GoOn means the
    // hook gave up: the timer is then left as it was.
    WaitDecision Stop();
    // Enables the countdown from its full value.
    void Restart();
    // Takes the timer off TTimer's list (waiting for a visit under way); the
    // callback is never called afterwards. Called by the destructor too.
    void Unregister();

    bool Enabled() const;
    std::int32_t Countdown() const;
    std::int32_t Reload() const { return mReload; }

    // The process-wide keep-alive interval in milliseconds (default 300000),
    // set from the configuration before connections are made.
    static void SetKeepAliveInterval(std::int32_t ms);
    static std::int32_t KeepAliveInterval();

private:
    friend class TTimer;
    // One tick of TTimer: counts down and fires. Called under the list lock.
    void Tick();

    mutable std::recursive_timed_mutex mLock;
    std::function<void()> mCallback;
    std::int32_t mCountdown;
    const std::int32_t mReload;
    bool mEnabled = false;
    bool mRegistered = false;
};

class TTimer {
public:
    // Starts the thread (once; later calls do nothing while it runs). The
    // tick is 500 ms; tests may shorten it.
    static void Start(std::chrono::milliseconds tick = std::chrono::milliseconds(500));
    // Tells the thread to end and waits for it.
    static void Terminate();
    static bool Running();

private:
    friend class VrTimer;
    static TTimer& Instance();
    void Register(VrTimer* t);
    void Unregister(VrTimer* t);
    void Loop();

    std::mutex mListLock;
    std::vector<VrTimer*> mTimers;
    std::thread mThread;
    std::mutex mStateLock;
    std::condition_variable mWake;
    bool mStop = false;
    std::atomic<bool> mRunning{false};
    std::chrono::milliseconds mTick{500};
};

}  // namespace velt
