#include "net/VrSocket.h"

#include "wire/WireCodec.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace velt {

namespace {

// What the peer's close is called in each reading operation. GETBYTE's text
// has been spelt this way for as long as servers and users have seen it.
std::string ClosedText(const char* op) {
    const std::string_view o(op);
    if (o == "GETBYTE") return "GETBYTE: zerwane połaczenie"_cp;
    if (o == "GETINTEGER") return "GETINTEGER: zerwane połączenie"_cp;
    if (o == "GETSTRING") return "GETSTRING: zerwane połączenie"_cp;
    return "GETLONG: zerwane połączenie"_cp;
}

std::string PlatformText(const char* op, const std::string& error) {
    if (std::string_view(op) == "GETINTEGER") return "GETINTEGER: Błąd połączenia "_cp + error;
    return std::string(op) + ": " + error;
}

}  // namespace

VrSocket::VrSocket(const std::string& host, int port)
    : mHost(host),
      mPort(port),
      mTimer(VrTimer::KeepAliveInterval() / 1000, [this] { KeepAlive(); }) {
    const std::string error = mSocket.Connect(host, port, 5000);
    if (error.empty() && mSocket.IsOpen()) {
        WaitLimit = 360;
        mSocket.SetOperationTimeout(5000);
        mTimer.Restart();
    } else {
        Fail("Brak połączenia z serwerem "_cp + host + "/" + std::to_string(port));
    }
}

VrSocket::VrSocket(int connectedFd)
    : mTimer(VrTimer::KeepAliveInterval() / 1000, [this] { KeepAlive(); }) {
    mSocket.Adopt(connectedFd);
    mTimer.Restart();
}

VrSocket::~VrSocket() { StopKeepAlive(); }

void VrSocket::Fail(const std::string& text) {
    std::lock_guard lock(mErrorLock);
    if (mBroken.load(std::memory_order_relaxed)) return;
    mErrorText = text;
    mBroken.store(true, std::memory_order_release);
    // Nothing more is sent or read: the server need not wait for us, and a
    // thread waiting on the socket wakes up.
    mSocket.Shutdown();
}

std::string VrSocket::ErrorText() const {
    std::lock_guard lock(mErrorLock);
    return mErrorText;
}

std::string VrSocket::WaitFailureText(WaitDecision decision) {
    return decision == WaitDecision::Interrupt ? "Przerwane przez użytkownika"_cp
                                               : "Przekroczony czas oczekiwania"_cp;
}

void VrSocket::BeginRequest() {
    const WaitDecision decision = mTimer.Stop();
    if (decision != WaitDecision::GoOn) Fail(WaitFailureText(decision));
    mLength = 0;
    mPosition = 1;
}

void VrSocket::EndRequest() { mTimer.Restart(); }

void VrSocket::Compact() {
    const std::int32_t unread = mLength - mPosition + 1;
    if (mPosition > 1 && unread > 0)
        std::memmove(mBuffer.data(), mBuffer.data() + (mPosition - 1), static_cast<std::size_t>(unread));
    mLength = std::max(unread, 0);
    mPosition = 1;
}

void VrSocket::PUTBYTE(std::uint8_t b) {
    if (Broken()) return;
    if (FreeSpace() < 1) SEND();
    mBuffer[static_cast<std::size_t>(mLength++)] = b;
}

void VrSocket::PUTINTEGER(std::int32_t v) {
    if (Broken()) return;
    if (FreeSpace() < 4) SEND();
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) mBuffer[static_cast<std::size_t>(mLength++)] = (u >> (8 * i)) & 0xFF;
}

void VrSocket::PUTSTRING(std::string_view text) {
    if (Broken()) return;
    std::string scrambled;
    if (wire::KeyActive(mKey)) {
        scrambled = wire::Scrambled(mKey, std::string(text));
        text = scrambled;
    }
    // Stream what does not fit: the peer sees one uninterrupted text.
    while (static_cast<std::int64_t>(mLength) + static_cast<std::int64_t>(text.size()) + 1 > kBufferSize) {
        const std::int32_t room = std::max<std::int32_t>(0, kBufferSize - 2 - mLength);
        const auto piece = std::min<std::size_t>(static_cast<std::size_t>(room), text.size());
        std::memcpy(mBuffer.data() + mLength, text.data(), piece);
        mLength += static_cast<std::int32_t>(piece);
        text.remove_prefix(piece);
        SEND();
        if (Broken()) return;
    }
    std::memcpy(mBuffer.data() + mLength, text.data(), text.size());
    mLength += static_cast<std::int32_t>(text.size());
    mBuffer[static_cast<std::size_t>(mLength++)] = 0;
}

