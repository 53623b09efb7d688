// The file associations: "PLIKI" read with macros and written back in
// order, the first matching pattern, their form, opening files and
// starting programs with an argument list.

#include "params/FileAssociations.h"
#include "params/HeadlessParameterWindow.h"

#include "lang/ProfileFile.h"
#include "lang/TMultiIniFile.h"
#include "text/CpLiteral.h"

#include "support/RecordingPrompts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

using namespace velt;
using test::RecordingPrompts;
using test::TempDir;

namespace {

struct Started {
    std::string program;
    std::vector<std::string> arguments;
    std::string directory;
};

// Records what it was asked to start; fails when told to.
struct FakeLauncher : ProgramLauncher {
    std::vector<Started> started;
    bool works = true;
    bool Start(const std::string& program, const std::vector<std::string>& arguments, const std::string& directory,
               std::string& why) override {
        if (!works) {
            why = "nie";
            return false;
        }
        started.push_back({program, arguments, directory});
        return true;
    }
};

std::string Executable(const TempDir& dir, const std::string& name) {
    const std::string path = dir.Write(name, "#!/bin/sh\n");
    ::chmod(path.c_str(), 0755);
    return path;
}

// Sets PATH for the life of a scope.
struct PathScope {
    std::string saved;
    explicit PathScope(const std::string& path) {
        const char* p = std::getenv("PATH");
        saved = p ? p : "";
        ::setenv("PATH", path.c_str(), 1);
    }
    ~PathScope() { ::setenv("PATH", saved.c_str(), 1); }
};

}  // namespace

TEST(FileAssociations, LoadedInOrderWithMacrosAndMissingProgramsReportedButKept) {
    TempDir dir;
    Executable(dir, "viewer");
    Executable(dir, "edit");
    const std::string ini = dir.Write("velt.ini",
                                      "[GLOBAL]\r\nBIN=" + dir.Path() +
                                          "\r\n[PLIKI]\r\n"
                                          "*.pdf=%BIN%viewer\r\n"
                                          "*.txt=\"%INI%edit\"\r\n"
                                          "*.pdf=/nonexistent-velt/second\r\n"
                                          "; a comment\r\n"
                                          "*.sh=sh\r\n");
    FileAssociations a;
    RecordingPrompts prompts;
    a.LoadAssociations(TMultiIniFile(ini), prompts);
    const std::vector<FileAssociation> expected = {{"*.pdf", dir.Path() + "viewer"},
                                                   {"*.txt", dir.Path() + "edit"},
                                                   {"*.pdf", "/nonexistent-velt/second"},
                                                   {"*.sh", "sh"}};
    EXPECT_EQ(a.List(), expected);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"plain:Brak programu /nonexistent-velt/second"})
        << "a program on PATH is found";
    EXPECT_FALSE(a.Changed());
}

TEST(FileAssociations, TheFirstMatchingPatternWins) {
    FileAssociations a;
    a.SetList({{"raport?.csv", "/p/one"}, {"*.csv", "/p/two"}, {"*.pdf", "/p/three"}, {"*.pdf", "/p/four"},
               {"\\*.txt", "/p/star"}});
    struct Case {
        std::string file;
        std::string program;  // empty: none
    };
    const Case cases[] = {
        {"/work/raport1.csv", "/p/one"}, {"raport12.csv", "/p/two"}, {"a.pdf", "/p/three"},
        {"a.PDF", ""},  // letter case counts
        {"*.txt", "/p/star"},           {"a.txt", ""},           {"pdf", ""},
    };
    for (const Case& c : cases) {
        const FileAssociation* found = a.Find(c.file);
        EXPECT_EQ(found ? found->program : std::string(), c.program) << c.file;
    }
}

