// The report canvas over QPainter: a barcode painted into a QImage lies
// where the core put its elements, leaves the painter as it was, and reads
// back through zbarimg.

#include "gui/print/QtReportCanvas.h"
#include "reports/TBarcode.h"
#include "support/TempDir.h"
#include "support/Tool.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <string>

using namespace velt;
using namespace velt::gui;

namespace {

QImage White(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

}  // namespace

TEST(QtReportCanvas, PaintsTheBarcodesElementsIntoAnImage) {
    TBarcode bar;
    bar.SetTyp(bcCode128B);
    bar.SetText("Qt");
    bar.SetLeft(5);
    bar.SetTop(3);
    bar.SetHeight(20);
    const BarcodeModules m = bar.Modules();
    ASSERT_EQ(m.error, "");
    ASSERT_EQ(bar.SetWidth(static_cast<int>(2 * m.width)), "");
    QImage image = White(static_cast<int>(2 * m.width) + 10, 30);
    image.fill(Qt::red);  // the spaces are painted white over whatever was there
    {
        QPainter painter(&image);
        QtReportCanvas canvas(painter);
        ASSERT_EQ(bar.DrawBarcode(canvas), "");
    }
    std::string expected, row3, row22, row23;
    for (const BarElement& e : m.elements)
        expected.append(2 * static_cast<std::size_t>(e.width), e.kind == ElementKind::Space ? 'w' : 'b');
    auto at = [&](int x, int y) {
        const QRgb p = image.pixel(x, y);
        return p == qRgb(0, 0, 0) ? 'b' : p == qRgb(255, 255, 255) ? 'w' : '?';
    };
    for (int x = 5; x < 5 + 2 * m.width; ++x) {
        row3 += at(x, 3);
        row22 += at(x, 22);
        row23 += at(x, 23);
    }
    EXPECT_EQ(row3, expected);
    EXPECT_EQ(row22, expected);
    EXPECT_EQ(row23.find_first_not_of('?'), std::string::npos) << "nothing below the box";
    EXPECT_EQ(image.pixel(4, 10), qRgb(255, 0, 0)) << "nothing left of the box";
}

TEST(QtReportCanvas, LeavesThePaintersPenBrushAndFontAsTheyWere) {
    QImage image = White(200, 40);
    QPainter painter(&image);
    const QPen pen(Qt::blue, 3);
    const QBrush brush(Qt::green, Qt::Dense4Pattern);
    QFont font("DejaVu Sans", 13);
    painter.setPen(pen);
    painter.setBrush(brush);
    painter.setFont(font);
    QtReportCanvas canvas(painter);
    TBarcode bar;
    bar.SetText("5901234123457");
    bar.SetHeight(30);
    ASSERT_EQ(bar.DrawBarcode(canvas), "");
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_EQ(painter.brush(), brush);
    EXPECT_EQ(painter.font(), font);
    canvas.FillRect({10, 10, 10, 30}, kCanvasBlack);  // empty: nothing
    canvas.FillRect({-2'000'000'000, 0, 2'000'000'000, 1}, kCanvasBlack);
    painter.end();
    EXPECT_EQ(image.pixel(150, 0), qRgb(0, 0, 0)) << "a very wide rectangle still fills what it covers";
}

TEST(QtReportCanvas, AnEan13PaintedByQtReadsBackThroughZbarimg) {
    ASSERT_TRUE(test::HaveTool("zbarimg")) << "zbarimg is missing: scripts/deps.sh installs zbar-tools";
    TBarcode bar;
    bar.SetText("400638133393");  // the check digit 1 is added
    bar.SetModul(2);
    bar.SetLeft(30);
    bar.SetTop(10);
    bar.SetHeight(60);
    bar.SetWidth(285);  // 190 natural pixels stretched by 1.5
    QImage image = White(345, 80);
    {
        QPainter painter(&image);
        QtReportCanvas canvas(painter);
        ASSERT_EQ(bar.DrawBarcode(canvas), "");
    }
    const test::TempDir dir;
    const std::string file = dir.Path() + "qt.png";
    ASSERT_TRUE(image.save(QString::fromStdString(file), "PNG"));
    const auto read = test::RunTool("zbarimg -q --raw --nodbus " + file + " 2>/dev/null", "");
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, "4006381333931\n");
}
