// The cell markup over arbitrary bytes: parsing, laying out into a narrow and
// a wide cell, and decoding what an "I" command carries. Whatever a display
// line holds, the layout ends, stays inside its cell's width for text, and
// nothing is read outside the line.

#include "browse/CellLayout.h"
#include "browse/CellMarkup.h"
#include "browse/JpegPicture.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Measurer : velt::CellMeasurer {
    int FontHeight() const override { return 13; }
    int TextWidth(std::string_view text, const velt::TextStyle& style) const override {
        return static_cast<int>(std::lround(static_cast<double>(text.size()) * 7 * style.factor));
    }
    int TextHeight(const velt::TextStyle& style) const override { return static_cast<int>(15 * style.factor); }
    int ScrollBarWidth() const override { return 16; }
    velt::PictureInfo FilePicture(const std::string& name) override {
        return {static_cast<int>(name.size() % 50), static_cast<int>(name.size() % 30), name};
    }
    velt::PictureInfo CarriedPicture(const std::string& jpeg) override {
        const velt::RgbPicture p = velt::DecodeJpeg(jpeg);
        return {p.width, p.height, "j"};
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 20000) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = velt::SplitDisplayLines(text);
    (void)velt::MarkupPlainText(text);
    (void)velt::NeutraliseMarkup(text);
    Measurer m;
    for (const int width : {40, 600}) {
        velt::LayoutContext c;
        c.width = width;
        c.isChecked = [](const std::string& s) { return s.size() % 2 == 0; };
        const velt::CellContent content = velt::LayoutCell(lines, c, m);
        for (const auto& item : content.items)
            if (item.kind == velt::CellItemKind::Text && item.x + item.width > width && item.x > 0) __builtin_trap();
    }
    return 0;
}
