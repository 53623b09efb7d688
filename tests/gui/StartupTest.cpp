// The program's start against velt-server: the configuration's catalogue
// entry, the stored login, and the login window.

#include "gui/common/PlainMessage.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/common/QtText.h"
#include "gui/login/TOknoLogowania.h"
#include "shell/StoredLogin.h"
#include "gui/shell/TForm1.h"
#include "gui/search/SearchFeature.h"
#include "gui/search/CollectionsFeature.h"
#include "gui/shell/DesktopServices.h"

#include "gui/search/TOknoElementarne.h"
#include "gui/browse/Tjpg_form.h"
#include "browse/VrCollection.h"
#include "gui/search/TOknoZlozone.h"
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include "text/CpLiteral.h"

#include "gui/DemoCatalogue.h"
#include "gui/MessageDismisser.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velt;

namespace {

std::string Config(int port) { return test::DemoCatalogueIni(port); }

}  // namespace

TEST(Startup, StoredLoginEndsLoggedInAndExitWritesNothingUnchanged) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", Config(server.Port()));
    const std::string stored = dir.Path() + "login";
    ASSERT_EQ(WriteStoredLogin(stored, {"127.0.0.1", server.Port(), "bibliotekarz", "bibliotekarz"}), "");
    {
        gui::TForm1 form;
        form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
        form.BuildCatalogueMenu();
        form.Shell().Start(ReadStoredLogin(stored));
        ASSERT_NE(form.Shell().Current(), nullptr);
        EXPECT_TRUE(form.Shell().Current()->Ready);
        EXPECT_EQ(form.Shell().Mode(), ShellMode::LoggedIn);
        EXPECT_TRUE(form.Shell().Flow().LoggedIn());
        EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Katalog demonstracyjny"));
        EXPECT_TRUE(form.LogoutButton->isEnabled());
        EXPECT_TRUE(form.ConnectionLabel->text().contains("bibliotekarz"));
        form.close();
    }
    EXPECT_EQ(test::TempDir::Read(ini), Config(server.Port())) << "nothing changed, nothing written";
}

TEST(Startup, LoginWindowLogsInToTheServerAndLogoutReturnsToModeOne) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", Config(server.Port()));
    gui::TForm1 form;
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    form.Shell().Start(std::nullopt);
    ASSERT_EQ(form.Shell().Mode(), ShellMode::LoggedOut);
    EXPECT_FALSE(form.LogoutButton->isEnabled());
    auto& window = form.LoginWindow();
    std::function<void()> fill = [&] {
        if (!window.isVisible()) {
            QTimer::singleShot(10, fill);
            return;
        }
        window.Edit1->setText("admin");
        window.Edit2->setText("admin");
        window.Button1->click();
    };
    test::MessageDismisser dismiss;
    QTimer::singleShot(0, fill);
    form.LoginButton->trigger();
    EXPECT_EQ(form.Shell().Mode(), ShellMode::LoggedIn);
    EXPECT_EQ(form.Shell().Current()->LoadedProfile, form.Shell().Current()->Profile());
    EXPECT_TRUE(form.Shell().Current()->LoggedIn());
    form.LogoutButton->trigger();
    EXPECT_EQ(form.Shell().Mode(), ShellMode::LoggedOut);
    EXPECT_FALSE(form.Shell().Current()->LoggedIn());
    EXPECT_FALSE(form.Shell().Current()->Broken());
    EXPECT_TRUE(dismiss.texts.contains(QString::fromUtf8("Witamy w katalogu demonstracyjnym"))) << "the greeting";
}

TEST(Startup, AnUnreachableCatalogueIsReportedAndLeavesNoEditing) {
    test::TempDir dir;
    const int dead = [] {
        test::ServerProcess s;
        return s.Port();
    }();
    const std::string ini = dir.Write("VELT_TCP.INI", Config(dead));
    std::vector<std::string> shown;
    gui::SetPlainMessageHandler([&](const std::string& t) { shown.push_back(t); });
    gui::TForm1 form;
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    form.Shell().Start(std::nullopt);
    gui::SetPlainMessageHandler({});
    EXPECT_EQ(form.Shell().Mode(), ShellMode::NoEditing);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Brak połączenia z serwerem 127.0.0.1/"_cp + std::to_string(dead));
    EXPECT_FALSE(form.Format1->menuAction()->isVisible());
}

