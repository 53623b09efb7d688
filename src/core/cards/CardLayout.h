#pragma once
// Laying out catalogue cards: the card text of a KARTA report cut into card
// lines (`TLiniaKarty`) on cards of the configured size, a card whose text
// does not fit going on over further pages, each closed by the
// continuation note and each after the first repeating the call numbers and
// the heading under its page number.
//
// Units: the preview's pixels ("screen pixels", s = its pixels per inch /
// 25.4, to two decimals, a millimetre) are what card lines keep; texts are
// measured on the measuring surface (the printer's page, or the preview),
// whose pixels are r = its pixels per inch / (s × 25.4) screen pixels, to
// two decimals. The layout works in measuring pixels and stores positions
// divided by r, so that the preview and the print break lines at the same
// places.

#include "cards/CardSettings.h"
#include "cards/CardText.h"
#include "reports/ReportCanvas.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

// Measures texts on the measuring surface; the gui measures with Qt at the
// printer's or the preview's resolution.
class CardMeasurer {
public:
    virtual ~CardMeasurer() = default;
    // Pixels per inch of the surface.
    virtual int Resolution() const = 0;
    // The width of a text (Windows-1250) in a font of font.height pixels.
    virtual int TextWidth(const CanvasFont& font, std::string_view text) = 0;
    // The height of a line in that font.
    virtual int TextHeight(const CanvasFont& font) = 0;
};

// The kinds of card lines.
namespace card_kind {
inline constexpr char kHeading = 'H';       // heading line on the first page
inline constexpr char kHeadingAgain = 'O';  // heading line repeated on a continuation page
inline constexpr char kPageNumber = 'N';    // "2.", "3.", ... on a continuation page
inline constexpr char kCall = 'S';          // call-number line on the first page
inline constexpr char kCallAgain = 'Y';     // call-number line repeated on a continuation page
inline constexpr char kParagraph = 'P';
inline constexpr char kUdc = 'U';           // classification
inline constexpr char kInventory = 'I';
inline constexpr char kBranch = 'F';        // a branch mark of a central card
inline constexpr char kContinued = 'C';     // the continuation note; it ends a page
}  // namespace card_kind

// The longest text of a card line; a longer one is cut.
inline constexpr std::size_t kMaxCardLineText = 255;
// The most pages of one card; the text after them is not laid out.
inline constexpr int kMaxCardPages = 1000;

struct TLiniaKarty {
    std::string text;  // without its wrapper, at most kMaxCardLineText bytes
    char kind = card_kind::kParagraph;
    int x = 0, y = 0;  // screen pixels (S, Y, U: where the text ends); F: column and row, from 1
    bool indented = false;  // P: the indented first line of a paragraph
    int indent = 0;         // P indented: the indent in screen pixels
    // The line as the card window keeps it: "<A>" (indented) or "<L>", the
    // text, "</X>".
    std::string Stored() const;
};

// The card's size, margins and branch table in screen pixels.
struct CardGeometry {
    double s = 1;  // screen pixels a millimetre
    int W = 0, H = 0, L = 0, R = 0, T = 0, B = 0, RS = 0;
    int Hi = 0;                                  // H + 1, the image's height
    int branchColumns = 1, branchRows = 1;
    int cellWidth = 0, rowHeight = 0;            // of the branch table
    static CardGeometry For(const CardSettings& settings, int screenResolution);
    int Millimetres(int mm) const;
};

struct LaidOutCard {
    int number = 0;  // from 1
    bool central = false;
    std::vector<TLiniaKarty> lines;
    // What the layout had to tell (texts that did not fit); the window shows them.
    std::vector<std::string> messages;
    // 1 + the number of continuation notes.
    int ZliczStrony() const;
};

// The lines [begin, end) of each page of a card: a page ends with its
// continuation note or with the card's last line.
struct CardPage {
    std::size_t begin = 0, end = 0;
};
std::vector<CardPage> CardPages(const LaidOutCard& card);

// The continuation note.
std::string ContinuationNote();
// The note's font: Arial 9 points.
CardFont ContinuationFont();
// A font in points as a canvas font of a resolution (the height in pixels).
CanvasFont CanvasFontOf(const CardFont& font, int resolution);

class CardLayout {
public:
    CardLayout(const CardSettings& settings, int screenResolution, CardMeasurer& measurer);

    // Lays out the card of text (one of FindCards(text)) numbered number.
    LaidOutCard GenLines(const std::vector<std::string>& text, const CardRange& card, int number);
    // The same for card number (from 1) of the text; an empty card when there is none.
    LaidOutCard RysujKarte(const std::vector<std::string>& text, int number);

    const CardGeometry& Geometry() const { return mGeometry; }
    const CardSettings& Settings() const { return mSettings; }
    double Ratio() const { return mRatio; }

private:
    CardSettings mSettings;
    CardGeometry mGeometry;
    CardMeasurer& mMeasurer;
    double mRatio = 1;
};

// Two decimals, as the scale factors are kept.
double RoundTo2(double value);

}  // namespace velt
