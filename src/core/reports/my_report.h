#pragma once
// The base of all reports: the pages of a list of data lines laid out on a
// canvas, for the preview (sheets at one pixel a unit) and for a printer
// (pages fitted to the paper between its margins).
//
// A report that could never finish (no lines fit a page, a page holds no
// line) is refused: Refusal() says why, CountPages counts nothing and Print
// draws nothing.

#include "reports/ReportCanvas.h"
#include "reports/ReportDescription.h"

#include <functional>
#include <string>
#include <vector>

namespace velt {

// A printer's page: its resolution and its size in pixels.
struct PrinterPage {
    int ppi = 300;
    int width = 0;
    int height = 0;
};

// Where the report goes on a printer's page.
struct PageLayout {
    std::string error;  // empty when the report fits
    double scale = 1.0;
    int originX = 0, originY = 0;
    int linesPerPage = 1;
};

// A sheet of the preview or a printed page: consecutive data lines.
struct ReportSheet {
    int group = 1;        // from 1
    int number = 1;       // the page number within its group, for %P
    int first = 1;        // the first data line, from 1
    int count = 0;        // how many data lines
    bool endsGroup = false;  // the sheet ends its group or the data
};

// The most lines of a preview sheet (ALIGN=CONST: its count).
inline constexpr int kSheetLines = 100;
// The largest page number a printout offers.
inline constexpr int kMaxPrintDialogPages = 1000;

class my_report {
public:
    my_report();
    virtual ~my_report() = default;
    my_report(const my_report&) = default;
    my_report(my_report&&) = default;
    my_report& operator=(const my_report&) = default;
    my_report& operator=(my_report&&) = default;

    std::string title;
    ReportCanvas* canvas = nullptr;
    double scale = 1.0;
    int originX = 0, originY = 0;
    int printedLines = 0;
    double headerHeight = 1, lineHeight = 1, footerHeight = 1;
    ReportAlign align = ReportAlign::Standard;
    int constLines = 0;
    int orientation = 0;
    double lastX = 0, lastY = 0;
    int pageFrom = 0, pageTo = 0;
    int lineCount = 0;
    int pageNumber = 1;
    // Margins in centimetres.
    double leftMargin = 1.5, rightMargin = 0.5, topMargin = 1.0, bottomMargin = 1.0;

    // Draws the page header at the current position and moves below it.
    virtual void PageHeader(int page);
    // Draws data line (from 1) and moves below it.
    virtual void PrintLine(int line);
    // Draws the footer; last when the page ends a group or the data.
    virtual void PageFooter(int page, bool last);
    virtual double ReportWidth() const { return 0; }
    // The height of a full preview sheet in units.
    virtual double SheetHeight() const;
    virtual bool IsGroupEnd(int line) const;

    // Why the report cannot be laid out; empty when it can.
    virtual std::string Refusal() const { return mRefusal; }

    // The messages the report has to show (description and drawing faults).
    std::vector<std::string>& Messages() { return mMessages; }
    void AddMessage(std::string text);

    // The pages on a printer's page: scale, origins and lines a page.
    PageLayout LayoutFor(const PrinterPage& page) const;
    // The pages the report prints on page; 0 when it is refused.
    int CountPages(const PrinterPage& page) const;
    // Prints the pages of pageFrom..pageTo (0: all) on target, starting a new
    // page between them. The error text, with nothing drawn, or empty.
    std::string Print(ReportCanvas& target, const PrinterPage& page);

    // The sheets of the preview, in order; at least one (an empty sheet for
    // a report without lines).
    std::vector<ReportSheet> Sheets() const;
    // The height of sheet in pixels at the current scale and top origin.
    int SheetPixels(const ReportSheet& sheet) const;
    // Draws sheet on target from the current origins at the current scale;
    // progress, when given, hears the count of lines drawn after each line.
    void DrawSheet(ReportCanvas& target, const ReportSheet& sheet, const std::function<void(int)>& progress = {});

    // The pixel position of a unit position.
    int PixelX(double units) const;
    int PixelY(double units) const;
    int Pixels(double units) const;

protected:
    // The pages of lpp lines, each ending early after a group end.
    template <typename F>
    void ForEachPage(int lpp, F&& each) const;
    void LayOut(ReportCanvas& target, const ReportSheet& sheet, const std::function<void(int)>& progress = {});

    std::string mRefusal;
    std::vector<std::string> mMessages;
    int mCurrentY = 0;
    int mPageFirst = 0, mPageLast = 0;  // the data lines of the page drawn
};

// The nearest whole number, a half to the even neighbour, within ±2^24 (the
// pixel positions a surface takes).
int RoundPixels(double v);

}  // namespace velt
