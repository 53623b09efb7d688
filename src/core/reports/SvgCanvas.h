#pragma once
// A canvas that writes its marks as an SVG document, one element each.

#include "reports/ReportCanvas.h"

#include <string>

namespace velt {

class SvgCanvas : public ReportCanvas {
public:
    // A drawing of width by height device units on a white ground.
    SvgCanvas(int width, int height);

    void FillRect(const CanvasRect& rect, CanvasColour colour) override;

    // The whole document, from the XML declaration to the closing tag.
    std::string Document() const;

private:
    int mWidth, mHeight;
    std::string mBody;
};

}  // namespace velt
