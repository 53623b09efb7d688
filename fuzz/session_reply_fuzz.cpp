// The session's reply readers over arbitrary server bytes: the status text,
// login answers, a record reply, a file transfer and the keep-alive reply.
// Whatever the server sends, the client ends Broken or in step, never out of
// its buffer.

#include "net/TVeltClient.h"
#include "net/SearchRequests.h"
#include "net/ProgramRequests.h"
#include "net/IndexRequests.h"
#include "net/FileRequests.h"

#include <cstddef>
#include <cstdint>
#include <sys/socket.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 150000) return 0;  // stays within the socket pair's buffer
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) return 0;
    int big = 1 << 20;
    ::setsockopt(fds[1], SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
    ::setsockopt(fds[0], SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
    ::setsockopt(fds[0], SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t w = ::send(fds[1], data + done, size - done, MSG_NOSIGNAL);
        if (w <= 0) break;
        done += static_cast<std::size_t>(w);
    }
    ::shutdown(fds[1], SHUT_WR);  // the server has said everything
    {
        velt::TVeltClient client(fds[0], [](const std::string&, velt::SessionText) {});
        client.WaitLimit = 0;
        (void)client.Login("u", "p", "r");
        (void)IndexFrom(client, 21, 0, 5, "A", "");
        (void)GetFile(client, "f", "", nullptr);
        (void)Search(client, "q");
        std::string d;
        d = velt::GetFilters(client).flags;
        client.KeepAlive();
        (void)ReaderRequest(client, "&x=1");
    }
    ::close(fds[1]);
    return 0;
}
