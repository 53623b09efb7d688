#include "lang/TMultiIniFile.h"
#include "shell/CatalogueMenu.h"
#include "shell/ShellSettings.h"
#include "shell/StoredLogin.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"

#include "support/Hex.h"
#include "support/LoginPeer.h"
#include "support/RecordingPrompts.h"
#include "support/ScriptedPeer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velt;
using test::TempDir;

namespace {

struct FakeView : ShellView {
    std::vector<ShellState> states;
    std::string caption;
    ShellMode mode = ShellMode::NoEditing;
    bool loginAnswer = false;
    void ShowState(const ShellState& s) override {
        states.push_back(s);
        caption = s.Caption;
        mode = s.Mode;
    }
    bool ShowLogin(velt_files&, const std::string&) override { return loginAnswer; }
    MessageCallback SessionMessageCallback() override { return nullptr; }
};

struct FakePrompts : test::RecordingPrompts, PasswordAsker {
    std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
};

}  // namespace

TEST(CatalogueMenu, GroupsTakeTheSectionsThatContinueTheirName) {
    TempDir dir;
    TMultiIniFile ini(dir.Write("m.ini",
                                "[KATALOG_A]\nnazwa=A\n[GRUPA1]\nnazwa=&Jeden\n[KATALOG1_B]\nNAZWA=B\nPort=9000\n"
                                "[GRUPA12]\nnazwa=Dwa\n[KATALOG12_C]\nnazwa=C\nport=x\n[INNE]\n[KATALOG_D]\n"
                                "port=70000\nip=10.0.0.1\nuser=--jan\n"));
    const CatalogueMenu menu = CatalogueMenu::Build(ini);
    const auto& top = menu.Items();
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[0].Entry.Caption, "A");
    ASSERT_TRUE(top[1].IsGroup);
    ASSERT_EQ(top[1].Children.size(), 2u);
    EXPECT_EQ(top[1].Children[0].Entry.Caption, "B");
    EXPECT_EQ(top[1].Children[0].Entry.Port, 9000);
    ASSERT_TRUE(top[1].Children[1].IsGroup);
    const KatalogItem& c = top[1].Children[1].Children.at(0).Entry;
    EXPECT_EQ(c.Port, 8000) << "a port that is no number";
    EXPECT_EQ(c.NamePath, " [Jeden. Dwa]");
    EXPECT_EQ(top[1].Children[0].Entry.NamePath, " [Jeden]");
    const KatalogItem& d = top[2].Entry;
    EXPECT_EQ(d.Caption, "Bez nazwy");
    EXPECT_EQ(d.Port, 8000) << "a port outside 1..65535";
    EXPECT_EQ(d.NamePath, "");
    EXPECT_TRUE(d.EditingOff());
    EXPECT_TRUE(d.AccountOff());
    EXPECT_EQ(menu.Entries().size(), 4u);
    EXPECT_EQ(menu.FindServer("10.0.0.1", 8000), &d);
    EXPECT_EQ(menu.FindSection("KATALOG1_B"), &top[1].Children[0].Entry);
}

TEST(ShellSettings, ReadsTheTableAndWritesBackOnlyWhatChanged) {
    TempDir dir;
    const std::string original =
        "[GLOBAL]\r\nMEDIA=%INI%media\r\n[KOLEKCJA]\r\nścieżka=./dane/\r\nsortowanie=2\r\n"
        "[MULTIMEDIA]\r\npath=%MEDIA%\r\n[TCP]\r\ntimeout=60\r\n[HISTORIA]\r\nid=KATALOG_A\r\n"
        "[PLIK %INI%inc.ini]\r\n"_cp;
    const std::string file = dir.Write("s.ini", original);
    dir.Write("inc.ini", "[LISTA]\nczcionka=Arial\n");
    TMultiIniFile ini(file);
    ShellSettings s;
    s.Read(ini, "/opt/velt/", dir.Path());
    EXPECT_EQ(s.WorkingDirectory, "/opt/velt/dane/");
    EXPECT_EQ(s.MediaPath, dir.Path() + "media");
    EXPECT_EQ(s.KeepAliveMs, 60000);
    EXPECT_EQ(s.ListFont, "Arial");
    EXPECT_EQ(s.ListLineHeight, 65);
    const ShellSettings asRead = s;
    s.SortKey = 3;
    ProfileFile out(file);
    s.WriteChanged(out, asRead);
    EXPECT_EQ(out.Save(), "");
    std::string expected = original;
    expected.replace(expected.find("sortowanie=2"), 12, "sortowanie=3");
    EXPECT_BYTES_EQ(TempDir::Read(file), expected) << "the macro, the include and every other byte stay";
}

