#pragma once
// What the integration tests against velt-server share: a client session on
// the server, the messages it reported, and small helpers over index walks
// and files.

#include "net/TVeltClient.h"
#include "net/IndexRequests.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace velt::test {

struct Client {
    std::vector<std::string> messages;
    std::unique_ptr<TVeltClient> session;
    TVeltClient* operator->() { return session.get(); }
    TVeltClient& operator*() { return *session; }
};

inline std::unique_ptr<Client> Connect(const ServerProcess& server) {
    auto c = std::make_unique<Client>();
    auto* messages = &c->messages;
    c->session = std::make_unique<TVeltClient>(
        "127.0.0.1", [messages](const std::string& m, SessionText) { messages->push_back(m); }, server.Port());
    return c;
}

// A test suite whose tests share one server (300 records).
class SharedServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sServer = new ServerProcess(); }
    static void TearDownTestSuite() {
        delete sServer;
        sServer = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(sServer->Ready()) << sServer->Why(); }
    static inline ServerProcess* sServer = nullptr;
};

// A suite sharing one server whose tests each get a connection of their
// own and a directory removed after the test.
class ConnectedServerTest : public SharedServerTest {
protected:
    void SetUp() override {
        SharedServerTest::SetUp();
        if (HasFatalFailure()) return;
        c = Connect(*sServer);
        ASSERT_FALSE((*c)->Broken()) << (*c)->ErrorText();
    }

    std::unique_ptr<Client> c;

private:
    TempDir mWork;

protected:
    const std::string dir = mWork.Path().substr(0, mWork.Path().size() - 1);  // without the final "/"
};

// An index entry as the tests look at it.
struct Entry {
    std::string key;
    std::vector<std::string> items;  // items[1..Count]
};

inline Entry ToEntry(const RecordPtr& r) {
    Entry e;
    e.key = r->Item(1);
    e.items.push_back({});
    for (int i = 1; i <= r->Count; ++i) e.items.push_back(r->Item(i));
    return e;
}

// Every entry of a kind 21 or 9 index (or a collection), from the first on.
inline std::vector<Entry> WalkIndex(TVeltClient& c, int kind, int parameter, const std::string& prefix,
                                    int format = 0) {
    std::vector<Entry> all;
    RecordPtr r = IndexFrom(c, kind, format, parameter, prefix, "");
    while (r && all.size() < 100000) {
        all.push_back(ToEntry(r));
        r = IndexNext(c, kind, format, parameter, prefix, all.back().key);
    }
    return all;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out << data;
}

inline bool FileExists(const std::string& path) { return std::ifstream(path).good(); }

// What velt-cli did: its exit status, standard output and standard error.
struct CliRun {
    int status = -1;
    std::string out, err;
};

// Runs velt-cli with args (read by the shell), input on its standard input.
inline CliRun RunCli(const std::string& args, const std::string& input = {}) {
    char in[] = "/tmp/velt-cli-in-XXXXXX";
    char err[] = "/tmp/velt-cli-err-XXXXXX";
    ::close(::mkstemp(in));
    ::close(::mkstemp(err));
    WriteFile(in, input);
    CliRun r;
    FILE* p = ::popen((ServerProcess::CliPath() + " " + args + " <" + in + " 2>" + err).c_str(), "r");
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, p)) > 0;) r.out.append(buffer, got);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadFile(err);
    std::remove(in);
    std::remove(err);
    return r;
}

}  // namespace velt::test
