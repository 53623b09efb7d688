#pragma once
// The converters between the system's texts and UTF-8.
//
// win_utf     Windows-1250 with escapes -> UTF-8
// utf_win     UTF-8 -> plain Windows-1250 ("?" for what the code page lacks)
// utf_veltwin UTF-8 -> Windows-1250 with escapes (nothing representable lost)
//
// UTF-8 input is read strictly and within its bounds: a malformed byte
// becomes one replacement ("?" or the escape of U+FFFD) and the bytes after
// it are read on their own. Characters above U+FFFF cannot be escaped and
// become U+FFFD.

#include "text/converter.h"

namespace velt {

class win_utf : public converter {
public:
    // Windows-1250 as UTF-8; an escape becomes its character.
    std::string Convert(std::string_view text) const override;
};

class utf_win : public converter {
public:
    // UTF-8 as Windows-1250; "?" for what the code page lacks.
    std::string Convert(std::string_view text) const override;
};

class utf_veltwin : public converter {
public:
    // UTF-8 as Windows-1250; what the code page lacks becomes an escape.
    std::string Convert(std::string_view text) const override;
};

// The Windows-1250 byte of a code point (the five undefined bytes standing
// for the C1 controls of the same value), or -1.
int Cp1250ByteOf(char32_t code);

// The shared instances.
const win_utf& WinUtf();
const utf_win& UtfWin();
const utf_veltwin& UtfVeltwin();

}  // namespace velt
