// A server that stops answering: the GUI thread's request shows the waiting
// window after about 2 s, and "Przerwij" (in it, or in the progress window for
// a worker's request) breaks the connection within moments.

#include "gui/common/ServerWaitWindow.h"
#include "net/SearchRequests.h"
#include "gui/common/TOknoProgresji.h"
#include "net/TVeltClient.h"
#include "text/CpLiteral.h"

#include "support/ScriptedPeer.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace velt;
using namespace std::chrono_literals;

namespace {

// A peer that sends the status and then never answers anything.
struct StalledPeer {
    std::atomic<bool> done{false};
    test::ScriptedPeer peer{[this](test::PeerConnection& c) {
        c.ReadByte();
        c.WriteText("VELT2&wersja=2026.01.01&struktura=");
        while (!done) std::this_thread::sleep_for(10ms);
    }};
    ~StalledPeer() {
        done = true;
        peer.Join();
    }
};

// Presses button as soon as it can be seen (polled every 50 ms).
void PressWhenShown(QPushButton* button, QWidget* window, bool& pressed,
                    std::chrono::steady_clock::time_point& shownAt) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [=, &pressed, &shownAt] {
        if (!window->isVisible() || !button->isVisible() || !button->isEnabled()) return;
        shownAt = std::chrono::steady_clock::now();
        pressed = true;
        QTest::mouseClick(button, Qt::LeftButton);
        timer->stop();
        timer->deleteLater();
    });
    timer->start(50);
}

}  // namespace

TEST(ServerWait, TheWindowOffersAWayOutOfAStalledReplyOnTheGuiThread) {
    StalledPeer stalled;
    std::vector<std::string> messages;
    TVeltClient client("127.0.0.1", [&](const std::string& t, SessionText) { messages.push_back(t); },
                       stalled.peer.Port());
    ASSERT_FALSE(client.Broken());
    gui::ServerWaitWindow::Install();
    auto& window = gui::ServerWaitWindow::Instance();
    bool pressed = false;
    std::chrono::steady_clock::time_point shownAt;
    PressWhenShown(window.Button1, &window, pressed, shownAt);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Search(client, "x"), nullptr);
    const auto end = std::chrono::steady_clock::now();
    SetServerWait(nullptr);
    ASSERT_TRUE(pressed);
    EXPECT_GE(shownAt - start, 1900ms) << "the window waits about 2 s before it shows";
    EXPECT_LT(end - shownAt, 1s) << "Przerwij ends the wait within moments";
    EXPECT_EQ(client.ErrorText(), "Przerwane przez użytkownika"_cp);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(messages, std::vector<std::string>{"Przerwane przez użytkownika"_cp});
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Oczekiwanie na odpowiedź serwera"));
}

TEST(ServerWait, TheProgressWindowGetsPrzerwijForItsWorker) {
    StalledPeer stalled;
    TVeltClient client("127.0.0.1", nullptr, stalled.peer.Port());
    gui::ServerWaitWindow::Install();
    auto& progress = gui::TOknoProgresji::Instance();
    bool pressed = false;
    std::chrono::steady_clock::time_point shownAt;
    PressWhenShown(progress.Button1, &progress, pressed, shownAt);
    bool found = true;
    progress.run_with_progress("Trwa wyszukiwanie", [&] { found = Search(client, "x") != nullptr; });
    SetServerWait(nullptr);
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(found);
    EXPECT_EQ(client.ErrorText(), "Przerwane przez użytkownika"_cp);
    EXPECT_FALSE(progress.isVisible());
    QTest::qWait(50);  // the queued hiding of the button
    EXPECT_FALSE(progress.Button1->isVisibleTo(&progress));
}
