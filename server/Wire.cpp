#include "Wire.h"

#include "wire/WireCodec.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace velt::server {

namespace {
constexpr std::size_t kChunk = 10000;  // the chunk size of both directions
}

void RequestReader::Fill() {
    if (mPos < mLen) return;
    mPos = mLen = 0;
    const std::size_t got = mSource.Read(mBuffer.data(), mBuffer.size(), false);
    if (got == 0) throw ProtocolError("truncated request");
    mLen = got;
}

bool RequestReader::NextRequest(std::uint8_t& code) {
    if (mPos >= mLen) {
        mPos = mLen = 0;
        const std::size_t got = mSource.Read(mBuffer.data(), mBuffer.size(), true);
        if (got == 0) return false;
        mLen = got;
    }
    code = mBuffer[mPos++];
    return true;
}

std::uint8_t RequestReader::Byte() {
    Fill();
    return mBuffer[mPos++];
}

std::int32_t RequestReader::Integer() {
    unsigned char b[4];
    for (auto& c : b) c = Byte();
    return wire::ReadInteger(b);
}

std::int32_t RequestReader::Integer(std::int32_t lo, std::int32_t hi, const char* what) {
    const std::int32_t v = Integer();
    if (v < lo || v > hi)
        throw ProtocolError(std::string(what) + " out of range: " + std::to_string(v));
    return v;
}

std::string RequestReader::Text(std::size_t limit) {
    std::string text;
    for (;;) {
        Fill();
        const unsigned char* start = mBuffer.data() + mPos;
        const auto* zero = static_cast<const unsigned char*>(std::memchr(start, 0, mLen - mPos));
        const std::size_t n = zero ? static_cast<std::size_t>(zero - start) : mLen - mPos;
        if (text.size() + n > limit)
            throw ProtocolError("text longer than " + std::to_string(limit) + " bytes");
        text.append(reinterpret_cast<const char*>(start), n);
        mPos += n;
        if (zero) {
            ++mPos;
            break;
        }
    }
    wire::Unscramble(mKey, reinterpret_cast<unsigned char*>(text.data()), text.size());
    return text;
}

std::string RequestReader::Text(std::size_t limit, bool& tooLong) {
    std::string text;
    tooLong = false;
    for (;;) {
        Fill();
        const unsigned char* start = mBuffer.data() + mPos;
        const auto* zero = static_cast<const unsigned char*>(std::memchr(start, 0, mLen - mPos));
        const std::size_t n = zero ? static_cast<std::size_t>(zero - start) : mLen - mPos;
        if (!tooLong && text.size() + n > limit) {
            tooLong = true;
            std::string().swap(text);
        }
        if (!tooLong) text.append(reinterpret_cast<const char*>(start), n);
        mPos += n;
        if (zero) {
            ++mPos;
            break;
        }
    }
    if (tooLong) return {};
    wire::Unscramble(mKey, reinterpret_cast<unsigned char*>(text.data()), text.size());
    return text;
}

void RequestReader::Chunk(unsigned char* p, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        Fill();
        const std::size_t take = std::min(n - done, mLen - mPos);
        std::memcpy(p + done, mBuffer.data() + mPos, take);
        mPos += take;
        done += take;
    }
    wire::Unscramble(mKey, p, n);
}

void ReplyWriter::Begin(const Faults& faults) {
    mOut.clear();
    mFaults = faults;
    mSuppressed = false;
}

void ReplyWriter::Bytes(const unsigned char* p, std::size_t n) {
    if (!mSuppressed) mOut.append(reinterpret_cast<const char*>(p), n);
}

void ReplyWriter::Integer(std::int32_t v) {
    if (mSuppressed) return;
    wire::AppendInteger(mOut, v);
}

void ReplyWriter::Text(std::string_view text) {
    if (mSuppressed) return;
    const std::size_t at = mOut.size();
    mOut.append(text);
    wire::Scramble(mKey, reinterpret_cast<unsigned char*>(mOut.data() + at), text.size());
    mOut.push_back('\0');
}

void ReplyWriter::Answers(const std::vector<std::string>& texts) {
    if (mFaults.count51) {
        Integer(51);
        mSuppressed = true;
        return;
    }
    const std::size_t n = mFaults.keepAnswers >= 0 ? std::min(texts.size(), static_cast<std::size_t>(mFaults.keepAnswers))
                                                   : texts.size();
    Integer(static_cast<std::int32_t>(n));
    for (std::size_t i = 0; i < n; ++i) Text(texts[i]);
}

void ReplyWriter::Record(const std::vector<std::string>& texts) { Answers(texts); }

void ReplyWriter::File(std::string_view data) {
    std::size_t sent = 0;
    bool first = true;
    do {
        const std::size_t remaining = data.size() - sent;
        if (mFaults.abortTransfer && (!first || remaining <= kChunk)) {
            AbortFile();
            return;
        }
        const std::size_t count = std::min(remaining, kChunk);
        Integer(static_cast<std::int32_t>(remaining));
        Integer(static_cast<std::int32_t>(count));
        const std::size_t at = mOut.size();
        Bytes(reinterpret_cast<const unsigned char*>(data.data() + sent), count);
        if (!mSuppressed) wire::Scramble(mKey, reinterpret_cast<unsigned char*>(mOut.data() + at), count);
        sent += count;
        first = false;
    } while (sent < data.size());
}

void ReplyWriter::AbortFile() { Integer(-1); }

void ReplyWriter::Flush() {
    if (mFaults.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(mFaults.delayMs));
    const auto* p = reinterpret_cast<const unsigned char*>(mOut.data());
    if (mFaults.closeMid) {
        // Half the reply, at least one byte short of the whole, then the close.
        const std::size_t half = mOut.size() / 2;
        if (half > 0) mSink.Write(p, half);
        mSink.Close();
        mOut.clear();
        throw ConnectionEnd{};
    }
    const bool ok = mOut.empty() || mSink.Write(p, mOut.size());
    mOut.clear();
    if (!ok) throw ConnectionEnd{};
}

}  // namespace velt::server
