#pragma once
// The accented characters of the palette window, in button order, and where
// each button stands: in columns of two, the first of a pair on top.

#include "text/CpLiteral.h"

#include <string>

namespace velt {

// The palette's characters (Windows-1250).
inline std::string DiacriticPalette() {
    return "áÁâÂăĂäÄçÇčČďĎđĐéÉëËěĚíÍîÎľĽĺĹňŇôÔőŐöÖŕŔřŘşŞšŠţŢťŤůŮúÚűŰüÜýÝžŽ®©€§ß"_cp;
}

inline constexpr int kPaletteButtonWidth = 16;
inline constexpr int kPaletteButtonHeight = 20;

struct PalettePosition {
    int x, y;
};

// The top-left corner of button i.
constexpr PalettePosition PaletteButtonPosition(int i) {
    return {(i / 2) * kPaletteButtonWidth, (i % 2) * kPaletteButtonHeight};
}

}  // namespace velt
