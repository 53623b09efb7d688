#include "import/UniSocket.h"

#include "text/CpLiteral.h"

#include <cstdio>
#include <cstring>

namespace velt {

UniSocket::UniSocket() : mBuffer(new unsigned char[kBufferSize]) {}

std::string UniSocket::TextClosed() { return "Połączenie zostało przerwane"_cp; }
std::string UniSocket::TextTimeout() { return "Brak odpowiedzi w zadanym czasie"_cp; }
std::string UniSocket::TextTooLarge() { return "Odpowiedź serwera jest większa niż bufor (100000 bajtów)"_cp; }
std::string UniSocket::TextMalformed(const std::string& reason) {
    return "Błędna struktura odpowiedzi serwera Z39.50: "_cp + reason;
}

void UniSocket::ResetBuffer() {
    mCount = 0;
    mPos = 1;
}

void UniSocket::Fail(const std::string& text) {
    if (mError) return;
    mError = true;
    mErrorText = text;
}

bool UniSocket::SendApdu(std::string_view apdu, std::string_view logged) {
    if (mError) return false;
    Log(logged);
    if (apdu.size() > kBufferSize - mCount) {
        Fail("SEND: "_cp + "komunikat jest większy niż bufor"_cp);
        return false;
    }
    std::memcpy(mBuffer.get() + mCount, apdu.data(), apdu.size());
    mCount += apdu.size();
    std::size_t done = 0;
    while (done < mCount) {
        std::string error;
        const long w = SendSome(mBuffer.get() + done, mCount - done, error);
        if (w <= 0) {
            // A write that fails or takes nothing ends the exchange.
            Fail("SEND: "_cp + (error.empty() ? TextClosed() : error));
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    return true;
}

bool UniSocket::Fill() {
    if (mError) return false;
    if (mCount >= kBufferSize) {
        Fail(TextTooLarge());
        return false;
    }
    std::string error;
    switch (WaitForData(mReadTimeoutMs, error)) {
    case Wait::Timeout:
        Fail(TextTimeout());
        return false;
    case Wait::Error:
        Fail("READBYTE: "_cp + error);
        return false;
    case Wait::Ready:
        break;
    }
    const long r = ReceiveSome(mBuffer.get() + mCount, kBufferSize - mCount, error);
    if (r < 0) {
        Fail("READBYTE: "_cp + error);
        return false;
    }
    if (r == 0) {
        // Closed after part of a response: its lengths promised more than came.
        Fail(mCount > 0 ? TextMalformed("długość wykracza poza odebrane dane"_cp) : TextClosed());
        return false;
    }
    mCount += static_cast<std::size_t>(r);
    return true;
}

unsigned char UniSocket::ReadByteSlow() {
    while (mCount < mPos && !mError)
        if (!Fill()) break;
    if (mError) return 0;
    return mBuffer[mPos++ - 1];
}

bool UniSocket::AtEndOfContents() {
    const unsigned char first = ReadByte();
    if (mError) return false;
    if (first == 0) {
        const unsigned char second = ReadByte();
        if (mError) return false;
        if (second == 0) return true;
        UnreadByte();
    }
    UnreadByte();
    return false;
}

bool UniSocket::ReadBytes(std::size_t n, std::string& out) {
    if (mError) return false;
    if (!Fits(n)) {
        Fail(TextTooLarge());
        return false;
    }
    while (mCount - (mPos - 1) < n)
        if (!Fill()) return false;
    out.append(reinterpret_cast<const char*>(mBuffer.get() + mPos - 1), n);
    mPos += n;
    return true;
}

std::string_view UniSocket::Received() const {
    return std::string_view(reinterpret_cast<const char*>(mBuffer.get()), mCount);
}

void UniSocket::LogReceived() { Log(Received()); }

void UniSocket::Log(std::string_view bytes) {
    if (mLogFile.empty() || bytes.empty()) return;
    if (std::FILE* f = std::fopen(mLogFile.c_str(), "ab")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

bool UniSocket::Load(std::string_view bytes) {
    if (bytes.size() > kBufferSize - mCount) return false;
    std::memcpy(mBuffer.get() + mCount, bytes.data(), bytes.size());
    mCount += bytes.size();
    return true;
}

UniSocket::Wait UniSocket::WaitForData(int, std::string&) { return Wait::Ready; }

long UniSocket::ReceiveSome(unsigned char*, std::size_t, std::string&) { return 0; }

long UniSocket::SendSome(const unsigned char*, std::size_t, std::string& error) {
    error = TextClosed();
    return -1;
}

}  // namespace velt
