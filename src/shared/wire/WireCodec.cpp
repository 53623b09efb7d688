#include "wire/WireCodec.h"

namespace velt::wire {

void AppendInteger(std::string& out, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
    out.push_back(static_cast<char>((u >> 16) & 0xFF));
    out.push_back(static_cast<char>((u >> 24) & 0xFF));
}

std::int32_t ReadInteger(const unsigned char* p) {
    const std::uint32_t u = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) |
                            (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
    return static_cast<std::int32_t>(u);
}

bool KeyActive(std::string_view key) {
    return key.size() >= 3 && key[0] == 'X' && key[1] == 'X';
}

void Scramble(std::string_view key, unsigned char* data, std::size_t n) {
    if (!KeyActive(key)) return;
    std::size_t k = 2;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned a = data[i];
        const unsigned kb = static_cast<unsigned char>(key[k]);
        if (a != 0) data[i] = static_cast<unsigned char>(((a + kb) % 255) + 1);
        if (++k == key.size()) k = 2;
    }
}

void Unscramble(std::string_view key, unsigned char* data, std::size_t n) {
    if (!KeyActive(key)) return;
    std::size_t k = 2;
    for (std::size_t i = 0; i < n; ++i) {
        const int a = data[i];
        const int kb = static_cast<unsigned char>(key[k]);
        if (a != 0) {
            // One addition of 255 is not always enough: with the byte 255 and
            // the key byte 255 the scrambled byte is 1, and 1 - 255 - 1 needs
            // two additions to come back to 255.
            int v = a - kb - 1;
            while (v <= 0) v += 255;
            data[i] = static_cast<unsigned char>(v);
        }
        if (++k == key.size()) k = 2;
    }
}

std::string Scrambled(std::string_view key, std::string text) {
    Scramble(key, reinterpret_cast<unsigned char*>(text.data()), text.size());
    return text;
}

std::string Unscrambled(std::string_view key, std::string text) {
    Unscramble(key, reinterpret_cast<unsigned char*>(text.data()), text.size());
    return text;
}

std::string EncodePassword(std::int32_t challenge, std::string_view text) {
    std::string digits;
    digits.reserve(text.size() * 13);
    for (std::size_t i = 0; i < text.size(); ++i) {
        // 64 bits: the challenge comes from the server and may be anything.
        const std::int64_t v = std::int64_t{challenge} + static_cast<std::int64_t>(i + 1) +
                               static_cast<unsigned char>(text[i]);
        const std::string dec = std::to_string(v);
        digits.push_back(static_cast<char>('0' + dec.size()));
        digits += dec;
    }
    std::string out;
    out.reserve(digits.size());
    std::size_t lo = 0, hi = digits.size();
    bool fromEnd = true;
    while (lo < hi) {
        out.push_back(fromEnd ? digits[--hi] : digits[lo++]);
        fromEnd = !fromEnd;
    }
    return out;
}

}  // namespace velt::wire
