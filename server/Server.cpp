#include "Server.h"

#include "Connection.h"
#include "HttpList.h"
#include "TestControl.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velt::server {

namespace {

// A client connection as the request loop's byte source and sink.
class SocketStream : public ByteSource, public ByteSink {
public:
    explicit SocketStream(int fd) : mFd(fd) {}

    std::size_t Read(unsigned char* p, std::size_t n, bool betweenRequests) override {
        // An idle client may wait as long as it likes (its keep-alive comes
        // every few minutes); a request begun must be finished in time.
        const int timeout = betweenRequests ? -1 : 120000;
        for (;;) {
            pollfd pfd{mFd, POLLIN, 0};
            const int r = ::poll(&pfd, 1, timeout);
            if (r < 0 && errno == EINTR) continue;
            if (r == 0) throw ProtocolError("request not completed within 120 s");
            if (r < 0) return 0;
            const ssize_t got = ::recv(mFd, p, n, 0);
            if (got < 0 && errno == EINTR) continue;
            return got > 0 ? static_cast<std::size_t>(got) : 0;
        }
    }

    bool Write(const unsigned char* p, std::size_t n) override {
        while (n > 0) {
            const ssize_t w = ::send(mFd, p, n, MSG_NOSIGNAL);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return false;
            p += w;
            n -= static_cast<std::size_t>(w);
        }
        return true;
    }

    void Close() override { ::shutdown(mFd, SHUT_RDWR); }

private:
    int mFd;
};

int Bind(const std::string& address, int port, std::string& why) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, address.c_str(), &a.sin_addr) != 1) {
        why = "not an IPv4 address: " + address;
        return -1;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 64) != 0) {
        why = std::strerror(errno);
        ::close(fd);
        return -1;
    }
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return fd;
}

int BoundPort(int fd) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

std::string PeerName(const sockaddr_in& a) {
    char text[INET_ADDRSTRLEN] = "?";
    ::inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(a.sin_port));
}

// One control connection: command lines in, reply lines out.
void ServeControl(TestControl& control, int fd) {
    std::string pending;
    char buffer[1024];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) return;
        pending.append(buffer, static_cast<std::size_t>(got));
        if (pending.size() > 65536) return;
        for (auto nl = pending.find('\n'); nl != std::string::npos; nl = pending.find('\n')) {
            std::string line = pending.substr(0, nl);
            pending.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const std::string reply = control.Command(line) + "\n";
            if (::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL) < 0) return;
        }
    }
}

}  // namespace

Server::~Server() {
    Reap(true);
    if (mListenFd >= 0) ::close(mListenFd);
    if (mControlFd >= 0) ::close(mControlFd);
    if (mHttpFd >= 0) ::close(mHttpFd);
}

int Server::Listen(const std::string& address, int port, std::string& why) {
    mListenFd = Bind(address, port, why);
    return mListenFd < 0 ? -1 : BoundPort(mListenFd);
}

int Server::ListenControl(const std::string& address, int port, std::string& why) {
    mControlFd = Bind(address, port, why);
    return mControlFd < 0 ? -1 : BoundPort(mControlFd);
}

int Server::ListenHttp(const std::string& address, int port, const std::string& file, std::string& why) {
    mHttpFile = file;
    mHttpFd = Bind(address, port, why);
    return mHttpFd < 0 ? -1 : BoundPort(mHttpFd);
}

int Server::ActiveClients() {
    std::lock_guard lock(mLock);
    int n = 0;
    for (const Worker& w : mWorkers) n += !w.control && !w.done;
    return n;
}

void Server::Start(int fd, Port port, const std::string& peer) {
    const bool control = port != Port::Client;
    // A thread per connection, but not without end: past the cap a client is
    // closed at once and sees the connection refused.
    if (!control && ActiveClients() >= mConfig.maxConnections) {
        std::cerr << "velt-server: connection " << peer << " refused: " << mConfig.maxConnections
                  << " connections are served already" << std::endl;
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
        return;
    }
    std::lock_guard lock(mLock);
    Worker& w = mWorkers.emplace_back();
    w.fd = fd;
    w.control = control;
    w.thread = std::thread([this, &w, fd, port, peer] {
        if (port == Port::Control) {
            ServeControl(mControl, fd);
        } else if (port == Port::Http) {
            ServeHttpList(fd, mHttpFile, mControl.HttpMode());
        } else {
            const int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            SocketStream stream(fd);
            const std::string why = ServeConnection(mConfig, mControl, stream, stream);
            if (!why.empty()) std::cerr << "velt-server: connection " << peer << " closed: " << why << std::endl;
        }
        ::shutdown(fd, SHUT_RDWR);
        w.done = true;
    });
}

void Server::Reap(bool all) {
    std::list<Worker> finished;
    {
        std::lock_guard lock(mLock);
        for (auto it = mWorkers.begin(); it != mWorkers.end();) {
            if (all) ::shutdown(it->fd, SHUT_RDWR);
            if (all || it->done) {
                auto next = std::next(it);
                finished.splice(finished.end(), mWorkers, it);
                it = next;
            } else {
                ++it;
            }
        }
    }
    for (auto& w : finished) {
        w.thread.join();
        ::close(w.fd);
    }
}

void Server::Run(int stopFd) {
    for (;;) {
        pollfd fds[4] = {{stopFd, POLLIN, 0}, {mListenFd, POLLIN, 0}, {mControlFd, POLLIN, 0}, {mHttpFd, POLLIN, 0}};
        const nfds_t n = 4;  // a port not listened on is -1, and poll passes it by
        const int r = ::poll(fds, n, 1000);
        if (r < 0 && errno != EINTR) break;
        Reap(false);
        if (r <= 0) continue;
        if (fds[0].revents) break;
        for (nfds_t i = 1; i < n; ++i) {
            if (!(fds[i].revents & POLLIN)) continue;
            sockaddr_in peer{};
            socklen_t len = sizeof peer;
            const int fd = ::accept4(fds[i].fd, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC);
            if (fd >= 0) Start(fd, i == 2 ? Port::Control : i == 3 ? Port::Http : Port::Client, PeerName(peer));
        }
    }
    Reap(true);
}

}  // namespace velt::server
