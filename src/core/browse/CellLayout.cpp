#include "browse/CellLayout.h"

#include "browse/CellMarkup.h"
#include "text/PipeList.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velt {

namespace {

constexpr double kMinFactor = 0.25;
constexpr double kMaxFactor = 8.0;
constexpr int kMaxTop = 20000;  // lines further down than any screen

int Round(double v) { return static_cast<int>(std::lround(v)); }

// The end of the character at i: an escape of a character the code page
// lacks is one character of 7 bytes.
std::size_t CharEnd(std::string_view t, std::size_t i) {
    if (t[i] == 27 && i + 7 <= t.size() && t[i + 1] == 'U' && t[i + 6] == 26) return i + 7;
    return i + 1;
}

double ParseNumber(std::string_view s, double fallback) {
    const std::string text(s);
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(v)) return fallback;
    return v;
}

class Layouter {
public:
    Layouter(const LayoutContext& context, CellMeasurer& measurer) : mContext(context), mMeasurer(measurer) {
        mFontHeight = std::max(1, measurer.FontHeight());
        mLineStep = Round(mFontHeight * 1.3);
        const int margin = context.mode == LayoutMode::RecordView ? 6 : 4;
        mEdge = std::max(0, context.width - measurer.ScrollBarWidth() - margin);
        mRightLimit = mEdge;
        mImageX = mEdge;
        if (context.mode == LayoutMode::RecordView) mContent.background = kInfoBackground;
        mContent.items.reserve(16);
    }

    void Line(std::string_view line) {
        for (const MarkupElement& e : ParseMarkupLine(line)) {
            if (e.command == 0) {
                PlaceText(e.text, CellItemKind::Text, {});
                continue;
            }
            Command(e.command, e.text);
        }
    }

    void EndLine() { NewLine(); }

    CellContent Finish() {
        for (const CellItem& item : mContent.items) {
            mContent.bottom = std::max(mContent.bottom, item.Bottom());
            mContent.right = std::max(mContent.right, item.Right());
        }
        return std::move(mContent);
    }

private:
    void NewLine() {
        mY = std::min(mY + mLineStep, kMaxTop);
        mX = mIndent;
    }

    void Command(char command, std::string_view argument) {
        switch (command) {
            case '/':
                NewLine();
                break;
            case '?': {
                if (mContext.mode == LayoutMode::RecordView) break;
                std::string cmd, file;
                SplitPicture(argument, true, cmd, file);
                const bool shown = mContext.isChecked ? mContext.isChecked(cmd) : false;
                PlacePicture(CellItemKind::Check, cmd, {}, mMeasurer.FilePicture(file), shown);
                break;
            }
            case 'A':
                if (argument == "H") {
                    mImageX = mEdge;
                    mImageY = mBottom;
                }
                break;
            case 'B': {
                std::string cmd, file;
                SplitPicture(argument, true, cmd, file);
                std::string hint;
                if (cmd.rfind("OPERACJA", 0) == 0 && cmd.size() > 8) hint = SplitAtPipe(std::string_view(cmd).substr(8)).head;
                PlacePicture(CellItemKind::Image, cmd, hint, mMeasurer.FilePicture(file), true);
                break;
            }
            case 'C':
                ParseMarkupColour(argument, mColour);
                break;
            case 'H':
                mStyle.factor = std::clamp(ParseNumber(argument, mStyle.factor), kMinFactor, kMaxFactor);
                mLineStep = Round(mFontHeight * 1.3 * mStyle.factor);
                break;
            case 'I': {
                std::string cmd, data;
                SplitPicture(argument, false, cmd, data);
                PlacePicture(CellItemKind::Image, cmd, {}, mMeasurer.CarriedPicture(DecodeCarriedPicture(data)), true);
                break;
            }
            case 'L': {
                std::string cmd, text;
                SplitLink(argument, cmd, text);
                PlaceText(text, CellItemKind::Link, cmd);
                break;
            }
            case 'R': {
                std::uint32_t colour = mContent.background;
                if (ParseMarkupColour(argument, colour)) mContent.background = colour;
                break;
            }
            case 'S':
                mStyle.bold = argument.find('B') != std::string::npos;
                mStyle.italic = argument.find('I') != std::string::npos;
                break;
            case 'X': {
                const double n = std::clamp(ParseNumber(argument, 0), 0.0, 10000.0);
                mIndent = std::clamp(Round(n * mFontHeight / 15.0), 0, std::max(0, mEdge));
                mX = mIndent;
                break;
            }
            case 'Y':
                mY = std::clamp(Round(ParseNumber(argument, mY)), 0, kMaxTop);
                break;
            default:
                break;  // not a command of the cells: nothing happens
        }
    }

