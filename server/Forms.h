#pragma once
// The record kinds the catalogue edits (the status parameter "formularze")
// and what the editing requests hand out for each: the form description,
// the field-event script, the initial record of a new record and the help
// text of a field. The texts live in server/forms (Windows-1250), one file
// of each sort per kind, carried inside the program.

#include <string>
#include <string_view>
#include <vector>

namespace velt::server {

struct FormKind {
    char code;            // the form code: the kind letter of its records
    std::string caption;  // Windows-1250
};

const std::vector<FormKind>& FormKinds();
// The value of "formularze": code "|" caption "|" for each kind.
std::string FormsParameter();
// True when the text is exactly one form code.
bool IsFormCode(std::string_view text);

// The texts as the server sends them: lines separated by CR, none after the
// last; empty for a code the catalogue has no form of.
std::string FormDescription(char code);
std::string EventScript(char code);
// The initial record of a new record of the kind: key=value lines, the
// record number and change stamp marked read-only, {DZIS} replaced by
// today's date (YYYYMMDD).
std::string InitialRecord(char code);
// The help text of a field of the kind's form (the kind's general help for
// a field without one of its own).
std::string FieldHelp(char code, std::string_view field);

}  // namespace velt::server
