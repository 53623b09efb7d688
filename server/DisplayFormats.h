#pragma once
// The display formats: a record turned into the lines the client draws,
// written in its cell markup (ESC, a command letter, the argument, SUB) and
// joined by CR. Links carry the client's entry commands: a search
// ("zapytanie"), a picture ("JPG"), an attachment ("BLOB"), a record in
// another index ("rekord", or index code "|" identifier).

#include "Catalogue.h"
#include "Identifiers.h"

#include <string>
#include <string_view>

namespace velt::server {

struct IndexDef;

// The display text of a record in a format (0 and unknown numbers give the
// short format). heading, when not empty, is shown first: the index entry's
// own heading.
// An entry of an authority index under entryHeading (a see-reference names
// the heading it stands for); with the authority format, the tags the
// lookup reads ("find", "open", "key", "full").
std::string AuthorityEntryText(const Identifiers& ids, const RecordRow& record, int format,
                               std::string_view entryHeading);
// An entry of a value list in the authority format: the heading, and the
// heading as its "key" and "full".
std::string ValueListText(std::string_view heading);

std::string DisplayText(Catalogue& db, const Identifiers& ids, const RecordRow& record, int format,
                        std::string_view heading);

// JPEG bytes as carried in the picture command: ESC 1 for 0, ESC 2 for SUB,
// ESC 3 for ESC, ESC 4 for CR, ESC 5 for "|".
std::string EscapePicture(std::string_view bytes);

// A text as it goes inside double quotes in a query: double quote, "#", "&",
// "(", ")" and "|" get a backslash.
std::string EscapeSearchText(std::string_view text);

}  // namespace velt::server
