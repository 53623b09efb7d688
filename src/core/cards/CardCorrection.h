#pragma once
// Correcting a card before it is printed: its paragraph lines shown one a
// line in a memo (an indented first line of a paragraph after two blanks),
// edited, and turned back into paragraphs that replace the card's
// paragraphs in the card text. Everything else of the card — the sections
// the settings leave out, the lines that did not fit, the call numbers with
// their "_" — stays as the text had it.

#include "cards/CardLayout.h"

#include <string>
#include <vector>

namespace velt {

// The memo's lines: the P lines of the card, "<A>" ones after two blanks.
std::vector<std::string> CorrectionLines(const LaidOutCard& card);

// The memo's lines back as paragraph lines: an empty line is "<A>_</X>"
// (a line of two blanks beginning a paragraph), a line beginning with two
// blanks "<A>" + the trimmed line + "</X>", any other "<L>" + it + "</X>".
std::vector<std::string> CorrectedParagraphs(const std::vector<std::string>& memo);

// The card text with card number (from 1) regenerated: its paragraph
// sections replaced by paragraphs ("[PARAGRAF]" before the first line and
// before every "<A>" line), standing where its first paragraph section stood
// (or before its classification, inventory and branches when it had none);
// its other lines kept. The text unchanged when there is no such card.
std::vector<std::string> GenerujNowaKarta(const std::vector<std::string>& text, int number,
                                          const std::vector<std::string>& paragraphs);

// "&Dodaj Akapit": the memo's lines with a paragraph begun at the caret
// (line and column from 0): the text after the caret goes to a new next line
// beginning with two blanks; at the start of a line two blanks go before it.
struct MemoCaret {
    int line = 0, column = 0;
};
std::vector<std::string> AddParagraph(std::vector<std::string> lines, MemoCaret& caret);

}  // namespace velt
