#pragma once
// Drawing the pages of a laid-out card on a report canvas: the preview's
// image (one screen pixel a pixel), a printer's page or a PDF page (r
// device pixels a screen pixel, the card placed at its offsets), from the
// same card lines.

#include "cards/CardLayout.h"
#include "reports/ReportCanvas.h"

namespace velt {

struct CardDrawTarget {
    double scale = 1;     // device pixels a screen pixel
    int resolution = 96;  // device pixels an inch, for the font sizes
    int offsetX = 0, offsetY = 0;  // where the card's corner is, device pixels
    bool printing = false;         // a central card's classification counts 1.2 line heights
};

struct CardPageExtent {
    int right = 0;   // the rightmost device pixel a text reached
    int bottom = 0;  // the lowest
};

// Draws the lines of one page of card: texts in their sections' fonts
// (S, Y and U right-aligned at x, an indented P line at x + its indent),
// the call numbers' frame line, and on a central card the branch table,
// the classification in its band above the table and only the paragraphs
// that fit above it, the last one drawn ending " [...]" when some are cut.
CardPageExtent DrawCardPage(ReportCanvas& canvas, const LaidOutCard& card, const CardPage& page,
                            const CardSettings& settings, const CardGeometry& geometry, const CardDrawTarget& target);

// Where a branch mark of a central card is drawn (column and row from 1),
// in screen pixels: its left and its cell's top.
void BranchCellOrigin(const CardGeometry& geometry, int column, int row, int& x, int& y);

}  // namespace velt
