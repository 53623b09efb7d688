// velt-cli reader and closed-orders without a server: what a script gets
// for a command it wrote wrong, and for a server that is not there.

#include "support/ScriptedPeer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

using velt::test::TempDir;

namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

CliRun RunCli(const std::string& args) {
    TempDir dir;
    const std::string errFile = dir.Path() + "stderr";
    CliRun r;
    FILE* p = ::popen((std::string(VELT_CLI) + " " + args + " 2>" + errFile).c_str(), "r");
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, p)) > 0;) r.out.append(buffer, got);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = TempDir::Read(errFile);
    return r;
}

}  // namespace

TEST(ReaderCommand, UsageMistakesExitOneWithoutTouchingAServer) {
    const std::string at = "--host 127.0.0.1 --port " + std::to_string(velt::test::UnusedPort()) + " ";
    for (const std::string args : {"reader", "reader lend --card 1 --password x", "reader identify --password x",
                                   "reader identify --name a --card 1 --password x", "reader account --card 1",
                                   "reader account --card 1 --password x --tab inne",
                                   "reader do --card 1 --password x", "reader do --card 1 --password x nic",
                                   "reader password --card 1 --password x", "reader copies",
                                   "closed-orders", "--user u --password p closed-orders --count 0"}) {
        SCOPED_TRACE(args);
        const CliRun r = RunCli(at + args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }
}

TEST(ReaderCommand, NoServerExitsThreeWithTheReason) {
    const CliRun r = RunCli("--host 127.0.0.1 --port " + std::to_string(velt::test::UnusedPort()) +
                            " reader identify --card 000123 --password anna");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(r.err.empty());
}
