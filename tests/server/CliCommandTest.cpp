// velt-cli command and script --commands: the form scripts' command
// function without a window, the user scripted by --answer, on its own and
// against velt-server with an edit session; and the book form's own event
// scripts run through it.

#include "Forms.h"
#include "ServerTestSupport.h"

#include "text/utf.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace velt;
using namespace velt::test;

namespace {

// A file of the test directory from UTF-8 text, written in the system's code page.
std::string WriteCp(const TempDir& dir, const std::string& name, const std::string& utf8) {
    return dir.Write(name, UtfVeltwin().Convert(utf8));
}

}  // namespace

TEST(CliCommand, DialogsAndFilesAnswerAsTheAnswersSay) {
    TempDir dir;
    const std::string in = " --config " + dir.Path() + "VELT_TCP.INI";
    // The list: the entries shown on stderr, the second picked.
    CliRun list = RunCli("command \"$(printf 'DL|pol\\001polski\\001eng\\001angielski\\rEnglish')\" --answer pick=2");
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "result=eng\n");
    EXPECT_EQ(list.err, "choice 1: polski\nchoice 2: angielski English\n");
    EXPECT_EQ(RunCli("command \"$(printf 'DL|pol\\001polski\\001eng\\001angielski')\"").out, "result=\n") << "no pick: closed";
    // The tree: groups shown, only nodes with a value numbered.
    CliRun tree = RunCli("command \"$(printf 'DT|||Dziedziny\\r |L|Literatura\\r  |P|Poezja')\" --answer pick=2");
    EXPECT_EQ(tree.out, "result=P\n");
    EXPECT_EQ(tree.err, "node: Dziedziny\nchoice 1:   Literatura\nchoice 2:     Poezja\n");
    // Questions, fonts.
    EXPECT_EQ(RunCli("command 'DQ|Zapisać?' --answer question=7").out, "result=N\n");
    CliRun yes = RunCli("command 'DQ|Zapisać?' --answer question=6");
    EXPECT_EQ(yes.out, "result=\n");
    EXPECT_EQ(yes.err, "question: Zapisać?\n");
    EXPECT_EQ(RunCli("command 'DF|Arial/238/10/' --answer font=Times/0/12/BI").out, "result=Times/0/12/BI\n");
    // Files under the working directory: a round trip, a file out of reach.
    WriteCp(dir, "lista.txt", "a|b\r\nżółw\r\n");
    CliRun read = RunCli("command 'FO|lista.txt'" + in);
    EXPECT_EQ(read.out, "result=a\\|b|żółw|\n");
    EXPECT_EQ(RunCli("command 'FS|kopia.txt|a\\|b|żółw|'" + in).out, "result=\n");
    std::ifstream copy(dir.Path() + "kopia.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}), UtfVeltwin().Convert("a|b\r\nżółw\r\n"));
    CliRun outside = RunCli("command 'FO|/etc/passwd'" + in);
    EXPECT_EQ(outside.out, "result=\n");
    EXPECT_EQ(outside.err, "error: Brak pliku \"/etc/passwd\"\n");
    // A file the user chose may be read wherever it is; "!" prints what would open.
    EXPECT_EQ(RunCli("command 'DO|x.txt|*.txt' --answer file=lista.txt" + in).out, "result=" + dir.Path() + "lista.txt\n");
    EXPECT_EQ(RunCli("command '!lista.txt'" + in).out, "open=" + dir.Path() + "lista.txt\nresult=\n");
    // Without a login there is no edit session.
    CliRun a = RunCli("command 'AK|a=1'");
    EXPECT_EQ(a.out, "result=Operacja niedostępna z tego programu\n");
    EXPECT_EQ(a.err, "error: Operacja niedostępna z tego programu\n");
    EXPECT_EQ(RunCli("command 'BK5|II 123'").out, "label=K5|II 123\nresult=\n");
    // Misuse.
    EXPECT_EQ(RunCli("command 'DQ|x' --answer question=tak").status, 1);
    EXPECT_EQ(RunCli("command 'DQ|x' --answer kolor=1").status, 1);
    EXPECT_EQ(RunCli("command").status, 1);
    EXPECT_EQ(RunCli("command 'UN' --record x.txt").status, 1) << "a sheet needs a login";
}

