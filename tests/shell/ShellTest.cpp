#include "files/UserDirectories.h"
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

#include <filesystem>
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

TEST(ShellSettings, TheGuideAndPicturesAreFoundBesideTheProgramOrInItsInstalledPrefix) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path() + "usr/bin");
    std::filesystem::create_directories(dir.Path() + "usr/share/velt/pomoc");
    const std::string bin = dir.Path() + "usr/bin/";
    const std::string share = bin + "../share/velt/";
    // Neither pictures nor a guide anywhere: the program's directory, no document.
    EXPECT_EQ(ProgramImageDirectory(bin), bin);
    EXPECT_EQ(HelpDocument("", bin), "");

    // Installed: prefix/share/velt, reached from prefix/bin whatever the prefix.
    dir.Write("usr/share/velt/totop@2x.png", "png");
    dir.Write("usr/share/velt/pomoc/index.html", "<html>");
    EXPECT_EQ(ProgramImageDirectory(bin), share);
    EXPECT_EQ(HelpDocument("", bin), share + "pomoc/index.html");
    // A help file beside the program comes before the guide.
    const std::string hlp = dir.Write("usr/bin/velt_tcp.hlp", "x");
    EXPECT_EQ(HelpDocument("", bin), hlp);
    // The build tree: the pictures beside the program win.
    dir.Write("usr/bin/totop@2x.png", "png");
    EXPECT_EQ(ProgramImageDirectory(bin), bin);

    // A file the configuration names is the only one: missing, or a directory, there is none.
    const std::string own = dir.Write("moja-pomoc.pdf", "%PDF");
    EXPECT_EQ(HelpDocument(own, bin), own);
    EXPECT_EQ(HelpDocument(dir.Path() + "brak.pdf", bin), "");
    EXPECT_EQ(HelpDocument(dir.Path() + "usr", bin), "");

    ShellSettings s;
    s.Read(TMultiIniFile(dir.Write("a.ini", "[POMOC]\n")), bin, "/d/");
    EXPECT_EQ(s.HelpFile, "") << "no help file named";
    s.Read(TMultiIniFile(dir.Write("b.ini", "[POMOC]\nplik=" + own + "\n")), bin, "/d/");
    EXPECT_EQ(s.HelpFile, own);
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

namespace {

// A view whose login window logs in as the given user, and a listener that
// writes down what it heard and whether the descriptor was still whole.
struct LoggingInView : FakeView {
    VeltShell* shell = nullptr;
    std::string user = "admin";
    bool ShowLogin(velt_files& files, const std::string&) override {
        return shell->Flow().Accept(files, user, user);
    }
};

struct RecordingListener : CatalogueListener {
    std::vector<std::string> heard;
    void CatalogueClosing(velt_files& files, bool disconnecting) override {
        heard.push_back(std::string(disconnecting ? "disconnect" : "reload") + ":" +
                        std::to_string(files.Indexes.size()) + (files.Broken() ? ":broken" : ""));
    }
    void CatalogueOpened(velt_files& files) override {
        heard.push_back("opened:" + std::to_string(files.Indexes.size()));
    }
};

}  // namespace

