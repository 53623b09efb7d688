#pragma once
// What a script asks of the catalogue server beyond its record: LAST (the
// last value of a value list), SELECT (the records whose heading of an index
// matches a pattern), REFERENCES (the records that refer to an authority
// record) and CFG (a status parameter). The language itself knows no server:
// the client's catalogue (catalogue/velt_files.h) answers these, and a run
// without one finds nothing.

#include <string>

namespace velt {

class ScriptLookups {
public:
    // SELECT and REFERENCES read at most this many index entries.
    static constexpr int kMaxWalk = 10000;

    virtual ~ScriptLookups() = default;
    // The third item of the last entry of the value list at key; empty when none.
    virtual std::string Last(const std::string& key) = 0;
    // The shown identifiers, each followed by "|", of the entries at or
    // after start whose kind is among kinds (any when empty) and whose
    // heading matches pattern.
    virtual std::string Select(const std::string& kinds, const std::string& start, const std::string& pattern) = 0;
    // The shown identifiers, each followed by "|", of the records that refer
    // to the authority record id, of the kinds given (any when empty).
    virtual std::string References(const std::string& id, const std::string& kinds) = 0;
    // The status parameter name; empty when absent.
    virtual std::string Config(const std::string& name) = 0;
};

}  // namespace velt
