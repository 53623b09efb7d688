#pragma once
// The configuration reader: the main INI file with its macros (section
// "GLOBAL") and included files (sections "PLIK " [prefix "|"] file name),
// whose sections read as if they were the main file's, behind their prefix.
// Writing acts on the main file only.

#include "lang/ProfileFile.h"
#include "lang/TLongIniFile.h"

#include <memory>
#include <string>
#include <vector>

namespace velt {

class TMultiIniFile {
public:
    // Reads the main file, builds the process-wide macro table from it and
    // reads every included file.
    explicit TMultiIniFile(const std::string& fileName);

    std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
    std::int64_t ReadInteger(std::string_view section, std::string_view key, std::int64_t def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    double ReadFloat(std::string_view section, std::string_view key, double def) const;
    // Every section name, an included file's sections (behind its prefix) in
    // place of its "PLIK " section.
    std::vector<std::string> ReadSections() const;
    // The section's key "=" value lines, from the main file or else the
    // first included file that has any.
    std::vector<std::string> ReadSectionValues(std::string_view section) const;
    // True when the main file or an included file has the key.
    bool ValueExists(std::string_view section, std::string_view key) const;

    // The main file, for writing.
    ProfileFile& Main() { return mMain; }
    const ProfileFile& Main() const { return mMain; }

private:
    // The included file answering the key of the section, and the section's
    // name in it; none when no file has it.
    const TLongIniFile* Included(std::string_view section, std::string_view key, std::string& inner) const;

    ProfileFile mMain;
    std::vector<std::unique_ptr<TLongIniFile>> mIncluded;
    std::vector<std::string> mPrefixes;
    std::vector<std::string> mIncludeSections;  // the "PLIK " section names, beside them
};

}  // namespace velt
