#pragma once
// What the reports draw on: the preview's picture, a printer's page, an image
// or vector file. Coordinates are device units (pixels of that surface),
// x to the right and y downwards. Each kind of mark is one operation, so a
// surface only has to know the marks the reports make.

#include <cstdint>

namespace velt {

// A rectangle of device units, from (left, top) up to but not including
// (right, bottom).
struct CanvasRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const CanvasRect&) const = default;
};

struct CanvasColour {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const CanvasColour&) const = default;
};

inline constexpr CanvasColour kCanvasBlack{0, 0, 0};
inline constexpr CanvasColour kCanvasWhite{255, 255, 255};

class ReportCanvas {
public:
    virtual ~ReportCanvas() = default;
    // Fills the rectangle with the colour; an empty rectangle draws nothing.
    // The surface's pen, brush and font are as they were afterwards.
    virtual void FillRect(const CanvasRect& rect, CanvasColour colour) = 0;
};

}  // namespace velt