TEST(ShellSettings, KeepAliveFromSecondsOrMilliseconds) {
    TempDir dir;
    const struct {
        const char* tcp;
        std::int32_t ms;
    } cases[] = {{"timeout=60", 60000}, {"timout=90000", 90000}, {"timeout=0\ntimout=5000", 5000}, {"", 300000}};
    for (const auto& c : cases) {
        ShellSettings s;
        s.Read(TMultiIniFile(dir.Write("t.ini", std::string("[TCP]\n") + c.tcp + "\n")), "/p/", "/d/");
        EXPECT_EQ(s.KeepAliveMs, c.ms) << c.tcp;
    }
    EXPECT_EQ(ResolveWorkingDirectory("..\\dane", "/p/", "/d/"), "/p/../dane/");
    EXPECT_EQ(ResolveWorkingDirectory("", "/p/", "/d/"), "/d/");
    EXPECT_EQ(ResolveWorkingDirectory("/var/x", "/p/", "/d/"), "/var/x/");
}

TEST(StoredLogin, IsPrivateAndKeepsThePasswordScrambled) {
    TempDir dir;
    const std::string path = dir.Path() + "conf/velt/login";
    EXPECT_EQ(WriteStoredLogin(path, {"127.0.0.1", 8123, "admin", "hasło\n\r="}), "");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(TempDir::Read(path).find("has"), std::string::npos) << "the password is not in the clear";
    const auto login = ReadStoredLogin(path);
    ASSERT_TRUE(login);
    EXPECT_EQ(login->Host, "127.0.0.1");
    EXPECT_EQ(login->Port, 8123);
    EXPECT_EQ(login->User, "admin");
    EXPECT_EQ(login->Password, "hasło\n\r=");
    dir.Write("noport", "[login]\nip=a\nuser=b\n");
    EXPECT_FALSE(ReadStoredLogin(dir.Path() + "noport")) << "without a port the stored login is ignored";
    dir.Write("badport", "[login]\nip=a\nport=99999\n");
    EXPECT_EQ(ReadStoredLogin(dir.Path() + "badport")->Port, 8000);
    EXPECT_FALSE(ReadStoredLogin(dir.Path() + "none"));
}

TEST(VeltShell, ConfigurationFileComesFromTheFirstArgument) {
    TempDir dir;
    dir.Write("kat3.INI", "");
    EXPECT_EQ(VeltShell::ConfigFileName({}, "/opt/velt/", dir.Path()), "/opt/velt/VELT_TCP.INI");
    EXPECT_EQ(VeltShell::ConfigFileName({"kat2"}, "/opt/velt/", dir.Path()), "/opt/velt/kat2.INI");
    EXPECT_EQ(VeltShell::ConfigFileName({"kat3"}, "/opt/velt/", dir.Path()), dir.Path() + "kat3.INI");
    EXPECT_EQ(VeltShell::ConfigFileName({"/etc/x/k.cfg"}, "/opt/", ""), "/etc/x/k.cfg");
    EXPECT_EQ(VeltShell::ConfigFileName({"/etc/x.d/k"}, "/opt/", ""), "/etc/x.d/k.INI");
}

