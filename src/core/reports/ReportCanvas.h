#pragma once
// What the reports draw on: the preview's picture, a printer's page, an image
// or vector file. Coordinates are device units (pixels of that surface),
// x to the right and y downwards. Each kind of mark is one operation, so a
// surface only has to know the marks the reports make.

#include <cstdint>
#include <string>
#include <string_view>

namespace velt {

// A rectangle of device units, from (left, top) up to but not including
// (right, bottom).
struct CanvasRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const CanvasRect&) const = default;
};

struct CanvasColour {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const CanvasColour&) const = default;
};

inline constexpr CanvasColour kCanvasBlack{0, 0, 0};
inline constexpr CanvasColour kCanvasWhite{255, 255, 255};

// A font as the reports name it: a family, the character height in device
// units, the weight, and the slant and underline the catalogue cards use.
struct CanvasFont {
    std::string name = "Arial";
    int height = 16;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const CanvasFont&) const = default;
};

class ReportCanvas {
public:
    virtual ~ReportCanvas() = default;
    // Fills the rectangle with the colour; an empty rectangle draws nothing.
    // The surface's pen, brush and font are as they were afterwards.
    virtual void FillRect(const CanvasRect& rect, CanvasColour colour) = 0;

    // The font of the texts that follow; a surface without fonts keeps it
    // only for the metrics below.
    virtual void SetFont(const CanvasFont& font) { mFont = font; }
    const CanvasFont& Font() const { return mFont; }

    // The width of text (Windows-1250 bytes) in the current font. A surface
    // without fonts counts half the character height a character.
    virtual int TextWidth(std::string_view text) {
        return static_cast<int>(text.size()) * (mFont.height / 2);
    }
    // The height of a line of text in the current font.
    virtual int TextHeight() { return mFont.height; }

    // Draws text on white with its top left corner at (x, y); a surface
    // without fonts draws nothing.
    virtual void DrawText(int x, int y, std::string_view text) {
        (void)x;
        (void)y;
        (void)text;
    }

    // A black horizontal or vertical rule from (x1, y1) to (x2, y2), pen
    // pixels wide (at least 1); the pen is centred on the line.
    virtual void DrawLine(int x1, int y1, int x2, int y2, int pen);

    // The black outline of rect, pen pixels wide, inside the rectangle.
    virtual void DrawFrame(const CanvasRect& rect, int pen);

    // Ends the current page and starts a new one; a single picture ignores it.
    virtual void NewPage() {}

protected:
    CanvasFont mFont;
};

}  // namespace velt
