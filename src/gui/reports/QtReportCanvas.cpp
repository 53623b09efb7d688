#include "gui/reports/QtReportCanvas.h"

#include <QColor>
#include <QPainter>
#include <QRect>

#include <algorithm>
#include <climits>

namespace velt::gui {

void QtReportCanvas::FillRect(const CanvasRect& rect, CanvasColour colour) {
    if (rect.Empty()) return;
    // A rectangle wider than int can say is cut to what a painter can take.
    const long long width = std::min<long long>(static_cast<long long>(rect.right) - rect.left, INT_MAX);
    const long long height = std::min<long long>(static_cast<long long>(rect.bottom) - rect.top, INT_MAX);
    mPainter.fillRect(QRect(rect.left, rect.top, static_cast<int>(width), static_cast<int>(height)),
                      QColor(colour.red, colour.green, colour.blue));
}

}  // namespace velt::gui