TEST(CliCommand, WithALoginTheCommandsHaveAnEditSessionAndTheFormsScriptsRunThroughThem) {
    ServerProcess server;
    ASSERT_TRUE(server.Ready()) << server.Why();
    TempDir dir;
    const std::string at = "--host 127.0.0.1 --port " + std::to_string(server.Port()) + " ";
    const std::string login = at + "--user bibliotekarz --password bibliotekarz ";
    EXPECT_EQ(RunCli(login + "command UN").out, "result=bibliotekarz\n");
    EXPECT_EQ(RunCli(at + "command UN").out, "result=\n") << "not logged in";
    const CliRun read = RunCli(login + "command MOK5");
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_NE(read.out.find("245Z.1.1.1.1=^a"), std::string::npos) << read.out;
    // A new record opens in a sheet (without a window).
    const CliRun added = RunCli(login + "command 'AK|245Z.1.1.1.1=^aNowa książka'");
    EXPECT_EQ(added.out, "result=\nsheet=Nowy \"K\"\n") << added.err;
    // The record of --record is the sheet's: a script may not store over it.
    const std::string record = WriteCp(dir, "k7.txt", "001Z.1.1.1.1=K7\n245Z.1.1.1.1=^aTytuł\n");
    const CliRun held = RunCli(login + "command 'MSK7|500Z.1.1.1.1=x' --record " + record);
    EXPECT_EQ(held.out, "result=Rekord K7 jest otwarty do edycji\nsheet=Import \"" + record + "\"\n") << held.err;
    // An authority lookup, its first entry picked.
    const CliRun found = RunCli(login + "command 'XKHWO|Głowacki' --answer pick=1");
    EXPECT_EQ(found.out.rfind("result=^aPrus, Bolesław ^d1847-1912 ^9O", 0), 0u) << found.out << found.err;

    // The book form's HELP for the language button, through the same commands.
    // The scripts as the program writes them to its work file: a line a CR piece.
    std::string file = server::EventScript('K');
    for (char& c : file)
        if (c == '\r') c = '\n';
    const std::string scripts = dir.Write("K.act", file);
    const std::string book = WriteCp(dir, "k.txt", "041Z.1.1.1.1=^apol ^hger\n");
    const CliRun language = RunCli(login + "script " + scripts + " --event HELP --key JEZYK --record " + book +
                                   " --commands --answer pick=2 --dump");
    EXPECT_EQ(language.status, 0) << language.err;
    EXPECT_EQ(language.out.rfind("041Z.1.1.1.1\n", 0), 0u) << language.out;
    EXPECT_NE(language.out.find("\n041Z.1.1.1.1=^aeng ^hger\n"), std::string::npos) << language.out;
    EXPECT_NE(language.err.find("choice 2: angielski kod eng\n"), std::string::npos) << language.err;
    // Without --commands the script's EXTERNAL answers nothing: the field stays.
    const CliRun plain = RunCli(login + "script " + scripts + " --event HELP --key JEZYK --record " + book + " --dump");
    EXPECT_EQ(plain.out, "041Z.1.1.1.1=^apol ^hger\n") << "nothing printed, nothing changed";
}

TEST(CliCriteria, RowsQueryAndLabelAsThePanelMakesThem) {
    ServerProcess::Options options;
    options.extra = {"--form-criterion-first"};
    ServerProcess server(options);
    ASSERT_TRUE(server.Ready()) << server.Why();
    TempDir dir;
    const std::string at = "--host 127.0.0.1 --port " + std::to_string(server.Port()) + " ";
    const CliRun rows = RunCli(at + "criteria rows");
    EXPECT_EQ(rows.status, 0) << rows.err;
    EXPECT_EQ(rows.out.rfind("FilterItem\tFiltr\t", 0), 0u) << rows.out;
    EXPECT_NE(rows.out.find("\nFullItem\tJęzyk tekstu\tJ.1\n"), std::string::npos) << rows.out;
    EXPECT_NE(rows.out.find("\nIndexItem\tautor\tPOCZĄTEK|SŁOWO|LICZBA|RÓWNY|WZORZEC\n"), std::string::npos);
    EXPECT_NE(rows.out.find("\nCriteriumItem\tRok wydania\tR.1|R.2\n"), std::string::npos);
    EXPECT_EQ(rows.out.find("numer rekordu"), std::string::npos) << "hidden";

    // The query of two rows, searched; the rows remembered in the file.
    const std::string ini = WriteCp(dir, "VELT_TCP.INI", "[KRYTERIA]\nautor=C.1|Prus|C.2|RÓWNY|\n");
    const CliRun query = RunCli(at + "criteria query --value 'Język tekstu=J.1| ENG |' --value 'tytuł=C.1|a|C.2|SŁOWO|' "
                                     "--sort '' --run --config " + ini);
    EXPECT_EQ(query.status, 0) << query.err;
    EXPECT_EQ(query.out.rfind("SORTUJ \"\" \"Język tekstu\" \"J.1|eng|\" * \"autor\" RÓWNY \"Prus\" * \"tytuł\" SŁOWO \"a\"\n"
                              "kolekcja=", 0), 0u)
        << query.out;
    std::ifstream kept(ini, std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(kept)), {});
    EXPECT_NE(file.find(UtfVeltwin().Convert("tytuł=C.1|a|C.2|SŁOWO|")), std::string::npos) << file;
    EXPECT_NE(file.find(UtfVeltwin().Convert("Język tekstu=J.1|eng|")), std::string::npos) << "the form's WYKONAJ ran";
    EXPECT_EQ(RunCli(at + "criteria query --sort 'brak takiego'").status, 2);
    EXPECT_EQ(RunCli("criteria label 'SORTUJ \"\" \"autor\" RÓWNY \"Prus\" * \"Rok wydania\" \"R.1|1990|\"'").out,
              "\"autor\" RÓWNY \"Prus\" * \"Rok wydania\" 1990\n");
    EXPECT_EQ(RunCli("criteria").status, 1);
}
