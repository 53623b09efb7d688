#pragma once
// The catalogue cards of a set of records (KARTA, report 8): for every book
// its main entry card and an added-entry card for each co-author, as the
// card window reads them. A card begins with "[KARTA]", or
// "[KARTA_CENTRALNA]" for a book held by more than one branch; then come the
// sections, each only when it has lines, in the order the card is laid out:
// "[SYGNATURY]" (the call numbers of its copies), "[HASLO]" (the main
// author, or the title when there is none; on an added-entry card the
// co-author, the main heading then being the first paragraph), one
// "[PARAGRAF]" per description paragraph (the title and imprint, the
// physical description, each note, the contents, the ISBN, the tracings:
// subjects numbered, co-authors in Roman numerals), "[UKD]" (the
// classification), "[INWENTARZ]" (the inventory numbers of its copies; never
// on a central card) and "[FILIE]" (the branch marks of a central card). A
// long paragraph or inventory goes on over further content lines, which the
// card window joins.
//
// A location is an occurrence of 852: "^b" its branch, "^h" its call
// number, "^p" an inventory number; the editing form's copies (876) give
// theirs in "876I". The classification is every "^a" of 080, or, without
// one, the numbers of the subjects' topics with the auxiliary of their
// place or period.

#include "RecordText.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velt::server {

struct Session;

inline constexpr std::int32_t kCatalogueCardReport = 8;
// The most cards one report makes: a card is printed by hand, a few hundred
// make a long afternoon already.
inline constexpr std::size_t kMaxCards = 500;
// The most bytes of one text of a card (a title, a call number...).
inline constexpr std::size_t kMaxCardText = 500;
// The most copies of a record read for its card.
inline constexpr std::size_t kMaxCardCopies = 100;

// A text for a content line of a card: control characters become blanks,
// a marker ("[KARTA]", "[HASLO]"...) or a line wrapper ("<A>", "<L>",
// "</X>") inside gets round brackets in place of its own, outer blanks go,
// and the rest is cut to kMaxCardText bytes.
std::string CardTextLine(std::string_view text);

// The lines of a record's cards, from the first marker line on.
std::vector<std::string> CardLines(const RecordText& record);

// The work file of the cards of the books among the records (at most
// kMaxCards cards), lines ended by CR LF.
std::string CatalogueCardText(Session& s, const std::vector<std::uint32_t>& numbers);

} // namespace velt::server
