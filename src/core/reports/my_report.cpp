#include "reports/my_report.h"

#include "text/CpLiteral.h"

#include <algorithm>
#include <cmath>

namespace velt {
namespace {

constexpr std::size_t kMaxMessages = 50;
constexpr double kPixelBound = 1 << 24;
constexpr double kCmPerInch = 2.54;

}  // namespace

int RoundPixels(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp(v, -kPixelBound, kPixelBound)));
}

my_report::my_report() : title("Zestawienie") {}

void my_report::PageHeader(int page) {
    pageNumber = page;
    mCurrentY += Pixels(headerHeight);
}

void my_report::PrintLine(int) {
    ++printedLines;
    mCurrentY += Pixels(lineHeight);
}

void my_report::PageFooter(int, bool) { mCurrentY += Pixels(footerHeight); }

double my_report::SheetHeight() const {
    const int lines = align == ReportAlign::Const ? constLines : std::min(lineCount, kSheetLines);
    return headerHeight + footerHeight + lineHeight * lines;
}

bool my_report::IsGroupEnd(int) const { return false; }

void my_report::AddMessage(std::string text) {
    if (mMessages.size() >= kMaxMessages) return;
    if (std::find(mMessages.begin(), mMessages.end(), text) == mMessages.end()) mMessages.push_back(std::move(text));
}

int my_report::Pixels(double units) const { return RoundPixels(units * scale); }
int my_report::PixelX(double units) const { return RoundPixels(originX + units * scale); }
int my_report::PixelY(double units) const { return RoundPixels(mCurrentY + units * scale); }

PageLayout my_report::LayoutFor(const PrinterPage& page) const {
    PageLayout l;
    if (!Refusal().empty()) {
        l.error = Refusal();
        return l;
    }
    const double width = ReportWidth();
    if (!(width > 0) || page.ppi < 1 || page.width < 1 || page.height < 1) {
        l.error = "Nie można rozmieścić zestawienia na stronie"_cp;
        return l;
    }
    const double ppi = page.ppi;
    const int rightPx = RoundPixels(ppi * rightMargin / kCmPerInch);
    const int bottomPx = RoundPixels(ppi * bottomMargin / kCmPerInch);
    l.originY = RoundPixels(ppi * topMargin / kCmPerInch);
    l.originX = RoundPixels(ppi * leftMargin / kCmPerInch);
    l.scale = (page.width - l.originX - rightPx) / width;
    const double printable = page.height - l.originY - bottomPx;
    if (!(l.scale > 0) || !(printable > 0)) {
        l.error = "Marginesy nie zostawiają miejsca na zestawienie"_cp;
        return l;
    }
    const auto againstRight = [&] { l.originX = page.width - rightPx - RoundPixels(width * l.scale); };
    if (align == ReportAlign::Standard) {
        // A unit is never larger than 0.6/63.5 inch.
        if (l.scale * 63.5 / ppi > 0.6) {
            l.scale = ppi * 0.6 / 63.5;
            againstRight();
        }
    } else if (align == ReportAlign::Full) {
        const double need = headerHeight + footerHeight + lineHeight;
        if (need > 0 && printable < need * l.scale) l.scale = printable / need;
    } else {
        const double need = headerHeight + footerHeight + constLines * lineHeight;
        if (need > 0 && printable < need * l.scale) {
            l.scale = printable / need;
            againstRight();
        }
    }
    if (align == ReportAlign::Const) {
        l.linesPerPage = constLines;
    } else if (lineHeight <= 0) {
        l.linesPerPage = 1;
    } else {
        const int linePx = RoundPixels(lineHeight * l.scale);
        if (linePx < 1) {
            l.error = "Wysokość wiersza zestawienia na tej stronie wynosi 0 punktów"_cp;
            return l;
        }
        const int room = static_cast<int>(printable) - RoundPixels((headerHeight + footerHeight) * l.scale);
        l.linesPerPage = std::max(1, room / linePx);
    }
    if (l.linesPerPage < 1) l.error = "Strona zestawienia nie mieści żadnego wiersza"_cp;
    return l;
}

template <typename F>
void my_report::ForEachPage(int lpp, F&& each) const {
    ReportSheet sheet;
    int line = 1;
    while (line <= lineCount) {
        sheet.first = line;
        sheet.count = 0;
        sheet.endsGroup = false;
        while (sheet.count < lpp && line <= lineCount) {
            ++sheet.count;
            if (IsGroupEnd(line++)) {
                sheet.endsGroup = true;
                break;
            }
        }
        if (line > lineCount) sheet.endsGroup = true;
        if (!each(sheet)) return;
        if (sheet.endsGroup) {
            ++sheet.group;
            sheet.number = 1;
        } else {
            ++sheet.number;
        }
    }
}

int my_report::CountPages(const PrinterPage& page) const {
    const PageLayout l = LayoutFor(page);
    if (!l.error.empty()) return 0;
    int pages = 0;
    ForEachPage(l.linesPerPage, [&](const ReportSheet&) {
        ++pages;
        return true;
    });
    return pages;
}

std::string my_report::Print(ReportCanvas& target, const PrinterPage& page) {
    const PageLayout l = LayoutFor(page);
    if (!l.error.empty()) return l.error;
    scale = l.scale;
    originX = l.originX;
    originY = l.originY;
    int index = 0;
    bool started = false;
    ForEachPage(l.linesPerPage, [&](const ReportSheet& sheet) {
        ++index;
        if (pageTo > 0 && index > pageTo) return false;
        if (pageFrom > 0 && index < pageFrom) return true;
        if (started) target.NewPage();
        started = true;
        LayOut(target, sheet);
        return true;
    });
    return {};
}

std::vector<ReportSheet> my_report::Sheets() const {
    std::vector<ReportSheet> sheets;
    if (Refusal().empty()) {
        const int lpp = align == ReportAlign::Const ? constLines : kSheetLines;
        ForEachPage(std::max(lpp, 1), [&](const ReportSheet& sheet) {
            sheets.push_back(sheet);
            return true;
        });
    }
    if (sheets.empty()) sheets.push_back(ReportSheet{1, 1, 1, 0, true});
    return sheets;
}

int my_report::SheetPixels(const ReportSheet& sheet) const {
    return RoundPixels(originY + (headerHeight + footerHeight + sheet.count * lineHeight) * scale);
}

void my_report::DrawSheet(ReportCanvas& target, const ReportSheet& sheet, const std::function<void(int)>& progress) {
    if (!Refusal().empty()) return;
    LayOut(target, sheet, progress);
}

void my_report::LayOut(ReportCanvas& target, const ReportSheet& sheet, const std::function<void(int)>& progress) {
    ReportCanvas* const previous = canvas;
    canvas = &target;
    mCurrentY = originY;
    mPageFirst = sheet.count > 0 ? sheet.first : std::min(sheet.first, lineCount);
    mPageLast = sheet.count > 0 ? sheet.first + sheet.count - 1 : lineCount;
    PageHeader(sheet.number);
    for (int i = 0; i < sheet.count; ++i) {
        PrintLine(sheet.first + i);
        if (progress) progress(i + 1);
    }
    PageFooter(sheet.number, sheet.endsGroup);
    canvas = previous;
}

}  // namespace velt
