// velt-cli form run as a program: the model tree, the messages, the layout.

#include "text/CpLiteral.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

using namespace velt;
using test::TempDir;

namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

CliRun RunCli(const std::string& args, const TempDir& dir) {
    const std::string errFile = dir.Path() + "stderr";
    CliRun r;
    FILE* p = ::popen((std::string(VELT_CLI) + " " + args + " 2>" + errFile).c_str(), "r");
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, p)) > 0) r.out.append(buffer, got);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = TempDir::Read(errFile);
    return r;
}

const std::string kForm =
    "BEGIN\r\n"
    " LABEL 'Tytuł' ON 2, 2\r\n"
    " FIELD '245Z.1.1.1.1' LIMIT 40 ON 100, 2, 300\r\n"
    " LIST 'i' OF 3 ON 0, 30, 400, 60 BEGIN NO 'i' ON 0,0 DATE 'D.i' ON 20, 0, 80 END\r\n"
    " COMBO 'C' MASK 'A|Alfa|B||' ON 0, 100, 100\r\n"
    " NUMBER 'N' MASK 8, 2 ON 0, 130, 80\r\n"
    " MEMO 'M' ON 0, 160, 200, 469\r\n"
    "END\r\n"_cp;

}  // namespace

TEST(FormCommand, PrintsTheModelTreeAtZoomOneAndTheSheetHeight) {
    TempDir dir;
    const std::string file = dir.Write("f.txt", kForm);
    const CliRun run = RunCli("form " + file + " --height 500 --pictures " + dir.Path(), dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "my_formular x=0 y=0\n"
              "  my_label x=2 y=2 text='Tytuł'\n"
              "  my_lineedit x=100 y=2 w=300 id='245Z.1.1.1.1' limit='40' password='F'\n"
              "  my_list x=0 y=30 w=400 h=60 variable='i' rows='3' rowheight='19'\n"
              "    my_lp x=0 y=0 text='i'\n"
              "    my_date x=20 y=0 w=80 id='D.i'\n"
              "  my_combo x=0 y=100 w=100 id='C' list='A|Alfa|B||' values='A|B|' labels='Alfa|*|'\n"
              "  my_number x=0 y=130 w=80 id='N' width='8' decimals='2'\n"
              "  my_memo x=0 y=160 w=200 h=500 id='M' limit='0' multiline='F'\n");
}

TEST(FormCommand, ErrorsGoToStderrAsTheirTwoTextsWithExitCode2) {
    TempDir dir;
    const std::string file = dir.Write("f.txt", "BEGIN\r\nFIELD 'x' ON 10, 20\r\nEND\r\nBEGIN END\r\n");
    const CliRun run = RunCli("form " + file + " --pictures " + dir.Path(), dir);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "Spodziewany przecinek [jest: END]\nLinia: \"END\"\n"
              "Pominięty fragment opisu [jest: BEGIN]\nLinia: \"BEGIN END\"\n");
    EXPECT_EQ(run.out, "my_formular x=0 y=0\n  my_lineedit x=10 y=20 w=200 id='x' limit='0' password='F'\n");

    const CliRun missing = RunCli("form " + dir.Path() + "none.txt", dir);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Brak pliku \"" + dir.Path() + "none.txt\"\n");
    EXPECT_EQ(missing.out, "");
}

TEST(FormCommand, LaysTheFormOutForARecordAtAZoom) {
    TempDir dir;
    const std::string file = dir.Write("f.txt", kForm);
    const std::string record = dir.Write("r.txt", "245Z.1.1.1.1=Pan Tadeusz\nD.2=20031015\nD.3=2003\nC=C\nN=   12.50\n");
    const CliRun run =
        RunCli("form " + file + " --layout --record " + record + " --zoom 1.24 --pictures " + dir.Path(), dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "  ed_label x=2 y=2 w=0 h=0 shown='Tytuł'\n"
              "  ed_lineedit id='245Z.1.1.1.1' x=124 y=2 w=372 h=25 shown='Pan Tadeusz'\n"
              "  ed_list x=497 y=41 w=16 h=62 shown='1'\n"
              "      ed_label x=0 y=37 w=0 h=0 shown='1'\n"
              "      ed_date id='D.1' x=25 y=37 w=99 h=25 shown='  .  .    '\n"
              "      ed_label x=0 y=61 w=0 h=0 shown='2'\n"
              "      ed_date id='D.2' x=25 y=61 w=99 h=25 shown='15.10.2003'\n"
              "      ed_label x=0 y=84 w=0 h=0 shown='3'\n"
              "      ed_date id='D.3' x=25 y=84 w=99 h=25 shown='20.03.    '\n"
              "  ed_combo_editor id='C' x=0 y=124 w=124 h=25 shown='Alfa'\n"
              "  ed_number id='N' x=0 y=161 w=99 h=25 shown='   12,50'\n"
              "  ed_memo_editor id='M' x=0 y=198 w=248 h=582 shown=''\n");
}
