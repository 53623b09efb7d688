#pragma once
// A scripted catalogue server on loopback for byte-exact tests: it accepts
// connections on a port of its own choosing and runs a script against each
// one on its own thread. The script reads what the client sent and writes
// the reply bytes it wants; what it did not like is kept as a failure that the
// test checks after Join.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velt::test {

class PeerConnection {
public:
    explicit PeerConnection(int fd) : mFd(fd) {}
    ~PeerConnection();

    // Exactly n bytes, or fewer when the client closed or 5 s passed.
    std::string Read(std::size_t n);
    std::uint8_t ReadByte();
    std::int32_t ReadInt();
    // A zero-terminated text, unscrambled with key (the zero is dropped).
    std::string ReadText(const std::string& key = {});
    // True when the client closed the connection (waits up to timeoutMs).
    bool ClientClosed(int timeoutMs = 2000);
    // True when nothing arrives within ms.
    bool Quiet(int ms);

    void Write(const std::string& bytes);
    void WriteInt(std::int32_t v);
    // The text scrambled with key, and its zero byte.
    void WriteText(const std::string& text, const std::string& key = {});
    // An answer reply: the count, then the texts.
    void WriteAnswers(const std::vector<std::string>& texts, const std::string& key = {});
    void Close();

    // Records a failure of the script (shown by the test).
    void Fail(const std::string& what);
    std::vector<std::string> failures;

private:
    int mFd;
};

class ScriptedPeer {
public:
    using Script = std::function<void(PeerConnection&)>;
    // Listens on 127.0.0.1 and runs script for each of up to maxConnections
    // connections, one after another.
    explicit ScriptedPeer(Script script, int maxConnections = 1);
    ~ScriptedPeer();

    int Port() const { return mPort; }
    // Waits for the scripts to end; the failures they recorded.
    std::vector<std::string> Join();

private:
    Script mScript;
    int mListenFd = -1;
    int mStopPipe[2] = {-1, -1};  // written by the destructor: no more connections are awaited
    int mPort = 0;
    int mMax;
    std::thread mThread;
    std::mutex mLock;
    std::vector<std::string> mFailures;
};

// A port on loopback that nothing listens on.
int UnusedPort();

}  // namespace velt::test
