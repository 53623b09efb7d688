// The barcode component: its settings, Width stretching and painting onto a
// canvas that records the rectangles.

#include "reports/GreyImage.h"
#include "reports/TBarcode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace velt;

namespace {

struct Fill {
    CanvasRect rect;
    CanvasColour colour;
};

class RecordingCanvas : public ReportCanvas {
public:
    void FillRect(const CanvasRect& rect, CanvasColour colour) override { fills.push_back({rect, colour}); }
    std::vector<Fill> fills;
};

TBarcode Barcode(TBarcodeType typ, const std::string& text, int left = 0, int top = 0, int height = 10) {
    TBarcode b;
    b.SetTyp(typ);
    b.SetText(text);
    b.SetLeft(left);
    b.SetTop(top);
    b.SetHeight(height);
    return b;
}

// One row of a picture: "1" black, "0" white.
std::string Row(const GreyImage& image, int y) {
    std::string row;
    for (int x = 0; x < image.Width(); ++x) row += image.At(x, y) < 128 ? '1' : '0';
    return row;
}

}  // namespace

TEST(TBarcode, StartsAsAnEan13OfModule1AndRatio2) {
    TBarcode b;
    EXPECT_EQ(b.Typ(), bcCodeEAN13);
    EXPECT_EQ(b.Modul(), 1);
    EXPECT_EQ(b.Ratio(), 2.0);
    EXPECT_EQ(b.Scale(), 1.0);
    EXPECT_EQ(b.Widths(), (ElementWidths{1, 2, 3, 4}));
}

TEST(TBarcode, IgnoresAModuleOutside1To49) {
    TBarcode b;
    const struct {
        int set, kept;
    } cases[] = {{5, 5}, {0, 5}, {-3, 5}, {50, 5}, {49, 49}, {1, 1}, {1000, 1}};
    for (const auto& c : cases) {
        b.SetModul(c.set);
        EXPECT_EQ(b.Modul(), c.kept) << c.set;
    }
}

TEST(TBarcode, IgnoresASymbologyOutsideTheFifteen) {
    TBarcode b;
    b.SetTyp(bcCode39);
    b.SetTyp(static_cast<TBarcodeType>(kBarcodeTypeCount));
    b.SetTyp(static_cast<TBarcodeType>(-1));
    EXPECT_EQ(b.Typ(), bcCode39);
    EXPECT_EQ(BuildBarcodePattern(static_cast<TBarcodeType>(99), "1").error, "TBarcode: unknown symbology");
}

TEST(TBarcode, WidthStretchesToTheBoxButNeverNarrows) {
    TBarcode b = Barcode(bcCodeEAN8, "96385074");
    const std::int64_t natural = b.Modules().width;
    ASSERT_EQ(natural, 67);
    const struct {
        int pixels;
        double scale;
    } cases[] = {{134, 2.0}, {67, 1.0}, {40, 1.0}, {0, 1.0}, {-5, 1.0}, {100, 100.0 / 67}};
    for (const auto& c : cases) {
        EXPECT_EQ(b.SetWidth(c.pixels), "");
        EXPECT_DOUBLE_EQ(b.Scale(), c.scale) << c.pixels;
    }
}

TEST(TBarcode, ABoxTwiceTheNaturalWidthDoublesEveryElement) {
    TBarcode b = Barcode(bcCode39, "A1", 7, 3, 20);
    const BarcodeModules m = b.Modules();
    ASSERT_EQ(b.SetWidth(static_cast<int>(2 * m.width)), "");
    RecordingCanvas canvas;
    ASSERT_EQ(b.DrawBarcode(canvas), "");
    // The box white first, then each bar over it.
    ASSERT_FALSE(canvas.fills.empty());
    EXPECT_EQ(canvas.fills[0].rect, (CanvasRect{7, 3, 7 + static_cast<int>(2 * m.width), 23}));
    EXPECT_EQ(canvas.fills[0].colour, kCanvasWhite);
    std::size_t next = 1;
    int x = 7;
    for (const BarElement& e : m.elements) {
        if (e.kind != ElementKind::Space) {
            ASSERT_LT(next, canvas.fills.size());
            EXPECT_EQ(canvas.fills[next].rect, (CanvasRect{x, 3, x + 2 * e.width, 23}));
            EXPECT_EQ(canvas.fills[next].colour, kCanvasBlack);
            ++next;
        }
        x += 2 * e.width;
    }
    EXPECT_EQ(next, canvas.fills.size());
    EXPECT_EQ(x, 7 + 2 * m.width);
}

