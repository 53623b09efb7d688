#include "lang/TLongIniFile.h"

#include "lang/ProfileFile.h"
#include "text/Trim.h"

#include <charconv>
#include <fstream>

namespace velt {

namespace {
}  // namespace

TLongIniFile::TLongIniFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::string raw;
    TLongSection* current = nullptr;
    while (std::getline(in, raw)) {
        const std::string_view line = TrimOf(raw, " \t\r");
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            mSections.push_back({std::string(line.substr(1, line.size() - 2)), {}, {}});
            current = &mSections.back();
            continue;
        }
        if (!current || line.empty() || line.front() == '#') continue;
        const auto eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0) continue;
        current->Keys.emplace_back(line.substr(0, eq));
        current->Lines.emplace_back(line);
    }
}

const TLongSection* TLongIniFile::Find(std::string_view section) const {
    const std::string want = FoldName(section);
    for (const auto& s : mSections)
        if (FoldName(s.Name) == want) return &s;
    return nullptr;
}

int TLongIniFile::KeyIndex(const TLongSection& s, std::string_view key) {
    const std::string want = FoldName(key);
    for (std::size_t i = 0; i < s.Keys.size(); ++i)
        if (FoldName(s.Keys[i]) == want) return static_cast<int>(i);
    return -1;
}

std::string TLongIniFile::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
    const TLongSection* s = Find(section);
    if (!s) return def;
    const int i = KeyIndex(*s, key);
    if (i < 0) return def;
    const std::string& line = s->Lines[static_cast<std::size_t>(i)];
    const std::string value = line.substr(line.find('=') + 1);
    return value.empty() ? def : value;
}

std::int64_t TLongIniFile::ReadInteger(std::string_view section, std::string_view key, std::int64_t def) const {
    const std::string v = ReadString(section, key, "");
    std::string_view t = v;
    int base = 10;
    bool negative = false;
    if (!t.empty() && t[0] == '-') {
        negative = true;
        t.remove_prefix(1);
    }
    if (!t.empty() && t[0] == '$') {
        base = 16;
        t.remove_prefix(1);
    }
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n, base);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return def;
    return negative ? -n : n;
}

bool TLongIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    const TLongSection* s = Find(section);
    if (!s) return def;
    return ReadString(section, key, "") == "1";
}

std::vector<std::string> TLongIniFile::ReadSections() const {
    std::vector<std::string> out;
    for (const auto& s : mSections) out.push_back(s.Name);
    return out;
}

void TLongIniFile::ReadSectionValues(std::string_view section, std::vector<std::string>& lines) const {
    if (const TLongSection* s = Find(section)) lines.insert(lines.end(), s->Lines.begin(), s->Lines.end());
}

bool TLongIniFile::ValueExists(std::string_view section, std::string_view key) const {
    const TLongSection* s = Find(section);
    return s && KeyIndex(*s, key) >= 0;
}

}  // namespace velt