TEST(FileAssociations, SavedInOrderDuplicatesIncludedAndUnchangedProgramsKeepTheirMacros) {
    TempDir dir;
    Executable(dir, "viewer");
    const std::string ini = dir.Write("velt.ini",
                                      "[GLOBAL]\r\nBIN=" + dir.Path() +
                                          "\r\n[PLIKI]\r\n*.pdf=%BIN%viewer\r\n; stary komentarz\r\n*.doc=/x/old\r\n"
                                          "\r\n[KOLEKCJA]\r\nsortowanie=2\r\n");
    FileAssociations a;
    RecordingPrompts prompts;
    a.LoadAssociations(TMultiIniFile(ini), prompts);
    std::vector<FileAssociation> list = a.List();
    list.erase(list.begin() + 1);
    list.push_back({"*.pdf", "/x/second"});
    list.push_back({"*.odt", "/x/office"});
    a.SetList(list);
    EXPECT_TRUE(a.Changed());
    ProfileFile file(ini);
    a.SaveAssociations(file);
    EXPECT_FALSE(a.Changed());
    ASSERT_EQ(file.Save(), "");
    EXPECT_EQ(TempDir::Read(ini), "[GLOBAL]\r\nBIN=" + dir.Path() +
                                      "\r\n[PLIKI]\r\n*.pdf=%BIN%viewer\r\n*.pdf=/x/second\r\n*.odt=/x/office\r\n"
                                      "\r\n[KOLEKCJA]\r\nsortowanie=2\r\n");
    FileAssociations again;
    again.LoadAssociations(TMultiIniFile(ini), prompts);
    EXPECT_EQ(again.List(), list) << "read back as written";
}

TEST(FileAssociations, ASectionIsReplacedWhereverItStands) {
    struct Case {
        std::string before;
        std::vector<std::pair<std::string, std::string>> entries;
        std::string after;
    };
    const Case cases[] = {
        {"[A]\nx=1", {{"k", "v"}, {"k", "w"}}, "[A]\nx=1\n\n[PLIKI]\nk=v\nk=w\n"},
        {"[PLIKI]\na=1\n[B]\n", {}, "[PLIKI]\n[B]\n"},
        {"[PLIKI]\na=1", {{"b", "2"}}, "[PLIKI]\nb=2"},
        {"[A]\n", {}, "[A]\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        ProfileFile f(dir.Write("a.ini", c.before));
        f.ReplaceSection("PLIKI", c.entries);
        EXPECT_EQ(f.Text(), c.after) << c.before;
    }
}

TEST(FileAssociations, EditedInTheirFormRowsWithoutAPatternDropped) {
    FileAssociations a;
    a.SetList({{"*.pdf", "/p/pdf"}, {"*.txt", "/p/txt"}, {"*.odt", "/p/odt"}});
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms(window, settings, [] { return std::string(); });
    window.chooser = [](const std::string& current, const std::string& filter) {
        EXPECT_EQ(current, "/p/pdf");
        EXPECT_EQ(filter, "Pliki programów (*)"_cp);
        return std::string("/usr/bin/evince");
    };
    window.user = [](HeadlessParameterWindow& w) {
        EXPECT_EQ(w.Control("R.2")->Text(), "*.txt");
        EXPECT_EQ(w.Control("P.3")->Text(), "/p/odt");
        // The lookup button of row 1's program.
        std::vector<FormControl*> controls;
        w.Editor("P.1")->Controls(controls);
        ASSERT_EQ(controls.size(), 2u);
        static_cast<HeadlessControl*>(controls[1])->UserClick();
        EXPECT_EQ(w.Control("P.1")->Text(), "/usr/bin/evince") << "the chosen program is shown";
        w.Control("R.2")->UserType("");
        w.Control("R.4")->UserType("a=b");
        w.Control("P.4")->UserType("/p/eq");
        EXPECT_FALSE(w.Execute()) << "a pattern the file could not keep";
        w.Control("R.4")->UserType("*.png");
        EXPECT_TRUE(w.Execute());
    };
    ASSERT_TRUE(a.EditAssociations(forms));
    EXPECT_EQ(window.titles, std::vector<std::string>{"Modyfikuj skojarzenia plików"_cp});
    EXPECT_EQ(a.List(), (std::vector<FileAssociation>{{"*.pdf", "/usr/bin/evince"}, {"*.odt", "/p/odt"},
                                                      {"*.png", "/p/eq"}}));
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_NE(window.errors[0].at(0).find("a=b"), std::string::npos);
    // Cancelled: nothing changes.
    window.user = [](HeadlessParameterWindow& w) { w.Control("R.1")->UserType(""); };
    EXPECT_FALSE(a.EditAssociations(forms));
    EXPECT_EQ(a.List().size(), 3u);
}

TEST(FileAssociations, AnAnswerGivesTheRowsUpToTheLargestNumber) {
    EXPECT_EQ(AssociationsFromAnswer("R.1|a|P.1|x|R.12|c|P.12| z |R.2||P.2|y|R.3|b|"),
              (std::vector<FileAssociation>{{"a", "x"}, {"c", "z"}}));
    EXPECT_EQ(AssociationsFromAnswer("R.123456|a|P.12345|x|"), (std::vector<FileAssociation>{}))
        << "the row number is the five characters after R.";
    EXPECT_EQ(AssociationValues({{"*.a", "/x"}, {"b|c", "/y"}}), "R.1|*.a|P.1|/x|R.2|b\x1B" "1c|P.2|/y|");
}

TEST(FileAssociations, AFileOpensWithItsProgramAsOneArgument) {
    TempDir dir;
    const std::string viewer = Executable(dir, "viewer");
    FileAssociations a;
    a.SetList({{"*.pdf", viewer}});
    FakeLauncher launcher;
    RecordingPrompts prompts;
    const std::string file = dir.Path() + "my \"odd\" file.pdf";
    EXPECT_GT(a.OpenWithAssociation(file, launcher, prompts), 32);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, viewer);
    EXPECT_EQ(launcher.started[0].arguments, std::vector<std::string>{file});
    EXPECT_EQ(launcher.started[0].directory, dir.Path());
    EXPECT_TRUE(prompts.shown.empty());

    launcher.works = false;
    EXPECT_LE(a.OpenWithAssociation(file, launcher, prompts), 32);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error:Błąd uruchomienia programu \""_cp + viewer + "\""});
}

