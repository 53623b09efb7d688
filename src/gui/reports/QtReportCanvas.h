#pragma once
// The report canvas over a Qt painter: the preview's picture, a printer's
// page or any QImage. Device units are the painter's own.

#include "reports/ReportCanvas.h"

class QPainter;

namespace velt::gui {

class QtReportCanvas : public ReportCanvas {
public:
    // Draws with painter, which must outlive the canvas.
    explicit QtReportCanvas(QPainter& painter) : mPainter(painter) {}

    // Fills without touching the painter's pen, brush or font.
    void FillRect(const CanvasRect& rect, CanvasColour colour) override;

private:
    QPainter& mPainter;
};

}  // namespace velt::gui
