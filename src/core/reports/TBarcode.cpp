#include "reports/TBarcode.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace velt {

namespace {

// A device coordinate of left + offset, kept inside int.
int Coordinate(int left, double offset) {
    const double x = static_cast<double>(left) + std::nearbyint(offset);
    return static_cast<int>(std::clamp(x, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

}  // namespace

void TBarcode::SetModul(int modul) {
    if (modul >= kMinModul && modul <= kMaxModul) mModul = modul;
}

BarcodeModules TBarcode::Modules() {
    BarcodePattern p = BuildBarcodePattern(mTyp, mText);
    if (BarcodeTypeInfoOf(mTyp).numericOnly) mText = p.text;
    if (!p.error.empty()) {
        BarcodeModules m;
        m.error = std::move(p.error);
        return m;
    }
    return ModuleSequence(p.pattern, Widths());
}

std::string TBarcode::SetWidth(int pixels) {
    BarcodeModules m = Modules();
    mScale = 1.0;
    if (m.error.empty() && m.width > 0 && m.width < pixels)
        mScale = static_cast<double>(pixels) / static_cast<double>(m.width);
    return m.error;
}

std::string TBarcode::DrawBarcode(ReportCanvas& canvas) {
    const BarcodeModules m = Modules();
    if (!m.error.empty()) return m.error;
    const int height = std::max(mHeight, 0);
    const int bottom = Coordinate(mTop, height);
    // Short bars are two fifths of the height and stand on the bottom.
    const std::int64_t shortHeight = static_cast<std::int64_t>(height) * 2 / 5;
    const int shortTop = Coordinate(mTop, static_cast<double>(height - shortHeight));
    // The symbol's box is made white at once and the bars are drawn over it:
    // the same picture as a white rectangle for each space, in half the
    // rectangles.
    const CanvasRect box{mLeft, mTop, Coordinate(mLeft, static_cast<double>(m.width) * mScale), bottom};
    if (box.Empty()) return {};
    canvas.FillRect(box, kCanvasWhite);
    std::int64_t a = 0;
    for (const BarElement& e : m.elements) {
        CanvasRect r;
        r.left = Coordinate(mLeft, static_cast<double>(a) * mScale);
        r.right = Coordinate(mLeft, static_cast<double>(a + e.width) * mScale);
        r.top = e.kind == ElementKind::ShortBar ? shortTop : mTop;
        r.bottom = bottom;
        a += e.width;
        if (e.kind != ElementKind::Space && !r.Empty()) canvas.FillRect(r, kCanvasBlack);
    }
    return {};
}

}  // namespace velt