// Which catalogue the start connects: stored login, previous (maybe asked), first.
TEST(VeltShell, StartChoosesStoredThenPreviousThenFirst) {
    const int dead = test::UnusedPort();
    TempDir dir;
    const std::string ini = dir.Write(
        "v.ini", "[HISTORIA]\nid=KATALOG1_B\npytaj=" + std::string("1") + "\n[KATALOG_A]\nnazwa=&Pierwszy\nport=" +
                     std::to_string(dead) + "\n[GRUPA1]\nnazwa=G\n[KATALOG1_B]\nnazwa=Drugi\nport=PORT\n");
    struct Case {
        const char* name;
        std::optional<StoredLogin> stored;
        DialogResult answer;
        std::string caption;
        ShellMode mode;
    } cases[] = {
        {"stored login", StoredLogin{"127.0.0.1", 0, "admin", "admin"}, kYes, "Drugi [G]", ShellMode::LoggedIn},
        {"stored login elsewhere", StoredLogin{"127.0.0.2", 0, "admin", "admin"}, kYes, "Drugi [G]",
         ShellMode::LoggedOut},
        {"previous refused", std::nullopt, kNo, "Pierwszy", ShellMode::NoEditing},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::LoginPeer peer;  // a fresh server for the entry B of this case
        const std::string text = TempDir::Read(ini);
        std::string patched = text;
        patched.replace(patched.find("PORT"), 4, std::to_string(peer.Port()));
        const std::string file = dir.Write("case.ini", patched);
        if (c.stored) c.stored->Port = peer.Port();
        FakeView view;
        FakePrompts prompts;
        prompts.answer = c.answer;
        VeltShell shell(view, prompts, prompts);
        shell.ReadConfiguration(file, dir.Path(), dir.Path());
        shell.Start(c.stored);
        EXPECT_EQ(view.caption, c.caption);
        EXPECT_EQ(view.mode, c.mode);
        if (c.mode == ShellMode::LoggedIn) {
            EXPECT_TRUE(shell.Flow().LoggedIn());
            EXPECT_EQ(shell.Current()->LoadedProfile, "p-admin");
        }
        if (c.answer == kNo) {
            ASSERT_GE(prompts.shown.size(), 2u);
            EXPECT_EQ(prompts.shown[0], "ask:Czy połączyć z \"Drugi [G]\"?"_cp);
            EXPECT_EQ(prompts.shown[1].rfind("plain:Brak połączenia z serwerem 127.0.0.1/"_cp, 0), 0u);
        }
        shell.Disconnect();
    }
}

TEST(VeltShell, SaveWritesOnlyChangesAndNeverWhenForbidden) {
    TempDir dir;
    const std::string original = "[ZESTAWIENIA]\r\nzapis=N\r\n[HISTORIA]\r\nid=X\r\n";
    const std::string file = dir.Write("n.ini", original);
    FakeView view;
    FakePrompts prompts;
    {
        VeltShell shell(view, prompts, prompts);
        shell.ReadConfiguration(file, dir.Path(), dir.Path());
        shell.Settings().LastCatalogue = "Y";
        EXPECT_EQ(shell.Save(), "");
    }
    EXPECT_EQ(TempDir::Read(file), original);

    const std::string writable = dir.Write("w.ini", "[HISTORIA]\r\nid=X\r\n");
    VeltShell shell(view, prompts, prompts);
    shell.ReadConfiguration(writable, dir.Path(), dir.Path());
    EXPECT_EQ(shell.Save(), "");
    EXPECT_EQ(TempDir::Read(writable), "[HISTORIA]\r\nid=X\r\n");
    shell.Settings().LastCatalogue = "KATALOG_Z";
    shell.Settings().AskForLastCatalogue = true;
    EXPECT_EQ(shell.Save(), "");
    EXPECT_EQ(TempDir::Read(writable), "[HISTORIA]\r\nid=KATALOG_Z\r\npytaj=1\r\n");
    // A failed write says so and leaves the old file as it was.
    std::filesystem::rename(dir.Path(), dir.Path().substr(0, dir.Path().size() - 1) + "-moved");
    shell.Settings().LastCatalogue = "KATALOG_Q";
    EXPECT_NE(shell.Save(), "");
    EXPECT_EQ(prompts.shown.back(), "plain:Błąd zapisu aktualnej konfiguracji programu"_cp);
    std::filesystem::rename(dir.Path().substr(0, dir.Path().size() - 1) + "-moved", dir.Path());
    EXPECT_EQ(TempDir::Read(writable), "[HISTORIA]\r\nid=KATALOG_Z\r\npytaj=1\r\n");
}

TEST(VeltShell, RegistersTheConverterModulesOfTheConfiguration) {
    TempDir dir;
    const std::string file = dir.Write("k.ini", std::string("[GLOBAL]\nMOD=") + VELT_EXAMPLE_MODULE +
                                                    "\n[KONWERTER_1]\ndll=%MOD%\nz=U\ndo=AB\n"
                                                    "[KONWERTER_2]\ndll=%INI%brak.so\nz=U\ndo=C\n");
    FakeView view;
    FakePrompts prompts;
    VeltShell shell(view, prompts, prompts);
    shell.ReadConfiguration(file, dir.Path(), dir.Path());
    ASSERT_EQ(shell.Converters().size(), 1u);
    EXPECT_NE(shell.Converters().FindConverterModule("U", "B"), nullptr);
    EXPECT_EQ(shell.Converters().FindConverterModule("U", "C"), nullptr);
    ASSERT_EQ(prompts.shown.size(), 1u) << "the missing module is reported";
    EXPECT_NE(prompts.shown[0].find("brak.so"), std::string::npos);
}
