#pragma once
// The text of catalogue cards as a KARTA report delivers it: a line holding
// "[KARTA]" or "[KARTA_CENTRALNA]" starts a card (a central one when the
// line is exactly "[KARTA_CENTRALNA]", blanks aside); a line holding one of
// the section markers starts a section, whose content lines follow up to the
// next marker. Empty lines count for nothing. A content line may be wrapped:
// "<A>" text "</X>" begins an indented paragraph, "<L>" text "</X>" is a
// line without indent.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

// The sections in the order a card lays them out.
enum class CardSection { Calls, Heading, Paragraph, Udc, Inventory, Branches };

// "[SYGNATURY]", "[HASLO]", "[PARAGRAF]", "[UKD]", "[INWENTARZ]", "[FILIE]".
std::string_view SectionMarker(CardSection section);
// Whether a line starts a card.
bool StartsCard(std::string_view line);
// The section a line starts, if any; a line that starts a card starts no
// section, and a line holding two markers starts the earlier of the order.
std::optional<CardSection> SectionOf(std::string_view line);
// Whether a line is empty or blank (passed over everywhere).
bool BlankLine(std::string_view line);

// A content line without its wrapper: "<A>" or "<L>" off the front, "</X>"
// off the end (only what is there).
std::string Unwrapped(std::string_view line);
bool WrappedA(std::string_view line);
bool WrappedL(std::string_view line);

// One card of a card text: the lines [marker, end) of the text.
struct CardRange {
    std::size_t marker = 0;
    std::size_t end = 0;
    bool central = false;
};
// The cards of a text in order; lines before the first marker belong to none.
std::vector<CardRange> FindCards(const std::vector<std::string>& lines);

struct CardTextSection {
    CardSection section;
    std::vector<std::string> lines;  // the content lines, blank ones left out
};
// The sections of a card in the order they stand; lines before the first
// section are passed over.
std::vector<CardTextSection> ReadCardSections(const std::vector<std::string>& lines, const CardRange& card);

}  // namespace velt
