#pragma once
// The settings of the catalogue cards, kept in Velt_kar.ini: the card's size
// and margins in millimetres, the printing (copies, the card's place on the
// paper, the orientation), which sections are laid out, the six section
// fonts and the branch table of central cards. Every value is held within
// its bounds, whatever a file says, so that a card can always be laid out.

#include <string>

namespace velt {

struct CardFont {
    std::string face;
    int points = 12;
    int charset = 238;
    bool underline = false;
    bool bold = false;
    bool italic = false;
    bool operator==(const CardFont&) const = default;
};

struct CardSettings {
    // Millimetres.
    int bottom = 0, top = 3, right = 3, left = 3;
    int callRight = 15;  // the call numbers end this far left of the right margin
    int width = 110, height = 75;
    int copies = 1;      // of each printed page
    int printTop = 0, printLeft = 0;  // the card's place on the paper
    bool landscape = true;
    bool printHeading = true, printCalls = true, printUdc = true, printInventory = true;
    bool callFrame = true;  // the line framing the call numbers
    int branchColumns = 4, branchRows = 1, branchRowHeight = 6;

    CardFont headingFont{"Times New Roman", 14, 238, false, true, false};
    CardFont callFont{"Courier New", 14, 238, false, true, false};
    CardFont paragraphFont{"Times New Roman", 12, 238, false, false, false};
    CardFont udcFont{"Courier New", 10, 238, false, true, false};
    CardFont inventoryFont{"Courier New", 10, 238, false, false, false};
    CardFont branchFont{"Courier New", 8, 238, false, false, false};

    bool operator==(const CardSettings&) const = default;
};

// The bounds of the values (millimetres, points).
struct CardBounds {
    static constexpr int kMinWidth = 30, kMaxWidth = 300;
    static constexpr int kMinHeight = 20, kMaxHeight = 300;
    static constexpr int kMaxMargin = 100;
    // What the margins leave at least of the card.
    static constexpr int kMinTextWidth = 20, kMinTextHeight = 15;
    static constexpr int kMaxCopies = 99;
    static constexpr int kMaxOffset = 300;
    static constexpr int kMinPoints = 4, kMaxPoints = 72;
    static constexpr int kMaxColumns = 20, kMaxRows = 10;
    static constexpr int kMinRowHeight = 2, kMaxRowHeight = 50;
    static constexpr std::size_t kMaxFaceName = 64;
};

// The settings within their bounds: each value clamped; then the margins
// cut so that the card keeps its least text width and height, the call
// numbers' margin so that they end inside the text width, and the branch
// table to half the height between the margins.
CardSettings BoundedCardSettings(CardSettings settings);

// The settings of a Velt_kar.ini file, bounded; a missing file or key gives
// the default.
CardSettings ReadCardSettings(const std::string& path);
// Writes every key into the file (others it holds are kept), making its
// directory when missing; the error text ("Nie można zapisać pliku ...")
// or empty.
std::string WriteCardSettings(const std::string& path, const CardSettings& settings);
// The user's Velt_kar.ini: in the user's configuration directory.
std::string CardSettingsPath();

}  // namespace velt
