#pragma once
// Record numbers and the identifiers that name records on the wire.
//
// Every record has a kind letter (its position p among the letters of the
// status parameter "rekordy", L letters in all) and a sequence number s within
// its kind; its record number is s * L + p - 1, as the client computes it.
// A VELT2 catalogue writes the identifier as the letter and the base-75 code
// of s (6 characters), a VELT3 catalogue as the letter and s in decimal; the
// identifier shown to users is the letter and s in decimal in both.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velt::server {

enum class DbKind { Velt2, Velt3 };

// The base-75 code of n, padded with spaces to 5 characters; empty when it
// needs more than 5.
std::string Encode75(std::uint32_t n);
// The number a base-75 code stands for; none for a malformed code.
std::optional<std::uint32_t> Decode75(std::string_view text);

class Identifiers {
public:
    Identifiers(DbKind kind, std::string letters) : mKind(kind), mLetters(std::move(letters)) {}

    DbKind Kind() const { return mKind; }
    const std::string& Letters() const { return mLetters; }

    // The record number of the s-th record of kind letter; 0 for an unknown letter.
    std::uint32_t Number(char letter, std::uint32_t seq) const;
    char Letter(std::uint32_t number) const;
    std::uint32_t Sequence(std::uint32_t number) const;
    // The identifier as the client stores it (the wire form).
    std::string Stored(std::uint32_t number) const;
    // The identifier as users see it: the letter and the decimal number.
    std::string Shown(std::uint32_t number) const;
    // The number of a stored or shown identifier; 0 when it names no record.
    // A VELT2 base-75 code is told from a decimal number by its padding.
    std::uint32_t Parse(std::string_view text) const;
    // The number of a shown identifier only (record lists, collection files).
    std::uint32_t ParseShown(std::string_view text) const;

private:
    DbKind mKind;
    std::string mLetters;
};

}  // namespace velt::server
