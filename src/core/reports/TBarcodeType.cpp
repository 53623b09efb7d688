#include "reports/TBarcodeType.h"

#include <array>

namespace velt {

namespace {

constexpr std::array<BarcodeTypeInfo, kBarcodeTypeCount> kTypes = {{
    {"bcCode_2_5_interleaved", "2_5_interleaved", true},
    {"bcCode_2_5_industrial", "2_5_industrial", true},
    {"bcCode_2_5_matrix", "2_5_matrix", true},
    {"bcCode39", "Code39", false},
    {"bcCode39Extended", "Code39 Extended", false},
    {"bcCode128A", "Code128A", false},
    {"bcCode128B", "Code128B", false},
    {"bcCode128C", "Code128C", true},
    {"bcCode93", "Code93", false},
    {"bcCode93Extended", "Code93 Extended", false},
    {"bcCodeMSI", "MSI", true},
    {"bcCodePostNet", "PostNet", true},
    {"bcCodeCodabar", "Codebar", false},
    {"bcCodeEAN8", "EAN8", true},
    {"bcCodeEAN13", "EAN13", true},
}};

}  // namespace

const BarcodeTypeInfo& BarcodeTypeInfoOf(TBarcodeType type) { return kTypes[static_cast<std::size_t>(type)]; }

std::optional<TBarcodeType> BarcodeTypeNamed(std::string_view name) {
    for (int t = 0; t < kBarcodeTypeCount; ++t)
        if (kTypes[t].enumName == name || kTypes[t].name == name) return static_cast<TBarcodeType>(t);
    return std::nullopt;
}

QuietZone QuietZoneOf(TBarcodeType type) {
    switch (type) {
        case bcCodeEAN13:
            return {11, 7};
        case bcCodeEAN8:
            return {7, 7};
        case bcCodeMSI:
            return {12, 12};
        case bcCodePostNet:
            return {0, 0};
        default:
            return {10, 10};
    }
}

std::optional<TBarcodeType> BarcodeTypeOfMode(int mode) {
    if (mode < 1 || mode > kBarcodeTypeCount) return std::nullopt;
    return static_cast<TBarcodeType>(mode - 1);
}

}  // namespace velt
