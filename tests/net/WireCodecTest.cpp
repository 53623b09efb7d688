#include "wire/WireCodec.h"

#include "support/Hex.h"

#include <gtest/gtest.h>

using namespace velt;

TEST(WireCodec, IntegersAreLittleEndianTwosComplement) {
    const struct {
        std::int32_t value;
        const char* bytes;
    } cases[] = {{1, "01 00 00 00"}, {-1, "FF FF FF FF"}, {0x12345678, "78 56 34 12"},
                 {INT32_MIN, "00 00 00 80"}, {0, "00 00 00 00"}};
    for (const auto& c : cases) {
        std::string b;
        wire::AppendInteger(b, c.value);
        EXPECT_EQ(test::Hex(b), c.bytes);
        EXPECT_EQ(wire::ReadInteger(reinterpret_cast<const unsigned char*>(b.data())), c.value);
    }
}

TEST(WireCodec, ScramblingRoundTripsEveryByteAndKeepsZerosWhereTheyWere) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string keys[] = {"XXa", "XXabc", "XXZażółć", "XXzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz",
                                "XX\x01", "XX\xFE\xFF", "XX\xFF"};
    for (const auto& key : keys) {
        // Every byte at every key position.
        for (std::size_t shift = 0; shift < key.size(); ++shift) {
            const std::string plain = all.substr(shift) + all.substr(0, shift);
            const std::string s = wire::Scrambled(key, plain);
            ASSERT_EQ(s.size(), plain.size());
            for (std::size_t i = 0; i < plain.size(); ++i)
                ASSERT_EQ(s[i] == 0, plain[i] == 0) << "key " << test::Hex(key) << " at " << i;
            EXPECT_NE(s, plain);
            EXPECT_BYTES_EQ(wire::Unscrambled(key, s), plain) << "key " << test::Hex(key);
        }
    }
}

TEST(WireCodec, ScramblingFollowsTheKeyCyclicallyFromItsThirdCharacter) {
    // 'A' (65) with key byte 'a' (97): (65 + 97) mod 255 + 1 = 163; then 'b' (98): 164.
    // The third byte wraps back to 'a'.
    EXPECT_BYTES_EQ(wire::Scrambled("XXab", "AAA"), "\xA3\xA4\xA3");
    // A zero byte still advances the key.
    EXPECT_BYTES_EQ(wire::Scrambled("XXab", std::string("A\0A", 3)), std::string("\xA3\0\xA3", 3));
}

TEST(WireCodec, KeysThatDoNotBeginWithXXOrAreShortLeaveDataUnchanged) {
    for (const std::string key : {"", "XX", "X", "xxabc", "YXabc", "abc"}) {
        EXPECT_FALSE(wire::KeyActive(key));
        EXPECT_EQ(wire::Scrambled(key, "Zażółć"), "Zażółć");
    }
}

TEST(WireCodec, EncodePasswordInterleavesTheDigitStringFromBothEnds) {
    // 10 + 1 + 'a' = 108 -> "3108"; 10 + 2 + 'b' = 110 -> "3110"; digits "31083110".
    EXPECT_EQ(wire::EncodePassword(10, "ab"), "03111038");
    EXPECT_EQ(wire::EncodePassword(12345, ""), "");
    // One-digit values: 6 and 8 give the digit string "1618".
    EXPECT_EQ(wire::EncodePassword(-60, "AB"), "8116");
    // Two-digit values give 3 characters each; the first is the last digit of
    // the last value, the second the length digit of the first value.
    const std::string two = wire::EncodePassword(-50, "AB");  // 16, 18 -> "216218"
    EXPECT_EQ(two, "821126");
    EXPECT_EQ(two[0], '8');
    EXPECT_EQ(two[1], '2');
    // A negative value keeps its minus sign: -100 + 1 + 'A' = -34 -> "3-34".
    EXPECT_EQ(wire::EncodePassword(-100, "A"), "433-");
    // High bytes count as 0..255: 256 -> "3256".
    EXPECT_EQ(wire::EncodePassword(0, "\xFF"), "6352");
    // A challenge near the top does not overflow; ten digits have the length
    // character ':' (48 + 10).
    EXPECT_EQ(wire::EncodePassword(INT32_MAX, "\x01"), "9:426134874");
}
