// The fault switches and counters of the control port, and malformed
// requests: each closes its own connection with a line on stderr and leaves
// the server and the other connections as they were.

#include "text/utf.h"
#include "net/SearchRequests.h"
#include "net/IndexRequests.h"
#include "net/FileRequests.h"
#include "ServerTestSupport.h"
#include "wire/WireCodec.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace velt;
using namespace velt::test;
using namespace std::chrono_literals;

namespace {

class FaultsTest : public SharedServerTest {
protected:
    void SetUp() override {
        SharedServerTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(sServer->Control("reset"), "ok");
        c = Connect(*sServer);
        ASSERT_FALSE((*c)->Broken());
        char dir[] = "/tmp/velt-faults-XXXXXX";
        ASSERT_TRUE(::mkdtemp(dir));
        mDir = dir;
    }
    void TearDown() override {
        sServer->Control("clear");
        std::system(("rm -rf " + mDir).c_str());
    }
    std::unique_ptr<Client> c;
    std::string mDir;
};

TEST_F(FaultsTest, DelayedRepliesStillArrive) {
    ASSERT_EQ(sServer->Control("delay 300 55"), "ok");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(IndexFrom(**c, 21, 0, 5, "AU", ""));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    const auto quick = std::chrono::steady_clock::now();
    EXPECT_TRUE(IndexLast(**c, 21, 0, 5, "AU"));
    EXPECT_LT(std::chrono::steady_clock::now() - quick, 300ms);
    EXPECT_EQ(sServer->Control("delay 0 55"), "ok");
}

TEST_F(FaultsTest, AReplyCutHalfWayBreaksThatConnectionOnly) {
    auto other = Connect(*sServer);
    ASSERT_EQ(sServer->Control("close 55"), "ok");
    EXPECT_FALSE(IndexFrom(**c, 21, 0, 5, "TY", ""));
    EXPECT_TRUE((*c)->Broken());
    EXPECT_EQ((*c)->ErrorText().find("zerwane po"), 9u) << WinUtf().Convert((*c)->ErrorText());
    EXPECT_EQ(c->messages.back(), (*c)->ErrorText());
    EXPECT_TRUE(IndexFrom(**other, 21, 0, 5, "TY", ""));
    EXPECT_FALSE((*other)->Broken());
    // Once only: a new connection works.
    auto again = Connect(*sServer);
    EXPECT_TRUE(IndexFrom(**again, 21, 0, 5, "TY", ""));
}

TEST_F(FaultsTest, ACountOf51BreaksAnswersButIsNoEntryForRecords) {
    ASSERT_EQ(sServer->Control("count51 55"), "ok");
    EXPECT_FALSE(IndexFrom(**c, 21, 0, 5, "TY", ""));
    EXPECT_FALSE((*c)->Broken());
    EXPECT_TRUE(IndexFrom(**c, 21, 0, 5, "TY", ""));
    ASSERT_EQ(sServer->Control("count51 128"), "ok");
    EXPECT_EQ((*c)->Login("admin", "admin", ""), "Zła postać odpowiedzi (51)"_cp);
    EXPECT_TRUE((*c)->Broken());
}

TEST_F(FaultsTest, AnAbortedTransferLeavesNoFile) {
    ASSERT_EQ(sServer->Control("abort 120"), "ok");
    const std::string target = mDir + "/tmp.jpg";
    EXPECT_FALSE(GetFile(**c, "okladki/K3.jpg", target, nullptr));
    EXPECT_FALSE(FileExists(target));
    EXPECT_FALSE((*c)->Broken());
    EXPECT_TRUE(GetFile(**c, "okladki/K3.jpg", target, nullptr));
    // A transfer of several chunks aborts after the first.
    ASSERT_EQ((*c)->Login("admin", "admin", ""), "");
    WriteFile(mDir + "/big.bin", std::string(25000, 'x'));
    ASSERT_EQ(AttachmentAddAs(**c, "K2", "recenzja"_cp, mDir + "/big.bin", nullptr), "");
    ASSERT_EQ(sServer->Control("abort 220G"), "ok");
    std::vector<std::int64_t> done;
    EXPECT_FALSE(AttachmentGet(**c, "K2", "recenzja.bin", mDir + "/got.bin",
                                     [&](std::int64_t d, std::int64_t) { done.push_back(d); }));
    EXPECT_EQ(done, std::vector<std::int64_t>{10000});
    EXPECT_FALSE(FileExists(mDir + "/got.bin"));
    EXPECT_TRUE(AttachmentGet(**c, "K2", "recenzja.bin", mDir + "/got.bin", nullptr));
    EXPECT_EQ(ReadFile(mDir + "/got.bin"), std::string(25000, 'x'));
    EXPECT_EQ(AttachmentDelete(**c, "K2", "recenzja.bin"), "");
}

TEST_F(FaultsTest, CountersTellHowManyRoundTripsAnOperationCost) {
    const auto all = WalkIndex(**c, 21, 5, "WY");
    EXPECT_EQ(sServer->Count("55"), 1);
    EXPECT_EQ(sServer->Count("56"), static_cast<long>(all.size()));
    EXPECT_EQ(sServer->Count("30"), 1);
    Search(**c, "\"tytuł\" POCZĄTEK \"a\""_cp);
    EXPECT_EQ(sServer->Count("15"), 1);
    std::string flags;
    flags = GetFilters(**c).flags;
    EXPECT_EQ(sServer->Count("202G"), 1);
    EXPECT_EQ(sServer->Count("202"), 1);
    EXPECT_EQ(sServer->Control("counts").rfind("ok 15=1 202G=1 30=1 55=1 56=", 0), 0u);
}

// A raw connection for sending malformed bytes.
class Raw {
public:
    explicit Raw(int port) {
        mFd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(mFd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    ~Raw() { ::close(mFd); }
    void Send(const std::string& bytes) { ::send(mFd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    void EndWriting() { ::shutdown(mFd, SHUT_WR); }
    // True when the server closed the connection within ms (replies read and dropped).
    bool ClosedByServer(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        char buffer[4096];
        while (std::chrono::steady_clock::now() < end) {
            pollfd p{mFd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            const ssize_t got = ::recv(mFd, buffer, sizeof buffer, 0);
            if (got <= 0) return true;
        }
        return false;
    }

private:
    int mFd;
};

std::string Int(std::int32_t v) {
    std::string s;
    wire::AppendInteger(s, v);
    return s;
}

TEST_F(FaultsTest, MalformedRequestsCloseTheirConnectionOnly) {
    const std::string zero(1, '\0');
    const struct {
        const char* what;
        std::string bytes;
        bool endWriting;
        const char* complaint;
    } cases[] = {
        {"unknown code", "\x07", false, "unknown request code 7"},
        {"unknown letter", "\xDC" "Z", false, "unknown request 220 with byte 90"},
        {"truncated integer", "\x37\x15\x00", true, "truncated request"},
        {"truncated text", "\x0F" "abc", true, "truncated request"},
        {"text too long", "\x0F" + std::string(1100000, 'a') + zero, false, "text longer than"},
        {"kind out of range", "\x37" + Int(300) + Int(0) + Int(5) + "AU" + zero + zero, false, "index kind out of range: 300"},
        {"negative chunk", "\xDC" "AK1" + zero + "txt" + zero + Int(10) + Int(-5), false, "chunk size out of range"},
        {"chunks not adding up", "\xDC" "AK1" + zero + "txt" + zero + Int(20) + Int(5) + "12345" + Int(12) + Int(5) +
                                     "12345", false, "upload chunks do not add up"},
        {"status then garbage", "\x1E\xFE", true, "truncated request"},
    };
    for (const auto& t : cases) {
        const std::string before = sServer->Stderr();
        Raw raw(sServer->Port());
        raw.Send(t.bytes);
        if (t.endWriting) raw.EndWriting();
        EXPECT_TRUE(raw.ClosedByServer(5000)) << t.what;
        // The line on stderr names the fault.
        std::string added;
        for (int i = 0; i < 50 && added.find('\n') == std::string::npos; ++i) {
            std::this_thread::sleep_for(20ms);
            added = sServer->Stderr().substr(before.size());
        }
        EXPECT_NE(added.find(t.complaint), std::string::npos) << t.what << ": " << added;
        EXPECT_EQ(std::count(added.begin(), added.end(), '\n'), 1) << t.what << ": " << added;
        // The session opened before is unaffected, and so is a new one.
        EXPECT_TRUE(IndexFrom(**c, 21, 0, 5, "AU", "")) << t.what;
        auto fresh = Connect(*sServer);
        EXPECT_FALSE((*fresh)->Broken()) << t.what;
    }
    // Nothing of the broken uploads was stored.
    EXPECT_EQ(AttachmentList(**c, "K1"), "");
    EXPECT_FALSE((*c)->Broken());
}

TEST_F(FaultsTest, ServerStopsCleanlyOnSigterm) {
    ServerProcess::Options o;
    o.records = 20;
    ServerProcess server(o);
    ASSERT_TRUE(server.Ready()) << server.Why();
    auto idle = Connect(server);  // an idle client does not hold the server up
    EXPECT_EQ(server.Stop(), 0);
    EXPECT_NE(server.Stderr().find("velt-server: stopped"), std::string::npos);
}

}  // namespace
