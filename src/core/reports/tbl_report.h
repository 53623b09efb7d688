#pragma once
// A table report: a description (ReportDescription.h) and its data lines,
// one per record, drawn by the description's elements.

#include "reports/ReportMacros.h"
#include "reports/my_report.h"

#include <string>
#include <vector>

namespace velt {

// The largest description or SRP file read, in bytes.
inline constexpr std::size_t kMaxReportFileBytes = std::size_t{256} << 20;

// The lines of a file without their line ends (CR LF or LF); false when it
// cannot be opened or is larger than the bound.
bool ReadReportLines(const std::string& path, std::vector<std::string>& lines);

class tbl_report : public my_report {
public:
    // From description lines and data lines already in memory.
    tbl_report(std::string title, std::vector<std::string> description, std::vector<std::string> data);

    // From a description file and data lines; "Brak pliku: " + name when the
    // file cannot be read (the report is then refused).
    static tbl_report FromDescriptionFile(std::string title, std::vector<std::string> data,
                                          const std::string& descriptionFile);
    // From an SRP file: the description up to and including "[END]", every
    // further line a data line.
    static tbl_report FromSrpFile(std::string title, const std::string& srpFile);

    const std::vector<std::string>& description() const { return mDescriptionLines; }
    const std::vector<std::string>& data() const { return mData; }
    const ReportDescription& Parsed() const { return mParsed; }
    double width() const { return mParsed.width; }

    // What %D, %T, %0, %1 and %2 stand for; the clock is read when the
    // report is made.
    MacroContext& Macros() { return mMacros; }

    void PageHeader(int page) override;
    void PrintLine(int line) override;
    void PageFooter(int page, bool last) override;
    double ReportWidth() const override { return mParsed.width; }
    bool IsGroupEnd(int line) const override;

private:
    tbl_report() = default;
    void Setup();
    void DrawSection(ReportSectionKind kind, int dataLine, bool firstPage, bool lastPage);
    void DrawElement(const ReportElement& e, std::string_view line, const CanvasFont& sectionFont);
    void DrawText(const ReportElement& e, std::string_view line, const CanvasFont& sectionFont);
    void DrawBar(const ReportElement& e, std::string_view line);
    std::string Expand(std::string_view expr, std::string_view line);

    std::vector<std::string> mDescriptionLines;
    std::vector<std::string> mData;
    ReportDescription mParsed;
    MacroContext mMacros;
};

// The lines of a text wrapped into a box w pixels wide and h high with the
// canvas's current font: whole words where they fit, a word wider than the
// box broken, the last line ending in "..." when the text goes on.
std::vector<std::string> JustifyLines(ReportCanvas& canvas, std::string_view text, int w, int h);

// The text cut to width pixels: characters taken from its end until it
// fits followed by "..."; the text unchanged when it fits.
std::string LimitText(ReportCanvas& canvas, std::string_view text, int width);

}  // namespace velt
