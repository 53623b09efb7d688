// "Parametry zestawienia" offscreen: its widgets, the form laid out and
// answered, the window's size, sorting shown and read back, "Wykonaj"
// errors that keep it open, and programs started by QProcess with an
// argument list.

#include "gui/forms/FormSheet.h"
#include "gui/params/QtProgramLauncher.h"
#include "gui/params/TOknoParametrow.h"
#include "params/ParameterForms.h"
#include "text/CpLiteral.h"

#include "support/RecordingPrompts.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velt;
using namespace velt::gui;

namespace {

struct Window {
    test::RecordingPrompts prompts;
    TOknoParametrow window{prompts};
    FormSettings settings;
    ParameterForms forms{window, settings, [] { return std::string("/nonexistent-velt/"); }};

    // Runs act once the window is shown (it must close it or leave it to the test's end).
    void WhenShown(std::function<void()> act) {
        auto attempt = std::make_shared<std::function<void()>>();
        *attempt = [this, act, attempt] {
            if (!window.isVisible()) {
                QTimer::singleShot(5, *attempt);
                return;
            }
            act();
        };
        QTimer::singleShot(0, *attempt);
    }
    QList<QLineEdit*> Edits() const { return window.PanelFormularza->Canvas()->findChildren<QLineEdit*>(); }
};

}  // namespace

TEST(TOknoParametrow, HasTheWidgetsOfTheWindow) {
    Window w;
    EXPECT_EQ(w.window.windowTitle(), QString::fromUtf8("Parametry zestawienia"));
    for (const char* name : {"PanelFormularza", "Panel1", "Button1", "GroupBox1", "ComboBox1", "OpenDialog1"})
        EXPECT_NE(w.window.findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(w.window.Button1->text(), QString::fromUtf8("Wykonaj"));
    EXPECT_TRUE(w.window.Button1->isDefault());
    EXPECT_EQ(w.window.GroupBox1->title(), QString::fromUtf8("Sortowanie wyniku"));
}

TEST(TOknoParametrow, TheFormIsTypedIntoAndAnsweredSizedToTheForm) {
    Window w;
    FormReadResult read = ReadFormDescription("BEGIN FIELD 'A' ON 10, 10, 300 FIELD 'B' ON 10, 40, 100 END", "");
    QSize shown;
    bool groupShown = true;
    w.WhenShown([&] {
        shown = w.window.size();
        groupShown = w.window.GroupBox1->isVisible();
        ASSERT_EQ(w.Edits().size(), 2);
        EXPECT_EQ(w.Edits()[0]->text(), QString::fromUtf8("x|y")) << "the initial value's bar";
        QApplication::setActiveWindow(&w.window);
        QTest::qWait(20);
        EXPECT_EQ(QApplication::focusWidget(), w.Edits()[0]) << "the first field takes the focus";
        w.Edits()[0]->end(false);
        QTest::keyClicks(w.Edits()[0], "|z");
        w.window.Button1->click();
    });
    EXPECT_EQ(w.forms.AskParameters("Wykaz"_cp, *read.root, "A|x\x1B" "1y|", nullptr), "A|x\x1B" "1y\x1B" "1z|");
    EXPECT_FALSE(groupShown);
    const WindowSize size = ParameterWindowSize(*read.root, ParameterSettings({}), TOknoParametrow::kPanelHeight,
                                                w.window.Button1->geometry().right() + 1, 0, false);
    EXPECT_EQ(shown, QSize(size.width, size.height));
    EXPECT_EQ(size.width, 312) << "the form's right edge + 2";
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.window.PanelFormularza->Form(), nullptr) << "the form's controls go with the window";
}

TEST(TOknoParametrow, SortingIsShownReadBackAndHiddenAgain) {
    Window w;
    FormReadResult read = ReadFormDescription("BEGIN LABEL 'x' ON 0, 0 END", "");
    w.forms.OfferSorting({"autor", "tytuł"_cp}, 2);
    w.WhenShown([&] {
        EXPECT_TRUE(w.window.GroupBox1->isVisible());
        ASSERT_EQ(w.window.ComboBox1->count(), 3);
        EXPECT_EQ(w.window.ComboBox1->itemText(0), QString::fromUtf8("bez sortowania"));
        EXPECT_EQ(w.window.ComboBox1->currentIndex(), 2);
        EXPECT_GE(w.window.width(), w.window.Panel1->mapTo(&w.window, w.window.GroupBox1->geometry().topRight()).x() + 5);
        w.window.ComboBox1->setCurrentIndex(1);
        w.window.Button1->click();
    });
    EXPECT_EQ(w.forms.AskParameters("T", *read.root, "", nullptr), "||");
    EXPECT_EQ(w.forms.ChosenSort(), 1);
    EXPECT_FALSE(w.window.GroupBox1->isVisible());
}

TEST(TOknoParametrow, WykonajErrorsAreShownAndTheWindowStaysOpen) {
    Window w;
    bool openAfterError = false;
    w.WhenShown([&] {
        w.window.Button1->click();
        openAfterError = w.window.isVisible();
        ASSERT_EQ(w.Edits().size(), 1);
        QTest::keyClicks(w.Edits()[0], "jest");
        w.window.Button1->click();
    });
    std::string values;
    ASSERT_TRUE(w.forms.AskItemParameters("T", "/nonexistent-velt/", "BEGIN\rFIELD 'A' ON 0, 0, 100\rEND", values,
                                          "[HELP WYKONAJ]\rBEGIN POZYCJA = 'A' IF POLE = '' PRINT('Wpisz A|A') ENDIF END\r"));
    EXPECT_TRUE(openAfterError);
    EXPECT_EQ(w.prompts.shown, std::vector<std::string>{"error:Wpisz A"});
    EXPECT_EQ(values, "A|jest|");
}

TEST(TOknoParametrow, ClosingTheWindowIsACancel) {
    Window w;
    FormReadResult read = ReadFormDescription("BEGIN FIELD 'A' ON 0, 0, 100 END", "");
    w.WhenShown([&] { w.window.reject(); });
    EXPECT_EQ(w.forms.AskParameters("T", *read.root, "A|1|", nullptr), "");
}

TEST(QtProgramLauncher, AProgramGetsItsArgumentsWholeInItsDirectory) {
    test::TempDir dir;
    const std::string program = dir.Write("fake-program",
                                          "#!/bin/sh\n"
                                          "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$0.tmp\"\n"
                                          "mv \"$0.tmp\" \"$0.out\"\n");
    ::chmod(program.c_str(), 0755);
    QtProgramLauncher launcher;
    std::string why;
    const std::vector<std::string> arguments = {"my \"odd\" file.pdf", "a'b;$(ls)", "", "--x"};
    ASSERT_TRUE(launcher.Start(program, arguments, dir.Path(), why)) << why;
    QElapsedTimer clock;
    clock.start();
    while (!test::TempDir::Exists(program + ".out") && clock.elapsed() < 10000) QTest::qWait(20);
    ASSERT_TRUE(test::TempDir::Exists(program + ".out"));
    const std::string expected = dir.Path().substr(0, dir.Path().size() - 1) + "\n" +
                                 "my \"odd\" file.pdf\na'b;$(ls)\n\n--x\n";
    EXPECT_EQ(test::TempDir::Read(program + ".out"), expected) << "every argument one, nothing run by a shell";

    EXPECT_FALSE(launcher.Start(dir.Path() + "nie-ma-takiego", {}, "", why));
    EXPECT_FALSE(why.empty());
}
