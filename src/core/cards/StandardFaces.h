#pragma once
// The metrics of the faces the catalogue cards name by default — Times New
// Roman, Arial and Courier New, as their metric-compatible Liberation faces
// have them — built in, so that cards are laid out without a font library
// (velt-cli, the benchmarks). Any other face is measured as the one of the
// three it resembles most.

#include "cards/CardLayout.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace velt {

struct StandardFace {
    const char* family;
    bool bold, italic;
    int unitsPerEm, ascent, descent;
    const std::uint16_t* widths;  // the characters 32 to 255, in font units
};

// The twelve faces: each family regular, bold, italic, bold italic.
const std::vector<StandardFace>& StandardFaces();
// The face a font is measured with.
const StandardFace& StandardFaceFor(std::string_view family, bool bold, bool italic);

// A card measurer at a resolution over the built-in faces: the width of a
// text is the sum of its characters' advances, the height the face's ascent
// and descent, both scaled to the font's pixel height and rounded.
class StandardFaceMeasurer : public CardMeasurer {
public:
    explicit StandardFaceMeasurer(int resolution) : mResolution(resolution) {}
    int Resolution() const override { return mResolution; }
    int TextWidth(const CanvasFont& font, std::string_view text) override;
    int TextHeight(const CanvasFont& font) override;

private:
    int mResolution;
};

}  // namespace velt
