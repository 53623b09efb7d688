#pragma once
// The work file of a FORMAT report read into paragraphs of formatted runs:
// "[PARAGRAF" lines start a paragraph with its indents, "[CZCIONKA" lines
// change bold, italic and the size, the other lines are its text.

#include <string>
#include <vector>

namespace velt {

// The bounds of a report's numbers: indents in pixels, sizes in points.
inline constexpr int kMaxParagraphIndent = 2000;
inline constexpr int kMinFontPoints = 4;
inline constexpr int kMaxFontPoints = 144;

struct FormattedRun {
    std::string text;  // Windows-1250
    bool bold = false;
    bool italic = false;
    int points = 0;    // 0: the window's size
    bool operator==(const FormattedRun&) const = default;
};

struct FormattedParagraph {
    int firstIndent = 0, leftIndent = 0, rightIndent = 0;
    std::vector<FormattedRun> runs;
    // The whole text of the paragraph.
    std::string Text() const;
};

// The paragraphs of the lines (each without its line end); an empty
// paragraph stands for the empty line before a paragraph that follows text.
std::vector<FormattedParagraph> ReadFormattedText(const std::vector<std::string>& lines);

}  // namespace velt
