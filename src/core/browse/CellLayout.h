#pragma once
// Where everything of a cell goes: the markup lines of an entry laid out into
// positioned items (texts, links, pictures, check marks) with the text
// measured by the gui's measurer. The browser and the record view keep the
// items and the widgets only paint them.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct TextStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    double factor = 1.0;  // font height multiplier ("H")
    bool operator==(const TextStyle&) const = default;
};

// A picture as the measurer knows it: its size and what the painter draws.
struct PictureInfo {
    int width = 0;
    int height = 0;
    std::string id;  // empty: nothing to draw
};

// Colours are 0x00BBGGRR, the order the display formats write them in.
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kLinkBlue = 0xFF0000;
// The platform's information background (the record view's colour).
inline constexpr std::uint32_t kInfoBackground = 0xFF000018;

// The background of a selected cell: the red component removed (white becomes aqua).
inline std::uint32_t SelectedBackground(std::uint32_t background) {
    return background == kInfoBackground ? background : background & 0xFFFF00;
}

class CellMeasurer {
public:
    virtual ~CellMeasurer() = default;
    // The list font's height in pixels (positive).
    virtual int FontHeight() const = 0;
    // The width of a text of the system's code page (escapes count as their
    // characters) in style.
    virtual int TextWidth(std::string_view text, const TextStyle& style) const = 0;
    // The height of a line of text in style.
    virtual int TextHeight(const TextStyle& style) const = 0;
    // The width of the platform's vertical scroll bar.
    virtual int ScrollBarWidth() const = 0;
    // A picture file of the image directory; 0 by 0 when it cannot be loaded
    // (the measurer reports that once per file and run).
    virtual PictureInfo FilePicture(const std::string& fileName) = 0;
    // A JPEG carried in a line, by its bytes; a broken one gives a placeholder.
    virtual PictureInfo CarriedPicture(const std::string& jpeg) = 0;
};

enum class CellItemKind { Text, Link, Image, Check };

struct CellItem {
    CellItemKind kind = CellItemKind::Text;
    int x = 0, y = 0, width = 0, height = 0;
    std::string text;              // Text, Link
    TextStyle style;               // Text, Link
    std::uint32_t colour = kBlack; // Text, Link
    std::string command;           // Link, Image (may be empty), Check
    std::string hint;              // Image: shown on hover
    PictureInfo picture;           // Image, Check
    bool shown = true;             // Check: the source says it is checked
    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

struct CellContent {
    std::vector<CellItem> items;
    std::uint32_t background = kWhite;
    int bottom = 0;  // the lowest item's bottom
    int right = 0;   // the rightmost item's right edge
};

enum class LayoutMode {
    Browser,     // a browser cell
    RecordView,  // the record view: no check marks, the information background
};

struct LayoutContext {
    int width = 0;  // the cell's (or box's) width
    LayoutMode mode = LayoutMode::Browser;
    // Whether the check element with this command is shown.
    std::function<bool(const std::string& command)> isChecked;
};

// Lays the lines out. Sizes taken from the markup (factor, indent, line top)
// are clamped to what a screen can show.
CellContent LayoutCell(const std::vector<std::string>& lines, const LayoutContext& context, CellMeasurer& measurer);

}  // namespace velt
