// velt-cli status run as a program against velt-server: its output lines
// and its exit codes.

#include "ServerTestSupport.h"
#include "support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/wait.h>

using namespace velt::test;

namespace {


TEST(CliStatus, PrintsTheParametersAndTheLogin) {
    ServerProcess::Options o;
    o.records = 20;
    ServerProcess server(o);
    ASSERT_TRUE(server.Ready()) << server.Why();
    const std::string where = "--host 127.0.0.1 --port " + std::to_string(server.Port());

    const CliRun plain = RunCli(where + " status");
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out.rfind("wersja=2025.01.01\nmessage=Witamy w katalogu demonstracyjnym\nedycja=1\nrekordy=KOTU\n"
                              "formularze=K|Książka|O|Osoba|T|Temat|U|Rekord MARC 21|\n",
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

TEST(CliCatalogue, IndexesAndBrowsingForwardAndBackward) {
    ServerProcess::Options o;
    o.records = 50;
    ServerProcess server(o);
    ASSERT_TRUE(server.Ready()) << server.Why();
    const std::string where = "--host 127.0.0.1 --port " + std::to_string(server.Port());

    const CliRun indexes = RunCli(where + " indexes");
    EXPECT_EQ(indexes.status, 0) << indexes.err;
    EXPECT_EQ(indexes.out.rfind("autor\ntytuł\ntemat\n", 0), 0u) << indexes.out;

    auto lines = [](const std::string& out) {
        std::vector<std::string> v;
        for (std::size_t from = 0, nl; (nl = out.find('\n', from)) != std::string::npos; from = nl + 1)
            v.push_back(out.substr(from, nl - from));
        return v;
    };
    const CliRun forward = RunCli(where + " browse autor --count 5");
    EXPECT_EQ(forward.status, 0) << forward.err;
    const auto f = lines(forward.out);
    ASSERT_EQ(f.size(), 5u) << forward.out;
    for (const auto& l : f) {
        ASSERT_NE(l.find('\t'), std::string::npos) << l;
        EXPECT_EQ(l[0], 'K') << "a shown identifier first: " << l;
        EXPECT_EQ(l.find('\x1b'), std::string::npos) << "no markup is left: " << l;
    }
    // Walking backward from the end gives the last entries in reverse.
    const CliRun all = RunCli(where + " browse autor --count 1000");
    const auto a = lines(all.out);
    const CliRun backward = RunCli(where + " browse autor --count 3 --backward");
    const auto b = lines(backward.out);
    ASSERT_EQ(b.size(), 3u);
    ASSERT_GE(a.size(), 3u);
    EXPECT_EQ(b[0], a[a.size() - 1]);
    EXPECT_EQ(b[2], a[a.size() - 3]);
    // From a text: the first entry at or after it.
    const std::string second = a[1].substr(a[1].find('\t') + 1, 3);
    const CliRun from = RunCli(where + " browse autor --count 1 --from '" + second + "' --format 'Opis pełny'");
    EXPECT_EQ(from.status, 0) << from.err;
    EXPECT_EQ(from.out.find('\t') != std::string::npos, true) << from.out;

    const CliRun unknown = RunCli(where + " browse nieznany");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "Nieznany indeks: nieznany\n");
    const CliRun badFormat = RunCli(where + " browse autor --format brak");
    EXPECT_EQ(badFormat.status, 2);
}

// The server drops the connection in the middle of a walk: the entries read
// so far are printed, the failure once, and the program ends normally.
TEST(CliCatalogue, AConnectionDroppedInTheMiddleOfAWalkEndsWithOneMessage) {
    ServerProcess::Options o;
    o.records = 50;
    ServerProcess server(o);
    ASSERT_TRUE(server.Ready()) << server.Why();
    const std::string where = "--host 127.0.0.1 --port " + std::to_string(server.Port());
    ASSERT_EQ(server.Control("close 56 1").rfind("ok", 0), 0u);
    const CliRun r = RunCli(where + " browse tytuł --count 20");
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << "the first entry came before the drop: " << r.out;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("zerwane po"), std::string::npos) << r.err;
}

// A server that stops answering ends the command after --timeout seconds.
TEST(CliStatus, TimeoutEndsAWaitForASilentServer) {
    ServerProcess::Options o;
    o.records = 20;
    ServerProcess server(o);
    ASSERT_TRUE(server.Ready()) << server.Why();
    const std::string where = "--host 127.0.0.1 --port " + std::to_string(server.Port());
    ASSERT_EQ(server.Control("delay 3000 55").rfind("ok", 0), 0u);
    const auto start = std::chrono::steady_clock::now();
    const CliRun r = RunCli(where + " --timeout 1 browse autor --count 3");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(r.err, "Przekroczony czas oczekiwania\n");
    EXPECT_LT(took, std::chrono::seconds(4));
    const CliRun bad = RunCli(where + " --timeout 0 status");
    EXPECT_EQ(bad.status, 1);
    server.Control("clear");
}

TEST(CliStatus, NoServerMeansExitThree) {
    const int port = UnusedPort();
    const CliRun r = RunCli("--host 127.0.0.1 --port " + std::to_string(port) + " status");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Brak połączenia z serwerem 127.0.0.1/" + std::to_string(port) + "\n");
    EXPECT_EQ(r.out, "");
}

}  // namespace
