#include "net/PosixSocket.h"

#include "text/CpLiteral.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velt {

namespace {

bool OnlyDigitsAndDots(const std::string& host) {
    if (host.empty()) return false;
    for (char c : host)
        if (!((c >= '0' && c <= '9') || c == '.')) return false;
    return true;
}

// Connects fd to addr within timeoutMs; 0 on success, else an errno value.
int ConnectWithin(int fd, const sockaddr* addr, socklen_t len, int timeoutMs) {
    const int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int rc = ::connect(fd, addr, len);
    int err = 0;
    if (rc != 0) {
        if (errno != EINPROGRESS) return errno;
        pollfd p{fd, POLLOUT, 0};
        do {
            rc = ::poll(&p, 1, timeoutMs);
        } while (rc < 0 && errno == EINTR);
        if (rc == 0) return ETIMEDOUT;
        if (rc < 0) return errno;
        socklen_t el = sizeof err;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &el) != 0) return errno;
        if (err != 0) return err;
    }
    fcntl(fd, F_SETFL, flags);
    return 0;
}

}  // namespace

PosixSocket::~PosixSocket() { Close(); }

void PosixSocket::Close() {
    if (mFd >= 0) {
        ::close(mFd);
        mFd = -1;
    }
}

void PosixSocket::Shutdown() {
    if (mFd >= 0) ::shutdown(mFd, SHUT_RDWR);
}

void PosixSocket::Adopt(int fd) {
    Close();
    mFd = fd;
}

std::string PosixSocket::ErrorText(int err) {
    switch (err) {
    case ECONNREFUSED: return "Połączenie odrzucone"_cp;
    case ECONNRESET: return "Połączenie zerwane przez serwer"_cp;
    case EPIPE: return "Połączenie zamknięte przez serwer"_cp;
    case ETIMEDOUT: return "Przekroczony czas operacji"_cp;
    case EHOSTUNREACH: return "Serwer nieosiągalny"_cp;
    case ENETUNREACH: return "Sieć nieosiągalna"_cp;
    case ENOTCONN: return "Brak połączenia"_cp;
    default: return std::strerror(err);
    }
}

std::string PosixSocket::Connect(const std::string& host, int port, int timeoutMs) {
    Close();
    if (port < 1 || port > 65535) return "Błędny numer portu"_cp;
    if (OnlyDigitsAndDots(host)) {
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(static_cast<uint16_t>(port));
        if (inet_pton(AF_INET, host.c_str(), &sa.sin_addr) != 1) return "Błędny adres"_cp;
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return ErrorText(errno);
        const int err = ConnectWithin(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa, timeoutMs);
        if (err != 0) {
            ::close(fd);
            return ErrorText(err);
        }
        mFd = fd;
    } else {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* list = nullptr;
        const std::string service = std::to_string(port);
        const int gai = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
        if (gai != 0) return gai_strerror(gai);
        int lastErr = ECONNREFUSED;
        for (addrinfo* a = list; a && mFd < 0; a = a->ai_next) {
            const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
            if (fd < 0) {
                lastErr = errno;
                continue;
            }
            lastErr = ConnectWithin(fd, a->ai_addr, a->ai_addrlen, timeoutMs);
            if (lastErr == 0)
                mFd = fd;
            else
                ::close(fd);
        }
        ::freeaddrinfo(list);
        if (mFd < 0) return ErrorText(lastErr);
    }
    const int one = 1;
    setsockopt(mFd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return {};
}

PosixSocket::Wait PosixSocket::WaitReadable(int timeoutMs, std::string& error) {
    if (mFd < 0) {
        error = ErrorText(ENOTCONN);
        return Wait::Error;
    }
    pollfd p{mFd, POLLIN, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, timeoutMs);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
        error = ErrorText(errno);
        return Wait::Error;
    }
    // A hang-up or an error also makes the socket readable: the read that
    // follows returns 0 or the error.
    return rc == 0 ? Wait::Timeout : Wait::Ready;
}

long PosixSocket::Receive(void* buffer, std::size_t n, std::string& error) {
    if (mFd < 0) {
        error = ErrorText(ENOTCONN);
        return -1;
    }
    for (;;) {
        const ssize_t r = ::recv(mFd, buffer, n, 0);
        if (r >= 0) return static_cast<long>(r);
        if (errno == EINTR) continue;
        if (errno == ECONNRESET) return 0;  // the peer is gone: the same as a close
        mLastError = errno;
        error = ErrorText(errno);
        return -1;
    }
}

long PosixSocket::Send(const void* data, std::size_t n, std::string& error) {
    if (mFd < 0) {
        error = ErrorText(ENOTCONN);
        return -1;
    }
    for (;;) {
        const ssize_t w = ::send(mFd, data, n, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (w > 0) return static_cast<long>(w);
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            mLastError = errno;
            error = ErrorText(errno);
            return -1;
        }
        // The connection takes nothing now: wait for room, but not forever.
        pollfd p{mFd, POLLOUT, 0};
        int rc;
        do {
            rc = ::poll(&p, 1, mOperationTimeoutMs);
        } while (rc < 0 && errno == EINTR);
        if (rc <= 0) {
            mLastError = rc == 0 ? ETIMEDOUT : errno;
            error = ErrorText(mLastError);
            return -1;
        }
    }
}

}  // namespace velt
