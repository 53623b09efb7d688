#pragma once
// A text turned into the bars and spaces of a symbology, without drawing.
//
// A pattern is a text of element characters, left to right: "0" to "3" a
// space of width w1 to w4, "5" to "8" a bar of width w1 to w4 over the full
// height, "A" to "D" a short bar of width w1 to w4 (PostNet). The widths
// come from the module (the narrowest element) and the ratio of a wide
// element to it.

#include "reports/TBarcodeType.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

// The longest text a symbol is built of; a longer one is refused.
inline constexpr std::size_t kMaxBarcodeText = 4096;
// The module's range in pixels; a value outside is ignored by TBarcode.
inline constexpr int kMinModul = 1;
inline constexpr int kMaxModul = 49;

// The widths w1 to w4 of the notation, in pixels.
using ElementWidths = std::array<int, 4>;

// The ratio as the symbology uses it: brought into the symbology's range
// (2.25 to 3 for Matrix 2 of 5, 2 to 3 for the two-width codes, 1 to 3 for
// the spacing of PostNet), and 2 for the codes measured in modules (Code 128,
// Code 93, EAN), whose widths are whole modules whatever the ratio.
double EffectiveRatio(TBarcodeType type, double ratio);

// w1 = modul, w2 = round(modul × ratio) (a half to even), w3 = 3 × w2 div 2,
// w4 = 2 × w2, with the ratio of EffectiveRatio; modul is brought into 1..49.
ElementWidths ElementWidthsFor(TBarcodeType type, int modul, double ratio);

struct BarcodePattern {
    std::string error;    // empty when the text could be encoded
    std::string pattern;  // the elements in the notation above
    std::string text;     // the text encoded: for the numeric codes trimmed of blanks
};

// The pattern of text (Windows-1250 bytes) in the symbology, start, check
// characters and stop included; or the error text, and no pattern, when the
// symbology cannot carry the text.
BarcodePattern BuildBarcodePattern(TBarcodeType type, std::string_view text);

enum class ElementKind : std::uint8_t { Space, Bar, ShortBar };

struct BarElement {
    ElementKind kind;
    int width;  // pixels
    bool operator==(const BarElement&) const = default;
};

struct BarcodeModules {
    std::string error;
    std::vector<BarElement> elements;  // neighbours of the same kind joined
    std::int64_t width = 0;            // the natural width: all the elements' widths
};

// The elements of a pattern with the given widths; the error
// "TBarcode: internal Error " and the character in quotation marks for a
// character outside the notation.
BarcodeModules ModuleSequence(std::string_view pattern, const ElementWidths& widths);

// BuildBarcodePattern and ModuleSequence in one: the symbol's elements.
BarcodeModules EncodeBarcode(TBarcodeType type, std::string_view text, int modul, double ratio);

// The check digit of EAN-8 or EAN-13 for the digits before it (7 or 12).
char EanCheckDigit(std::string_view digits);

}  // namespace velt