// The search windows against velt-server: an elementary query composed and
// sent, its collection in "Kolekcja zdalna", then combined in the complex
// window from the history.
TEST(Startup, TheSearchWindowsMakeRemoteCollectionsShownInTheirTab) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", Config(server.Port()));
    gui::TForm1 form;
    form.resize(1000, 700);
    form.show();
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    form.Shell().Start(std::nullopt);
    ASSERT_TRUE(form.Shell().Current()->Ready);
    test::MessageDismisser dismiss;
    ASSERT_GT(form.Find<gui::SearchFeature>()->Elementarne1->actions().size(), 0) << "the criteria of the descriptor";
    auto& elementary = *form.Find<gui::SearchFeature>()->OknoElementarne;
    elementary.Prepare("tytuł"_cp);
    EXPECT_EQ(elementary.windowTitle(), QString::fromUtf8("Szukaj wg \"tytuł\""));
    elementary.wzorce->setPlainText("histori");
    elementary.slowo->setChecked(true);
    elementary.Button2->click();
    EXPECT_EQ(elementary.wyrazenie->toPlainText(), QString::fromUtf8(" SŁOWO \"histori\""));
    elementary.Button1->click();
    const auto& history = form.Search().History().Entries();
    ASSERT_EQ(history.size(), 1u);
    const int remote = form.Tabs().FindTab("Kolekcja zdalna");
    ASSERT_GE(remote, 0);
    EXPECT_EQ(form.PageControl1->currentIndex(), remote);
    EXPECT_EQ(form.Shell().Current()->RemoteCollection, history[0].collection);
    const VrBrowser* browser = form.Tabs().ActiveBrowser();
    ASSERT_NE(browser, nullptr);
    EXPECT_FALSE(browser->Cells().front().key.empty()) << "the collection's first record is shown";
    EXPECT_TRUE(dismiss.texts.filter(QString::fromUtf8("Kolekcja zdalna zawiera")).size() == 1);
    // The complex window: a double click on the history takes the collection.
    auto& complex = *form.Find<gui::SearchFeature>()->OknoZlozone;
    complex.Edit1->clear();
    complex.show();
    QApplication::processEvents();
    ASSERT_EQ(complex.historia->count(), 1);
    complex.Operators[2]->setChecked(true);
    emit complex.historia->itemDoubleClicked(complex.historia->item(0));
    EXPECT_EQ(complex.Edit1->text(), QString::number(history[0].collection));
    complex.Edit1->setText(complex.Edit1->text() + "*" + QString::number(history[0].collection));
    complex.Button1->click();
    EXPECT_EQ(history.size(), 2u);
    EXPECT_FALSE(complex.isVisible()) << "closed after a collection";
    // Disconnecting releases the history on the server.
    const long released = server.Count("6");
    form.Shell().Disconnect();
    EXPECT_EQ(server.Count("6") - released, 2);
}