TEST(FileAssociations, WithoutAnAssociationTheDesktopOpensTheFileOnlyWhenTheUserAgrees) {
    TempDir dir;
    const std::string opener = Executable(dir, "xdg-open");
    PathScope path(dir.Path());
    FileAssociations a;
    FakeLauncher launcher;
    RecordingPrompts prompts;
    const std::string file = dir.Write("opis.odt", "x");
    prompts.answer = kNo;
    EXPECT_EQ(a.OpenWithAssociation(file, launcher, prompts), kProgramNoAssociation);
    EXPECT_TRUE(launcher.started.empty());
    prompts.answer = kYes;
    EXPECT_GT(a.OpenWithAssociation(file, launcher, prompts), 32);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, "xdg-open");
    EXPECT_EQ(launcher.started[0].arguments, std::vector<std::string>{file});
    // A file that would run is never handed to the desktop.
    prompts.shown.clear();
    for (const std::string& name : {std::string("x.desktop"), std::string("skrypt.SH"), std::string("a.jar")}) {
        EXPECT_EQ(a.OpenWithAssociation(dir.Write(name, "x"), launcher, prompts), kProgramRefused) << name;
    }
    EXPECT_EQ(a.OpenWithAssociation(opener, launcher, prompts), kProgramRefused) << "an executable file";
    EXPECT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(prompts.shown.size(), 4u);
    EXPECT_EQ(prompts.shown[0].rfind("error:", 0), 0u);
}

