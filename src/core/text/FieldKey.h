#pragma once
// The occurrence form of a field key: a tag path, one character per level of
// the field hierarchy, then one ".n" per character giving the occurrence at
// that level. '245Z.1.1.3.1' is occurrence 3 of tag 245, its data part 'Z'.
// A key without a full stop is a record attribute ("DOK_IDO").

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct FieldKey {
    std::string tags;              // the tag path, e.g. "245Z"
    std::vector<int> occurrences;  // one per tag character, each from 1

    // The key split up; nothing when it is not a well-formed occurrence key.
    static std::optional<FieldKey> Parse(std::string_view key);
    // The key text, e.g. "245Z.1.1.3.1".
    std::string Text() const;
};

// True for a record attribute: a key without a full stop.
bool IsRecordAttribute(std::string_view key);
// True for a working field: a key holding "#".
bool IsWorkingKey(std::string_view key);
// The key of a MARC field's part ('A' first indicator, 'B' second, 'Z' data)
// in occurrence n of the 3-character tag: tag + part + ".1.1." + n + ".1".
std::string MarcFieldKey(std::string_view tag, char part, int occurrence);

}  // namespace velt
