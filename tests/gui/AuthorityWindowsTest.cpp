// The authority windows on screen (offscreen) against velt-server: typing in
// the lookup seeks once it pauses, not per key; "+" and "-" keep the cell
// height the browser can show; a double click returns the heading; the
// main window's "Kartoteka wzorcowa" puts the chosen heading into the
// search line; the record chooser returns its choice or nothing.

#include "authority/AuthorityEntries.h"
#include "catalogue/velt_files.h"
#include "gui/authority/AuthorityFeature.h"
#include "gui/authority/TOknoKHW.h"
#include "gui/authority/TOknoKHWNowe.h"
#include "gui/authority/TSmallBrowser.h"
#include "gui/browse/BrowserView.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/shell/TForm1.h"
#include "browse/PresentationTabs.h"
#include "text/CpLiteral.h"

#include "gui/DemoCatalogue.h"
#include "gui/MessageDismisser.h"
#include "support/RecordingPrompts.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velt;
using namespace velt::gui;

namespace {

// Runs check every 10 ms until it says it is done (at most 3 s).
void Until(const std::function<bool()>& check) {
    for (int i = 0; i < 300 && !check(); ++i) QTest::qWait(10);
}

// Acts once when ready says so, checking every 20 ms from the event loop
// (no nested waiting: the windows' own loops run undisturbed).
void When(QObject* context, std::function<bool()> ready, std::function<void()> act) {
    auto* timer = new QTimer(context);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, context, [timer, ready = std::move(ready), act = std::move(act)] {
        if (!ready()) return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start();
}

// Types text key by key as the keyboard would (letters beyond ASCII too).
void Type(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
}

}  // namespace

TEST(AuthorityWindows, TypingSeeksOnceAfterThePauseAndADoubleClickReturnsTheHeading) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    velt_files files(std::make_unique<TVeltClient>("127.0.0.1", nullptr, server.Port()), true);
    ASSERT_TRUE(files.Ready);
    QtCellMeasurer measurer(QApplication::font(), TForm1::ImageDirectory());
    TOknoKHWNowe window(measurer);
    test::RecordingPrompts prompts;
    std::string result;
    long seeks = -1;
    QTimer::singleShot(0, &window, [&] {
        Until([&] { return window.Browser() && window.Browser()->Browser(); });
        EXPECT_EQ(window.windowTitle(), "Osoby");
        EXPECT_EQ(window.TabControl1->count(), 1);
        const long before = server.Count("55");
        Type(window.Edit1, QString::fromUtf8("Głowa"));
        EXPECT_EQ(window.Edit1->text(), QString::fromUtf8("Głowa"));
        QApplication::processEvents();
        EXPECT_EQ(server.Count("55"), before) << "no seek while the user types";
        Until([&] { return server.Count("55") > before; });
        QTest::qWait(600);
        seeks = server.Count("55") - before;
        // The cell height stays where the browser can show it.
        for (int i = 0; i < 20; ++i) window.MinusButton->click();
        EXPECT_EQ(TOknoKHWNowe::CellHeight(), 26);
        for (int i = 0; i < 40; ++i) window.PlusButton->click();
        EXPECT_LE(TOknoKHWNowe::CellHeight(), window.Browser()->height());
        for (int i = 0; i < 40; ++i) window.MinusButton->click();
        VrBrowser* b = window.Browser()->Browser();
        ASSERT_FALSE(b->SelectedKey().empty());
        b->Source().Action(b->SelectedKey(), "*");
    });
    result = window.Lookup(files, *FindAuthorityFile(files, "KHWO"), 'K', "", prompts, nullptr);
    EXPECT_EQ(seeks, 1) << "one seek for the whole word";
    EXPECT_EQ(result.rfind("^aPrus, Bolesław"_cp, 0), 0u) << result;
}

TEST(AuthorityWindows, TheMainWindowsButtonPutsTheHeadingIntoTheSearchLineAndTheChooserCanBeCancelled) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", test::DemoCatalogueIni(server.Port()));
    TForm1 form;
    form.resize(1000, 700);
    form.show();
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    form.Shell().Start(std::nullopt);
    ASSERT_TRUE(form.Shell().Current()->Ready);
    test::MessageDismisser dismiss;
    auto* authority = form.Find<AuthorityFeature>();
    ASSERT_NE(authority, nullptr);
    EXPECT_TRUE(authority->SpeedButton1->isVisible());
    form.Tabs().Activate(form.Tabs().FindTab("autor"));
    form.Edit1->setText("Prus");
    TOknoKHWNowe* lookup = authority->OknoKHWNowe();
    When(&form, [&] { return lookup->isVisible() && lookup->Browser() && lookup->Browser()->Browser(); }, [&] {
        VrBrowser* b = lookup->Browser()->Browser();
        ASSERT_FALSE(b->SelectedKey().empty());
        b->Source().Action(b->SelectedKey(), "*");
    });
    authority->SpeedButton1->click();
    EXPECT_EQ(form.Edit1->text(), QString::fromUtf8("Prus, Bolesław")) << "the heading, not its link";
    const VrBrowser* titles = form.Tabs().ActiveBrowser();
    ASSERT_NE(titles, nullptr);

    // The chooser cancelled chooses nothing; OK takes the record at the top.
    TSmallBrowser* chooser = authority->SmallBrowser();
    When(&form, [&] { return chooser->isVisible(); }, [&] {
        EXPECT_EQ(chooser->History->currentText(), "K7");
        chooser->reject();
    });
    EXPECT_FALSE(authority->SelectRecord(*form.Shell().Current(), "K7", "", 0).chosen);
    When(&form, [&] { return chooser->isVisible(); }, [&] { chooser->Button1->click(); });
    const ChosenRecord chosen = authority->SelectRecord(*form.Shell().Current(), "K7", "", 0);
    EXPECT_TRUE(chosen.chosen);
    EXPECT_EQ(chosen.identifier, "K7");
}
