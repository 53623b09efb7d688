// The reader services' windows offscreen: the identification window, the
// account window opened from "Kon&to", a record link's reservation, and the
// closed-orders chooser, against velt-server.

#include "catalogue/velt_files.h"
#include "gui/DemoCatalogue.h"
#include "gui/MessageDismisser.h"
#include "gui/browse/BrowserTabs.h"
#include "gui/browse/BrowserView.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/reader/ReaderFeature.h"
#include "gui/reader/TOknoKont.h"
#include "gui/reader/TOknoListyZamowien.h"
#include "gui/reader/TOknoZamawiania.h"
#include "gui/shell/TForm1.h"
#include "net/IndexRequests.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"
#include "text/CpLiteral.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace velt;
using namespace velt::gui;

namespace {

// Runs act once ready() holds, looked at every 10 ms (a modal window the
// test waits for is never left open).
void When(std::function<bool()> ready, std::function<void()> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, ready, act] {
        if (!ready()) return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start();
}

// The identification window filled in as a reader would.
void Identify(TOknoZamawiania* window, bool byCard, const char* login, const char* password,
              QString* caption = nullptr) {
    When([window] { return window->isVisible(); },
         [=] {
             if (caption) *caption = window->windowTitle();
             (byCard ? window->RadioButton2 : window->RadioButton1)->setChecked(true);
             window->Login->setText(QString::fromUtf8(login));
             window->Haslo->setText(QString::fromUtf8(password));
             window->Button1->click();
         });
}

struct RunningProgram {
    test::ServerProcess server;
    test::TempDir dir;
    TForm1 form;
    ReaderFeature* reader = nullptr;
    bool Start() {
        if (!server.Ready()) return false;
        form.Shell().ReadConfiguration(dir.Write("VELT_TCP.INI", test::DemoCatalogueIni(server.Port())), dir.Path(),
                                       dir.Path());
        form.Shell().Start(std::nullopt);
        reader = form.Find<ReaderFeature>();
        return form.Shell().Current() && form.Shell().Current()->Ready && reader;
    }
};

}  // namespace

TEST(ReaderWindows, TheIdentificationWindowStartsEmptyAndGivesWhatWasTyped) {
    TOknoZamawiania window;
    window.Login->setText("000123");
    window.Haslo->setText("stare");
    window.RadioButton2->setChecked(true);
    bool fresh = false;
    When([&window] { return window.isVisible(); }, [&] {
        fresh = window.Haslo->text().isEmpty() && window.RadioButton1->isChecked() &&
                (window.windowFlags() & Qt::WindowStaysOnTopHint);
        window.RadioButton2->setChecked(true);
        window.Login->setText(" 12/3 ");
        window.Haslo->setText("piotr");
        window.Button1->click();
    });
    IdentificationEntry entry;
    ASSERT_TRUE(window.Identify("Zarezerwuj egzemplarz", entry));
    EXPECT_TRUE(fresh) << "the password emptied, \"Nazwisko i imię\" checked";
    EXPECT_EQ(window.windowTitle(), "Zarezerwuj egzemplarz");
    EXPECT_FALSE(entry.byName);
    EXPECT_EQ(entry.login, "12/3");
    EXPECT_EQ(entry.password, "piotr");
    When([&window] { return window.isVisible(); }, [&window] { window.reject(); });
    EXPECT_FALSE(window.Identify("Zmień hasło"_cp, entry));
}

TEST(ReaderWindows, KontoOpensTheReadersAccountAfterTheIdentification) {
    RunningProgram p;
    ASSERT_TRUE(p.Start()) << p.server.Why();
    test::MessageDismisser dismiss;
    for (int i = 0; i < 200 && dismiss.texts.isEmpty(); ++i) QTest::qWait(10);  // the server's greeting
    dismiss.texts.clear();
    EXPECT_TRUE(p.form.Zamawianie1->menuAction()->isVisible()) << "the server offers reader services";
    QString caption;
    Identify(p.reader->OknoZamawiania, true, "000123", "anna", &caption);
    QString title;
    QStringList tabs, programs;
    std::vector<std::string> reservations, loans;
    bool operacja = false;
    When([&p] {
        TOknoKont* k = p.reader->OknoKont;
        return k && k->isVisible() && k->panel_rezerwacje->Browser();
    },
         [&] {
             TOknoKont* k = p.reader->OknoKont;
             title = k->windowTitle();
             for (int i = 0; i < k->Zakladki->count(); ++i) tabs << k->Zakladki->tabText(i);
             operacja = k->Operacja1->menuAction()->isVisible();
             for (QAction* a : k->Operacja1->actions()) programs << a->text();
             for (const auto& c : k->panel_rezerwacje->Browser()->Cells())
                 if (!c.Blank()) reservations.push_back(c.key);
             k->Zakladki->setCurrentIndex(2);
             When([k] { return k->panel_wypozyczenia->Browser() != nullptr; }, [&, k] {
                 for (const auto& c : k->panel_wypozyczenia->Browser()->Cells())
                     if (!c.Blank()) loans.push_back(c.key);
                 k->reject();
             });
         });
    p.reader->KontoItem->trigger();
    EXPECT_EQ(caption, QString::fromUtf8("Przeglądanie kont"));
    EXPECT_EQ(title, QString::fromUtf8("Czytelnik: Kowalska Anna"));
    EXPECT_EQ(tabs, (QStringList{"Zarezerwowane", QString::fromUtf8("Zamówione"), QString::fromUtf8("Wypożyczone")}));
    EXPECT_TRUE(operacja);
    EXPECT_EQ(programs, QStringList{QString::fromUtf8("Prolongata wszystkich wypożyczeń")});
    EXPECT_EQ(reservations.size(), 1u);
    EXPECT_EQ(loans.size(), 3u);
    EXPECT_EQ(p.reader->OknoKont, nullptr) << "the account window lives while it is shown";
    EXPECT_TRUE(dismiss.texts.isEmpty()) << dismiss.texts.join("|").toStdString();
}

