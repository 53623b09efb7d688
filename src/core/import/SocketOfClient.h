#pragma once
// The Z39.50 connection over TCP: the buffer of UniSocket filled from, and
// written to, one blocking client socket. The socket's own operations (a
// write waiting for room) give up after 5 seconds; a wait for a response
// after 15 seconds without data.

#include "import/UniSocket.h"
#include "net/PosixSocket.h"

#include <string>

namespace velt {

class SocketOfClient : public UniSocket {
public:
    static constexpr int kOperationTimeoutMs = 5000;

    SocketOfClient();
    // Connects to host:port (a name unless only digits and dots); false with
    // the error set when the connection could not be made.
    bool Connect(const std::string& host, int port);
    // Takes over a connected socket (tests).
    void Adopt(int fd) { mSocket.Adopt(fd); }
    bool IsOpen() const { return mSocket.IsOpen(); }

protected:
    Wait WaitForData(int timeoutMs, std::string& error) override;
    long ReceiveSome(unsigned char* into, std::size_t n, std::string& error) override;
    long SendSome(const unsigned char* data, std::size_t n, std::string& error) override;

private:
    PosixSocket mSocket;
};

}  // namespace velt
