#pragma once
// A card measurer with fixed metrics, as the report canvas's base has them:
// a character is half the font's pixel height wide, a line the height high.

#include "cards/CardLayout.h"

namespace velt::test {

class FixedCardMeasurer : public CardMeasurer {
public:
    explicit FixedCardMeasurer(int resolution = 254) : mResolution(resolution) {}
    int Resolution() const override { return mResolution; }
    int TextWidth(const CanvasFont& font, std::string_view text) override {
        return static_cast<int>(text.size()) * (font.height / 2);
    }
    int TextHeight(const CanvasFont& font) override { return font.height; }

private:
    int mResolution;
};

}  // namespace velt::test
