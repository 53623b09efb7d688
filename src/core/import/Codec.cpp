#include "import/Codec.h"

#include <vector>

namespace velt {

namespace {

// The base-128 groups of n, most significant first, every one but the last
// with its top bit set.
void AppendBase128(std::string& out, std::uint32_t n) {
    char groups[5];
    int k = 0;
    do {
        groups[k++] = static_cast<char>(n & 0x7F);
        n >>= 7;
    } while (n != 0);
    while (k > 1) out.push_back(static_cast<char>(groups[--k] | 0x80));
    out.push_back(groups[0]);
}

}  // namespace

std::string Codec::EncodeElement(int cls, bool constructed, std::string_view content, std::uint32_t tag) {
    std::string out;
    out.reserve(content.size() + 10);
    const int first = (cls & 3) * 64 + (constructed ? 32 : 0);
    if (tag <= 30) {
        out.push_back(static_cast<char>(first + static_cast<int>(tag)));
    } else {
        out.push_back(static_cast<char>(first + 31));
        AppendBase128(out, tag);
    }
    const std::size_t n = content.size();
    if (n <= 127) {
        out.push_back(static_cast<char>(n));
    } else {
        int m = 0;
        for (std::size_t v = n; v != 0; v >>= 8) ++m;
        out.push_back(static_cast<char>(0x80 + m));
        for (int i = m - 1; i >= 0; --i) out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
    }
    out.append(content);
    return out;
}

std::string Codec::EncodeInteger(std::uint32_t n) {
    std::string out;
    bool started = false;
    for (int i = 3; i >= 0; --i) {
        const auto b = static_cast<unsigned char>((n >> (8 * i)) & 0xFF);
        if (!started && b == 0) continue;
        if (!started && b >= 0x80) out.push_back('\0');
        started = true;
        out.push_back(static_cast<char>(b));
    }
    if (out.empty()) out.push_back('\0');
    return out;
}

std::string Codec::EncodeOid(std::string_view dotted) {
    std::vector<std::uint32_t> arcs;
    std::size_t i = 0;
    while (i <= dotted.size()) {
        const std::size_t dot = dotted.find('.', i);
        const std::string_view part = dotted.substr(i, dot == std::string_view::npos ? std::string_view::npos : dot - i);
        if (part.empty() || part.size() > 10) return {};
        std::uint64_t v = 0;
        for (char c : part) {
            if (c < '0' || c > '9') return {};
            v = v * 10 + static_cast<std::uint64_t>(c - '0');
        }
        if (v > 0xFFFFFFFFu) return {};
        arcs.push_back(static_cast<std::uint32_t>(v));
        if (dot == std::string_view::npos) break;
        i = dot + 1;
    }
    if (arcs.size() < 2 || arcs[0] > 2 || (arcs[0] < 2 && arcs[1] >= 40)) return {};
    const std::uint64_t first = 40ull * arcs[0] + arcs[1];
    if (first > 0xFFFFFFFFu) return {};
    std::string out;
    AppendBase128(out, static_cast<std::uint32_t>(first));
    for (std::size_t k = 2; k < arcs.size(); ++k) AppendBase128(out, arcs[k]);
    return out;
}

std::string Codec::BitsOf(std::string_view content) {
    if (content.empty()) return {};
    std::string bits;
    bits.reserve((content.size() - 1) * 8);
    for (std::size_t i = 1; i < content.size(); ++i) {
        const auto b = static_cast<unsigned char>(content[i]);
        for (int k = 7; k >= 0; --k) bits.push_back((b >> k) & 1 ? '1' : '0');
    }
    const std::size_t unused = static_cast<unsigned char>(content[0]);
    bits.resize(unused >= bits.size() ? 0 : bits.size() - unused);
    return bits;
}

std::optional<std::uint32_t> Codec::DecodeInteger(std::string_view content) {
    std::size_t start = 0;
    // A leading zero octet only keeps the number positive.
    if (content.size() == 5 && content[0] == '\0') start = 1;
    if (content.empty() || content.size() - start > 4) return std::nullopt;
    std::uint32_t n = 0;
    for (std::size_t i = start; i < content.size(); ++i) n = (n << 8) | static_cast<unsigned char>(content[i]);
    return n;
}

}  // namespace velt
