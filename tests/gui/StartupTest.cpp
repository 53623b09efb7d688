// The program's start against velt-server: the configuration's catalogue
// entry, the stored login, and the login window.

#include "gui/common/PlainMessage.h"
#include "gui/common/TOknoKomunikatu.h"
#include "gui/common/QtText.h"
#include "gui/login/TOknoLogowania.h"
#include "shell/StoredLogin.h"
#include "gui/shell/TForm1.h"
#include "text/CpLiteral.h"

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

std::string Config(int port) {
    return "[HISTORIA]\r\nid=KATALOG_DEMO\r\n[KATALOG_DEMO]\r\nnazwa=Katalog demonstracyjny\r\nip=127.0.0.1\r\nport=" +
           std::to_string(port) + "\r\n";
}

// Answers every message box that opens over the given window, keeping its text:
// the server's greeting arrives through the message callback after each status.
class MessageDismisser {
public:
    explicit MessageDismisser(QWidget* keep) : mKeep(keep) {
        mTimer.setInterval(10);
        QObject::connect(&mTimer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<gui::TOknoKomunikatu*>(QApplication::activeModalWidget());
            if (box == nullptr || box == mKeep) return;
            mTexts.push_back(box->Label1->text());
            box->reject();
        });
        mTimer.start();
    }
    const QStringList& Texts() const { return mTexts; }

private:
    QWidget* mKeep;
    QTimer mTimer;
    QStringList mTexts;
};

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
    MessageDismisser dismiss(nullptr);
    QTimer::singleShot(0, fill);
    form.LoginButton->trigger();
    EXPECT_EQ(form.Shell().Mode(), ShellMode::LoggedIn);
    EXPECT_EQ(form.Shell().Current()->LoadedProfile, form.Shell().Current()->Session->Profile());
    EXPECT_TRUE(form.Shell().Current()->Session->LoggedIn());
    form.LogoutButton->trigger();
    EXPECT_EQ(form.Shell().Mode(), ShellMode::LoggedOut);
    EXPECT_FALSE(form.Shell().Current()->Session->LoggedIn());
    EXPECT_FALSE(form.Shell().Current()->Session->Broken());
    EXPECT_TRUE(dismiss.Texts().contains(QString::fromUtf8("Witamy w katalogu demonstracyjnym"))) << "the greeting";
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
