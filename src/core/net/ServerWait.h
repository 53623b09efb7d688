#pragma once
// What the program does while a reply from the catalogue server is late.
//
// The waiting loop of the connection asks this hook, several times a
// second, whether to go on waiting; the hook of the program shows a window
// with a way out after a few seconds, velt-cli gives up after its time-out.
// The hook is process-wide and is asked on the thread that waits: the GUI
// thread, the worker behind the progress window, or the keep-alive thread.
// Without a hook the loop waits silently up to its limit.

#include <chrono>

namespace velt {

enum class WaitDecision {
    GoOn,       // keep waiting
    Interrupt,  // the user gave up: the connection breaks with "Przerwane przez użytkownika"
    TimeOut,    // the caller's time limit: the connection breaks with "Przekroczony czas oczekiwania"
};

class ServerWait {
public:
    virtual ~ServerWait() = default;
    // A reply (or the connection's lock) has been awaited for waited so far.
    virtual WaitDecision Waiting(std::chrono::milliseconds waited) = 0;
    // The wait that Waiting was asked about has ended, however it ended.
    virtual void WaitEnded() = 0;
};

// Installs the process-wide hook (nullptr: none). The hook must outlive
// every connection that may wait.
void SetServerWait(ServerWait* hook);
ServerWait* CurrentServerWait();

// The time between two questions to the hook.
inline constexpr std::chrono::milliseconds kWaitSlice{100};

// Asks the hook, for one wait, and tells it when the wait is over.
class WaitObserver {
public:
    WaitObserver() : mHook(CurrentServerWait()) {}
    ~WaitObserver() {
        if (mAsked && mHook) mHook->WaitEnded();
    }
    WaitObserver(const WaitObserver&) = delete;
    WaitObserver& operator=(const WaitObserver&) = delete;

    // One more slice has passed; what the hook decides (GoOn without a hook).
    WaitDecision Slice() {
        mWaited += kWaitSlice;
        if (!mHook) return WaitDecision::GoOn;
        mAsked = true;
        return mHook->Waiting(mWaited);
    }
    std::chrono::milliseconds Waited() const { return mWaited; }

private:
    ServerWait* mHook;
    bool mAsked = false;
    std::chrono::milliseconds mWaited{0};
};

}  // namespace velt
