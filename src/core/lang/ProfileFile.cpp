#include "lang/ProfileFile.h"

#include "files/AtomicFile.h"
#include "text/Trim.h"
#include "text/converter.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace velt {

namespace {

// The value as the profile functions hand it out: trimmed, one pair of
// matching surrounding quotes dropped.
std::string Unquote(std::string_view v) {
    v = TrimBlanks(v);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
    return std::string(v);
}

}  // namespace

std::string FoldName(std::string_view name) { return UpperTable.Convert(TrimBlanks(name)); }

ProfileFile::ProfileFile(std::string fileName) : mFileName(std::move(fileName)) {
    std::FILE* f = std::fopen(mFileName.c_str(), "rb");
    if (!f) {
        // A missing file is an empty configuration; any other failure to
        // open it must keep it from being overwritten.
        mComplete = errno == ENOENT;
        return;
    }
    mExists = true;
    std::string data;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
    if (std::ferror(f)) mComplete = false;
    std::fclose(f);
    bool sawCrLf = false, sawLf = false;
    std::size_t from = 0;
    while (from < data.size()) {
        const auto lf = data.find('\n', from);
        Line line;
        if (lf == std::string::npos) {
            line.text = data.substr(from);
            from = data.size();
        } else {
            line.text = data.substr(from, lf - from);
            line.ending = "\n";
            if (!line.text.empty() && line.text.back() == '\r') {
                line.text.pop_back();
                line.ending = "\r\n";
                sawCrLf = true;
            } else {
                sawLf = true;
            }
            from = lf + 1;
        }
        mLines.push_back(std::move(line));
    }
    if (sawLf && !sawCrLf) mEnding = "\n";
}

bool ProfileFile::IsHeader(std::string_view line, std::string& name) {
    const std::string_view t = TrimBlanks(line);
    if (t.size() < 2 || t.front() != '[') return false;
    const auto close = t.find(']');
    if (close == std::string_view::npos) return false;
    name = std::string(TrimBlanks(t.substr(1, close - 1)));
    return true;
}

bool ProfileFile::IsKeyLine(std::string_view line, std::string& key, std::string& value) {
    const std::string_view t = TrimBlanks(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return false;
    const auto eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    key = std::string(TrimBlanks(t.substr(0, eq)));
    value = std::string(t.substr(eq + 1));
    return true;
}

int ProfileFile::FindSection(std::string_view section) const {
    const std::string want = FoldName(section);
    std::string name;
    for (std::size_t i = 0; i < mLines.size(); ++i)
        if (IsHeader(mLines[i].text, name) && FoldName(name) == want) return static_cast<int>(i);
    return -1;
}

int ProfileFile::SectionEnd(int sectionLine) const {
    std::string name;
    std::size_t i = static_cast<std::size_t>(sectionLine) + 1;
    while (i < mLines.size() && !IsHeader(mLines[i].text, name)) ++i;
    return static_cast<int>(i);
}

int ProfileFile::FindKey(int sectionLine, std::string_view key) const {
    const std::string want = FoldName(key);
    const int end = SectionEnd(sectionLine);
    std::string k, v;
    for (int i = sectionLine + 1; i < end; ++i)
        if (IsKeyLine(mLines[static_cast<std::size_t>(i)].text, k, v) && FoldName(k) == want) return i;
    return -1;
}

bool ProfileFile::SectionExists(std::string_view section) const { return FindSection(section) >= 0; }

bool ProfileFile::ValueExists(std::string_view section, std::string_view key) const {
    const int s = FindSection(section);
    return s >= 0 && FindKey(s, key) >= 0;
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
    const int s = FindSection(section);
    if (s < 0) return def;
    const int k = FindKey(s, key);
    if (k < 0) return def;
    std::string name, value;
    IsKeyLine(mLines[static_cast<std::size_t>(k)].text, name, value);
    return Unquote(value);
}

std::int64_t ProfileFile::ReadInteger(std::string_view section, std::string_view key, std::int64_t def) const {
    const std::string v = ReadString(section, key, "");
    std::string_view t = v;
    bool negative = false;
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (!t.empty() && t[0] == '$') {
        base = 16;
        t.remove_prefix(1);
    } else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    }
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n, base);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return def;
    return negative ? -n : n;
}

bool ProfileFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    constexpr std::int64_t kMissing = INT64_MIN;
    const std::int64_t n = ReadInteger(section, key, kMissing);
    return n == kMissing ? def : n != 0;
}

double ProfileFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
    std::string v = ReadString(section, key, "");
    for (char& c : v)
        if (c == ',') c = '.';  // a decimal comma, as written by Polish settings
    if (v.empty()) return def;
    char* end = nullptr;
    const double d = std::strtod(v.c_str(), &end);
    return end && *end == '\0' ? d : def;
}

std::vector<std::string> ProfileFile::ReadSections() const {
    std::vector<std::string> out, folded;
    std::string name;
    for (const auto& l : mLines) {
        if (!IsHeader(l.text, name)) continue;
        const std::string f = FoldName(name);
        bool seen = false;
        for (const auto& x : folded) seen = seen || x == f;
        if (seen) continue;
        folded.push_back(f);
        out.push_back(name);
    }
    return out;
}

