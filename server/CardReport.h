#pragma once
// The catalogue cards of a set of records (KARTA, report 8): for every book
// one card text as the card window reads it. A card begins with "[KARTA]",
// or "[KARTA_CENTRALNA]" for a book held by more than one branch; then come
// the sections, each only when it has lines, in the order the card is laid
// out: "[SYGNATURY]" (the call numbers of its copies), "[HASLO]" (the main
// author, or the title when there is none), one "[PARAGRAF]" per
// description paragraph, "[UKD]" (the classification), "[INWENTARZ]" (the
// inventory numbers of its copies; never on a central card) and "[FILIE]"
// (the branch marks of a central card).
//
// A copy is an occurrence of 852: "^b" its branch, "^h" its call number,
// "^p" its inventory number; the classification is every "^a" of 080.

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

// The lines of one record's card, from its marker line on.
std::vector<std::string> CardLines(const RecordText& record);

// The work file of the cards of the books among the records (at most
// kMaxCards), lines ended by CR LF.
std::string CatalogueCardText(Session& s, const std::vector<std::uint32_t>& numbers);

} // namespace velt::server
