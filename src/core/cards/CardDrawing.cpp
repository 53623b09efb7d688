#include "cards/CardDrawing.h"

#include <algorithm>
#include <cmath>

namespace velt {

namespace {

using namespace card_kind;

std::string_view Trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace

void BranchCellOrigin(const CardGeometry& g, int column, int row, int& x, int& y) {
    x = g.L + (column - 1) * g.cellWidth - (column - 1) + 3;
    y = g.H - g.B - 2 - g.branchRows * g.rowHeight + (row - 1) * g.rowHeight - (row - 1);
}

CardPageExtent DrawCardPage(ReportCanvas& canvas, const LaidOutCard& card, const CardPage& page,
                            const CardSettings& settings, const CardGeometry& g, const CardDrawTarget& t) {
    auto X = [&t](double screen) { return static_cast<int>(std::lround(screen * t.scale)) + t.offsetX; };
    auto Y = [&t](double screen) { return static_cast<int>(std::lround(screen * t.scale)) + t.offsetY; };
    auto D = [&t](double screen) { return static_cast<int>(std::lround(screen * t.scale)); };
    const CanvasFont heading = CanvasFontOf(settings.headingFont, t.resolution);
    const CanvasFont call = CanvasFontOf(settings.callFont, t.resolution);
    const CanvasFont paragraph = CanvasFontOf(settings.paragraphFont, t.resolution);
    const CanvasFont udc = CanvasFontOf(settings.udcFont, t.resolution);
    const CanvasFont inventory = CanvasFontOf(settings.inventoryFont, t.resolution);
    const CanvasFont branch = CanvasFontOf(settings.branchFont, t.resolution);
    const CanvasFont note = CanvasFontOf(ContinuationFont(), t.resolution);
    auto fontOf = [&](char kind) -> const CanvasFont& {
        switch (kind) {
        case kHeading: case kHeadingAgain: case kPageNumber: return heading;
        case kCall: case kCallAgain: return call;
        case kParagraph: return paragraph;
        case kUdc: return udc;
        case kInventory: return inventory;
        case kBranch: return branch;
        default: return note;
        }
    };
    auto height = [&canvas](const CanvasFont& f) {
        canvas.SetFont(f);
        return canvas.TextHeight();
    };
    auto width = [&canvas](const CanvasFont& f, std::string_view text) {
        canvas.SetFont(f);
        return canvas.TextWidth(text);
    };

    CardPageExtent extent;
    auto draw = [&](const CanvasFont& f, int x, int y, const std::string& text) {
        canvas.SetFont(f);
        canvas.DrawText(x, y, text);
        extent.right = std::max(extent.right, x + canvas.TextWidth(text));
        extent.bottom = std::max(extent.bottom, y + canvas.TextHeight());
    };

    const bool central = card.central;
    const int pen = std::max(1, static_cast<int>(std::lround(t.scale)));
    // A central card: the branch table at the bottom, the classification in
    // a band just above it, and nothing of the paragraphs below the band.
    int tableTop = 0, bandTop = 0, bandHeight = 0, udcCount = 0;
    if (central) {
        tableTop = Y(g.H - g.B - 2 - g.branchRows * g.rowHeight);
        const int udcHeight = height(udc);
        for (std::size_t i = page.begin; i < page.end; ++i)
            if (card.lines[i].kind == kUdc) {
                bandHeight += t.printing ? static_cast<int>(std::lround(udcHeight * 1.2)) : udcHeight;
                ++udcCount;
            }
        bandTop = tableTop - bandHeight;
    }
    auto shown = [&](const TLiniaKarty& line) {
        if (!central) return line.kind != kBranch;
        switch (line.kind) {
        case kPageNumber: case kHeadingAgain: case kCallAgain: return false;
        case kParagraph: case kContinued: return Y(line.y) + height(fontOf(line.kind)) < bandTop;
        default: return true;
        }
    };

    int callLeft = 0, callBottom = 0;
    bool calls = false;
    int udcIndex = 0;
    for (std::size_t i = page.begin; i < page.end; ++i) {
        const TLiniaKarty& line = card.lines[i];
        const CanvasFont& f = fontOf(line.kind);
        if (line.kind == kBranch) {
            int x = 0, y = 0;
            BranchCellOrigin(g, line.x, line.y, x, y);
            const int rowTop = Y(y);
            draw(f, X(x), rowTop + (D(g.rowHeight) - height(f)) / 2, line.text);
            continue;
        }
        if (!shown(line)) continue;
        switch (line.kind) {
        case kCall:
        case kCallAgain: {
            const int left = X(line.x) - width(f, line.text);
            draw(f, left, Y(line.y), line.text);
            callLeft = calls ? std::min(callLeft, left) : left;
            callBottom = Y(line.y) + height(f);
            calls = true;
            break;
        }
        case kUdc: {
            int y = Y(line.y);
            if (central) y = bandTop + static_cast<int>(std::lround(static_cast<double>(bandHeight) * udcIndex / udcCount));
            ++udcIndex;
            draw(f, X(line.x) - width(f, line.text), y, line.text);
            break;
        }
        case kParagraph: {
            std::string text = line.text;
            const int x = X(line.x + (line.indented ? line.indent : 0));
            // The last paragraph line drawn above the band says the rest is cut.
            const bool cut = central && i + 1 < page.end && card.lines[i + 1].kind == kParagraph &&
                             !shown(card.lines[i + 1]);
            if (cut) {
                const int room = X(g.W - g.R) - x;
                while (width(f, text + " [...]") > room) {
                    const std::string_view kept = Trimmed(text);
                    const auto blank = kept.find_last_of(' ');
                    if (blank == std::string_view::npos) break;
                    text = std::string(Trimmed(kept.substr(0, blank)));
                }
                text += " [...]";
            }
            draw(f, x, Y(line.y), text);
            break;
        }
        default:
            draw(f, X(line.x), Y(line.y), line.text);
            break;
        }
    }

    if (calls && settings.printCalls && settings.callFrame) {
        const int weight = std::max(1, static_cast<int>(std::lround(3 * t.scale)));
        const int x = callLeft - D(4);
        canvas.DrawLine(x, Y(g.T), x, callBottom + 1, weight);
        canvas.DrawLine(x, callBottom + 1, X(g.W - g.R), callBottom + 1, weight);
    }
    if (central) {
        const int cw = D(g.cellWidth), rh = D(g.rowHeight), left = X(g.L);
        for (int v = 1; v <= g.branchRows; ++v)
            for (int c = 1; c <= g.branchColumns; ++c) {
                CanvasRect cell;
                cell.left = left + (c - 1) * cw - (c - 1) * pen;
                cell.right = left + c * cw - (c - 1) * pen;
                cell.top = tableTop + (v - 1) * rh - (v - 1) * pen;
                cell.bottom = tableTop + v * rh - (v - 1) * pen;
                canvas.DrawFrame(cell, pen);
            }
    }
    return extent;
}

}  // namespace velt
