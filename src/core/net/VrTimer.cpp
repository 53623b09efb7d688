#include "net/VrTimer.h"

#include <algorithm>

namespace velt {

namespace {
std::atomic<std::int32_t> gKeepAliveIntervalMs{300000};
}

void VrTimer::SetKeepAliveInterval(std::int32_t ms) { gKeepAliveIntervalMs = ms; }
std::int32_t VrTimer::KeepAliveInterval() { return gKeepAliveIntervalMs; }

VrTimer::VrTimer(std::int32_t intervalSeconds, std::function<void()> callback)
    : mCallback(std::move(callback)),
      mCountdown(intervalSeconds > 0 ? 2 * intervalSeconds : 0),
      mReload(intervalSeconds > 0 ? 2 * intervalSeconds : 0) {
    TTimer::Instance().Register(this);
    mRegistered = true;
}

VrTimer::~VrTimer() { Unregister(); }

void VrTimer::Unregister() {
    // The list lock first, as TTimer takes it: no visit can be under way
    // once we hold it.
    std::lock_guard list(TTimer::Instance().mListLock);
    std::lock_guard own(mLock);
    if (!mRegistered) return;
    auto& v = TTimer::Instance().mTimers;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    mRegistered = false;
    mEnabled = false;
}

WaitDecision VrTimer::Stop() {
    std::unique_lock own(mLock, std::defer_lock);
    if (!own.try_lock()) {
        // A keep-alive exchange is on the wire; a stalled server must not
        // hold the caller here without a way out.
        WaitObserver observer;
        while (!own.try_lock_for(kWaitSlice)) {
            const WaitDecision decision = observer.Slice();
            if (decision != WaitDecision::GoOn) return decision;
        }
    }
    mEnabled = false;
    return WaitDecision::GoOn;
}

void VrTimer::Restart() {
    std::lock_guard own(mLock);
    mEnabled = true;
    mCountdown = mReload;
}

bool VrTimer::Enabled() const {
    std::lock_guard own(mLock);
    return mEnabled;
}

std::int32_t VrTimer::Countdown() const {
    std::lock_guard own(mLock);
    return mCountdown;
}

void VrTimer::Tick() {
    std::lock_guard own(mLock);
    if (!mEnabled) return;
    const std::int32_t before = mCountdown--;
    if (before == 1) {
        try {
            if (mCallback) mCallback();
        } catch (...) {
            // A failing keep-alive must not end the timer thread.
        }
        mCountdown = mReload;
    }
}

TTimer& TTimer::Instance() {
    // Never destroyed: timers may unregister during static destruction.
    static TTimer* instance = new TTimer;
    return *instance;
}

void TTimer::Register(VrTimer* t) {
    std::lock_guard list(mListLock);
    mTimers.push_back(t);
}

void TTimer::Start(std::chrono::milliseconds tick) {
    TTimer& self = Instance();
    std::lock_guard state(self.mStateLock);
    if (self.mThread.joinable()) return;
    self.mTick = tick;
    self.mStop = false;
    self.mRunning = true;
    self.mThread = std::thread([&self] { self.Loop(); });
}

void TTimer::Terminate() {
    TTimer& self = Instance();
    std::thread t;
    {
        std::lock_guard state(self.mStateLock);
        if (!self.mThread.joinable()) return;
        self.mStop = true;
        t = std::move(self.mThread);
    }
    self.mWake.notify_all();
    t.join();
    self.mRunning = false;
}

bool TTimer::Running() { return Instance().mRunning; }

void TTimer::Loop() {
    for (;;) {
        {
            std::unique_lock state(mStateLock);
            if (mWake.wait_for(state, mTick, [this] { return mStop; })) return;
        }
        std::lock_guard list(mListLock);
        for (VrTimer* t : mTimers) {
            {
                std::lock_guard state(mStateLock);
                if (mStop) break;
            }
            t->Tick();
        }
    }
}

}  // namespace velt
