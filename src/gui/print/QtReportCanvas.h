#pragma once
// The report canvas over a Qt painter: the preview's picture, a printer's
// page or any QImage. Device units are the painter's own.

#include "reports/ReportCanvas.h"

#include <functional>

class QFont;
class QPainter;

namespace velt::gui {

// The Qt font of a canvas font: its family (a family Linux lacks replaced by
// a metric-compatible one), its height in pixels, weight, slant, underline.
QFont QtCanvasFont(const CanvasFont& font);

class QtReportCanvas : public ReportCanvas {
public:
    // Draws with painter, which must outlive the canvas. newPage, when
    // given, starts the next page (a printer's newPage).
    explicit QtReportCanvas(QPainter& painter, std::function<void()> newPage = {});

    // Fills without touching the painter's pen, brush or font.
    void FillRect(const CanvasRect& rect, CanvasColour colour) override;

    // The font by its name, a family Linux lacks replaced by a
    // metric-compatible one; the height in pixels.
    void SetFont(const CanvasFont& font) override;
    int TextWidth(std::string_view text) override;
    int TextHeight() override { return mFont.height; }
    void DrawText(int x, int y, std::string_view text) override;
    void DrawLine(int x1, int y1, int x2, int y2, int pen) override;
    void DrawFrame(const CanvasRect& rect, int pen) override;
    void NewPage() override;

    // Makes the families of the descriptions fall back to the metric-
    // compatible free ones (Arial to Liberation Sans and so on); once.
    static void InstallFontSubstitutes();

private:
    QPainter& mPainter;
    std::function<void()> mNewPage;
};

}  // namespace velt::gui
