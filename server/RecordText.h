#pragma once
// Catalogue records as the server keeps them: the record text of key=value
// lines separated by CR, with MARC-like field keys (tag, "Z.1.1.", the
// occurrence, ".1") and subfields marked "^" and a code letter.

#include <string>
#include <string_view>
#include <vector>

namespace velt::server {

struct RecordField {
    std::string key;
    std::string value;
};

class RecordText {
public:
    // Reads a record text; lines without "=" are skipped.
    static RecordText Parse(std::string_view text);

    // The data key of occurrence n (from 1) of a 3-character tag.
    static std::string DataKey(std::string_view tag, int n);
    // Appends occurrence n of tag.
    void Add(std::string_view tag, int n, std::string value);
    // Appends a field under any key ("876I.1.1.2.1").
    void AddKey(std::string key, std::string value) { mFields.push_back({std::move(key), std::move(value)}); }
    // The values of every occurrence of tag, in occurrence order.
    std::vector<std::string> Values(std::string_view tag) const;
    // The first value of tag, empty when none.
    std::string Value(std::string_view tag) const;
    // The record text: key=value lines, each ended by CR.
    std::string Text() const;

    // The value of the field with exactly this key, empty when none.
    std::string Attribute(std::string_view key) const;
    // Every data occurrence of tag with its number, in occurrence order.
    std::vector<std::pair<int, std::string>> Occurrences(std::string_view tag) const;
    // Replaces the fields wholesale (edits build them elsewhere).
    void SetFields(std::vector<RecordField> fields) { mFields = std::move(fields); }

    const std::vector<RecordField>& Fields() const { return mFields; }

private:
    std::vector<RecordField> mFields;
};

// Subfield code of a value ("^a..."): the text of the first such subfield,
// trimmed; empty when absent.
std::string Subfield(std::string_view value, char code);
// The imprint of a publication: its 260, else the 264 of RDA records.
class RecordText;
std::string ImprintOf(const RecordText& record);
// Every subfield with that code.
std::vector<std::string> Subfields(std::string_view value, char code);

}  // namespace velt::server
