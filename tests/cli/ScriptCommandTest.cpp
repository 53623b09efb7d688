// velt-cli script run as a program: output, record dump, errors, exit codes.

#include "text/CpLiteral.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

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

}  // namespace

TEST(ScriptCommand, RunsOverTheRecordAndDumpsIt) {
    TempDir dir;
    const std::string script = dir.Write("s.txt",
        "BEGIN\r\n"
        "  PRINT(REVERSE('Kowalski, Jan'))\r\n"
        "  GRUPA('245') WHILE OK GRUPA('Z') PRINT(POLE) BACK SKIP ENDDO\r\n"
        "  GRUPA('Z') POLE = 'Łódź'\r\n"_cp + "  BACK BACK\r\n"
        "END\r\n");
    const std::string record = dir.Write("r.txt", "245Z.1.1.1.1=Pierwszy\n*245Z.1.1.3.1=Trzeci\r\nbez znaku\r\n");
    const CliRun run = RunCli("script " + script + " --record " + record + " --dump", dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "Jan Kowalski\nPierwszy\nTrzeci\n"
              "245Z.1.1.1.1=Pierwszy\n*245Z.1.1.3.1=Trzeci\n245Z.1.1.4.1=Łódź\n");
}

TEST(ScriptCommand, RunsOverAnEmptyRecordWithoutDump) {
    TempDir dir;
    const std::string script = dir.Write("s.txt", "BEGIN GRUPA('1') POLE = 'x' BACK PRINT(SORT('b;a;', ';')) END");
    const CliRun run = RunCli("script " + script, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "a;b;\n");
}

TEST(ScriptCommand, ErrorsGoToStderrWithExitTwo) {
    TempDir dir;
    struct Case {
        std::string source;
        std::string out;
        std::string err;
    };
    const std::vector<Case> cases = {
        {"BEGIN PRINT(5) END", "", "@: Błędne wyrażenie 5 [jest: 5]\nLinia 1: \"BEGIN PRINT(5) END\"\n"},
        {"BEGIN PRINT('a') PRINT(CHR('x')) END", "a\n", "INTERPRETE: 'x' is not a valid integer value\n"},
        {"BEGIN BACK END", "", "ACT: błąd skryptu: za dużo BACK\n"},
        {"BEGIN GRUPA('1') END", "", "ACT_TCP: za mało BACK\n"},
        {"BEGIN PRINT(FIRST('a', 'b')) END", "", "INTERPRETE: Abstract Error\n"},
    };
    for (const auto& c : cases) {
        const std::string script = dir.Write("s.txt", c.source);
        const CliRun run = RunCli("script " + script, dir);
        EXPECT_EQ(run.status, 2) << c.source;
        EXPECT_EQ(run.out, c.out) << c.source;
        std::string expected = c.err;
        if (expected[0] == '@') expected.replace(0, 1, script);
        EXPECT_EQ(run.err, expected) << c.source;
    }
    const CliRun missing = RunCli("script " + dir.Path() + "none.txt", dir);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Brak pliku \"" + dir.Path() + "none.txt\"\n");
    const CliRun usage = RunCli("script", dir);
    EXPECT_EQ(usage.status, 1);
}

TEST(ScriptCommand, AMissingIncludeIsReportedButRuns) {
    TempDir dir;
    const std::string script = dir.Write("s.txt", "BEGIN\n[PLIK brak.txt]\nPRINT('x')\nEND\n");
    const CliRun run = RunCli("script " + script, dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "x\n");
    EXPECT_EQ(run.err, script + ": brak pliku \"" + dir.Path() + "brak.txt\"\n");
}
