#include "catalogue/Identifiers.h"

#include <gtest/gtest.h>

using namespace velt;

TEST(Encode75, WritesBase75WithAFirstDigitOfUpTo90) {
    const struct {
        std::int64_t n;
        const char* text;
    } cases[] = {
        {0, "    0"}, {74, "    z"}, {75, "   !0"}, {90 * 75, "   z0"}, {91 * 75, "  !00"},
        {1, "    1"}, {90 * 75 + 74, "   zz"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Encode75(c.n), c.text) << c.n;
        EXPECT_EQ(Decode75(c.text), c.n) << c.text;
    }
}

TEST(Encode75, RoundTripsAndRefusesWhatDoesNotFitInFiveCharacters) {
    std::int64_t largest = -1;
    for (std::int64_t n = 0; n < 60'000'000; n = n * 3 / 2 + 1) {
        const std::string e = Encode75(n);
        if (e.empty()) break;
        ASSERT_EQ(e.size(), 5u) << n;
        ASSERT_EQ(Decode75(e), n) << n;
        largest = n;
    }
    EXPECT_GT(largest, 10'000'000);
    EXPECT_EQ(Encode75(-1), "");
    EXPECT_EQ(Encode75(std::int64_t{1} << 40), "");
}

TEST(Decode75, RefusesTextsThatAreNoNumbers) {
    for (const char* bad : {"", "     ", " \x01", "  a\x7f", "  ~00", "1234567", "\xff"}) EXPECT_EQ(Decode75(bad), -1) << bad;
    EXPECT_EQ(Decode75("zzzzzz"), -1);  // beyond 2^31 - 1
}

TEST(IdentifierRules, Velt1UsesRightAlignedDecimals) {
    IdentifierRules r(kVelt1, "");
    EXPECT_EQ(r.RecordIdentifier(123), "       123");
    EXPECT_EQ(r.StoredIdentifier("123"), "       123");
    EXPECT_EQ(r.RecordNumber("       123"), 123);
    EXPECT_EQ(r.ShownIdentifier("       123"), "123");
    for (const char* bad : {"", "   ", "12a", "-5", "0", "99999999999"}) EXPECT_EQ(r.RecordNumber(bad), 0) << bad;
}

TEST(IdentifierRules, Velt2UsesPrefixLettersAndBase75) {
    IdentifierRules r(kVelt2, "AB");
    const std::string five = "B" + Encode75(2);
    EXPECT_EQ(r.RecordIdentifier(5), five);
    EXPECT_EQ(r.RecordNumber(five), 5);
    EXPECT_EQ(r.ShownIdentifier(five), "B2");
    EXPECT_EQ(r.StoredIdentifier("B2"), five);
    EXPECT_EQ(r.RecordIdentifier(0), "");
    for (std::int32_t n : {1, 2, 3, 150, 12345, 2'000'000}) {
        const std::string id = r.RecordIdentifier(n);
        EXPECT_EQ(r.RecordNumber(id), n);
        EXPECT_EQ(r.StoredIdentifier(r.ShownIdentifier(id)), id);
    }
    // Untrusted texts never give a record outside 1..2^31-1.
    for (const char* bad : {"", "A", "C    1", "A\x01\x01\x01\x01\x01", "Azzzzz", "A    0"})
        EXPECT_EQ(r.RecordNumber(bad), 0) << bad;
    EXPECT_EQ(r.StoredIdentifier("B"), "     1");
    EXPECT_EQ(r.StoredIdentifier(""), "     1");
    EXPECT_EQ(r.StoredIdentifier("Bx1"), "     1");
    EXPECT_EQ(r.StoredIdentifier("B99999999999"), "     1");  // Encode75 cannot hold it
    EXPECT_EQ(r.ShownIdentifier("B\x01"), "");
    IdentifierRules none(kVelt2, "");
    EXPECT_EQ(none.RecordIdentifier(5), "");
    EXPECT_EQ(none.RecordNumber("A    1"), 0);
}

TEST(IdentifierRules, Velt3UsesPrefixLettersAndDecimals) {
    IdentifierRules r(kVelt3, "ABC");
    EXPECT_EQ(r.RecordIdentifier(7), "B2");  // 7 mod 3 = 1 -> "B", 7 div 3 = 2
    EXPECT_EQ(r.RecordNumber("B2"), 7);
    EXPECT_EQ(r.ShownIdentifier("B2"), "B2");
    EXPECT_EQ(r.StoredIdentifier(" B2"), " B2");
    for (const char* bad : {"", "B", "Bx", "D2", "B-1", "B99999999999"}) EXPECT_EQ(r.RecordNumber(bad), 0) << bad;
    EXPECT_EQ(r.RecordNumber("A0"), 0);
}
