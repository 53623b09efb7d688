#include "lang/TMultiIniFile.h"

#include "lang/IniMacros.h"
#include "text/PipeList.h"
#include "text/Trim.h"
#include "text/Wildcard.h"

namespace velt {

namespace {

std::string DirectoryOf(const std::string& file) {
    const auto slash = file.find_last_of('/');
    return slash == std::string::npos ? "./" : file.substr(0, slash + 1);
}

bool StartsWithPlik(std::string_view name) { return name.size() >= 5 && name.substr(0, 5) == "PLIK "; }

}  // namespace

TMultiIniFile::TMultiIniFile(const std::string& fileName) : mMain(fileName) {
    // "INI", then the GLOBAL keys in order; each value expanded with the
    // macros above it.
    std::vector<std::string> names = {"INI"};
    for (const auto& k : mMain.ReadSection("GLOBAL")) names.push_back(k);
    SetMacroTable(names, {DirectoryOf(fileName)});
    for (std::size_t i = 1; i < names.size(); ++i) AppendMacroValue(ExpandMacros(mMain.ReadString("GLOBAL", names[i], "")));

    for (const auto& section : mMain.ReadSections()) {
        if (!StartsWithPlik(section)) continue;
        const std::string rest = ExpandMacros(section.substr(5));
        const PipeSplit parts = SplitAtPipe(rest);
        std::string prefix, file = rest;
        if (parts.parted) {
            prefix = std::string(TrimBlanks(parts.head));
            file = std::string(parts.tail);
        }
        mIncluded.push_back(std::make_unique<TLongIniFile>(file));
        mPrefixes.push_back(prefix);
        mIncludeSections.push_back(section);
    }
}

const TLongIniFile* TMultiIniFile::Included(std::string_view section, std::string_view key, std::string& inner) const {
    for (std::size_t i = 0; i < mIncluded.size(); ++i) {
        const std::string& prefix = mPrefixes[i];
        if (!MatchWildcard(prefix + "*", section)) continue;
        // The prefix's length, as the pattern may hold wildcards of its own.
        inner = std::string(section.substr(std::min(prefix.size(), section.size())));
        if (mIncluded[i]->ValueExists(inner, key)) return mIncluded[i].get();
    }
    return nullptr;
}

std::string TMultiIniFile::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
    if (mMain.ValueExists(section, key)) return mMain.ReadString(section, key, def);
    std::string inner;
    if (const TLongIniFile* f = Included(section, key, inner)) return f->ReadString(inner, key, def);
    return def;
}

std::int64_t TMultiIniFile::ReadInteger(std::string_view section, std::string_view key, std::int64_t def) const {
    if (mMain.ValueExists(section, key)) return mMain.ReadInteger(section, key, def);
    std::string inner;
    if (const TLongIniFile* f = Included(section, key, inner)) return f->ReadInteger(inner, key, def);
    return def;
}

bool TMultiIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    if (mMain.ValueExists(section, key)) return mMain.ReadBool(section, key, def);
    std::string inner;
    if (const TLongIniFile* f = Included(section, key, inner)) return f->ReadBool(inner, key, def);
    return def;
}

double TMultiIniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
    return mMain.ReadFloat(section, key, def);
}

bool TMultiIniFile::ValueExists(std::string_view section, std::string_view key) const {
    std::string inner;
    return mMain.ValueExists(section, key) || Included(section, key, inner) != nullptr;
}

std::vector<std::string> TMultiIniFile::ReadSections() const {
    std::vector<std::string> out;
    for (const auto& section : mMain.ReadSections()) {
        std::size_t i = 0;
        while (i < mIncludeSections.size() && mIncludeSections[i] != section) ++i;
        if (i == mIncludeSections.size()) {
            out.push_back(section);
            continue;
        }
        for (const auto& inner : mIncluded[i]->ReadSections()) out.push_back(mPrefixes[i] + inner);
    }
    return out;
}

std::vector<std::string> TMultiIniFile::ReadSectionValues(std::string_view section) const {
    std::vector<std::string> lines = mMain.ReadSectionValues(section);
    if (!lines.empty()) return lines;
    const std::string folded = FoldName(section);
    for (std::size_t i = 0; i < mIncluded.size(); ++i) {
        const std::string& prefix = mPrefixes[i];
        if (!prefix.empty() && folded.rfind(FoldName(prefix), 0) != 0) continue;
        mIncluded[i]->ReadSectionValues(section.substr(std::min(prefix.size(), section.size())), lines);
        if (!lines.empty()) break;
    }
    return lines;
}

}  // namespace velt
