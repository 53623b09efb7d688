#include "net/ServerWait.h"
#include "net/SearchRequests.h"
#include "net/TVeltClient.h"
#include "net/VrTimer.h"
#include "text/CpLiteral.h"

#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

using namespace velt;
using namespace std::chrono_literals;
using test::PeerConnection;
using test::ScriptedPeer;

namespace {

// A fast timer thread for the test's lifetime: 50 ms ticks, and a one-second
// interval gives a countdown of 2 ticks (about 100 ms).
class FastTimer : public ::testing::Test {
protected:
    void SetUp() override {
        TTimer::Terminate();
        TTimer::Start(50ms);
        VrTimer::SetKeepAliveInterval(1000);
    }
    void TearDown() override {
        TTimer::Terminate();
        VrTimer::SetKeepAliveInterval(300000);
    }
};

struct Log {
    std::mutex lock;
    std::string events;
    std::vector<std::string> messages;
    void add(char e) {
        std::lock_guard g(lock);
        events.push_back(e);
    }
    std::string get() {
        std::lock_guard g(lock);
        return events;
    }
};

// A server that answers keep-alives ("K"), status requests ("T", after the
// first) and slow searches ("S") until the goodbye.
void Serve(PeerConnection& c, const std::string& status, Log& log, const std::string& pingReply) {
    if (c.ReadByte() != 30) c.Fail("no status request first");
    c.WriteText(status);
    for (;;) {
        const auto code = c.ReadByte();
        if (code == 0 || code == 0xFF) return;
        if (code == 254) {
            if (c.ReadText() != "Podtrzymanie połączenia"_cp) c.Fail("wrong keep-alive text");
            log.add('K');
            c.WriteAnswers({pingReply});
        } else if (code == 30) {
            log.add('T');
            c.WriteText(status);
        } else if (code == 15) {
            c.ReadText();
            std::this_thread::sleep_for(300ms);  // longer than the keep-alive interval
            log.add('S');
            c.WriteInt(0);
        } else {
            c.Fail("unexpected request " + std::to_string(code));
            return;
        }
    }
}

}  // namespace

TEST_F(FastTimer, KeepAliveFiresOnlyAfterAFullIdleIntervalAndNeverDuringARequest) {
    Log log;
    ScriptedPeer peer([&](PeerConnection& c) {
        Serve(c, "VELT2&wersja=2026.12.01&struktura=", log, "Podtrzymanie połączenia"_cp);
    });
    {
        TVeltClient client("127.0.0.1", [&](const std::string& t, SessionText) { std::lock_guard g(log.lock); log.messages.push_back(t); }, peer.Port());
        for (int i = 0; i < 4; ++i) (void)Search(client, "x");
        EXPECT_EQ(log.get(), "SSSS") << "a keep-alive came while requests followed each other";
        std::this_thread::sleep_for(700ms);
        const std::string events = log.get();
        EXPECT_GE(events.size(), 6u) << events;
        EXPECT_EQ(events.find_first_not_of('K', 4), std::string::npos) << events;
        EXPECT_FALSE(client.Broken());
    }
    for (const auto& f : peer.Join()) ADD_FAILURE() << f;
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(FastTimer, KeepAliveReportsAWrongReply) {
    Log log;
    std::atomic<bool> told{false};
    ScriptedPeer peer([&](PeerConnection& c) { Serve(c, "VELT1&wersja=2005.12.12", log, "pong"); });
    {
        TVeltClient client("127.0.0.1",
                           [&](const std::string& t, SessionText) {
                               if (t == "PING: Błąd komunikacji"_cp) told = true;
                           },
                           peer.Port());
        for (int i = 0; i < 40 && !told; ++i) std::this_thread::sleep_for(25ms);
    }
    EXPECT_TRUE(told);
    peer.Join();
}

TEST_F(FastTimer, OlderServersGetTheStatusRequestAsKeepAlive) {
    const struct {
        const char* status;
        char expected;
    } cases[] = {
        {"VELT2&wersja=2006.04.24", 'T'}, {"VELT2&wersja=2006.04.25", 'K'}, {"VELT1&wersja=2005.12.11", 'T'},
        {"VELT1&wersja=2005.12.12", 'K'}, {"VELT3&wersja=2030.01.01", 'T'}, {"VELT2", 'T'},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.status);
        Log log;
        ScriptedPeer peer([&](PeerConnection& c) { Serve(c, tc.status, log, "Podtrzymanie połączenia"_cp); });
        {
            TVeltClient client("127.0.0.1", nullptr, peer.Port());
            for (int i = 0; i < 40 && log.get().empty(); ++i) std::this_thread::sleep_for(25ms);
            // The status request as keep-alive leaves the status as it was.
            EXPECT_EQ(client.Status(), tc.status);
        }
        peer.Join();
        ASSERT_FALSE(log.get().empty());
        EXPECT_EQ(log.get()[0], tc.expected);
    }
}