void VrSocket::SEND() {
    if (mLength > 0 && !Broken()) {
        ++mSendCount;
        std::int32_t written = 0;
        while (written < mLength && !Broken()) {
            if (!mSocket.IsOpen()) {
                Fail("SEND: zerwane połączenie"_cp);
                break;
            }
            std::string error;
            const long w = mSocket.Send(mBuffer.data() + written,
                                        static_cast<std::size_t>(mLength - written), error);
            if (w < 0) {
                const int code = mSocket.LastError();
                if (code == EPIPE || code == ECONNRESET)
                    Fail("SEND: zerwane połączenie"_cp);
                else
                    Fail("SEND: " + error);
                break;
            }
            written += static_cast<std::int32_t>(w);
        }
    }
    mLength = 0;
    mPosition = 1;
}

bool VrSocket::WaitForData() {
    // The one-second waits are taken in slices, so that the hook can offer
    // the user a way out while the limit (3600 waits) stays what it was.
    constexpr std::int64_t kSlicesPerWait = 1000 / kWaitSlice.count();
    const std::int64_t limit = static_cast<std::int64_t>(WaitLimit) * 10 * kSlicesPerWait;
    WaitObserver observer;
    std::int64_t slices = 0;
    while (!Broken()) {
        std::string error;
        const auto w = mSocket.WaitReadable(static_cast<int>(kWaitSlice.count()), error);
        if (w == PosixSocket::Wait::Ready) return true;
        if (w == PosixSocket::Wait::Error || !mSocket.IsOpen()) {
            Fail("Zerwane połączenie"_cp);
            return false;
        }
        if (++slices > limit) {
            Fail("Przekroczony czas oczekiwania"_cp);
            return false;
        }
        const WaitDecision decision = observer.Slice();
        if (decision != WaitDecision::GoOn) {
            Fail(WaitFailureText(decision));
            return false;
        }
    }
    return false;
}

bool VrSocket::ReadMore(const char* opName) {
    if (!WaitForData()) return false;
    std::string error;
    const long r = mSocket.Receive(FreeEnd(), static_cast<std::size_t>(FreeSpace()), error);
    if (r == 0) {
        Fail(ClosedText(opName));
        mSocket.Close();
        return false;
    }
    if (r < 0) {
        Fail(PlatformText(opName, error));
        return false;
    }
    mLength += static_cast<std::int32_t>(r);
    return true;
}

bool VrSocket::Need(std::int32_t n, const char* opName) {
    if (Broken()) return false;
    if (n > kBufferSize || n < 0) {
        Fail("Przekroczenie wielkości komunikatu"_cp);
        return false;
    }
    while (mLength - mPosition + 1 < n) {
        if (mPosition - 1 + n > kBufferSize) Compact();
        if (!ReadMore(opName)) return false;
    }
    return true;
}

std::uint8_t VrSocket::GETBYTE() {
    if (!Need(1, "GETBYTE")) return 0;
    return mBuffer[static_cast<std::size_t>(mPosition++ - 1)];
}

std::int32_t VrSocket::GETINTEGER() {
    if (!Need(4, "GETINTEGER")) return 0;
    const std::int32_t v = wire::ReadInteger(mBuffer.data() + (mPosition - 1));
    mPosition += 4;
    return v;
}

std::string VrSocket::ReadText(bool limited) {
    const char* op = limited ? "GETSTRING" : "GETLONG";
    std::string result;
    if (Broken()) return result;
    std::int32_t start = mPosition;  // 1-based, like mPosition
    std::int32_t scan = mPosition;
    for (;;) {
        const unsigned char* base = mBuffer.data();
        const void* zero = scan <= mLength
                               ? std::memchr(base + (scan - 1), 0, static_cast<std::size_t>(mLength - scan + 1))
                               : nullptr;
        if (zero) {
            const auto end = static_cast<std::int32_t>(static_cast<const unsigned char*>(zero) - base) + 1;
            result.append(reinterpret_cast<const char*>(base + (start - 1)), static_cast<std::size_t>(end - start));
            mPosition = end + 1;
            if (result.size() > kLongTextLimit) {
                Fail("Przekroczenie wielkości komunikatu"_cp);
                return {};
            }
            break;
        }
        scan = mLength + 1;
        if (mLength == kBufferSize) {
            if (limited) {
                if (start == 1) {
                    Fail("Przekroczenie wielkości komunikatu"_cp);
                    return {};
                }
                // Make room by dropping what was read before this text.
                mPosition = start;
                Compact();
                scan -= start - 1;
                start = 1;
            } else {
                result.append(reinterpret_cast<const char*>(base + (start - 1)),
                              static_cast<std::size_t>(mLength - start + 1));
                if (result.size() > kLongTextLimit) {
                    Fail("Przekroczenie wielkości komunikatu"_cp);
                    return {};
                }
                mLength = 0;
                mPosition = 1;
                start = scan = 1;
            }
        }
        if (!ReadMore(op)) return {};
    }
    if (wire::KeyActive(mKey)) wire::Unscramble(mKey, reinterpret_cast<unsigned char*>(result.data()), result.size());
    return result;
}

std::string VrSocket::GETSTRING() { return ReadText(true); }

std::string VrSocket::GETLONG() { return ReadText(false); }

}  // namespace velt