TEST(RunProgram, TextsOverTheBoundAreRefusedNotCut) {
    struct Case {
        std::string program;
        std::vector<std::string> arguments;
        std::string directory;
        bool starts;
    };
    const std::string at(kMaxProgramText, 'a');
    const std::string over(kMaxProgramText + 1, 'a');
    const Case cases[] = {
        {"/" + at.substr(1), {at}, at, true},
        {"/" + over.substr(1), {}, "", false},
        {"/p", {over}, "", false},
        {"/p", {}, over, false},
        {"/p", std::vector<std::string>(kMaxProgramArguments, "x"), "", true},
        {"/p", std::vector<std::string>(kMaxProgramArguments + 1, "x"), "", false},
    };
    for (const Case& c : cases) {
        FakeLauncher launcher;
        RecordingPrompts prompts;
        const int result =
            RunProgram(launcher, prompts, c.program, c.arguments, c.directory, kShowNormal, ProgramOrigin::User);
        EXPECT_EQ(result > 32, c.starts) << c.program.size() << " " << c.arguments.size();
        EXPECT_EQ(launcher.started.size(), c.starts ? 1u : 0u);
        if (c.starts) EXPECT_EQ(launcher.started[0].arguments, c.arguments) << "nothing cut";
        EXPECT_EQ(prompts.shown.size(), c.starts ? 0u : 1u);
    }
}

TEST(RunProgram, AServersProgramStartsOnlyWhenTheUserAgreesToWhatHeSees) {
    for (const DialogResult answer : {kNo, kYes}) {
        FakeLauncher launcher;
        RecordingPrompts prompts;
        prompts.answer = answer;
        const int result = RunProgram(launcher, prompts, "notatnik", {"plik z odstępem.txt"_cp}, "/katalog/",
                                      kShowNormal, ProgramOrigin::Server);
        ASSERT_EQ(prompts.shown.size(), 1u);
        const std::string& question = prompts.shown[0];
        EXPECT_EQ(question.rfind("ask:", 0), 0u);
        EXPECT_NE(question.find("\"notatnik\""), std::string::npos) << question;
        EXPECT_NE(question.find("\"plik z odstępem.txt\""_cp), std::string::npos) << question;
        EXPECT_EQ(result > 32, answer == kYes);
        EXPECT_EQ(launcher.started.size(), answer == kYes ? 1u : 0u);
    }
    FakeLauncher failing;
    failing.works = false;
    RecordingPrompts prompts;
    EXPECT_EQ(RunProgram(failing, prompts, "/nie/ma", {}, "", kShowNormal, ProgramOrigin::User), kProgramNotFound);
}

TEST(RunProgram, ParameterTextsSplitAsACommandLineWritesThem) {
    struct Case {
        std::string text;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"plik.txt", {"plik.txt"}},
        {"  a   b ", {"a", "b"}},
        {"\"a b\" c", {"a b", "c"}},
        {"\"x \"\"q\"\" y\"", {"x \"q\" y"}},
        {"a\"b c\"d", {"ab cd"}},
        {"\"\"", {""}},
        {"", {}},
        {"\"otwarty", {"otwarty"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitParameters(c.text), c.words) << c.text;
}

TEST(FileAssociations, TheProgramsOwnGuideOpensOnTheDesktopWithoutAQuestion) {
    TempDir dir;
    Executable(dir, "xdg-open");
    PathScope path(dir.Path());
    FileAssociations a;
    FakeLauncher launcher;
    RecordingPrompts prompts;
    prompts.answer = kNo;  // would refuse, were it asked
    const std::string guide = dir.Write("index.html", "<html>");
    EXPECT_GT(a.OpenOwnDocument(guide, launcher, prompts), 32);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, "xdg-open");
    EXPECT_EQ(launcher.started[0].arguments, std::vector<std::string>{guide});
    EXPECT_TRUE(prompts.shown.empty());

    // The user's own association for the type comes first.
    const std::string browser = Executable(dir, "browser");
    a.SetList({{"*.html", browser}});
    EXPECT_GT(a.OpenOwnDocument(guide, launcher, prompts), 32);
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(launcher.started[1].program, browser);

    // Nothing that would run, even as the program's own; no desktop, nothing started.
    a.SetList({});
    EXPECT_EQ(a.OpenOwnDocument(dir.Write("pomoc.desktop", "x"), launcher, prompts), kProgramRefused);
    PathScope empty(dir.Path() + "nothing");
    prompts.shown.clear();
    EXPECT_EQ(a.OpenOwnDocument(guide, launcher, prompts), kProgramNoAssociation);
    EXPECT_EQ(launcher.started.size(), 2u);
    EXPECT_TRUE(prompts.shown.empty());
}