TEST(ReaderWindows, ARecordsLinkReservesTheCopyAndSaysWhichOne) {
    RunningProgram p;
    ASSERT_TRUE(p.Start()) << p.server.Why();
    test::MessageDismisser dismiss;
    for (int i = 0; i < 200 && dismiss.texts.isEmpty(); ++i) QTest::qWait(10);  // the server's greeting
    dismiss.texts.clear();
    velt_files& files = *p.form.Shell().Current();
    // A copy on a shelf that can be reserved, as a full display offers it.
    std::string sn, record;
    for (int k = 1; k <= 60 && sn.empty(); ++k) {
        const std::string id = files.StoredIdentifier("K" + std::to_string(k));
        for (RecordPtr e = IndexFrom(files.Connection(), 6, files.FormatByType("inwentarz"), 5, id, ""); e && sn.empty();
             e = IndexNext(files.Connection(), 6, files.FormatByType("inwentarz"), 5, id, e->Item(1)))
            if (e->Item(7).rfind("&op=R&sn=", 0) == 0) {
                sn = e->Item(3);
                record = id;
            }
    }
    ASSERT_FALSE(sn.empty());
    QString caption;
    Identify(p.reader->OknoZamawiania, false, "Kowalska Anna", "anna", &caption);
    p.form.Commands().Run("", "&op=R&sn=" + sn, record, false);
    for (int i = 0; i < 200 && dismiss.texts.isEmpty(); ++i) QTest::qWait(10);
    EXPECT_EQ(caption, "Zarezerwuj egzemplarz");
    EXPECT_EQ(dismiss.texts, QStringList{QString::fromStdString("Zarezerwowano egzemplarz " + sn)});
    dismiss.texts.clear();
    Identify(p.reader->OknoZamawiania, true, "000124", "jan1");
    p.form.Commands().Run("", "&op=R&sn=" + sn, record, false);
    for (int i = 0; i < 200 && dismiss.texts.isEmpty(); ++i) QTest::qWait(10);
    EXPECT_EQ(dismiss.texts, QStringList{QString::fromUtf8(("Egzemplarz " + sn + " jest już zarezerwowany").c_str())});
}

TEST(ReaderWindows, TheClosedOrdersWindowGivesTheOrderDoubleClicked) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    velt_files files(std::make_unique<TVeltClient>("127.0.0.1", nullptr, server.Port()), true);
    ASSERT_EQ(files.Connection().Login("bibliotekarz", "bibliotekarz", ""), "");
    QtCellMeasurer measurer{QApplication::font(), TForm1::ImageDirectory()};
    TOknoListyZamowien window(measurer);
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Zamknięte zamówienia"));
    std::string second;
    When([&window] { return window.isVisible() && window.Browser && window.Browser->Browser(); }, [&] {
        VrBrowser* b = window.Browser->Browser();
        ASSERT_GE(b->Cells().size(), 2u);
        second = b->Cells()[1].key;
        b->DoubleClick(BrowserHit{1, -1});
    });
    const auto chosen = ChooseClosedOrder(files, window);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, second);
    EXPECT_EQ(chosen->substr(0, 15).substr(9), "000002");
    EXPECT_EQ(window.Browser, nullptr) << "the browser goes with its source";
    When([&window] { return window.isVisible() && window.Browser && window.Browser->Browser(); },
         [&window] { window.reject(); });
    EXPECT_EQ(ChooseClosedOrder(files, window), std::nullopt);
}
