#pragma once
// The host of the formatting language over a record: walks the field keys
// by group (a tag path) and position (an occurrence path, '.1.1.3'), reads
// and writes field values and read-only flags, and hands the lookups a
// script makes of the catalogue server (LAST, SELECT, REFERENCES, CFG) to
// its ScriptLookups.
//
// The occurrence number 9999 stands for a missing occurrence: a position
// whose last number is 9999 points at nothing, and writing there creates a
// new occurrence.

#include "lang/ScriptLookups.h"
#include "lang/TInterpreter.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velt {

class my_record;

class ACTInterpreter : public TInterpreter {
public:
    static constexpr long kMissing = 9999;
    // SELECT and REFERENCES read at most this many index entries.
    static constexpr int kMaxWalk = ScriptLookups::kMaxWalk;
    // A tag path is a handful of characters; a longer one ends the run
    // (every character is a level the walk descends).
    static constexpr std::size_t kMaxGroup = 255;

    // Works on the record (not owned); lookups may be none (the server
    // lookups find nothing).
    ACTInterpreter(ErrorSink sink, my_record& record, ScriptLookups* lookups);

    const std::string& group() const { return mGroup; }
    const std::string& position() const { return mPosition; }
    // True while a GRUPA has no matching BACK.
    bool GroupsOpen() const { return !mGroupStack.empty(); }

    // The position after pos among the keys beginning with prefix: the same
    // parent, the next greater last number, or 9999.
    std::string NextOccurrence(const std::string& prefix, const std::string& pos) const;
    // A position under which a new occurrence can be written.
    std::string NewOccurrence(const std::string& prefix, const std::string& pos) const;

protected:
    void EnterGroup(const std::string& tags) override;
    bool Status() override;
    void Skip() override;
    void LeaveGroup() override;
    std::string GetField() override;
    void SetField(const std::string& value) override;
    bool IsReadOnly() override;
    void SetReadOnly(bool flag) override;
    std::string GetPosition() override;
    void SetPosition(const std::string& position) override;
    char Marker() override;
    std::string Last(const std::string& key) override;
    std::string Select(const std::string& kinds, const std::string& start, const std::string& pattern) override;
    std::string References(const std::string& id, const std::string& kinds) override;
    std::string Config(const std::string& name) override;

private:
    struct group_elem {
        std::string group;
        std::string position;
        my_record* record;
    };

    // The occurrence numbers of the record's keys, grouped by the first
    // character of the key and read when the walk first looks at the group:
    // a walk looks at one group only. Records only ever gain fields, so new
    // ones are added as they appear.
    struct KeyOccurrences {
        std::uint32_t field;  // index into the record's fields
        std::uint32_t first;  // its numbers: mNumbers[first .. first + count)
        std::uint32_t count;
    };
    const std::vector<KeyOccurrences>& KeysStartingWith(char c) const;
    // Calls each(numbers, count) for every readable key beginning with prefix.
    template <typename Each>
    void ForKeys(const std::string& prefix, Each each) const;

    bool PointsAtNothing() const;
    // False (and reported) when a field would be written before any GRUPA.
    bool CanWrite();

    my_record* mRecord;
    ScriptLookups* mLookups;
    std::string mGroup;
    std::string mPosition;
    std::vector<group_elem> mGroupStack;
    mutable std::array<std::vector<KeyOccurrences>, 256> mKeys;
    mutable std::array<std::vector<std::uint32_t>, 256> mUnread;  // fields not yet read, by first character
    mutable std::vector<long> mNumbers;
    mutable std::size_t mKeysRead = 0;
};

// Reads an occurrence path ('.1.1.3') into its numbers; false when it is not
// one (a component without digits, or a number beyond 9 digits).
bool ParseOccurrences(std::string_view position, std::vector<long>& numbers);

}  // namespace velt
