// velt-cli status run as a program against velt-server: its output lines
// and its exit codes.

#include "ServerTestSupport.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

using namespace velt::test;

namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

CliRun RunCli(const std::string& args) {
    char errFile[] = "/tmp/velt-cli-err-XXXXXX";
    const int fd = ::mkstemp(errFile);
    ::close(fd);
    CliRun r;
    FILE* p = ::popen((ServerProcess::CliPath() + " " + args + " 2>" + errFile).c_str(), "r");
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, p)) > 0) r.out.append(buffer, got);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadFile(errFile);
    std::remove(errFile);
    return r;
}

TEST(CliStatus, PrintsTheParametersAndTheLogin) {
    ServerProcess::Options o;
    o.records = 20;
    ServerProcess server(o);
    ASSERT_TRUE(server.Ready()) << server.Why();
    const std::string where = "--host 127.0.0.1 --port " + std::to_string(server.Port());

    const CliRun plain = RunCli(where + " status");
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out.rfind("wersja=2025.01.01\nmessage=Witamy w katalogu demonstracyjnym\nedycja=1\nrekordy=KOT\n"
                              "formularze=K|Książka|O|Osoba|T|Temat|\n",
                              0),
              0u)
        << plain.out;
    EXPECT_EQ(plain.out.find("struktura"), std::string::npos);
    EXPECT_EQ(plain.out.find("rights="), std::string::npos);

    const CliRun admin = RunCli(where + " --user admin --password admin status");
    EXPECT_EQ(admin.status, 0) << admin.err;
    EXPECT_NE(admin.out.find("\nrights=modyfikowanie administrowanie\nprofile=administrator\n"), std::string::npos)
        << admin.out;

    const CliRun refused = RunCli(where + " --user admin --password zle status");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "Błędne hasło\n");
    const CliRun noRight = RunCli(where + " --user gosc --password gosc --right modyfikowanie status");
    EXPECT_EQ(noRight.status, 2);
    EXPECT_EQ(noRight.err, "Brak uprawnień\n");
}

TEST(CliStatus, NoServerMeansExitThree) {
    const int port = UnusedPort();
    const CliRun r = RunCli("--host 127.0.0.1 --port " + std::to_string(port) + " status");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Brak połączenia z serwerem 127.0.0.1/" + std::to_string(port) + "\n");
    EXPECT_EQ(r.out, "");
}

}  // namespace