TEST_F(FastTimer, TimerCountsDownTwoTicksPerSecondAndStops) {
    std::atomic<int> fired{0};
    VrTimer timer(1, [&] { ++fired; });
    EXPECT_EQ(timer.Reload(), 2);
    EXPECT_FALSE(timer.Enabled());
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(fired, 0) << "a timer fires only once restarted";
    timer.Restart();
    for (int i = 0; i < 40 && fired < 2; ++i) std::this_thread::sleep_for(25ms);
    EXPECT_GE(fired, 2);
    timer.Stop();
    const int atStop = fired;
    std::this_thread::sleep_for(250ms);
    EXPECT_EQ(fired, atStop);
}

TEST_F(FastTimer, AnIntervalUnderOneSecondNeverFires) {
    std::atomic<int> fired{0};
    VrTimer timer(0, [&] { ++fired; });
    EXPECT_EQ(timer.Reload(), 0);
    timer.Restart();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(fired, 0);
}

TEST_F(FastTimer, CallbackMayStopAndRestartItsOwnTimer) {
    std::atomic<int> fired{0};
    VrTimer* self = nullptr;
    VrTimer timer(1, [&] {
        self->Stop();  // the lock is re-entrant for the timer thread
        self->Restart();
        ++fired;
    });
    self = &timer;
    timer.Restart();
    for (int i = 0; i < 40 && fired < 1; ++i) std::this_thread::sleep_for(25ms);
    EXPECT_GE(fired, 1);
}

namespace {

// Gives up on the test's own thread after a while; other threads wait on.
struct InterruptOnThisThread : ServerWait {
    std::thread::id thread = std::this_thread::get_id();
    std::atomic<int> asked{0};
    WaitDecision Waiting(std::chrono::milliseconds waited) override {
        if (std::this_thread::get_id() != thread) return WaitDecision::GoOn;
        ++asked;
        return waited >= 300ms ? WaitDecision::Interrupt : WaitDecision::GoOn;
    }
    void WaitEnded() override {}
};

}  // namespace

// A keep-alive that the server never answers holds the connection's lock;
// a request on the GUI thread that waits for it still gets its way out.
TEST_F(FastTimer, ARequestWaitingBehindAStalledKeepAliveCanBeInterrupted) {
    std::atomic<bool> pinged{false};
    std::atomic<bool> done{false};
    ScriptedPeer peer([&](PeerConnection& c) {
        c.ReadByte();
        c.WriteText("VELT2&wersja=2026.12.01&struktura=");
        EXPECT_EQ(c.ReadByte(), 254);
        c.ReadText();
        pinged = true;
        while (!done) std::this_thread::sleep_for(10ms);  // never answers
    });
    std::vector<std::string> messages;
    std::mutex lock;
    {
        TVeltClient client("127.0.0.1",
                           [&](const std::string& t, SessionText) {
                               std::lock_guard g(lock);
                               messages.push_back(t);
                           },
                           peer.Port());
        for (int i = 0; i < 80 && !pinged; ++i) std::this_thread::sleep_for(25ms);
        ASSERT_TRUE(pinged);
        InterruptOnThisThread hook;
        SetServerWait(&hook);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Search(client, "x"), nullptr);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
        SetServerWait(nullptr);
        EXPECT_GE(hook.asked.load(), 3);
        EXPECT_TRUE(client.Broken());
        EXPECT_EQ(client.ErrorText(), "Przerwane przez użytkownika"_cp);
        done = true;
    }
    peer.Join();
    std::lock_guard g(lock);
    EXPECT_EQ(messages, std::vector<std::string>{"Przerwane przez użytkownika"_cp});
}
