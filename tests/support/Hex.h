#pragma once
// Byte texts in hex, so that a failing comparison shows the bytes.

#include <string>
#include <string_view>

namespace velt::test {

// "01 00 00 00" for the four bytes 1, 0, 0, 0.
inline std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i) out.push_back(' ');
        const auto b = static_cast<unsigned char>(bytes[i]);
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

}  // namespace velt::test

// Compares two byte texts and shows both in hex when they differ.
#define EXPECT_BYTES_EQ(actual, expected) EXPECT_EQ(::velt::test::Hex(actual), ::velt::test::Hex(expected))
#define ASSERT_BYTES_EQ(actual, expected) ASSERT_EQ(::velt::test::Hex(actual), ::velt::test::Hex(expected))
