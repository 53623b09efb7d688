#pragma once
// The cell markup of display lines: text interrupted by commands. A command
// is ESC (27), a letter naming it, and its argument up to SUB (26) or the end
// of the line. ESC "U" and four hexadecimal digits closed by SUB is not a
// command but a character the code page lacks, and stays part of the text.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct MarkupElement {
    // 0 for plain text; otherwise the command's letter ("/", "L", "B", "I", ...).
    char command = 0;
    // The plain text, or the command's argument: a part of the line parsed.
    std::string_view text;
};

// The elements of one markup line, in order; they point into the line,
// which must outlive them (never pass a temporary string).
std::vector<MarkupElement> ParseMarkupLine(std::string_view line);

// A link's argument split into its command and its shown text: "cmd||text";
// "cmd|text" (the whole is the command, the part after "|" the text); or a
// single value that is both.
void SplitLink(std::string_view argument, std::string& command, std::string& text);

// A picture's argument ("?", "B", "I"): "command||content", or one value
// used as both (withCommand) or as the content alone with no command.
void SplitPicture(std::string_view argument, bool withCommand, std::string& command, std::string& content);

// A colour argument: "$" and hexadecimal digits (0x00BBGGRR), or one of the
// letters 0 B G L R Y. False (colour unchanged) for anything else.
bool ParseMarkupColour(std::string_view argument, std::uint32_t& colour);

// The bytes of a JPEG carried in an "I" argument: ESC followed by 1..5
// stands for 0, 26, 27, 13 and "|"; an ESC before any other byte stands for
// that byte; an ESC at the very end is dropped.
std::string DecodeCarriedPicture(std::string_view argument);

// What a reader sees of a line: its plain text and link texts; a new-line
// command becomes one space.
std::string MarkupPlainText(std::string_view line);

// A display text split into lines at carriage returns (a line feed after one
// is dropped).
std::vector<std::string> SplitDisplayLines(std::string_view text);

// Control bytes of a text from outside the catalogue (a Z39.50 record, a
// server's diagnostic) made harmless for a display line: ESC and SUB become
// spaces, except in the escapes of characters the code page lacks.
std::string NeutraliseMarkup(std::string_view text);

}  // namespace velt
