#pragma once
// The one TCP connection to the catalogue server and the byte encoding of
// everything that crosses it.
//
// A request is built in a fixed 50000-byte buffer (PUTBYTE, PUTINTEGER,
// PUTSTRING), written out by SEND and its reply read with GETBYTE,
// GETINTEGER, GETSTRING and GETLONG. Exactly one request is in flight: the
// whole reply is read before the next BeginRequest.
//
// Failures never raise: the first one sets the sticky Broken flag and its
// text; after that puts and SEND do nothing but reset the buffer and reads
// return 0 or the empty text at once. VrSocket itself shows nothing.

#include "net/PosixSocket.h"
#include "net/VrTimer.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace velt {

class VrSocket {
public:
    static constexpr std::int32_t kBufferSize = 50000;
    // The longest text GETLONG takes: a reply without its terminating zero
    // must not grow until memory runs out.
    static constexpr std::size_t kLongTextLimit = std::size_t{64} << 20;

    // Connects (a host of digits and dots is a numeric address, any other is
    // resolved) and starts the keep-alive countdown; on failure the socket is
    // Broken with "Brak połączenia z serwerem HOST/PORT".
    VrSocket(const std::string& host, int port);
    // Works over a connection made elsewhere (a socketpair in tests).
    explicit VrSocket(int connectedFd);
    virtual ~VrSocket();
    VrSocket(const VrSocket&) = delete;
    VrSocket& operator=(const VrSocket&) = delete;

    // Stops the keep-alive (waiting for one under way) and empties the buffer.
    // When the server-wait hook gives up while a keep-alive holds the
    // connection, the connection breaks.
    void BeginRequest();
    void PUTBYTE(std::uint8_t b);
    void PUTINTEGER(std::int32_t v);
    // Appends the text and its zero byte, scrambled when a session key is
    // set; a text longer than the buffer is streamed through several SENDs.
    void PUTSTRING(std::string_view text);
    // Writes the buffer out; always leaves the buffer empty.
    void SEND();
    // 0 when Broken.
    std::uint8_t GETBYTE();
    // 0 when Broken.
    std::int32_t GETINTEGER();
    // The next zero-terminated text; it must fit in the buffer. Empty when Broken.
    std::string GETSTRING();
    // The next zero-terminated text of up to kLongTextLimit bytes; a longer
    // one breaks the connection with "Przekroczenie wielkości komunikatu".
    // Empty when Broken.
    std::string GETLONG();
    // Restarts the keep-alive countdown from its full value.
    void EndRequest();
    // Moves the unread bytes to the start of the buffer.
    void Compact();

    // The timer's callback; does nothing here.
    virtual void KeepAlive() {}

    bool Broken() const { return mBroken.load(std::memory_order_acquire); }
    // The text of the first failure; empty when none.
    std::string ErrorText() const;

    // The session scrambling key; only a key of at least 3 characters
    // beginning with "XX" scrambles.
    void SetKey(std::string key) { mKey = std::move(key); }
    const std::string& Key() const { return mKey; }

    // The longest wait for data, in tens of seconds (360: one hour). While it
    // waits the loop asks the server-wait hook (net/ServerWait.h) whether to
    // go on.
    std::int32_t WaitLimit = 360;

    // Buffer state: bytes held, and the 1-based position of the next unread byte.
    std::int32_t Length() const { return mLength; }
    std::int32_t Position() const { return mPosition; }

    // How many SENDs wrote something (a long text takes several).
    std::uint64_t SendCount() const { return mSendCount; }

    const std::string& Host() const { return mHost; }
    int Port() const { return mPort; }
    VrTimer& Timer() { return mTimer; }

protected:
    // Marks the connection broken with text, unless it already is. Any
    // thread may call it: a read waiting on another thread sees it within
    // one wait slice.
    void Fail(const std::string& text);
    // The text of a connection broken because the hook gave up.
    static std::string WaitFailureText(WaitDecision decision);

    // Makes n unread bytes available in one run of the buffer (moving the
    // unread bytes to the front when the free end is too small); false when
    // Broken or when n can never fit. opName prefixes the failure texts.
    bool Need(std::int32_t n, const char* opName);
    // The next unread byte, for taking a received chunk in place.
    unsigned char* UnreadData() { return mBuffer.data() + (mPosition - 1); }
    void Skip(std::int32_t n) { mPosition += n; }
    // Room left at the end of the buffer, and its start, for filling an
    // outgoing chunk in place.
    std::int32_t FreeSpace() const { return kBufferSize - mLength; }
    unsigned char* FreeEnd() { return mBuffer.data() + mLength; }
    void Commit(std::int32_t n) { mLength += n; }

    // Takes the timer off the keep-alive thread for good. A derived class
    // calls it first in its destructor, so that the callback never runs on a
    // half-destroyed object.
    void StopKeepAlive() { mTimer.Unregister(); }

private:
    // Waits for data and reads what has arrived into the free end. The
    // failure texts are those of the reading operation.
    bool ReadMore(const char* opName);
    bool WaitForData();
    std::string ReadText(bool limited);

    std::array<unsigned char, kBufferSize> mBuffer{};
    std::int32_t mLength = 0;
    std::int32_t mPosition = 1;
    std::uint64_t mSendCount = 0;
    PosixSocket mSocket;
    std::string mHost;
    int mPort = 0;
    std::string mKey;
    std::atomic<bool> mBroken{false};
    mutable std::mutex mErrorLock;
    std::string mErrorText;
    VrTimer mTimer;
};

}  // namespace velt
