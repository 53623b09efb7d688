#pragma once
// The report description reader: the text of a table report's description
// (its [REPORT line, the [HEADER, [LINE and [FOOTER sections and [END]) read
// into page settings and element lines. Nothing is drawn here; tbl_report
// draws the elements.
//
// Every number of a description is bounded when it is read, so a hostile
// description cannot make the layout overflow or divide by zero.

#include <string>
#include <string_view>
#include <vector>

namespace velt {

// The bounds of the numbers of a description: coordinates and sizes in
// report units, lines per page, a character height in units.
inline constexpr double kMaxReportUnits = 100000.0;
inline constexpr int kMaxConstLines = 10000;
inline constexpr int kMaxTextSize = 1000;
// The longest description read (lines and bytes); the rest is ignored.
inline constexpr std::size_t kMaxDescriptionLines = 10000;
inline constexpr std::size_t kMaxDescriptionLineBytes = 4096;

enum class ReportAlign { Standard = 0, Full = 1, Const = 2 };
enum class ReportSectionKind { Header = 0, Line = 1, Footer = 2 };

// Where an element is drawn, from the words FIRST, LAST, NOFIRST, NOLAST
// and OTHER of its line.
enum class ElementPlace { Always, First, Last, NoFirst, NoLast, Other };

enum class ReportElementKind { Box, VRule, HRule, Text, Bar };

enum class TextAnchor { Left, Right, Center, Just };

// A coordinate: a number of units, or "+" for where the last text ended.
struct ReportCoord {
    double value = 0;
    bool last = false;
};

struct ReportElement {
    ReportElementKind kind = ReportElementKind::Box;
    std::string expr;               // TEXT and BAR: the macro expression
    ReportCoord x, y;
    double w = 0, h = 0;            // BOX size, V/H length (w), BAR box, JUST box
    bool bold = false;
    ElementPlace place = ElementPlace::Always;
    std::string when, except;       // macro expressions, empty when absent
    bool hasWhen = false, hasExcept = false;
    // TEXT options
    std::string font;               // empty: the font of the section
    double size = 0;                // 0: the default height
    bool hasLimit = false;
    double limit = 0;
    TextAnchor anchor = TextAnchor::Left;
    // BAR: MODE=n, 0 without it; the word as written for the message.
    int mode = 0;
    std::string modeWord;
    std::string line;               // the element line as written
};

struct ReportSection {
    bool present = false;
    double height = 1;              // units; 1 when the section is absent
    std::vector<ReportElement> elements;
};

struct ReportDescription {
    bool hasReportLine = false;
    double width = 0;
    ReportAlign align = ReportAlign::Standard;
    int constLines = 0;
    int orientation = 0;            // 0 as the printer is, 1 portrait, 2 landscape
    // Margins in centimetres.
    double left = 1.5, right = 0.5, top = 1.0, bottom = 1.0;
    ReportSection sections[3];
    // The lines of the LINE section as written, for the CSV columns.
    std::vector<std::string> lineSectionText;
    // The messages the reader shows, in order (missing words, missing [END]).
    std::vector<std::string> messages;
    // Why the report cannot be laid out, empty when it can.
    std::string refusal;

    const ReportSection& Section(ReportSectionKind kind) const { return sections[static_cast<int>(kind)]; }
};

// Splits a line into its words: runs of characters other than blanks and tabs.
std::vector<std::string_view> SplitWords(std::string_view line);

// A number word: an optional sign, digits and an optional fraction; false
// for anything else. The value is brought into -bound..bound.
bool ParseReportNumber(std::string_view word, double& value, double bound = kMaxReportUnits);

// Reads the description lines (each without its line end). Never fails:
// the problems are in messages and refusal.
ReportDescription ReadReportDescription(const std::vector<std::string>& lines);

}  // namespace velt
