#pragma once
// The converters between MARC-8 (ALA) and the system's Windows-1250 texts.
//
// ala_win reads the accented letters MARC-8 writes as a combining mark
// before the base letter, and the few single-byte letters; any other byte
// from 128 up is taken as code page 852, which some older records carry.
// win_ala writes the same sequences back.

#include "text/converter.h"

namespace velt {

class ala_win : public converter {
public:
    ala_win();
    // MARC-8 as Windows-1250. A mark with no letter of its own for the base
    // letter keeps the base letter and follows it as an escaped combining
    // character.
    std::string Convert(std::string_view text) const override;

private:
    converter mCp852;
};

class win_ala : public converter {
public:
    // Windows-1250 as MARC-8; a byte with no sequence is copied, except where
    // it would read as a combining mark.
    std::string Convert(std::string_view text) const override;
};

// The Unicode combining character of a MARC-8 combining mark, 0 for a byte
// that is not one.
char32_t Marc8CombiningMark(unsigned char byte);

// The shared instances.
const ala_win& AlaWin();
const win_ala& WinAla();

}  // namespace velt
