#pragma once
// The cell markup of display lines: text interrupted by commands. A command
// is ESC (27), a letter naming it, and its argument up to SUB (26) or the end
// of the line.

#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct MarkupElement {
    // 0 for plain text; otherwise the command's letter ("/", "L", "B", "I", ...).
    char command = 0;
    // The plain text, or the command's argument.
    std::string text;
};

// The elements of one markup line, in order.
std::vector<MarkupElement> ParseMarkupLine(std::string_view line);

// A link's argument split into its command and its shown text: "cmd||text";
// "cmd|text" (the whole is the command, the part after "|" the text); or a
// single value that is both.
void SplitLink(std::string_view argument, std::string& command, std::string& text);

// What a reader sees of a line: its plain text and link texts; a new-line
// command becomes one space.
std::string MarkupPlainText(std::string_view line);

// A display text split into lines at carriage returns (a line feed after one
// is dropped).
std::vector<std::string> SplitDisplayLines(std::string_view text);

}  // namespace velt
