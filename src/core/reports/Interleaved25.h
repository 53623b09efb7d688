#pragma once
// The reports' own Interleaved 2 of 5, drawn by a BAR element without
// MODE=: a row of modules (narrow bar 2, wide bar 6, narrow space 3, wide
// space 7) stretched to the box.

#include "reports/ReportCanvas.h"

#include <string>
#include <string_view>
#include <vector>

namespace velt {

// The modules of digits, true for a bar, start and stop included; an odd
// count of digits gets a "0" in front. Empty for an empty text.
std::vector<bool> Interleaved25Modules(std::string_view digits);

// Draws the symbol of digits in the box from (x, y), w by h pixels, module k
// (from 0) of m = w / modules covering x + round(k × m) up to
// x + round((k + 1) × m). The error text, with nothing drawn, when the text
// has anything but digits; an empty text draws nothing.
std::string DrawInterleaved25(ReportCanvas& canvas, std::string_view digits, int x, int y, int w, int h);

}  // namespace velt
