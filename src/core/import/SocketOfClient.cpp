#include "import/SocketOfClient.h"

namespace velt {

SocketOfClient::SocketOfClient() { mSocket.SetOperationTimeout(kOperationTimeoutMs); }

bool SocketOfClient::Connect(const std::string& host, int port) {
    const std::string error = mSocket.Connect(host, port, kOperationTimeoutMs);
    if (!error.empty()) {
        Fail(error);
        return false;
    }
    return mSocket.IsOpen();
}

UniSocket::Wait SocketOfClient::WaitForData(int timeoutMs, std::string& error) {
    switch (mSocket.WaitReadable(timeoutMs, error)) {
    case PosixSocket::Wait::Ready: return Wait::Ready;
    case PosixSocket::Wait::Timeout: return Wait::Timeout;
    case PosixSocket::Wait::Error: break;
    }
    return Wait::Error;
}

long SocketOfClient::ReceiveSome(unsigned char* into, std::size_t n, std::string& error) {
    return mSocket.Receive(into, n, error);
}

long SocketOfClient::SendSome(const unsigned char* data, std::size_t n, std::string& error) {
    return mSocket.Send(data, n, error);
}

}  // namespace velt
