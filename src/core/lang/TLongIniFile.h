#pragma once
// A file included into the configuration: sections of key "=" value lines of
// any length, names compared without regard to letter case. Lines are trimmed;
// "#" lines are comments; no blanks are removed around the "=".

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct TLongSection {
    std::string Name;
    std::vector<std::string> Keys;   // in file order
    std::vector<std::string> Lines;  // the whole key "=" value lines beside them
};

class TLongIniFile {
public:
    // Reads the file; one that cannot be read is empty.
    explicit TLongIniFile(const std::string& fileName);

    // The value of the first line of the key; def when missing or empty.
    std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
    std::int64_t ReadInteger(std::string_view section, std::string_view key, std::int64_t def) const;
    // True exactly for "1"; def without the section, false without the key.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    std::vector<std::string> ReadSections() const;
    void ReadSectionValues(std::string_view section, std::vector<std::string>& lines) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

private:
    const TLongSection* Find(std::string_view section) const;
    // Index of the first line of the key in s; -1 when none.
    static int KeyIndex(const TLongSection& s, std::string_view key);

    std::vector<TLongSection> mSections;
};

}  // namespace velt
