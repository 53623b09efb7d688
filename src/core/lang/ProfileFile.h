#pragma once
// An INI file read and written the way the configuration has always been
// read: section and key names compared without regard to letter case (Polish
// letters included), the first occurrence of a section or key winning, values
// trimmed and stripped of one pair of surrounding quotes, lines beginning
// with ";" ignored. Bytes are Windows-1250; lines end in CR LF or LF.
//
// Writing changes a value in place and keeps every other line, comment and
// line end as it was; Save writes the whole file through the files layer
// (AtomicFile): the old file stays as it was unless all of the new one is
// on the disk.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velt {

// A section or key name folded for comparison.
std::string FoldName(std::string_view name);

class ProfileFile {
public:
    // Reads the file; a file that does not exist is empty (and Complete).
    explicit ProfileFile(std::string fileName);

    const std::string& FileName() const { return mFileName; }
    // False when the file exists but could not be read whole: it is never saved.
    bool Complete() const { return mComplete; }
    bool Exists() const { return mExists; }

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
    // A decimal, "$"-hexadecimal or "0x"-hexadecimal integer; def otherwise.
    std::int64_t ReadInteger(std::string_view section, std::string_view key, std::int64_t def) const;
    // An integer other than 0; def when the value is missing or no number.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    double ReadFloat(std::string_view section, std::string_view key, double def) const;
    // Section names in file order (a repeated name once).
    std::vector<std::string> ReadSections() const;
    // The key names of a section in order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    // The section's lines as key "=" value (comments and blank lines left out).
    std::vector<std::string> ReadSectionValues(std::string_view section) const;

    // Sets a value in place, or adds the key at the end of its section, or
    // the section at the end of the file.
    void WriteString(std::string_view section, std::string_view key, const std::string& value);
    void WriteInteger(std::string_view section, std::string_view key, std::int64_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    // Replaces every line of the section (comments included) by one key line
    // per entry, in order, so that a key may repeat; a missing section is
    // added at the end of the file when there are entries.
    void ReplaceSection(std::string_view section, const std::vector<std::pair<std::string, std::string>>& entries);
    // True when WriteString changed something since reading or the last Save.
    bool Modified() const { return mModified; }
    // Writes the file whole, keeping its mode; empty on success, "incomplete"
    // for a file that was not read whole, else the failure's text.
    std::string Save();

    // The file's bytes as they would be saved.
    std::string Text() const;

private:
    struct Line {
        std::string text;    // without its line end
        std::string ending;  // "\r\n", "\n" or "" for a last line without one
    };
    // Index of the first header line of the section; -1 when none.
    int FindSection(std::string_view section) const;
    // Index of the first key line of the key within the section at s; -1 when none.
    int FindKey(int sectionLine, std::string_view key) const;
    // One past the last line of the section at s.
    int SectionEnd(int sectionLine) const;
    static bool IsHeader(std::string_view line, std::string& name);
    static bool IsKeyLine(std::string_view line, std::string& key, std::string& value);

    std::string mFileName;
    std::vector<Line> mLines;
    std::string mEnding = "\r\n";
    bool mComplete = true;
    bool mExists = false;
    bool mModified = false;
};

}  // namespace velt
