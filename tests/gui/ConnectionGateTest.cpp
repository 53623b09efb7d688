// Deferred work of the GUI thread waits while the connection is taken: a
// browser resized while a search runs behind the progress window rebuilds
// once the search has ended, and neither request is refused.

#include "gui/browse/BrowserWidget.h"
#include "net/SearchRequests.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/ConnectionGate.h"
#include "gui/common/TOknoProgresji.h"
#include "gui/shell/TForm1.h"
#include "net/TVeltClient.h"
#include "text/CpLiteral.h"

#include "support/ServerProcess.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

using namespace velt;

TEST(ConnectionGate, WorkWaitsForTheLastHoldRunsInOrderAndIsDroppedWithItsContext) {
    std::vector<std::string> ran;
    gui::WhenConnectionFree(qApp, [&] { ran.push_back("now"); });
    EXPECT_EQ(ran, std::vector<std::string>{"now"}) << "a free connection runs the work at once";
    ran.clear();
    auto gone = std::make_unique<QObject>();
    {
        gui::ConnectionHold outer;
        {
            gui::ConnectionHold inner;
            gui::WhenConnectionFree(qApp, [&] { ran.push_back("a"); });
            gui::WhenConnectionFree(gone.get(), [&] { ran.push_back("dropped"); });
        }
        EXPECT_TRUE(gui::ConnectionHeld()) << "holds nest";
        gui::WhenConnectionFree(qApp, [&] { ran.push_back("b"); });
        QApplication::processEvents();
        EXPECT_TRUE(ran.empty());
        EXPECT_EQ(gui::WorkWaitingForConnection(), 3);
        gone.reset();
    }
    EXPECT_FALSE(gui::ConnectionHeld());
    // Work asked for after the hold, before the queue ran, keeps its place.
    gui::WhenConnectionFree(qApp, [&] { ran.push_back("c"); });
    EXPECT_TRUE(ran.empty());
    QApplication::processEvents();
    EXPECT_EQ(ran, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(gui::WorkWaitingForConnection(), 0);
}

TEST(ConnectionGate, ABrowserResizedDuringASearchRebuildsAfterItAndNoRequestIsRefused) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    ASSERT_EQ(server.Control("delay 400 15"), "ok");  // every search takes 0.4 s
    TVeltClient client("127.0.0.1", nullptr, server.Port());
    ASSERT_FALSE(client.Broken());
    const std::string query = "\"tytuł\" DOWOLNY"_cp;

    gui::QtCellMeasurer measurer{QApplication::font(), gui::TForm1::ImageDirectory()};
    gui::BrowserWidget widget{measurer};
    widget.resize(300, 200);
    widget.show();
    QApplication::processEvents();
    QTest::qWait(100);  // the first size has settled
    int rebuilds = 0;
    bool rebuiltWhileWorking = false;
    bool rebuildFound = false;
    widget.SetResizeHandler([&](int, int) {
        ++rebuilds;
        rebuiltWhileWorking = rebuiltWhileWorking || gui::TOknoProgresji::Instance().isVisible();
        rebuildFound = Search(client, query) != nullptr;
    });
    // Two resizes while the worker's search is on the wire: one rebuild.
    QTimer::singleShot(30, &widget, [&] { widget.resize(320, 240); });
    QTimer::singleShot(150, &widget, [&] { widget.resize(340, 260); });
    bool found = false;
    gui::TOknoProgresji::Instance().run_with_progress("Trwa wyszukiwanie"_cp,
                                                      [&] { found = Search(client, query) != nullptr; });
    EXPECT_TRUE(found) << "the worker's search got its answer";
    EXPECT_EQ(rebuilds, 0) << "nothing rebuilt while the search ran";
    for (int i = 0; i < 100 && rebuilds == 0; ++i) QTest::qWait(10);
    EXPECT_EQ(rebuilds, 1);
    EXPECT_FALSE(rebuiltWhileWorking);
    EXPECT_TRUE(rebuildFound) << "the rebuild's own request was answered";
    EXPECT_EQ(client.RefusedRequests(), 0u);
}
