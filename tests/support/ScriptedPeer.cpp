#include "ScriptedPeer.h"

#include "wire/WireCodec.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velt::test {

PeerConnection::~PeerConnection() { Close(); }

void PeerConnection::Close() {
    if (mFd >= 0) ::close(mFd);
    mFd = -1;
}

void PeerConnection::Fail(const std::string& what) { failures.push_back(what); }

std::string PeerConnection::Read(std::size_t n) {
    std::string out;
    while (out.size() < n && mFd >= 0) {
        pollfd p{mFd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) break;
        char buf[65536];
        const ssize_t r = ::recv(mFd, buf, std::min(n - out.size(), sizeof buf), 0);
        if (r <= 0) break;
        out.append(buf, static_cast<std::size_t>(r));
    }
    return out;
}

std::uint8_t PeerConnection::ReadByte() {
    const std::string b = Read(1);
    return b.empty() ? 0xFF : static_cast<std::uint8_t>(b[0]);
}

std::int32_t PeerConnection::ReadInt() {
    const std::string b = Read(4);
    if (b.size() < 4) return -999999;
    return wire::ReadInteger(reinterpret_cast<const unsigned char*>(b.data()));
}

std::string PeerConnection::ReadText(const std::string& key) {
    std::string out;
    for (;;) {
        const std::string b = Read(1);
        if (b.empty() || b[0] == 0) break;
        out += b;
    }
    return wire::Unscrambled(key, out);
}

bool PeerConnection::ClientClosed(int timeoutMs) {
    pollfd p{mFd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return false;
    char c;
    return ::recv(mFd, &c, 1, MSG_PEEK) == 0;
}

bool PeerConnection::Quiet(int ms) {
    pollfd p{mFd, POLLIN, 0};
    return ::poll(&p, 1, ms) == 0;
}

void PeerConnection::Write(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size() && mFd >= 0) {
        const ssize_t w = ::send(mFd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (w <= 0) break;
        done += static_cast<std::size_t>(w);
    }
}

void PeerConnection::WriteInt(std::int32_t v) {
    std::string b;
    wire::AppendInteger(b, v);
    Write(b);
}

void PeerConnection::WriteText(const std::string& text, const std::string& key) {
    std::string b = wire::Scrambled(key, text);
    b.push_back('\0');
    Write(b);
}

void PeerConnection::WriteAnswers(const std::vector<std::string>& texts, const std::string& key) {
    std::string b;
    wire::AppendInteger(b, static_cast<std::int32_t>(texts.size()));
    for (const auto& t : texts) {
        b += wire::Scrambled(key, t);
        b.push_back('\0');
    }
    Write(b);
}

ScriptedPeer::ScriptedPeer(Script script, int maxConnections)
    : mScript(std::move(script)), mMax(maxConnections) {
    mListenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    setsockopt(mListenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sa.sin_port = 0;
    ::bind(mListenFd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    ::listen(mListenFd, 8);
    socklen_t len = sizeof sa;
    ::getsockname(mListenFd, reinterpret_cast<sockaddr*>(&sa), &len);
    mPort = ntohs(sa.sin_port);
    if (::pipe(mStopPipe) != 0) mStopPipe[0] = mStopPipe[1] = -1;
    mThread = std::thread([this] {
        for (int i = 0; i < mMax; ++i) {
            pollfd p[2] = {{mListenFd, POLLIN, 0}, {mStopPipe[0], POLLIN, 0}};
            const int n = ::poll(p, mStopPipe[0] >= 0 ? 2 : 1, 10000);
            if (n > 0 && (p[1].revents & POLLIN)) return;  // the peer is going away
            if (n <= 0) {
                std::lock_guard lock(mLock);
                mFailures.push_back("no connection came");
                return;
            }
            const int fd = ::accept4(mListenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) return;
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            PeerConnection c(fd);
            mScript(c);
            std::lock_guard lock(mLock);
            for (auto& f : c.failures) mFailures.push_back(f);
        }
    });
}

ScriptedPeer::~ScriptedPeer() {
    if (mStopPipe[1] >= 0 && ::write(mStopPipe[1], "x", 1) < 0) {
    }
    Join();
    if (mListenFd >= 0) ::close(mListenFd);
    for (int fd : mStopPipe)
        if (fd >= 0) ::close(fd);
}

std::vector<std::string> ScriptedPeer::Join() {
    if (mThread.joinable()) mThread.join();
    std::lock_guard lock(mLock);
    return mFailures;
}

int UnusedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    socklen_t len = sizeof sa;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
    ::close(fd);  // nothing listens: a connection is refused
    return ntohs(sa.sin_port);
}

}  // namespace velt::test
