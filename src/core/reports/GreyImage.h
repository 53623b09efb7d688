#pragma once
// A canvas of 8-bit grey pixels in memory, for pictures written to files
// (velt-cli barcode --png) without a window system.

#include "reports/ReportCanvas.h"

#include <cstdint>
#include <vector>

namespace velt {

// The largest picture made: a side of 65536 pixels, 256 mebipixels in all.
inline constexpr int kMaxImageSide = 1 << 16;
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 28;

class GreyImage : public ReportCanvas {
public:
    // A picture filled with the background grey (255 white); an empty one
    // (0 by 0) when a side is below 1 or the picture would pass the bounds.
    GreyImage(int width, int height, std::uint8_t background = 255);

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    // Rows from the top, each Width() bytes.
    const std::vector<std::uint8_t>& Pixels() const { return mPixels; }
    std::uint8_t At(int x, int y) const { return mPixels[static_cast<std::size_t>(y) * mWidth + x]; }

    // Clipped to the picture; the colour becomes its luminance.
    void FillRect(const CanvasRect& rect, CanvasColour colour) override;

private:
    int mWidth = 0, mHeight = 0;
    std::vector<std::uint8_t> mPixels;
};

}  // namespace velt
