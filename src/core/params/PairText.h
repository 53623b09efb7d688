#pragma once
// The pair text of parameter forms: name "|" value "|" pairs, in which a "|"
// inside a name or a value travels as the two characters ESC "1". The text
// "||" (one pair, empty name and value) is an answer without values, which
// is not a cancellation (the empty text).
//
// A literal ESC "1" inside a value cannot travel: it would come back as a
// "|". Such values are refused before they are sent (CarriesEscapeOne),
// never changed on the way.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velt {

class my_record;

using ParameterPair = std::pair<std::string, std::string>;

// The escape that stands for "|" inside a name or a value.
inline constexpr char kPairEscape[] = "\x1B" "1";

// The pairs of a text in order, ESC "1" turned back into "|". A last value
// without its closing "|" runs to the end of the text; a last name without
// any "|" after it is no pair.
std::vector<ParameterPair> ReadPairs(std::string_view text);
// The pairs written with "|" escaped; the empty text for no pairs.
std::string JoinPairs(const std::vector<ParameterPair>& pairs);
// A name or value with every "|" written as ESC "1".
std::string EscapePairText(std::string_view text);
// True when the text holds ESC followed by "1", which no pair text can carry.
bool CarriesEscapeOne(std::string_view text);

// Sets the record's field of every pair whose name is not empty.
void FillRecord(my_record& record, std::string_view pairs);
// Every field of the record in record order as a pair text; "||" when the
// record has no field.
std::string RecordPairs(const my_record& record);

// The remembered list with every given pair merged in: the first pair of
// the same name takes the given value, a new name is appended.
std::string MergePairs(std::string_view remembered, std::string_view given);

}  // namespace velt
