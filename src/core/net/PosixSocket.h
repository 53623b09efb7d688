#pragma once
// The platform's blocking TCP client: one connected socket with a wait for
// readability, reads of what has arrived and writes bounded by the operation
// time-out. Failures come back as texts, never as exceptions or signals.

#include <cstddef>
#include <string>

namespace velt {

class PosixSocket {
public:
    PosixSocket() = default;
    ~PosixSocket();
    PosixSocket(const PosixSocket&) = delete;
    PosixSocket& operator=(const PosixSocket&) = delete;

    // Connects to host:port. A host made only of digits and dots is taken as
    // a numeric IPv4 address; any other host is resolved. Empty on success,
    // else the reason.
    std::string Connect(const std::string& host, int port, int timeoutMs);

    enum class Wait { Ready, Timeout, Error };
    // Waits up to timeoutMs for data (or the peer's close) to be readable.
    Wait WaitReadable(int timeoutMs, std::string& error);

    // Reads what has arrived, at most n bytes: > 0 bytes read, 0 when the peer
    // closed, -1 on an error (error set).
    long Receive(void* buffer, std::size_t n, std::string& error);

    // Writes part of the data, waiting at most the operation time-out for the
    // connection to take some: > 0 bytes written, -1 on an error or when
    // nothing could be written in time (error set). Never raises SIGPIPE.
    long Send(const void* data, std::size_t n, std::string& error);

    // Takes over a connected socket (a socketpair end in tests and fuzzing).
    void Adopt(int fd);

    bool IsOpen() const { return mFd >= 0; }
    void Close();
    // Ends both directions of the connection but keeps the descriptor: safe
    // while another thread waits on it (it wakes up), unlike Close.
    void Shutdown();

    void SetOperationTimeout(int ms) { mOperationTimeoutMs = ms; }

    // The platform error text for errno, in the system's language where we have one.
    static std::string ErrorText(int err);

    // The errno of the last failed Send or Receive.
    int LastError() const { return mLastError; }

private:
    int mFd = -1;
    int mOperationTimeoutMs = 5000;
    int mLastError = 0;
};

}  // namespace velt
