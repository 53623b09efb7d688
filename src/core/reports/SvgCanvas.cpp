#include "reports/SvgCanvas.h"

#include <cstdio>

namespace velt {

SvgCanvas::SvgCanvas(int width, int height) : mWidth(width < 0 ? 0 : width), mHeight(height < 0 ? 0 : height) {}

void SvgCanvas::FillRect(const CanvasRect& rect, CanvasColour colour) {
    if (rect.Empty()) return;
    char line[160];
    std::snprintf(line, sizeof line, "<rect x=\"%d\" y=\"%d\" width=\"%lld\" height=\"%lld\" fill=\"#%02X%02X%02X\"/>\n",
                  rect.left, rect.top, static_cast<long long>(rect.right) - rect.left,
                  static_cast<long long>(rect.bottom) - rect.top, colour.red, colour.green, colour.blue);
    mBody += line;
}

std::string SvgCanvas::Document() const {
    char head[256];
    std::snprintf(head, sizeof head,
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" "
                  "shape-rendering=\"crispEdges\">\n"
                  "<rect x=\"0\" y=\"0\" width=\"%d\" height=\"%d\" fill=\"#FFFFFF\"/>\n",
                  mWidth, mHeight, mWidth, mHeight, mWidth, mHeight);
    return head + mBody + "</svg>\n";
}

}  // namespace velt