std::vector<std::string> ProfileFile::ReadSection(std::string_view section) const {
    std::vector<std::string> out;
    const int s = FindSection(section);
    if (s < 0) return out;
    std::string k, v;
    for (int i = s + 1, end = SectionEnd(s); i < end; ++i)
        if (IsKeyLine(mLines[static_cast<std::size_t>(i)].text, k, v)) out.push_back(k);
    return out;
}

std::vector<std::string> ProfileFile::ReadSectionValues(std::string_view section) const {
    std::vector<std::string> out;
    const int s = FindSection(section);
    if (s < 0) return out;
    std::string k, v;
    for (int i = s + 1, end = SectionEnd(s); i < end; ++i)
        if (IsKeyLine(mLines[static_cast<std::size_t>(i)].text, k, v)) out.push_back(k + "=" + std::string(TrimBlanks(v)));
    return out;
}

void ProfileFile::WriteString(std::string_view section, std::string_view key, const std::string& value) {
    int s = FindSection(section);
    if (s < 0) {
        // A new section at the end, after a blank line.
        if (!mLines.empty() && mLines.back().ending.empty()) mLines.back().ending = mEnding;
        if (!mLines.empty() && !TrimBlanks(mLines.back().text).empty()) mLines.push_back({"", mEnding});
        mLines.push_back({"[" + std::string(section) + "]", mEnding});
        mLines.push_back({std::string(key) + "=" + value, mEnding});
        mModified = true;
        return;
    }
    const int k = FindKey(s, key);
    if (k >= 0) {
        Line& line = mLines[static_cast<std::size_t>(k)];
        // Keep the key as written and the blanks after the "=".
        auto from = line.text.find('=') + 1;
        while (from < line.text.size() && (line.text[from] == ' ' || line.text[from] == '\t')) ++from;
        const std::string updated = line.text.substr(0, from) + value;
        if (updated != line.text) {
            line.text = updated;
            mModified = true;
        }
        return;
    }
    // After the section's last non-blank line.
    int at = SectionEnd(s);
    while (at - 1 > s && TrimBlanks(mLines[static_cast<std::size_t>(at - 1)].text).empty()) --at;
    Line& before = mLines[static_cast<std::size_t>(at - 1)];
    if (before.ending.empty()) before.ending = mEnding;
    mLines.insert(mLines.begin() + at, Line{std::string(key) + "=" + value, mEnding});
    mModified = true;
}

void ProfileFile::WriteInteger(std::string_view section, std::string_view key, std::int64_t value) {
    WriteString(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void ProfileFile::ReplaceSection(std::string_view section,
                                 const std::vector<std::pair<std::string, std::string>>& entries) {
    const int s = FindSection(section);
    if (s < 0) {
        if (entries.empty()) return;
        if (!mLines.empty() && mLines.back().ending.empty()) mLines.back().ending = mEnding;
        if (!mLines.empty() && !TrimBlanks(mLines.back().text).empty()) mLines.push_back({"", mEnding});
        mLines.push_back({"[" + std::string(section) + "]", mEnding});
        for (const auto& [key, value] : entries) mLines.push_back({key + "=" + value, mEnding});
        mModified = true;
        return;
    }
    // The blank lines that part the section from the next one stay.
    int end = SectionEnd(s);
    while (end - 1 > s && TrimBlanks(mLines[static_cast<std::size_t>(end - 1)].text).empty()) --end;
    std::vector<Line> lines;
    for (const auto& [key, value] : entries) lines.push_back({key + "=" + value, mEnding});
    const auto first = mLines.begin() + s + 1;
    const auto last = mLines.begin() + end;
    const bool same = std::equal(first, last, lines.begin(), lines.end(),
                                 [](const Line& a, const Line& b) { return a.text == b.text; });
    if (same) return;
    if (mLines[static_cast<std::size_t>(s)].ending.empty()) mLines[static_cast<std::size_t>(s)].ending = mEnding;
    const bool lastLine = end == static_cast<int>(mLines.size());
    const std::string lastEnding = end > s + 1 ? mLines[static_cast<std::size_t>(end - 1)].ending : mEnding;
    mLines.erase(first, last);
    // A section at the end of a file without a final line end keeps it so.
    if (lastLine && !lines.empty()) lines.back().ending = lastEnding;
    mLines.insert(mLines.begin() + s + 1, lines.begin(), lines.end());
    mModified = true;
}

std::string ProfileFile::Text() const {
    std::string out;
    for (const auto& l : mLines) out += l.text + l.ending;
    return out;
}

std::string ProfileFile::Save() {
    if (!mComplete) return "incomplete";
    // The file keeps the mode it had; a new one is for anyone to read.
    struct stat st {};
    const mode_t mode = ::stat(mFileName.c_str(), &st) == 0 ? (st.st_mode & 07777) : kSharedFileMode;
    if (std::string error = WriteFileAtomically(mFileName, Text(), mode); !error.empty()) return error;
    mModified = false;
    mExists = true;
    return {};
}

}  // namespace velt
