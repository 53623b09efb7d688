#include "reports/tbl_report.h"

#include "reports/Interleaved25.h"
#include "reports/ReportFile.h"
#include "reports/TBarcode.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace velt {
namespace {

constexpr int kDefaultTextSize = 16;
constexpr std::string_view kEllipsis = "...";

bool Visible(ElementPlace place, ReportSectionKind kind, bool firstPage, bool lastPage) {
    const bool firstHeader = kind == ReportSectionKind::Header && firstPage;
    const bool lastFooter = kind == ReportSectionKind::Footer && lastPage;
    switch (place) {
        case ElementPlace::Always: return true;
        case ElementPlace::First: return firstHeader;
        case ElementPlace::Last: return lastFooter;
        case ElementPlace::NoFirst: return !firstHeader;
        case ElementPlace::NoLast: return !lastFooter;
        case ElementPlace::Other: return !firstHeader && !lastFooter;
    }
    return true;
}

// The longest prefix of text (at least one character when there is one)
// whose width is at most w.
std::size_t FittingPrefix(ReportCanvas& canvas, std::string_view text, int w, std::string_view suffix = {}) {
    std::size_t lo = 0, hi = text.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        if (canvas.TextWidth(std::string(text.substr(0, mid)) + std::string(suffix)) <= w) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    return lo;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

}  // namespace

bool ReadReportLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxReportFileBytes) return false;
    in.seekg(0);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), size)) return false;
    lines = SplitReportLines(bytes);
    return true;
}

tbl_report::tbl_report(std::string reportTitle, std::vector<std::string> description, std::vector<std::string> data)
    : mDescriptionLines(std::move(description)), mData(std::move(data)) {
    title = std::move(reportTitle);
    Setup();
}

tbl_report tbl_report::FromDescriptionFile(std::string title, std::vector<std::string> data,
                                           const std::string& descriptionFile) {
    std::vector<std::string> lines;
    if (!ReadReportLines(descriptionFile, lines)) {
        tbl_report r(std::move(title), {}, std::move(data));
        r.mMessages.clear();
        r.mRefusal = "Brak pliku: " + descriptionFile;
        r.mMessages.push_back(r.mRefusal);
        return r;
    }
    return tbl_report(std::move(title), std::move(lines), std::move(data));
}

tbl_report tbl_report::FromSrpFile(std::string title, const std::string& srpFile) {
    std::vector<std::string> lines;
    if (!ReadReportLines(srpFile, lines)) {
        tbl_report r(std::move(title), {}, {});
        r.mMessages.clear();
        r.mRefusal = "Brak pliku: " + srpFile;
        r.mMessages.push_back(r.mRefusal);
        r.lineCount = 0;
        return r;
    }
    auto end = std::find_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.compare(0, 5, "[END]") == 0; });
    if (end != lines.end()) ++end;
    std::vector<std::string> description(std::make_move_iterator(lines.begin()), std::make_move_iterator(end));
    std::vector<std::string> data(std::make_move_iterator(end), std::make_move_iterator(lines.end()));
    return tbl_report(std::move(title), std::move(description), std::move(data));
}

void tbl_report::Setup() {
    mParsed = ReadReportDescription(mDescriptionLines);
    mMessages = mParsed.messages;
    mRefusal = mParsed.refusal;
    align = mParsed.align;
    constLines = mParsed.constLines;
    orientation = mParsed.orientation;
    leftMargin = mParsed.left;
    rightMargin = mParsed.right;
    topMargin = mParsed.top;
    bottomMargin = mParsed.bottom;
    headerHeight = mParsed.Section(ReportSectionKind::Header).height;
    lineHeight = mParsed.Section(ReportSectionKind::Line).height;
    footerHeight = mParsed.Section(ReportSectionKind::Footer).height;
    lineCount = static_cast<int>(std::min<std::size_t>(mData.size(), 1u << 30));
    SetMacroClock(mMacros);
}

bool tbl_report::IsGroupEnd(int line) const {
    return line >= 1 && line <= lineCount && IsGroupEndLine(mData[static_cast<std::size_t>(line - 1)]);
}

void tbl_report::PageHeader(int page) {
    pageNumber = page;
    DrawSection(ReportSectionKind::Header, mPageFirst, page == 1, false);
    mCurrentY += Pixels(headerHeight);
}

