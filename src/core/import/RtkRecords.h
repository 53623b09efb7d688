#pragma once
// The records taken from another catalogue of the system: its export texts
// read into records, the local code tables of a VELT1 catalogue and the
// replacement of the source's codes, and what must not come over as it is
// (the fields the local server keeps itself, the link to a parent of the
// other catalogue, links to its authority records).

#include "text/my_record.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

class velt_files;

struct ExportRecord {
    std::string identifier;  // the header's identifier (its first letter the kind)
    my_record record;
};

// The records of an export text. A text of a VELT2/VELT3 source may hold
// several, each opened by a line "[DOKUMENT" identifier and one closing
// character; a VELT1 source sends one record, its header not read (but the
// text must begin with "[DOKUMENT"). Of every other line the key is trimmed
// (the value keeps its blanks: a fixed-length field ends in them); a key
// beginning with "*" or holding "#" (what the server keeps, working fields)
// is skipped; an empty value makes no field. None (error set to "Zła budowa
// formatu eksportu") for a text that does not begin with a header, or a
// header too short to name a record.
std::optional<std::vector<ExportRecord>> ReadExportText(std::string_view text, bool velt1, std::string& error);

// A VELT1 catalogue's code tables: name → local code ("101_pol" → "pol",
// "DOK_ksk" → "ksk"), read from its dictionary lists (kind 8, parameter 1).
using CodeTables = std::vector<std::pair<std::string, std::string>>;
CodeTables ReadCodeTables(velt_files& files, bool countries);

// The source's code of a field replaced by the local one: silently when the
// table has it; else by the local code sharing the longest beginning with it
// (on equal length the later), with a warning on the field; when no local
// code shares a beginning the value stays, with a warning. True when the
// value changed.
bool ReplaceCode(const CodeTables& tables, const std::string& table, my_record& record, const std::string& key,
                 const std::string& warning);
// Every code-replaced field of a record from a VELT1 source (DOK_TYP, the
// keys', languages', roles', events' and, with countries, the countries' codes).
void ReplaceCodes(const CodeTables& tables, my_record& record, bool countries);

// A record made for this catalogue from a taken one: the fields of the
// initial record (what the local server gives a new record of the kind),
// then the taken fields except those the initial record marks read-only and
// the link to a parent; "^9" links to authority records of the other
// catalogue are removed. The warnings (fields left out, links removed) go
// onto the record as errors of their fields, so the editor shows them.
my_record RecordForHere(const my_record& initial, const my_record& taken);

}  // namespace velt
