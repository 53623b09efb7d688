#include "gui/print/QtReportCanvas.h"

#include "gui/common/QtText.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QRect>

#include <algorithm>
#include <climits>

namespace velt::gui {

QFont QtCanvasFont(const CanvasFont& font) {
    QtReportCanvas::InstallFontSubstitutes();
    QFont f(toQString(font.name));
    f.setPixelSize(std::clamp(font.height, 1, 4000));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    return f;
}

QtReportCanvas::QtReportCanvas(QPainter& painter, std::function<void()> newPage)
    : mPainter(painter), mNewPage(std::move(newPage)) {
    InstallFontSubstitutes();
}

void QtReportCanvas::InstallFontSubstitutes() {
    static const bool installed = [] {
        QFont::insertSubstitution("Arial", "Liberation Sans");
        QFont::insertSubstitution("Helvetica", "Liberation Sans");
        QFont::insertSubstitution("Times New Roman", "Liberation Serif");
        QFont::insertSubstitution("Times", "Liberation Serif");
        QFont::insertSubstitution("Courier New", "Liberation Mono");
        QFont::insertSubstitution("Courier", "Liberation Mono");
        QFont::insertSubstitution("Arial Narrow", "Liberation Sans Narrow");
        QFont::insertSubstitution("MS Sans Serif", "DejaVu Sans");
        QFont::insertSubstitution("Tahoma", "DejaVu Sans");
        QFont::insertSubstitution("Verdana", "DejaVu Sans");
        return true;
    }();
    (void)installed;
}

void QtReportCanvas::FillRect(const CanvasRect& rect, CanvasColour colour) {
    if (rect.Empty()) return;
    // A rectangle wider than int can say is cut to what a painter can take.
    const long long width = std::min<long long>(static_cast<long long>(rect.right) - rect.left, INT_MAX);
    const long long height = std::min<long long>(static_cast<long long>(rect.bottom) - rect.top, INT_MAX);
    mPainter.fillRect(QRect(rect.left, rect.top, static_cast<int>(width), static_cast<int>(height)),
                      QColor(colour.red, colour.green, colour.blue));
}

void QtReportCanvas::SetFont(const CanvasFont& font) {
    mFont = font;
    mPainter.setFont(QtCanvasFont(font));
}

int QtReportCanvas::TextWidth(std::string_view text) {
    return QFontMetrics(mPainter.font(), mPainter.device()).horizontalAdvance(toQString(std::string(text)));
}

void QtReportCanvas::DrawText(int x, int y, std::string_view text) {
    if (text.empty()) return;
    const QString s = toQString(std::string(text));
    const QFontMetrics metrics(mPainter.font(), mPainter.device());
    const QRect box(x, y, metrics.horizontalAdvance(s), std::max(mFont.height, metrics.height()));
    mPainter.fillRect(box, Qt::white);
    const QPen pen = mPainter.pen();
    mPainter.setPen(Qt::black);
    mPainter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, s);
    mPainter.setPen(pen);
}

void QtReportCanvas::DrawLine(int x1, int y1, int x2, int y2, int pen) {
    ReportCanvas::DrawLine(x1, y1, x2, y2, pen);  // filled, so that it is exact on every device
}

void QtReportCanvas::DrawFrame(const CanvasRect& rect, int pen) { ReportCanvas::DrawFrame(rect, pen); }

void QtReportCanvas::NewPage() {
    if (mNewPage) mNewPage();
}

}  // namespace velt::gui