void tbl_report::PrintLine(int line) {
    DrawSection(ReportSectionKind::Line, line, false, false);
    ++printedLines;
    mCurrentY += Pixels(lineHeight);
}

void tbl_report::PageFooter(int page, bool last) {
    pageNumber = page;
    DrawSection(ReportSectionKind::Footer, mPageLast, false, last);
    mCurrentY += Pixels(footerHeight);
}

std::string tbl_report::Expand(std::string_view expr, std::string_view line) {
    mMacros.page = pageNumber;
    return ExpandMacro(expr, line, mMacros, &mMessages);
}

void tbl_report::DrawSection(ReportSectionKind kind, int dataLine, bool firstPage, bool lastPage) {
    if (canvas == nullptr) return;
    const ReportSection& section = mParsed.Section(kind);
    const std::string_view line =
        dataLine >= 1 && dataLine <= lineCount ? std::string_view(mData[static_cast<std::size_t>(dataLine - 1)])
                                               : std::string_view();
    const CanvasFont sectionFont = canvas->Font();
    for (const ReportElement& e : section.elements) {
        if (!Visible(e.place, kind, firstPage, lastPage)) continue;
        if (e.hasWhen && Expand(e.when, line).empty()) continue;
        if (e.hasExcept && !Expand(e.except, line).empty()) continue;
        DrawElement(e, line, sectionFont);
    }
    canvas->SetFont(sectionFont);
}

void tbl_report::DrawElement(const ReportElement& e, std::string_view line, const CanvasFont& sectionFont) {
    const int pen = std::max(1, RoundPixels(scale * (e.bold ? 2 : 1)));
    switch (e.kind) {
        case ReportElementKind::Box:
            canvas->DrawFrame({PixelX(e.x.value), PixelY(e.y.value), PixelX(e.x.value + e.w), PixelY(e.y.value + e.h)},
                              pen);
            break;
        case ReportElementKind::VRule:
            canvas->DrawLine(PixelX(e.x.value), PixelY(e.y.value), PixelX(e.x.value), PixelY(e.y.value + e.w), pen);
            break;
        case ReportElementKind::HRule:
            canvas->DrawLine(PixelX(e.x.value), PixelY(e.y.value), PixelX(e.x.value + e.w), PixelY(e.y.value), pen);
            break;
        case ReportElementKind::Text:
            DrawText(e, line, sectionFont);
            break;
        case ReportElementKind::Bar:
            DrawBar(e, line);
            break;
    }
}

void tbl_report::DrawText(const ReportElement& e, std::string_view line, const CanvasFont& sectionFont) {
    const double x = e.x.last ? lastX : e.x.value;
    const double y = e.y.last ? lastY : e.y.value;
    CanvasFont font = sectionFont;
    if (!e.font.empty()) font.name = e.font;
    font.bold = sectionFont.bold || e.bold;
    font.height = std::max(1, RoundPixels((e.size > 0 ? e.size : kDefaultTextSize) * scale));
    canvas->SetFont(font);
    std::string text = Expand(e.expr, line);
    if (e.hasLimit) text = LimitText(*canvas, text, Pixels(e.limit));
    const int px = PixelX(x);
    const int py = PixelY(y);
    lastY = y;
    const double unit = scale > 0 ? scale : 1.0;
    if (e.anchor == TextAnchor::Just) {
        const std::vector<std::string> lines = JustifyLines(*canvas, text, Pixels(e.w), Pixels(e.h));
        const int step = std::max(1, canvas->TextHeight());
        int width = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            canvas->DrawText(px, py + static_cast<int>(i) * step, lines[i]);
            width = canvas->TextWidth(lines[i]);
        }
        lastX = x + width / unit;
        return;
    }
    const int width = canvas->TextWidth(text);
    switch (e.anchor) {
        case TextAnchor::Right:
            canvas->DrawText(px - width, py, text);
            lastX = x;
            break;
        case TextAnchor::Center:
            canvas->DrawText(px - width / 2, py, text);
            lastX = x + width / unit;
            break;
        default:
            canvas->DrawText(px, py, text);
            lastX = x + width / unit;
            break;
    }
}

