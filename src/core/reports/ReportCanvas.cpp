#include "reports/ReportCanvas.h"

#include <algorithm>

namespace velt {

void ReportCanvas::DrawLine(int x1, int y1, int x2, int y2, int pen) {
    pen = std::max(pen, 1);
    const int before = pen / 2;
    const int after = pen - before;
    if (y1 == y2) {
        FillRect({std::min(x1, x2), y1 - before, std::max(x1, x2) + 1, y1 + after}, kCanvasBlack);
    } else if (x1 == x2) {
        FillRect({x1 - before, std::min(y1, y2), x1 + after, std::max(y1, y2) + 1}, kCanvasBlack);
    }
    // The reports draw no slanted lines.
}

void ReportCanvas::DrawFrame(const CanvasRect& rect, int pen) {
    if (rect.Empty()) return;
    pen = std::max(pen, 1);
    const int across = std::min(pen, (rect.bottom - rect.top + 1) / 2);
    const int down = std::min(pen, (rect.right - rect.left + 1) / 2);
    FillRect({rect.left, rect.top, rect.right, rect.top + across}, kCanvasBlack);
    FillRect({rect.left, rect.bottom - across, rect.right, rect.bottom}, kCanvasBlack);
    FillRect({rect.left, rect.top, rect.left + down, rect.bottom}, kCanvasBlack);
    FillRect({rect.right - down, rect.top, rect.right, rect.bottom}, kCanvasBlack);
}

}  // namespace velt
