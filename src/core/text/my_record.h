#pragma once
// A catalogue record as the client holds it: an ordered set of named text
// fields with their values as loaded and as changed, a read-only flag per
// field, and the list of errors the server or a script attached to it.
//
// Field keys are either record attributes ("DOK_IDO") or occurrence keys
// (FieldKey.h); keys holding "#" are working fields, which never make the
// record modified. Look-up by key goes through a hash index beside the
// ordered list, so records of thousands of fields stay fast.

#include "text/my_error.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct my_field {
    std::string key;
    std::uint8_t readonly = 0;  // 1: the user may not edit the field
    std::string loaded;         // as received or first stored
    std::string value;          // current value
};

class my_record {
public:
    my_record() = default;
    explicit my_record(std::string kind) : kind(std::move(kind)) {}

    // Appends a field whose loaded and current values are both value; an
    // existing key is set instead (keys stay unique).
    void AddField(std::string key, std::string value, std::uint8_t readonly);
    // The current value, empty when there is no such field.
    const std::string& GetValue(std::string_view key) const;
    // Sets the current value; a missing field is appended unless text is empty.
    // Key and text are taken by value: they may be the record's own texts
    // (SetValue(k, GetValue(other))), which appending a field may move.
    void SetValue(std::string key, std::string text);
    // The field's flag, 0 when there is no such field.
    std::uint8_t IsReadOnly(std::string_view key) const;
    // Sets the flag; a missing field is appended (empty) only for flag 1.
    void SetReadOnly(std::string key, std::uint8_t flag);
    // True when a field without "#" in its key differs from its loaded value.
    bool IsModified() const;
    // The largest number a "?" of the pattern captures over all keys, 0 when none.
    int MaxOccurrence(std::string_view pattern) const;

    void AddError(const std::string& message, const std::string& keys);
    void ClearErrors() { mErrors.clear(); }
    // Deletes every error one of whose patterns matches the key.
    void ClearErrorsFor(const std::string& key);

    // Takes the other record's current values, its read-only flags where this
    // record's field is editable, and a copy of its errors.
    void CopyFrom(const my_record& other);

    // Makes room for n fields (a record about to be filled).
    void Reserve(std::size_t n);

    // The field of the key, nullptr when there is none.
    const my_field* Find(std::string_view key) const;
    // Fields in the order of arrival or creation.
    const std::vector<my_field>& fields() const { return mFields; }
    const std::vector<my_error>& errors() const { return mErrors; }

    std::string kind;  // record kind or form; its first character is the kind letter

private:
    my_field* FindMutable(std::string_view key);
    my_field& Append(std::string key);

    // The slot of the key in mSlots: the one holding it, or the empty one
    // where it would go.
    std::size_t SlotOf(std::string_view key) const;
    // Rebuilds the index with room for n fields.
    void Rehash(std::size_t n);

    std::vector<my_field> mFields;
    // Open-addressing index over mFields: 0 empty, else the field's position
    // + 1; a power of two, at most half full. No allocation per field.
    std::vector<std::uint32_t> mSlots;
    std::vector<my_error> mErrors;
};

}  // namespace velt
