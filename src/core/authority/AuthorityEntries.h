#pragma once
// Authority files without a window: the entries of an authority list (the
// heading and its display by index kind, the hidden tags of the display),
// finding the authority file a reference names, the exact lookup of a term,
// and a record's reference text.

#include "catalogue/DescriptorItems.h"

#include <optional>
#include <string>
#include <string_view>

namespace velt {

class velt_files;
struct TVeltRecord;

// Where an authority entry holds its heading and its display, by index kind
// (9: 3 and 4; 22: 4 and 5; 40 and 51: 2 and 3); 0 for a kind without them.
struct AuthorityItems {
    int term = 0;
    int display = 0;
};
AuthorityItems ItemsOfKind(std::uint32_t kind);

// The entry's heading and its display (CR-separated lines).
std::string EntryTerm(const TVeltRecord& entry);
std::string EntryDisplay(const TVeltRecord& entry);

// The first hidden value tagged name in a display: ESC "&" name "=" value,
// the value ending at SUB, CR or the end. None when the tag is not there.
std::optional<std::string> EntryTag(std::string_view display, std::string_view name);

// The identifiers of an entry's "open" value: its "|"-parts, empty and
// repeated parts dropped.
std::vector<std::string> OpenIdentifiers(std::string_view open);

// The authority file a reference names: "KHW" and a file's Id, else the
// first file with an index whose prefix (blanks trimmed) is the reference;
// none otherwise.
const velt_KHW* FindAuthorityFile(const velt_files& files, std::string_view reference);

// The file of the value list of a reference, for a lookup in mode F when no
// authority file has it: "Lista wartości", one index "indeks " + reference
// (kind 22, parameter 2, the reference as prefix), no Id (so no records).
velt_KHW ValueListFile(const std::string& reference);

// The index kind and prefix of the value list behind a reference, for the
// kind of server: 22 with the reference, or 9 with it and one blank (VELT1).
std::uint8_t TermListKind(const velt_files& files);

// The display of the entry whose heading is exactly term, among those of
// the value list of prefix, formatted by the first format of formatType;
// empty when there is no such format or entry.
std::string ExactAuthorityTerm(velt_files& files, const std::string& formatType, const std::string& prefix,
                               const std::string& term);

// A record's text in the first format of formatType: "** " id " **" without
// such a format, empty for an empty identifier or a record not found.
std::string ReferenceText(velt_files& files, const std::string& identifier, const std::string& formatType);

// A lookup's result as a search text: the heading of an "^a…" value (up to
// the next subfield), any other result as it is.
std::string HeadingText(const std::string& result);

}  // namespace velt