TEST(TBarcode, AFractionalScaleTilesTheBoxWithoutGapsOrOverlaps) {
    TBarcode b = Barcode(bcCodeEAN13, "5901234123457", 10, 0, 5);
    b.SetWidth(250);  // 95 modules to 250 pixels: 2.63 each
    RecordingCanvas canvas;
    ASSERT_EQ(b.DrawBarcode(canvas), "");
    // One row painted in the order of the fills: "b" black, "w" white, "?" untouched.
    std::string row(270, '?');
    for (const Fill& f : canvas.fills)
        for (int x = f.rect.left; x < f.rect.right; ++x) row[x] = f.colour == kCanvasBlack ? 'b' : 'w';
    EXPECT_EQ(row.substr(0, 10), std::string(10, '?'));
    EXPECT_EQ(row.substr(260), std::string(10, '?'));
    // Each module is 2 or 3 pixels, and the modules' edges are round(k × 250 / 95).
    const BarcodeModules m = b.Modules();
    std::int64_t a = 0;
    for (const BarElement& e : m.elements) {
        const int from = 10 + static_cast<int>(std::nearbyint(a * 250.0 / 95));
        const int to = 10 + static_cast<int>(std::nearbyint((a + e.width) * 250.0 / 95));
        EXPECT_EQ(row.substr(from, to - from), std::string(to - from, e.kind == ElementKind::Space ? 'w' : 'b')) << from;
        a += e.width;
    }
    EXPECT_EQ(a, 95);
}

TEST(TBarcode, PaintsBarsBlackAndSpacesWhiteFromTheBoxsCorner) {
    // EAN-8 drawn into a picture reads back, row by row, as its modules.
    TBarcode b = Barcode(bcCodeEAN8, "96385074", 3, 2, 4);
    GreyImage image(3 + 67 + 3, 8);
    ASSERT_EQ(b.DrawBarcode(image), "");
    const std::string modules = "101" "0001011" "0101111" "0111101" "0110111" "01010"
                                "1001110" "1110010" "1000100" "1011100" "101";
    for (int y = 2; y < 6; ++y) EXPECT_EQ(Row(image, y), "000" + modules + "000") << y;
    EXPECT_EQ(Row(image, 1), std::string(73, '0'));
    EXPECT_EQ(Row(image, 6), std::string(73, '0'));
}

TEST(TBarcode, PostNetShortBarsStandOnTheBaseline) {
    TBarcode b = Barcode(bcCodePostNet, "1", 0, 10, 25);  // short bars: 25 × 2 div 5 = 10 high
    RecordingCanvas canvas;
    ASSERT_EQ(b.DrawBarcode(canvas), "");
    ASSERT_FALSE(canvas.fills.empty());
    EXPECT_EQ(canvas.fills[0].colour, kCanvasWhite);
    EXPECT_EQ(canvas.fills[0].rect.top, 10);
    EXPECT_EQ(canvas.fills[0].rect.bottom, 35);
    int tall = 0, shortBars = 0;
    for (std::size_t i = 1; i < canvas.fills.size(); ++i) {
        const Fill& f = canvas.fills[i];
        EXPECT_EQ(f.colour, kCanvasBlack);
        EXPECT_EQ(f.rect.bottom, 35) << "every bar ends on the baseline";
        if (f.rect.top == 10) ++tall;
        else if (f.rect.top == 25) ++shortBars;
        else ADD_FAILURE() << "a bar from " << f.rect.top;
    }
    // Frame bars, digit 1 (00011) and its check digit 9 (10100).
    EXPECT_EQ(tall, 2 + 2 + 2);
    EXPECT_EQ(shortBars, 3 + 3);
}

TEST(TBarcode, AFailedPatternDrawsNothingAndSaysWhy) {
    const struct {
        TBarcodeType typ;
        const char* text;
        const char* error;
    } cases[] = {
        {bcCodeEAN13, "123", "Invalid Text len (EAN13)"},
        {bcCodeEAN13, "5901234123458", "Invalid check digit (EAN13)"},
        {bcCode39, "lower", "TBarcode:Code39 bad Data <lower>"},
        {bcCode_2_5_interleaved, "12-34", "Barcode must be numeric"},
    };
    for (const auto& c : cases) {
        TBarcode b = Barcode(c.typ, c.text);
        RecordingCanvas canvas;
        EXPECT_EQ(b.SetWidth(500), c.error);
        EXPECT_EQ(b.Scale(), 1.0);
        EXPECT_EQ(b.DrawBarcode(canvas), c.error);
        EXPECT_TRUE(canvas.fills.empty()) << c.text;
    }
}

TEST(TBarcode, ANumericTextIsReplacedByItsTrimmedForm) {
    TBarcode b = Barcode(bcCodeEAN13, "  5901234123457 ");
    RecordingCanvas canvas;
    EXPECT_EQ(b.DrawBarcode(canvas), "");
    EXPECT_EQ(b.Text(), "5901234123457");
    TBarcode c = Barcode(bcCode39, " AB ");
    c.DrawBarcode(canvas);
    EXPECT_EQ(c.Text(), " AB ");
}

TEST(TBarcode, FarCoordinatesAndAHugeScaleStayInsideInt) {
    TBarcode b = Barcode(bcCode128B, "x", 2'000'000'000, -2'000'000'000, 2'000'000'000);
    b.SetWidth(2'100'000'000);
    RecordingCanvas canvas;
    ASSERT_EQ(b.DrawBarcode(canvas), "");
    for (const Fill& f : canvas.fills) {
        EXPECT_LE(f.rect.left, f.rect.right);
        EXPECT_LE(f.rect.top, f.rect.bottom);
    }
    TBarcode n = Barcode(bcCode39, "A", 0, 0, -5);
    RecordingCanvas none;
    EXPECT_EQ(n.DrawBarcode(none), "");
    EXPECT_TRUE(none.fills.empty()) << "a box without height draws nothing";
}
