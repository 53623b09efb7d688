#pragma once
// One byte table with a byte-for-byte conversion and a comparison through it:
// the case tables, the Polish collation order, the CP852 tables of the MARC-8
// converters. The character-set converters (win_utf, ala_win, ...) derive
// from it and replace Convert.

#include <array>
#include <string>
#include <string_view>

namespace velt {

class converter {
public:
    enum class Kind {
        Identity,       // every byte unchanged
        Upper,          // small letters to capitals (ť and ď to plain T and D)
        Lower,          // capitals to small letters (Ť and Ď stay)
        Collation,      // sort weights of the Polish order
        Cp852ToCp1250,  // code page 852 letters to their Windows-1250 bytes
        Cp1250ToCp852,  // the reverse
    };

    using Table = std::array<unsigned char, 256>;

    explicit converter(Kind kind = Kind::Identity);
    // A converter over a table of one's own.
    constexpr explicit converter(const Table& table) : mTable(table) {}
    virtual ~converter() = default;

    // Every byte replaced by its table value; the length does not change.
    virtual std::string Convert(std::string_view text) const;
    // -1, 0 or 1 comparing the table values byte by byte; a prefix is smaller.
    int Compare(std::string_view a, std::string_view b) const;
    // The table value of one byte.
    unsigned char Map(unsigned char byte) const { return mTable[byte]; }

protected:
    Table mTable;
};

// The shared tables: upper case (UP, case-insensitive comparisons), lower case
// (LO) and the collation order (">" and SORT).
extern const converter& UpperTable;
extern const converter& LowerTable;
extern const converter& CollationTable;

}  // namespace velt
