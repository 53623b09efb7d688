#pragma once
// The barcode component of the reports: one symbol of a text in a box of a
// canvas. The pattern is built first (BarcodePattern.h), then painted from
// left to right, stretched to the width asked but never narrowed.

#include "reports/BarcodePattern.h"
#include "reports/ReportCanvas.h"
#include "reports/TBarcodeType.h"

#include <cstdint>
#include <string>

namespace velt {

class TBarcode {
public:
    // The symbology; a value outside the 15 is ignored.
    TBarcodeType Typ() const { return mTyp; }
    void SetTyp(TBarcodeType typ) {
        if (typ >= 0 && typ < kBarcodeTypeCount) mTyp = typ;
    }

    // The text to encode; for a numeric symbology it is trimmed of blanks
    // when the pattern is built.
    const std::string& Text() const { return mText; }
    void SetText(std::string text) { mText = std::move(text); }

    // The narrowest element in pixels, 1 to 49; a value outside is ignored.
    int Modul() const { return mModul; }
    void SetModul(int modul);

    // A wide element's width relative to Modul (brought into the
    // symbology's range when the widths are computed).
    double Ratio() const { return mRatio; }
    void SetRatio(double ratio) { mRatio = ratio; }

    int Left() const { return mLeft; }
    int Top() const { return mTop; }
    int Height() const { return mHeight; }
    void SetLeft(int left) { mLeft = left; }
    void SetTop(int top) { mTop = top; }
    void SetHeight(int height) { mHeight = height; }

    // Sets the horizontal scale so that the symbol fills pixels: pixels over
    // the natural width when that is smaller, else 1. The pattern's error
    // text (the scale then 1), empty on success.
    std::string SetWidth(int pixels);
    // Sets the horizontal scale itself (a positive one; anything else is
    // ignored), narrower than 1 too: a symbol made to fit a box.
    void SetScale(double scale) {
        if (scale > 0 && scale < 1e9) mScale = scale;
    }
    double Scale() const { return mScale; }

    // The widths w1 to w4 for the current symbology, module and ratio.
    ElementWidths Widths() const { return ElementWidthsFor(mTyp, mModul, mRatio); }

    // The symbol of the current settings, unscaled; the text is trimmed first
    // for a numeric symbology.
    BarcodeModules Modules();

    // Paints the symbol from (Left, Top), Height high: bars black, spaces
    // white, short bars two fifths of the height standing on the bottom.
    // The error text, with nothing drawn, or empty.
    std::string DrawBarcode(ReportCanvas& canvas);

private:
    TBarcodeType mTyp = bcCodeEAN13;
    std::string mText;
    int mModul = 1;
    double mRatio = 2.0;
    int mLeft = 0, mTop = 0, mHeight = 0;
    double mScale = 1.0;
};

}  // namespace velt