    int Width(std::string_view text, const TextStyle& style) const { return mMeasurer.TextWidth(text, style); }

    void Add(CellItemKind kind, std::string_view text, const std::string& command, const TextStyle& style) {
        CellItem item;
        item.kind = kind;
        item.x = mX;
        item.y = mY;
        item.text = std::string(text);
        item.style = style;
        item.colour = kind == CellItemKind::Link ? kLinkBlue : mColour;
        item.command = command;
        item.width = Width(text, style);
        item.height = mMeasurer.TextHeight(style);
        mX += item.width;
        mContent.items.push_back(std::move(item));
    }

    // The longest prefix of text, ending before one of its spaces, that fits
    // from X: the space's position, or npos when none does.
    std::size_t FitAtSpace(std::string_view text, const TextStyle& style) const {
        std::vector<std::size_t> spaces;
        for (std::size_t i = 0; i < text.size(); i = CharEnd(text, i))
            if (text[i] == ' ') spaces.push_back(i);
        // Widths grow with the prefix: the last fitting space by bisection.
        std::size_t lo = 0, hi = spaces.size();
        while (lo < hi) {
            const std::size_t mid = (lo + hi) / 2;
            if (mX + Width(text.substr(0, spaces[mid]), style) <= mRightLimit)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo == 0 ? std::string_view::npos : spaces[lo - 1];
    }

    // The most characters of text that fit from X (0 when none).
    std::size_t FitCharacters(std::string_view text, const TextStyle& style) const {
        std::vector<std::size_t> ends;
        for (std::size_t i = 0; i < text.size(); i = CharEnd(text, i)) ends.push_back(CharEnd(text, i));
        std::size_t lo = 0, hi = ends.size();
        while (lo < hi) {
            const std::size_t mid = (lo + hi) / 2;
            if (mX + Width(text.substr(0, ends[mid]), style) <= mRightLimit)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo == 0 ? 0 : ends[lo - 1];
    }

    void PlaceText(std::string_view text, CellItemKind kind, const std::string& command) {
        TextStyle style = mStyle;
        style.underline = kind == CellItemKind::Link;
        bool retried = false;
        while (!text.empty()) {
            if (mX + Width(text, style) <= mRightLimit) {
                Add(kind, text, command, style);
                return;
            }
            const std::size_t space = FitAtSpace(text, style);
            if (space != std::string_view::npos) {
                Add(kind, text.substr(0, space), command, style);
                text.remove_prefix(space + 1);
                NewLine();
                retried = false;
                continue;
            }
            if (mX > mIndent && !retried) {
                NewLine();
                retried = true;
                continue;
            }
            // Not even the first word fits at the margin: cut it.
            const std::size_t n = FitCharacters(text, style);
            if (n == 0) return;  // nothing fits at all: the text is dropped
            Add(kind, text.substr(0, n), command, style);
            text.remove_prefix(n);
            NewLine();
            retried = false;
        }
    }

    void PlacePicture(CellItemKind kind, const std::string& command, const std::string& hint, PictureInfo picture,
                      bool shown) {
        CellItem item;
        item.kind = kind;
        item.width = std::max(0, picture.width);
        item.height = std::max(0, picture.height);
        item.x = mImageX - item.width;
        item.y = mImageY;
        item.command = command;
        item.hint = hint;
        item.picture = std::move(picture);
        item.shown = shown;
        mImageX = item.x - 2;
        mRightLimit = std::min(mRightLimit, item.x - 2);
        mBottom = std::max(mBottom, mImageY + item.height + 2);
        mContent.items.push_back(std::move(item));
    }

    const LayoutContext& mContext;
    CellMeasurer& mMeasurer;
    CellContent mContent;
    int mFontHeight = 1;
    int mLineStep = 0;
    int mEdge = 0;
    int mX = 0, mY = 0, mIndent = 0;
    int mRightLimit = 0;
    int mImageX = 0, mImageY = 0, mBottom = 0;
    TextStyle mStyle;
    std::uint32_t mColour = kBlack;
};

}  // namespace

CellContent LayoutCell(const std::vector<std::string>& lines, const LayoutContext& context, CellMeasurer& measurer) {
    Layouter layouter(context, measurer);
    // Every markup line begins a row of its own; "/" breaks inside one.
    for (const std::string& line : lines) {
        layouter.Line(line);
        layouter.EndLine();
    }
    return layouter.Finish();
}

}  // namespace velt