// What the main window shows in each mode, with the version gates.
TEST(VeltShell, StateFollowsTheModeAndTheServersVersion) {
    const struct Case {
        const char* name;
        std::string status;
        std::string user;  // the catalogue entry's "user"
        ShellState loggedIn;
    } cases[] = {
        {"VELT2", "VELT2&wersja=2026.01.01&edycja=1&struktura={x={nam=autor}{tab=21}{ind=5}}", "",
         [] {
             ShellState s;
             s.Mode = ShellMode::LoggedIn;
             s.RecordMenu = s.OperationMenu = true;
             return s;
         }()},
        {"VELT1 before 2003.10.24", "VELT1&wersja=2003.10.23&edycja=1&blob=T&zamawianie=T&struktura={x={nam=autor}{tab=21}{ind=5}}", "",
         [] {
             ShellState s;
             s.Mode = ShellMode::LoggedInVelt1;
             s.RecordMenu = s.LinksButton = s.BlobButton = true;
             s.AccountMenu = true;
             return s;
         }()},
        {"VELT1 from 2003.10.24", "VELT1&wersja=2003.10.24&edycja=1&zamawianie=T&struktura={x={nam=autor}{tab=21}{ind=5}}", "x-",
         [] {
             ShellState s;
             s.Mode = ShellMode::LoggedInVelt1;
             s.RecordMenu = s.LinksButton = s.OperationMenu = true;
             return s;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::LoginPeer peer(c.status);
        TempDir dir;
        const std::string file = dir.Write("s.ini", "[KATALOG_A]\nnazwa=&Główny\nport=" + std::to_string(peer.Port()) +
                                                        "\nuser=" + c.user + "\n");
        LoggingInView view;
        FakePrompts prompts;
        VeltShell shell(view, prompts, prompts);
        view.shell = &shell;
        shell.ReadConfiguration(file, dir.Path(), dir.Path());
        shell.Start(std::nullopt);
        ShellState out = shell.State();
        EXPECT_EQ(out.Mode, ShellMode::LoggedOut);
        EXPECT_TRUE(out.EditToolbar && out.LoginMenu && out.ServerMenus && out.Connected);
        EXPECT_FALSE(out.LogoutEnabled || out.RecordMenu || out.OperationMenu || out.BlobButton);
        EXPECT_EQ(out.Caption, "Główny");
        EXPECT_EQ(out.ConnectionText, "127.0.0.1/" + std::to_string(peer.Port()));
        shell.Login();
        ShellState in = shell.State();
        EXPECT_EQ(in.ConnectionText, out.ConnectionText + " — admin"_cp);
        ShellState expected = c.loggedIn;
        expected.Caption = in.Caption;
        expected.ConnectionText = in.ConnectionText;
        expected.Connected = expected.ServerMenus = expected.EditToolbar = expected.LoginMenu = true;
        expected.LogoutEnabled = true;
        EXPECT_EQ(in, expected);
        EXPECT_EQ(view.states.back(), in) << "the view shows the state last computed";
        shell.Logout();
        EXPECT_EQ(shell.State(), out);
        shell.Disconnect();
        EXPECT_EQ(shell.State().Mode, ShellMode::NoEditing);
        EXPECT_EQ(shell.State().ConnectionText, "Brak połączenia"_cp);
        EXPECT_FALSE(shell.State().ServerMenus || shell.State().EditToolbar);
    }
}

TEST(VeltShell, AnEntryWithoutEditingNeverShowsTheToolbar) {
    test::LoginPeer peer;
    TempDir dir;
    const std::string file =
        dir.Write("s.ini", "[KATALOG_A]\nnazwa=A\nport=" + std::to_string(peer.Port()) + "\nuser=-\n");
    FakeView view;
    FakePrompts prompts;
    VeltShell shell(view, prompts, prompts);
    shell.ReadConfiguration(file, dir.Path(), dir.Path());
    shell.Start(std::nullopt);
    EXPECT_EQ(shell.State().Mode, ShellMode::NoEditing);
    EXPECT_FALSE(shell.State().EditToolbar || shell.State().LoginMenu);
    EXPECT_TRUE(shell.State().ServerMenus);
}

// Listeners hear before the descriptor goes (while the session still works)
// and after the new one is there.
TEST(VeltShell, ListenersHearBeforeADescriptorIsFreedAndAfterTheNewOne) {
    test::LoginPeer first;
    test::LoginPeer second;
    TempDir dir;
    const std::string file = dir.Write("l.ini", "[KATALOG_A]\nnazwa=A\nport=" + std::to_string(first.Port()) +
                                                    "\n[KATALOG_B]\nnazwa=B\nport=" + std::to_string(second.Port()) +
                                                    "\n");
    LoggingInView view;
    FakePrompts prompts;
    VeltShell shell(view, prompts, prompts);
    view.shell = &shell;
    RecordingListener listener;
    shell.AddListener(&listener);
    shell.ReadConfiguration(file, dir.Path(), dir.Path());
    shell.Start(std::nullopt);
    shell.Login();   // admin's profile differs: the descriptor is reloaded (2 indexes then)
    shell.Logout();  // reloaded again
    view.user = "bibliotekarz";
    shell.Login();   // same profile: no reload, but the tabs are told all the same
    shell.Click(*shell.Menu().FindSection("KATALOG_B"));
    shell.RemoveListener(&listener);
    shell.Disconnect();
    const std::vector<std::string> expected = {
        "opened:1",                  // A connected
        "reload:1", "opened:2",      // admin's login
        "reload:2", "opened:1",      // logout
        "reload:1", "opened:1",      // bibliotekarz logs in; his descriptor comes with the reload
        "disconnect:1", "opened:1",  // B instead of A
    };
    EXPECT_EQ(listener.heard, expected);
}

namespace {

// A window's section: "KRYTERIA"/"wartość" read at start, written back when changed.
struct CriteriaSection : ConfigurationSection {
    std::string value, read, order;
    std::string* trace = nullptr;
    bool fail = false;
    void ReadConfiguration(const TMultiIniFile& ini) override {
        if (trace) *trace += order;
        if (fail) throw std::runtime_error("Zła wartość w sekcji KRYTERIA"_cp);
        value = read = ini.ReadString("KRYTERIA", "wartość"_cp, "");
    }
    void WriteConfiguration(ProfileFile& file) override {
        if (value != read) file.WriteString("KRYTERIA", "wartość"_cp, value);
    }
};

}  // namespace

TEST(VeltShell, WindowsReadAndWriteTheirOwnSectionsWithTheConfiguration) {
    TempDir dir;
    const std::string file = dir.Write("s.ini", "[KRYTERIA]\r\nwartość=autor\r\n[Z3950]\r\nźródło=A\r\n"_cp);
    FakeView view;
    FakePrompts prompts;
    std::string trace;
    CriteriaSection criteria, z3950;
    criteria.trace = z3950.trace = &trace;
    criteria.order = "K";
    z3950.order = "Z";
    {
        VeltShell shell(view, prompts, prompts);
        shell.AddConfigurationSection(&criteria);
        shell.AddConfigurationSection(&z3950);
        shell.ReadConfiguration(file, dir.Path(), dir.Path());
        EXPECT_EQ(trace, "KZ") << "in the order they were added";
        EXPECT_EQ(criteria.value, "autor");
        EXPECT_EQ(shell.Save(), "");
        EXPECT_EQ(TempDir::Read(file), "[KRYTERIA]\r\nwartość=autor\r\n[Z3950]\r\nźródło=A\r\n"_cp) << "nothing changed";
        criteria.value = "tytuł"_cp;
        EXPECT_EQ(shell.Save(), "");
        EXPECT_EQ(TempDir::Read(file), "[KRYTERIA]\r\nwartość=tytuł\r\n[Z3950]\r\nźródło=A\r\n"_cp);
        shell.RemoveConfigurationSection(&z3950);
    }
    // An error in a section ends the reading with its own text.
    criteria.fail = true;
    VeltShell shell(view, prompts, prompts);
    shell.AddConfigurationSection(&criteria);
    shell.ReadConfiguration(file, dir.Path(), dir.Path());
    EXPECT_EQ(prompts.shown.back(), "plain:Zła wartość w sekcji KRYTERIA"_cp);
}
