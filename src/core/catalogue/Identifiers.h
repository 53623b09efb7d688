#pragma once
// Record identifiers and record numbers. Records are named on the wire by
// identifiers whose form depends on the database kind; collections keep
// record numbers. Every conversion is total: texts from the server or the
// user are untrusted, and a failure gives 0, the empty text or "     1".

#include <cstdint>
#include <string>
#include <string_view>

namespace velt {

// The database kinds: "VELT1", "VELT2", "VELT3".
enum : std::uint8_t { kVelt1 = 0, kVelt2 = 1, kVelt3 = 2 };

// The base-75 text of n (at least 5 characters, spaces in front); empty when
// n is negative or needs 6 characters or more.
std::string Encode75(std::int64_t n);

// The number of a base-75 text (leading spaces dropped); -1 when the text is
// empty, holds a character outside the code's range, or the value exceeds
// 2^31 - 1.
std::int64_t Decode75(std::string_view text);

// Conversions for one database kind and its record-prefix letters.
class IdentifierRules {
public:
    IdentifierRules(std::uint8_t databaseKind, std::string prefixLetters)
        : mKind(databaseKind), mLetters(std::move(prefixLetters)) {}

    // The record number of an identifier; 0 (no record) for anything that is
    // not an identifier of a record 1..2^31-1.
    std::int32_t RecordNumber(std::string_view identifier) const;
    // The identifier of a record number; empty when there is none.
    std::string RecordIdentifier(std::int32_t number) const;
    // The identifier as shown to the user.
    std::string ShownIdentifier(std::string_view identifier) const;
    // The identifier a user's text stands for.
    std::string StoredIdentifier(std::string_view typed) const;

    std::uint8_t Kind() const { return mKind; }
    const std::string& Letters() const { return mLetters; }

private:
    // 1-based position of c among the prefix letters; 0 when absent.
    std::int64_t LetterPosition(char c) const;

    std::uint8_t mKind;
    std::string mLetters;
};

}  // namespace velt
