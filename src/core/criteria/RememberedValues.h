#pragma once
// What the criteria panel remembers of each row across runs: the row's
// value text under its criterion's name, kept in the configuration's section
// "KRYTERIA" (a key a criterion). A value travels through the file with CR,
// LF and ESC written as ESC and a letter, so that a value can never start a
// key or a section of its own; a criterion name that cannot be a key (empty,
// with "=", a bracket, a line break or surrounding blanks) is not written.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velt {

class ProfileFile;
class TMultiIniFile;

inline constexpr char kCriteriaSection[] = "KRYTERIA";

// A value as the configuration keeps it, and back.
std::string EncodeRememberedValue(std::string_view value);
std::string DecodeRememberedValue(std::string_view stored);
// Whether a criterion's name can be a key of the section.
bool RememberableName(std::string_view name);

class RememberedValues {
public:
    // The text remembered under name; empty when none.
    std::string Get(std::string_view name) const;
    // Sets name's text (an existing name keeps its place).
    void Set(const std::string& name, const std::string& text);
    const std::vector<std::pair<std::string, std::string>>& Entries() const { return mEntries; }

    // Every key of the section, read at start.
    void Read(const TMultiIniFile& ini);
    // Every entry written back under its name (a name that cannot be a key
    // is left out); true when something was written.
    bool Write(ProfileFile& file) const;

private:
    std::vector<std::pair<std::string, std::string>> mEntries;  // insertion order
};

}  // namespace velt
