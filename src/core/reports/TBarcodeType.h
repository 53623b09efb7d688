#pragma once
// The symbologies of the barcode component, in the order the report
// descriptions number them (MODE=1 is the first), with their names.

#include <optional>
#include <string_view>

namespace velt {

enum TBarcodeType : int {
    bcCode_2_5_interleaved,
    bcCode_2_5_industrial,
    bcCode_2_5_matrix,
    bcCode39,
    bcCode39Extended,
    bcCode128A,
    bcCode128B,
    bcCode128C,
    bcCode93,
    bcCode93Extended,
    bcCodeMSI,
    bcCodePostNet,
    bcCodeCodabar,
    bcCodeEAN8,
    bcCodeEAN13,
};

inline constexpr int kBarcodeTypeCount = 15;

struct BarcodeTypeInfo {
    std::string_view enumName;  // "bcCodeEAN13"
    std::string_view name;      // "EAN13", as the component names it
    bool numericOnly;
};

// The fixed description of a symbology; type must be one of the 15.
const BarcodeTypeInfo& BarcodeTypeInfoOf(TBarcodeType type);

// The symbology called name (its enumerator name or its own name); nothing
// for any other text.
std::optional<TBarcodeType> BarcodeTypeNamed(std::string_view name);

// The symbology of a report's MODE=n (1 to 15); nothing outside that range.
std::optional<TBarcodeType> BarcodeTypeOfMode(int mode);

// The clear space a scanner needs on each side of a symbol, in narrow
// modules: EAN-13 11 before and 7 after, EAN-8 7 and 7, Code 128, Code 39,
// Code 93, Codabar and the 2 of 5 codes 10, MSI 12; PostNet is not read
// by a scanner (none).
struct QuietZone {
    int left = 0;
    int right = 0;
};
QuietZone QuietZoneOf(TBarcodeType type);

}  // namespace velt
