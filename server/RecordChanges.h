#pragma once
// How a record's fields change: the changed fields a client sends with a
// save or a check (key=value lines separated by CR), and the server's own
// modification programs run over many records at once:
//
//   begin
//   ustaw KEY=VALUE          sets the field (an empty value removes it)
//   usuń PATTERN             removes every field whose key matches
//   zamień PATTERN|OLD|NEW   replaces OLD by NEW in every matching field
//   end
//
// Patterns take "*" (any run) and "?" (one character). Keywords may be
// written in any letter case, also without Polish letters (usun, zamien).

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

struct ProgramStep {
    enum Kind { Set, Remove, Replace } kind;
    std::string key;   // Set: the key; otherwise a pattern
    std::string value; // Set: the value; Replace: the new text
    std::string from;  // Replace: the old text
};

struct ModificationProgram {
    std::vector<ProgramStep> steps;
    std::string error;  // not empty: the program cannot run, and why
};

ModificationProgram ParseProgram(std::string_view text);
// Runs the program over one record's fields.
std::vector<FieldError> RunProgram(const ModificationProgram& program, std::vector<RecordField>& fields);

}  // namespace velt::server
