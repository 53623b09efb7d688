#pragma once
// The Z39.50 connection's single buffer: what is sent is assembled in it and
// what is received is held in it, 100,000 bytes at most. Reads come one byte
// at a time from the held bytes, refilled from the stream on demand. Every
// failure sets a sticky error with its text; afterwards reads give 0.
//
// This base class has no stream: bytes put in with Load are all there is,
// which is how held responses are decoded (tests, fuzzing, benchmarks).

#include <cstddef>
#include <string>
#include <string_view>
#include <memory>

namespace velt {

class UniSocket {
public:
    static constexpr std::size_t kBufferSize = 100000;
    static constexpr int kReadTimeoutMs = 15000;

    UniSocket();
    virtual ~UniSocket() = default;
    UniSocket(const UniSocket&) = delete;
    UniSocket& operator=(const UniSocket&) = delete;

    // Empties the buffer for the next exchange.
    void ResetBuffer();
    // Logs the APDU, appends it to the buffer and writes the buffer whole;
    // false (error set) when it does not fit or the stream takes it not.
    bool SendApdu(std::string_view apdu) { return SendApdu(apdu, apdu); }
    // The same, the log getting logged instead (the APDU with its secrets masked).
    bool SendApdu(std::string_view apdu, std::string_view logged);
    // The next received byte, waiting for the stream when none is held; 0
    // once the error is set.
    unsigned char ReadByte() {
        if (mPos <= mCount && !mError) return mBuffer[mPos++ - 1];
        return ReadByteSlow();
    }
    // Puts the last byte read back (not after a failure).
    void UnreadByte() {
        if (!mError && mPos > 1) --mPos;
    }
    // True (both consumed) when the next two bytes are the end-of-contents 00 00.
    bool AtEndOfContents();
    // Appends the next n bytes to out; false (error set) when they cannot all be had.
    bool ReadBytes(std::size_t n, std::string& out);
    // True when n more bytes after the read position still fit in the buffer.
    bool Fits(std::size_t n) const { return n <= kBufferSize - (mPos - 1); }

    // Sets the error unless one is set already (the first failure's text stays).
    void Fail(const std::string& text);
    bool Failed() const { return mError; }
    const std::string& ErrorText() const { return mErrorText; }

    // The bytes held now (positions 1 to the byte count).
    std::string_view Received() const;
    // Appends the held bytes to the log (after a whole response was decoded).
    void LogReceived();
    // The file every APDU sent and every response is appended to; empty: none.
    void SetLogFile(std::string path) { mLogFile = std::move(path); }
    // How long one wait for data may last.
    void SetReadTimeout(int ms) { mReadTimeoutMs = ms; }

    // Puts bytes into the buffer as if received; false when they do not fit.
    bool Load(std::string_view bytes);

    // The texts of the transport failures.
    static std::string TextClosed();
    static std::string TextTimeout();
    static std::string TextTooLarge();
    // The text of a malformed response for the reason given.
    static std::string TextMalformed(const std::string& reason);

protected:
    enum class Wait { Ready, Timeout, Error };
    // The stream: wait for data, read what has arrived (0 when closed, -1 on
    // an error), write some (-1 on an error or no progress). Without a stream
    // nothing ever arrives and nothing can be written.
    virtual Wait WaitForData(int timeoutMs, std::string& error);
    virtual long ReceiveSome(unsigned char* into, std::size_t n, std::string& error);
    virtual long SendSome(const unsigned char* data, std::size_t n, std::string& error);

private:
    unsigned char ReadByteSlow();
    // Reads more from the stream into the buffer; false (error set) when none came.
    bool Fill();
    void Log(std::string_view bytes);

    bool mError = false;
    std::string mErrorText;
    std::unique_ptr<unsigned char[]> mBuffer;  // kBufferSize bytes
    std::size_t mCount = 0;  // bytes held
    std::size_t mPos = 1;    // 1-based position of the next byte to hand out
    int mReadTimeoutMs = kReadTimeoutMs;
    std::string mLogFile;
};

}  // namespace velt
