// The barcode encoder over any text in any symbology, with any module and
// ratio: an error and no pattern, or a pattern in the notation whose
// elements alternate from a bar and add up to the natural width; painting
// it anywhere on a small picture stays inside the picture.

#include "reports/BarcodePattern.h"
#include "reports/GreyImage.h"
#include "reports/TBarcode.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

using namespace velt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const auto type = static_cast<TBarcodeType>(data[0] % kBarcodeTypeCount);
    const int modul = data[1] % 60 - 5;           // out of range too
    const double ratio = (data[2] - 64) / 16.0;   // -4 to 12
    const int stretch = data[3] * 7;
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);

    const BarcodePattern p = BuildBarcodePattern(type, text);
    if (p.error.empty() == p.pattern.empty()) __builtin_trap();
    if (!p.error.empty()) {
        if (!EncodeBarcode(type, text, modul, ratio).elements.empty()) __builtin_trap();
        return 0;
    }
    if (p.pattern.find_first_not_of("01235678ABCD") != std::string::npos) __builtin_trap();
    const ElementWidths w = ElementWidthsFor(type, modul, ratio);
    if (w[0] < 1 || w[0] > w[1] || w[1] > w[2] || w[2] > w[3]) __builtin_trap();
    const BarcodeModules m = ModuleSequence(p.pattern, w);
    if (!m.error.empty() || m.elements.empty() || m.elements.front().kind == ElementKind::Space) __builtin_trap();
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < m.elements.size(); ++i) {
        if (m.elements[i].width < 1) __builtin_trap();
        if (i > 0 && m.elements[i].kind == m.elements[i - 1].kind) __builtin_trap();
        sum += m.elements[i].width;
    }
    if (sum != m.width) __builtin_trap();

    TBarcode bar;
    bar.SetTyp(type);
    bar.SetText(text);
    bar.SetModul(modul);
    bar.SetRatio(ratio);
    bar.SetLeft(static_cast<int>(data[1]) - 128);
    bar.SetTop(static_cast<int>(data[2] % 40) - 10);
    bar.SetHeight(static_cast<int>(data[3] % 50));
    if (!bar.SetWidth(stretch).empty() || bar.Scale() < 1.0) __builtin_trap();
    GreyImage image(64, 32);
    if (!bar.DrawBarcode(image).empty()) __builtin_trap();
    return 0;
}
