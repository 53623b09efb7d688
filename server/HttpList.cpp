#include "HttpList.h"

#include <cerrno>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>

namespace velt::server {

namespace {

bool Send(int fd, const std::string& bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t w = ::send(fd, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        at += static_cast<std::size_t>(w);
    }
    return true;
}

// The request's head, up to its blank line; empty when it does not come in time.
std::string ReadHead(int fd) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.find("\n\n") == std::string::npos && head.size() < 16384) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) return {};
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) return {};
        head.append(buffer, static_cast<std::size_t>(got));
    }
    return head;
}

}  // namespace

void ServeHttpList(int fd, const std::string& file, const std::string& mode) {
    if (ReadHead(fd).empty()) return;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string body = bytes.str();
    if (!in || mode == "404") {
        const std::string page = "<html><body>Nie ma takiej strony</body></html>";
        Send(fd, "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(page.size()) +
                     "\r\n\r\n" + page);
        return;
    }
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=windows-1250\r\n";
    if (mode == "nolength") {
        Send(fd, head + "\r\n" + body);
    } else if (mode == "chunked") {
        std::string out = head + "Transfer-Encoding: chunked\r\n\r\n";
        for (std::size_t at = 0; at < body.size(); at += 100) {
            const std::string piece = body.substr(at, 100);
            char size[16];
            std::snprintf(size, sizeof size, "%zx", piece.size());
            out += std::string(size) + "\r\n" + piece + "\r\n";
        }
        Send(fd, out + "0\r\n\r\n");
    } else if (mode == "short") {
        Send(fd, head + "Content-Length: " + std::to_string(body.size() + 1000) + "\r\n\r\n" + body);
    } else if (mode == "huge") {
        Send(fd, head + "Content-Length: 1000000000000000\r\n\r\n" + body.substr(0, 10));
        // The connection stays open a while, as a server sending a long body would.
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 2000);
    } else {
        Send(fd, head + "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    }
}

}  // namespace velt::server
