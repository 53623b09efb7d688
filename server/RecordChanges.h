#pragma once
// How a record's fields change with a save or a check: the changed fields a
// client sends (key=value lines separated by CR). Modification programs over
// many records are ModificationPrograms.h.

#include "RecordText.h"
#include "Validation.h"

#include <string>
#include <string_view>
#include <vector>

namespace velt::server {

struct Change {
    std::string key;
    std::string value;
};

// A new MARC record carries the control number (001, whose catalogue 003
// names) and stamp (005) of the catalogue it was taken from, which are not
// this catalogue's: they are not taken, and the control number is kept in
// a 035 ("^a(" 003 ")" 001).
std::vector<Change> TakenMarcChanges(std::vector<Change> changes);

// The key=value lines of a changes text; lines without "=" are skipped.
std::vector<Change> ParseChanges(std::string_view text);

// Applies changes in order: a key holding "#" is a working field and is
// ignored, an empty value removes the field, a read-only field may only be
// sent with the value it has, a malformed key is refused. Errors leave the
// fields in any state (the caller drops them).
std::vector<FieldError> ApplyChanges(std::vector<RecordField>& fields, const std::vector<Change>& changes);

// Fields the server keeps itself: the record number (001) and the change stamp (005).
bool IsReadOnlyKey(std::string_view key);
// A key that can travel as a line: 1 to 200 bytes, no control byte, no leading "*".
bool ValidKey(std::string_view key);

// The whole text matches the pattern: "*" any run, "?" one character.
bool KeyMatches(std::string_view pattern, std::string_view text);

}  // namespace velt::server
