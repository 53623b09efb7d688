#include "gui/common/PlainMessage.h"
#include "gui/common/QtText.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/common/TOknoProgresji.h"
#include "text/CpLiteral.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

using namespace velt;
using namespace velt::gui;

namespace {

// Runs check on the modal window once it is up.
void WhenShown(std::function<void(TOknoKomunikatu&)> check) {
    QTimer::singleShot(0, [check] {
        auto& w = TOknoKomunikatu::Instance();
        if (!w.isVisible()) {
            WhenShown(check);
            return;
        }
        check(w);
    });
}

QPushButton* ButtonNamed(TOknoKomunikatu& w, const char* utf8) {
    for (QPushButton* b : w.Buttons())
        if (b->text() == QString::fromUtf8(utf8)) return b;
    return nullptr;
}

}  // namespace

TEST(TOknoKomunikatu, QuestionShowsItsCaptionButtonsAndAnswersTheClickedOne) {
    WhenShown([](TOknoKomunikatu& w) {
        EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Pytanie"));
        EXPECT_EQ(w.Label1->text(), QString::fromUtf8("Usunąć <b>rekord</b>?"));
        EXPECT_EQ(w.Label1->textFormat(), Qt::PlainText);
        ASSERT_EQ(w.Buttons().size(), 2u);
        const QPushButton* tak = w.Buttons()[0];
        const QPushButton* nie = w.Buttons()[1];
        EXPECT_EQ(tak->size(), QSize(75, 24));
        EXPECT_EQ(nie->x() - tak->x(), 85);
        EXPECT_EQ(tak->y(), w.height() - 34);
        EXPECT_GE(w.width(), 2 * 85 + 10);
        EXPECT_GE(w.height(), 32 + 12 + 44);
        ButtonNamed(w, "Nie")->click();
    });
    EXPECT_EQ(ask_question("Usunąć <b>rekord</b>?"_cp), kNo);
    EXPECT_TRUE(TOknoKomunikatu::Instance().Buttons().empty()) << "the call's buttons are freed";
}

TEST(TOknoKomunikatu, DefaultQuestionFocusesTheGivenButton) {
    WhenShown([](TOknoKomunikatu& w) {
        QPushButton* nie = ButtonNamed(w, "Nie");
        ASSERT_NE(nie, nullptr);
        EXPECT_TRUE(nie->isDefault());
        QTest::keyClick(&w, Qt::Key_Return);
    });
    EXPECT_EQ(ask_question_default("Zapisać?", kNo), kNo);
}

TEST(TOknoKomunikatu, ASecondMessageWhileOneShowsIsNotShown) {
    int nested = -1;
    WhenShown([&nested](TOknoKomunikatu& w) {
        nested = ask_warning("Drugie pytanie");
        show_error("Drugi błąd");  // does nothing
        EXPECT_EQ(w.windowTitle(), toQString("Ostrzeżenie!"_cp));
        ButtonNamed(w, "Zrezygnuj")->click();
    });
    EXPECT_EQ(ask_warning("Pierwsze"), kCancel);
    EXPECT_EQ(nested, kCancel);
}

TEST(TOknoKomunikatu, LongMessagesWrapAndGrowInHeight) {
    int shortHeight = 0, longHeight = 0, longWidth = 0;
    WhenShown([&](TOknoKomunikatu& w) {
        shortHeight = w.height();
        w.Buttons()[0]->click();
    });
    show_message("Krótko");
    std::string text;
    for (int i = 0; i < 200; ++i) text += "wyraz ";
    WhenShown([&](TOknoKomunikatu& w) {
        longHeight = w.height();
        longWidth = w.width();
        EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Komunikat"));
        w.Buttons()[0]->click();
    });
    show_message(text);
    EXPECT_GT(longHeight, shortHeight);
    EXPECT_LE(longWidth, QApplication::primaryScreen()->geometry().width() / 2 + 56 + 10);
}

TEST(TOknoProgresji, AFailingWorkShowsItsErrorOnceAndTheWindowCloses) {
    std::vector<std::string> shown;
    SetPlainMessageHandler([&](const std::string& t) { shown.push_back(t); });
    auto& w = TOknoProgresji::Instance();
    w.run_with_progress("Trwa wyszukiwanie", [] { throw std::runtime_error("Zerwane połączenie"); });
    SetPlainMessageHandler({});
    EXPECT_EQ(shown, std::vector<std::string>{"Zerwane połączenie"});
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.Working());
}

TEST(TOknoProgresji, TextModeRunsOnAWorkerAndCannotBeClosedMeanwhile) {
    auto& w = TOknoProgresji::Instance();
    const auto gui = std::this_thread::get_id();
    std::thread::id worker;
    bool stillShown = false;
    std::atomic<bool> tried{false};
    QTimer::singleShot(50, [&] {
        QTest::keyClick(&w, Qt::Key_Escape);
        w.close();
        stillShown = w.isVisible();
        tried = true;
    });
    w.run_with_progress("Pobieranie danych...", [&] {
        worker = std::this_thread::get_id();
        // The work lasts until the window was tried (however slow the machine).
        for (int i = 0; i < 1000 && !tried; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
    EXPECT_TRUE(stillShown) << "Escape and close are refused while the work runs";
    EXPECT_NE(worker, gui);
    EXPECT_EQ(w.Panel1->text(), QString::fromUtf8("Pobieranie danych..."));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Proszę czekać..."));
}

TEST(TOknoProgresji, GaugeFollowsThePositionsUntilTheWorkEnds) {
    auto& w = TOknoProgresji::Instance();
    w.run_with_gauge([](const GaugeFunction& progress) {
        for (std::int64_t p = 0; p <= 25000; p += 5000) EXPECT_TRUE(progress(p, 25000));
    });
    EXPECT_TRUE(w.Gauge1->isVisibleTo(&w));
    EXPECT_FALSE(w.Panel1->isVisibleTo(&w));
    EXPECT_EQ(w.Gauge1->value(), 1000);
    EXPECT_FALSE(w.isVisible());
}

TEST(TOknoProgresji, DownloadProgressShowsAndAlwaysHidesAgain) {
    auto& w = TOknoProgresji::Instance();
    EXPECT_TRUE(w.download_progress(10000, 25000));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.Gauge1->value(), 400);
    EXPECT_TRUE(w.download_progress(25000, 25000));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // A transfer that broke off never reaches its maximum.
    w.download_progress(1, 2);
    w.download_finished();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