// The main window from end to end: seek in an index, keep a record in the
// local collection, save it to a file and back, copy it to the server and
// back, follow a query link, fetch a picture into the viewer, refuse a
// program an entry names.
TEST(Startup, BrowsingCollectionsLinksPicturesAndProgramsWorkFromTheMainWindow) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", Config(server.Port()));
    gui::TForm1 form;
    form.resize(1100, 760);
    form.show();
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    form.Shell().Start(std::nullopt);
    ASSERT_TRUE(form.Shell().Current()->Ready);
    test::MessageDismisser dismiss;
    PresentationTabs& tabs = form.Tabs();
    tabs.Activate(tabs.FindTab("tytuł"_cp));
    form.Edit1->setText("h");
    form.Button2->click();
    VrBrowser* titles = tabs.ActiveBrowser();
    ASSERT_NE(titles, nullptr);
    ASSERT_FALSE(titles->SelectedKey().empty()) << "Szukaj positioned the index";
    EXPECT_FALSE(form.ComboBox1->currentText().isEmpty()) << "the selected entry's record in the record box";
    // A double click keeps the record in the local collection.
    const BrowserHit first{0, -1};
    titles->DoubleClick(first);
    QApplication::processEvents();
    VrCollection& local = tabs.Local()->Collection();
    ASSERT_EQ(local.CountNumbers(), 1);
    const std::string file = dir.Path() + "moja.num";
    form.Find<gui::CollectionsFeature>()->Flows().SaveLocal(file);
    ASSERT_TRUE(test::TempDir::Exists(file));
    form.Find<gui::CollectionsFeature>()->Flows().DeleteLocal();
    EXPECT_EQ(local.CountNumbers(), 0);
    form.Find<gui::CollectionsFeature>()->Flows().RestoreLocal(file);
    EXPECT_EQ(local.CountNumbers(), 1);
    EXPECT_EQ(form.PageControl1->currentIndex(), tabs.FindTab(PresentationTabs::LocalCaption()));
    // To the server as a remote collection, and back.
    form.Find<gui::CollectionsFeature>()->Flows().CopyLocalToRemote();
    ASSERT_FALSE(form.Search().History().Entries().empty());
    EXPECT_EQ(form.Search().History().Entries().back().label, "Kolekcja lokalna");
    EXPECT_EQ(form.PageControl1->currentIndex(), tabs.FindTab("Kolekcja zdalna"));
    form.Find<gui::CollectionsFeature>()->Flows().DeleteLocal();
    form.Find<gui::CollectionsFeature>()->Flows().CopyRemoteToLocal();
    EXPECT_EQ(local.CountNumbers(), 1);
    // A query link of an entry makes a remote collection of its own.
    const std::size_t before = form.Search().History().Entries().size();
    form.Commands().Run("", "zapytanie \"tytuł\" SŁOWO \"histori\""_cp, "", false);
    EXPECT_EQ(form.Search().History().Entries().size(), before + 1);
    // A picture attachment goes to the viewer.
    const std::string book = form.Shell().Current()->StoredIdentifier("K11");
    bool shown = false;
    // The viewer is looked for until it shows, however slow the fetch.
    QTimer viewer;
    viewer.setInterval(20);
    QObject::connect(&viewer, &QTimer::timeout, [&] {
        if (form.Desktop().JpgForm() && form.Desktop().JpgForm()->isVisible()) {
            viewer.stop();
            shown = !form.Desktop().JpgForm()->Picture().isNull();
            form.Desktop().JpgForm()->reject();
        }
    });
    viewer.start();
    form.Commands().FetchAttachment(book, "okładka.jpg"_cp, false);
    EXPECT_TRUE(shown) << "the viewer showed the fetched picture";
    EXPECT_TRUE(form.Desktop().JpgForm()->windowTitle().startsWith("Plik "));
    // A program named by an entry needs the user's consent: refused here.
    form.Desktop().StartProgram("xmessage", "K1");
    QApplication::processEvents();
    bool asked = false;
    for (const QString& t : dismiss.texts) asked = asked || t.contains("xmessage");
    EXPECT_TRUE(asked) << "the user saw the program before anything ran";
}

// A connection that drops while the program runs: the failure is shown once,
// and from then on the status line says the connection is gone, not where
// the program is connected.
TEST(Startup, AfterADroppedConnectionTheStatusLineSaysSoUntilTheUserConnectsAgain) {
    test::ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", Config(server.Port()));
    gui::TForm1 form;
    form.Shell().ReadConfiguration(ini, dir.Path(), dir.Path());
    form.Shell().Start(std::nullopt);
    ASSERT_TRUE(form.Shell().Current()->Ready);
    test::MessageDismisser dismiss;
    const QString where = QString::fromStdString("127.0.0.1/" + std::to_string(server.Port()));
    EXPECT_TRUE(form.ConnectionLabel->text().startsWith(where)) << form.ConnectionLabel->text().toStdString();
    server.Stop();
    form.Tabs().Activate(form.Tabs().FindTab("tytuł"_cp));
    form.Tabs().SeekInActive("zzz");
    for (int i = 0; i < 200 && !form.ConnectionLabel->text().contains("przerwane"); ++i) QTest::qWait(10);
    EXPECT_TRUE(form.ConnectionLabel->text().contains(QString::fromUtf8("zostało przerwane")))
        << form.ConnectionLabel->text().toStdString();
    EXPECT_EQ(dismiss.texts.size(), 1) << dismiss.texts.join("|").toStdString();
}