void tbl_report::DrawBar(const ReportElement& e, std::string_view line) {
    const double x = e.x.last ? lastX : e.x.value;
    const double y = e.y.last ? lastY : e.y.value;
    const std::string text = Expand(e.expr, line);
    // A symbol is never drawn larger than a picture can be.
    constexpr int kMaxBarPixels = 1 << 16;
    const int px = PixelX(x), py = PixelY(y);
    const int w = std::clamp(Pixels(e.w), 0, kMaxBarPixels), h = std::clamp(Pixels(e.h), 0, kMaxBarPixels);
    if (e.mode < 0 || e.mode > kBarcodeTypeCount) {
        AddMessage("Nieznany rodzaj kodu kreskowego MODE="_cp + e.modeWord.substr(0, 32) + " (dozwolone 1 do 15)");
        return;
    }
    if (e.mode == 0) {
        // The built-in interleaved 2 of 5 stands at its box's left edge, as
        // the report descriptions written for it expect.
        const std::string error = DrawInterleaved25(*canvas, text, px, py, w, h);
        if (!error.empty()) AddMessage(error);
        return;
    }
    // The symbol and its quiet zones fill the box: a scanner finds nothing
    // but white beside the symbol however close the frame lines around the
    // box stand. A box too narrow for them makes the symbol narrower.
    const CanvasRect box{px, py, px + w, py + h};
    TBarcode bar;
    bar.SetTyp(static_cast<TBarcodeType>(e.mode - 1));
    bar.SetText(text);
    const BarcodeModules symbol = bar.Modules();
    if (!symbol.error.empty()) {
        AddMessage(symbol.error);
        return;
    }
    if (symbol.width <= 0) return;
    const QuietZone zone = QuietZoneOf(bar.Typ());
    const double module = bar.Widths()[0];
    const double total = static_cast<double>(symbol.width) + (zone.left + zone.right) * module;
    const double scale = w / total;
    bar.SetScale(scale);
    bar.SetLeft(px + RoundPixels(zone.left * module * scale));
    bar.SetTop(py);
    bar.SetHeight(h);
    if (!box.Empty()) canvas->FillRect(box, kCanvasWhite);
    if (scale > 0) {
        const std::string error = bar.DrawBarcode(*canvas);
        if (!error.empty()) AddMessage(error);
    }
}

std::string LimitText(ReportCanvas& canvas, std::string_view text, int width) {
    if (canvas.TextWidth(text) <= width) return std::string(text);
    std::size_t keep = FittingPrefix(canvas, text, width, kEllipsis);
    if (keep == text.size()) keep = text.size() - 1;  // the text does not fit as it is
    return std::string(text.substr(0, keep)) + std::string(kEllipsis);
}

std::vector<std::string> JustifyLines(ReportCanvas& canvas, std::string_view text, int w, int h) {
    std::vector<std::string> lines;
    const int lh = std::max(1, canvas.TextHeight());
    std::string_view rest = TrimRight(TrimLeft(text));
    int remaining = h;
    while (true) {
        remaining -= lh;
        const bool fits = canvas.TextWidth(rest) <= w;
        if (remaining < lh || fits) {
            if (fits) {
                lines.emplace_back(rest);
                break;
            }
            // Whole words go from the end until the line fits with "...".
            std::string_view cut = rest;
            while (canvas.TextWidth(std::string(cut) + std::string(kEllipsis)) > w) {
                const std::size_t blank = TrimRight(cut).rfind(' ');
                if (blank == std::string_view::npos) {
                    // One word wider than the box: it is broken, not dropped.
                    cut = cut.substr(0, FittingPrefix(canvas, cut, w, kEllipsis));
                    break;
                }
                cut = TrimRight(cut.substr(0, blank));
            }
            lines.push_back(std::string(cut) + std::string(kEllipsis));
            break;
        }
        // The longest run of whole words that fits.
        std::size_t take = 0;
        for (std::size_t blank = rest.find(' '); blank != std::string_view::npos; blank = rest.find(' ', blank + 1)) {
            if (canvas.TextWidth(TrimRight(rest.substr(0, blank))) > w) break;
            take = blank;
        }
        std::size_t skip = 1;  // the blank after the words
        if (take == 0) {
            // The first word is wider than the box: as much of it as fits,
            // at least one character, so no letter is lost and the rest
            // gets shorter every line.
            take = std::max<std::size_t>(1, FittingPrefix(canvas, rest, w));
            skip = 0;
        }
        lines.emplace_back(TrimRight(rest.substr(0, take)));
        rest = TrimLeft(rest.substr(std::min(rest.size(), take + skip)));
        if (rest.empty()) break;
    }
    return lines;
}

}  // namespace velt
