#include "reports/PngWriter.h"

#include <array>

namespace velt {

namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

void PutBigEndian(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

void PutChunk(std::string& out, std::string_view type, std::string_view data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t from = out.size();
    out += type;
    out += data;
    PutBigEndian(out, Crc32(std::string_view(out).substr(from)));
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
    crc = ~crc;
    for (const char b : bytes) crc = kCrcTable[(crc ^ static_cast<unsigned char>(b)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t Adler32(std::string_view bytes, std::uint32_t adler) {
    constexpr std::uint32_t kBase = 65521;
    // 5552 bytes is the most that can be summed before the sums must be reduced.
    constexpr std::size_t kRun = 5552;
    std::uint32_t a = adler & 0xFFFF, b = adler >> 16;
    while (!bytes.empty()) {
        const std::size_t n = bytes.size() < kRun ? bytes.size() : kRun;
        for (std::size_t i = 0; i < n; ++i) {
            a += static_cast<unsigned char>(bytes[i]);
            b += a;
        }
        a %= kBase;
        b %= kBase;
        bytes.remove_prefix(n);
    }
    return b << 16 | a;
}

std::string StoredZlib(std::string_view bytes) {
    constexpr std::size_t kBlock = 65535;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / kBlock * 5 + 16);
    out += '\x78';  // deflate, 32K window
    out += '\x01';  // no dictionary, fastest; (0x78 * 256 + 0x01) is a multiple of 31
    std::size_t at = 0;
    do {
        const std::size_t n = bytes.size() - at < kBlock ? bytes.size() - at : kBlock;
        const bool last = at + n == bytes.size();
        out += static_cast<char>(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        out += static_cast<char>(n & 0xFF);
        out += static_cast<char>(n >> 8);
        out += static_cast<char>(~n & 0xFF);
        out += static_cast<char>((~n >> 8) & 0xFF);
        out.append(bytes.substr(at, n));
        at += n;
    } while (at < bytes.size());
    PutBigEndian(out, Adler32(bytes));
    return out;
}

std::string EncodeGreyPng(const GreyImage& image) {
    if (image.Width() < 1 || image.Height() < 1) return {};
    const auto width = static_cast<std::size_t>(image.Width());
    std::string raw;
    raw.reserve((width + 1) * static_cast<std::size_t>(image.Height()));
    const auto* pixels = reinterpret_cast<const char*>(image.Pixels().data());
    for (int y = 0; y < image.Height(); ++y) {
        raw += '\0';  // filter type None
        raw.append(pixels + static_cast<std::size_t>(y) * width, width);
    }
    std::string header;
    PutBigEndian(header, static_cast<std::uint32_t>(image.Width()));
    PutBigEndian(header, static_cast<std::uint32_t>(image.Height()));
    header += '\x08';  // bit depth
    header += '\x00';  // greyscale
    header += '\x00';  // deflate
    header += '\x00';  // adaptive filtering
    header += '\x00';  // no interlace
    std::string png = "\x89PNG\r\n\x1A\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace velt
