#pragma once
// The text form of records, as they travel between server and client and
// are kept in work files: lines key "=" value separated by CR, a leading "*"
// marking a read-only field; the error reply of a rejected record; the export
// form holding several records.

#include "text/my_record.h"

#include <string>
#include <vector>

namespace velt {

// A text made from a record, or the reason it could not be made.
struct RecordTextResult {
    std::string text;
    std::string error;  // empty on success
    bool ok() const { return error.empty(); }
};

// A new record with one field per key=value line (lines without "=" are
// skipped); the kind is left to the caller.
my_record ParseRecordText(std::string_view text);

// Every field as a line, read-only ones marked with "*".
RecordTextResult RecordText(const my_record& record);

// The line key=value+CR of every field whose value differs from its loaded
// one, in field order; empty when nothing changed. A key or value that would
// break the line structure (CR, a zero byte, "=" or a leading "*" in a key,
// an empty key) refuses the whole text with an error naming the field.
RecordTextResult ChangedText(const my_record& record);

// Replaces the record's errors by those of the server's reply: pairs of a
// message line and a key-patterns line; a reply without pairs is one error
// for the whole record.
void ParseErrorReply(my_record& record, std::string_view reply);

// The records of an export text: each begins with a line "[DOKUMENT" kind "]"
// and holds the key=value lines up to the next such line.
std::vector<my_record> SplitExportText(std::string_view text);

}  // namespace velt
