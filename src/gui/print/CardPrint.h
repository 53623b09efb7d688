#pragma once
// Catalogue cards on a QPrinter, with QtGui only (the card window and
// velt-cli share it): the measurer over Qt's font metrics at a device's
// resolution, and printing cards on a printer (the card at its offsets on
// the paper) or into a PDF file of pages of the card's size.

#include "cards/CardLayout.h"

#include <map>
#include <tuple>
#include <memory>
#include <string>
#include <vector>

class QFontMetrics;
class QPaintDevice;
class QPrinter;

namespace velt::gui {

// Measures with Qt's font metrics on a device (a printer, the preview's image).
class QtCardMeasurer : public CardMeasurer {
public:
    explicit QtCardMeasurer(const QPaintDevice& device);
    // A device at a resolution of its own (the preview's, when no printer is there).
    explicit QtCardMeasurer(int resolution);
    ~QtCardMeasurer() override;
    int Resolution() const override { return mResolution; }
    int TextWidth(const CanvasFont& font, std::string_view text) override;
    int TextHeight(const CanvasFont& font) override;

private:
    // The metrics of a font, made once.
    const QFontMetrics& Metrics(const CanvasFont& font);

    const QPaintDevice* mDevice = nullptr;
    int mResolution;
    struct FontKey {
        std::string name;
        int height;
        bool bold, italic, underline;
        bool operator<(const FontKey& o) const {
            return std::tie(name, height, bold, italic, underline) < std::tie(o.name, o.height, o.bold, o.italic, o.underline);
        }
    };
    std::map<FontKey, std::unique_ptr<QFontMetrics>> mMetrics;
};

// What to print of a card text.
struct CardPrintRequest {
    const std::vector<std::string>* text = nullptr;
    int card = 0;            // the card (from 1); 0: every card
    std::vector<int> pages;  // its pages (from 1); empty: every page
    int copies = 1;          // of each page
};

// Makes printer print cards: the whole paper addressable, the orientation
// of the settings, and, for a PDF file, pages of the card's size.
void PrepareCardPrinter(QPrinter& printer, const CardSettings& settings);

// Prints the cards asked on printer (made ready by PrepareCardPrinter), one
// document, a page of it for every card page: each card laid out afresh,
// measured by measurer (Qt on the printer when null), at the offsets of the
// settings on paper. The messages of the layouts go to messages (each text
// once); the error text or empty.
std::string PrintCards(QPrinter& printer, const CardSettings& settings, int screenResolution,
                       const CardPrintRequest& request, CardMeasurer* measurer, std::vector<std::string>& messages);

// The cards asked as a PDF file of pages of the card's size at resolution
// pixels an inch, written under a unique name then renamed; the error or
// empty.
std::string WriteCardsPdf(const std::string& file, const CardSettings& settings, int screenResolution,
                          int resolution, const CardPrintRequest& request, CardMeasurer* measurer,
                          std::vector<std::string>& messages);

}  // namespace velt::gui
