#include "catalogue/velt_files.h"
#include "login/LoginFlow.h"
#include "text/CpLiteral.h"

#include "support/LoginPeer.h"
#include "support/RecordingPrompts.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <deque>

using namespace velt;

namespace {

// Records what the user was shown and answers the password window from a script.
struct ScriptedUser : test::RecordingPrompts, PasswordAsker {
    std::deque<std::optional<std::string>> entries;
    std::vector<std::string> prompts;
    std::optional<std::string> AskPassword(const std::string& prompt) override {
        prompts.push_back(prompt);
        if (entries.empty()) return std::nullopt;
        auto e = entries.front();
        entries.pop_front();
        return e;
    }
};

struct Fixture {
    test::LoginPeer peer;
    ScriptedUser user;
    int services = 0;
    LoginFlow flow{user, user, [this](velt_files&) {
                       ++services;
                       return std::make_unique<EditingService>();
                   }};
    velt_files files{"127.0.0.1", nullptr, true, peer.Port()};
};

}  // namespace

TEST(LoginFlow, RefusalsShowTheReasonAndLeaveNoEditingService) {
    const struct {
        const char* user;
        const char* password;
        std::string reason;
    } cases[] = {
        {"ktos", "x", "Błędna nazwa użytkownika"_cp},
        {"bibliotekarz", "zle", "Błędne hasło"_cp},
        {"gosc", "gosc", "Brak uprawnień"_cp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user);
        Fixture f;
        ASSERT_TRUE(f.files.Ready);
        EXPECT_FALSE(f.flow.Accept(f.files, c.user, c.password));
        EXPECT_EQ(f.user.shown, std::vector<std::string>{"plain:" + c.reason});
        EXPECT_FALSE(f.flow.LoggedIn());
        EXPECT_FALSE(f.files.LoggedIn());
        EXPECT_EQ(f.files.Connection().Key(), "") << "no half-logged-in, scrambled session is left";
        EXPECT_FALSE(f.files.Broken()) << f.files.ConnectionError();
    }
}

TEST(LoginFlow, SuccessReloadsTheDescriptorOnlyWhenTheProfileChanged) {
    Fixture f;
    const velt_order* before = f.files.Indexes[0].get();
    EXPECT_TRUE(f.flow.Accept(f.files, "bibliotekarz", "bibliotekarz"));
    EXPECT_TRUE(f.flow.LoggedIn());
    EXPECT_EQ(f.services, 1);
    EXPECT_EQ(f.files.Indexes[0].get(), before) << "same profile: no reload";
    f.flow.Logout(f.files.Connection());
    EXPECT_FALSE(f.flow.LoggedIn());

    EXPECT_TRUE(f.flow.Accept(f.files, "admin", "admin"));
    EXPECT_EQ(f.files.Profile(), "p-admin");
    ASSERT_EQ(f.files.Indexes.size(), 2u) << "the descriptor was read for the new profile";
    EXPECT_EQ(f.files.Indexes[1]->Name, "admin");
    EXPECT_TRUE(f.user.shown.empty());
}

TEST(LoginFlow, ForcedPasswordChangeAsksTwiceAndGoesOnUntilSettled) {
    Fixture f;
    // A mistyped repetition, a password the server refuses, then a good one.
    f.user.entries = {"nowe1", "nowe2", "x", "x", "nowe1", "nowe1"};
    EXPECT_TRUE(f.flow.Accept(f.files, "nowy", "nowy"));
    EXPECT_EQ(f.user.shown, (std::vector<std::string>{"error:" + "Nowe hasło zostało źle powtórzone"_cp,
                                                       "error:" + "Hasło za krótkie"_cp,
                                                       "message:" + "Hasło zostało zmienione"_cp}));
    EXPECT_EQ(f.user.prompts.front(), "Nowe hasło:"_cp);
    EXPECT_EQ(f.user.prompts[1], "Powtórz nowe hasło:"_cp);
    EXPECT_TRUE(f.files.Connection().PasswordNotice().empty());
    EXPECT_TRUE(f.flow.LoggedIn());
}

TEST(LoginFlow, GivingUpThePasswordChangeLogsOutAgain) {
    Fixture f;
    f.user.entries = {std::nullopt};
    EXPECT_FALSE(f.flow.Accept(f.files, "nowy", "nowy"));
    EXPECT_FALSE(f.flow.LoggedIn());
    EXPECT_FALSE(f.files.LoggedIn());
    EXPECT_EQ(f.peer.Count(128), 2) << "the login and the logout";
}

TEST(LoginFlow, AutoLoginNeverOffersThePasswordChange) {
    Fixture f;
    EXPECT_FALSE(f.flow.AutoLogin(&f.files, "nowy", "nowy"));
    EXPECT_TRUE(f.user.prompts.empty());
    EXPECT_FALSE(f.flow.LoggedIn());
    EXPECT_FALSE(f.files.LoggedIn());
    EXPECT_TRUE(f.flow.AutoLogin(&f.files, "admin", "admin"));
    EXPECT_TRUE(f.flow.LoggedIn());
    EXPECT_EQ(f.files.Indexes.size(), 2u);
    EXPECT_FALSE(f.flow.AutoLogin(nullptr, "admin", "admin"));
}

TEST(LoginFlow, AutoLoginShowsARefusal) {
    Fixture f;
    EXPECT_FALSE(f.flow.AutoLogin(&f.files, "admin", "zle"));
    EXPECT_EQ(f.user.shown, std::vector<std::string>{"plain:" + "Błędne hasło"_cp});
}

// The session reports a lost connection once; the login window adds nothing.
TEST(LoginFlow, ALostConnectionIsNotShownASecondTime) {
    test::ScriptedPeer peer([](test::PeerConnection& c) {
        c.ReadByte();
        c.WriteText("VELT2&wersja=2026.01.01&edycja=1&struktura={x={nam=autor}{tab=21}{ind=5}}");
        c.ReadByte();
        c.ReadText();
        c.Close();
    });
    std::vector<std::string> messages;
    velt_files files("127.0.0.1", [&](const std::string& t, SessionText) { messages.push_back(t); }, true,
                     peer.Port());
    ASSERT_TRUE(files.Ready);
    ScriptedUser user;
    LoginFlow flow(user, user, nullptr);
    EXPECT_FALSE(flow.Accept(files, "bibliotekarz", "bibliotekarz"));
    EXPECT_FALSE(flow.LoggedIn());
    EXPECT_TRUE(user.shown.empty()) << user.shown.front();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(user.busyDepth, 0) << "the busy cursor is back";
    peer.Join();
}
