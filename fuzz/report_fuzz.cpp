// The table report over any description and data: the first byte chooses
// the page, the rest is the description, a NUL byte and the data lines.
// Reading, counting the pages, printing them and drawing every preview
// sheet terminates and keeps the positions within the pixel bounds.

#include "reports/GreyImage.h"
#include "reports/my_save.h"
#include "reports/tbl_report.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace velt;

namespace {

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Checks every mark stays within what a surface takes.
class CheckingCanvas : public GreyImage {
public:
    CheckingCanvas() : GreyImage(64, 64) {}
    void DrawText(int x, int y, std::string_view text) override {
        Check(x);
        Check(y);
        if (text.size() > 8192) __builtin_trap();
        ++marks;
    }
    void DrawLine(int x1, int y1, int x2, int y2, int pen) override {
        Check(x1), Check(y1), Check(x2), Check(y2), Check(pen);
        GreyImage::DrawLine(x1, y1, x2, y2, pen);
        ++marks;
    }
    static void Check(int v) {
        if (v < -(1 << 25) || v > (1 << 25)) __builtin_trap();
    }
    long marks = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const PrinterPage page{1 + data[0] % 600, 1 + data[0] * 13, 1 + data[0] * 17};
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t nul = rest.find('\0');
    std::vector<std::string> description = Lines(rest.substr(0, nul));
    std::vector<std::string> lines = nul == std::string_view::npos ? std::vector<std::string>{}
                                                                     : Lines(rest.substr(nul + 1));
    tbl_report report("T", std::move(description), std::move(lines));
    const int pages = report.CountPages(page);
    if (pages < 0 || pages > report.lineCount) __builtin_trap();
    CheckingCanvas canvas;
    report.pageTo = 3;  // a few pages are enough to cover the layout
    if (!report.Print(canvas, page).empty() && canvas.marks != 0) __builtin_trap();
    report.scale = 1.0;
    report.originX = report.originY = 0;
    const std::vector<ReportSheet> sheets = report.Sheets();
    int lines_seen = 0;
    for (const ReportSheet& sheet : sheets) lines_seen += sheet.count;
    if (lines_seen != (report.Refusal().empty() ? report.lineCount : 0)) __builtin_trap();
    for (std::size_t i = 0; i < sheets.size() && i < 3; ++i) report.DrawSheet(canvas, sheets[i]);
    if (report.Messages().size() > 60) __builtin_trap();
    const std::string srp = SrpText(report);
    if (srp.find("[END]\r\n") == std::string::npos) __builtin_trap();
    (void)CsvText(report);
    return 0;
}
