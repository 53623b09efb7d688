#include "catalogue/velt_files.h"
#include "gui/common/PlainMessage.h"
#include "login/LoginFlow.h"
#include "gui/login/TOknoLogowania.h"
#include "gui/login/TOknoZmianyHasla.h"
#include "text/CpLiteral.h"

#include "support/LoginPeer.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velt;
using namespace velt::gui;

namespace {

struct NoPrompts : Prompts {
    DialogResult ask_question(const std::string&) override { return kNo; }
    DialogResult ask_question_default(const std::string&, DialogResult d) override { return d; }
    DialogResult ask_warning(const std::string&) override { return kCancel; }
    void show_error(const std::string&) override {}
    void show_message(const std::string&) override {}
    void show_notice(const std::string&) override {}
    void plain_message(const std::string& t) override { plain_message_(t); }
    void busy(bool) override {}
    std::function<void(const std::string&)> plain_message_ = [](const std::string& t) { gui::plain_message(t); };
};

void WhenShown(QDialog& d, std::function<void()> step) {
    QTimer::singleShot(0, [&d, step] {
        if (!d.isVisible()) {
            WhenShown(d, step);
            return;
        }
        step();
    });
}

}  // namespace

TEST(TOknoLogowania, EnterMovesToThePasswordAndThenLogsIn) {
    test::LoginPeer peer;
    velt_files files("127.0.0.1", nullptr, true, peer.Port());
    NoPrompts prompts;
    TOknoZmianyHasla passwords;
    LoginFlow flow(prompts, passwords, nullptr);
    TOknoLogowania window(flow);
    window.ProposedUser = "bibliotekarz";
    std::vector<std::string> shown;
    SetPlainMessageHandler([&](const std::string& t) { shown.push_back(t); });
    WhenShown(window, [&] {
        EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Logowanie"));
        EXPECT_EQ(window.Edit1->text(), "bibliotekarz");
        EXPECT_EQ(window.Edit2->echoMode(), QLineEdit::Password);
        window.Edit1->setFocus();
        QTest::keyClick(window.Edit1, Qt::Key_Return);
        EXPECT_EQ(window.focusWidget(), window.Edit2);
        QTest::keyClicks(window.Edit2, "zle");
        QTest::keyClick(window.Edit2, Qt::Key_Return);
        EXPECT_TRUE(window.isVisible()) << "a refused login keeps the window open";
        window.Edit2->clear();
        QTest::keyClicks(window.Edit2, "bibliotekarz");
        QTest::keyClick(window.Edit2, Qt::Key_Return);
    });
    EXPECT_TRUE(window.ShowLogin(files));
    SetPlainMessageHandler({});
    EXPECT_EQ(shown, std::vector<std::string>{"Błędne hasło"_cp});
    EXPECT_TRUE(flow.LoggedIn());
    EXPECT_TRUE(files.LoggedIn());
}

TEST(TOknoZmianyHasla, AsksForAMaskedEntryUnderItsPrompt) {
    TOknoZmianyHasla window;
    WhenShown(window, [&] {
        EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Zmień hasło"));
        EXPECT_EQ(window.Label1->text(), QString::fromUtf8("Nowe hasło:"));
        EXPECT_EQ(window.Edit1->echoMode(), QLineEdit::Password);
        QTest::keyClicks(window.Edit1, "tajne");
        QTest::keyClick(window.Edit1, Qt::Key_Return);
    });
    EXPECT_EQ(window.AskPassword("Nowe hasło:"_cp), std::optional<std::string>("tajne"));
    WhenShown(window, [&] {
        EXPECT_TRUE(window.Edit1->text().isEmpty());
        window.reject();
    });
    EXPECT_EQ(window.AskPassword("Powtórz nowe hasło:"_cp), std::nullopt);
}
