#pragma once
// A measurer of fixed widths for layout tests: every character is 7 pixels
// wide (8 in bold, times the size factor), the font 13 pixels high, the
// scroll bar 16 wide; pictures have the sizes the test gives them.

#include "browse/CellLayout.h"

#include <cmath>
#include <map>
#include <string>

namespace velt::test {

struct FakeMeasurer : CellMeasurer {
    std::map<std::string, PictureInfo> files;
    int carried = 0;  // carried pictures measured
    int FontHeight() const override { return 13; }
    int TextWidth(std::string_view text, const TextStyle& style) const override {
        int chars = 0;
        for (std::size_t i = 0; i < text.size(); ++i, ++chars)
            if (text[i] == 27 && i + 7 <= text.size() && text[i + 1] == 'U') i += 6;  // one character
        return static_cast<int>(std::lround(chars * (style.bold ? 8 : 7) * style.factor));
    }
    int TextHeight(const TextStyle& style) const override { return static_cast<int>(std::lround(15 * style.factor)); }
    int ScrollBarWidth() const override { return 16; }
    PictureInfo FilePicture(const std::string& name) override {
        const auto it = files.find(name);
        return it == files.end() ? PictureInfo{} : it->second;
    }
    PictureInfo CarriedPicture(const std::string& jpeg) override {
        ++carried;
        return {40, 50, "jpeg:" + std::to_string(jpeg.size())};
    }
};

}  // namespace velt::test
