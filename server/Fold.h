#pragma once
// The sort form of headings and search texts: what index keys are made of and
// what search texts are compared with.
//
// Letters become capitals, a Polish letter becomes its base letter followed by
// the byte 7F (Ż two of them), so that plain byte order sorts Ą after every
// A-word and before B; other accented letters become their base letter, runs
// of spaces one space, and spaces at the ends go. Folding a folded text
// changes nothing, so a key sent back by the client folds to itself.

#include <string>
#include <string_view>
#include <vector>

namespace velt::server {

// The sort form of a Windows-1250 text.
std::string Fold(std::string_view text);
// The same with hyphens and spaces dropped (ISBN numbers).
std::string FoldCompact(std::string_view text);
// The sort forms of the words of a text (runs of letters and digits).
std::vector<std::string> FoldedWords(std::string_view text);

}  // namespace velt::server
