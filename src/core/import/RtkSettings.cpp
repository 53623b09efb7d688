#include "import/RtkSettings.h"

#include <cctype>

#include "lang/IniMacros.h"
#include "lang/ProfileFile.h"
#include "lang/TMultiIniFile.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"
#include "text/Wildcard.h"
#include "text/converter.h"

#include <charconv>

namespace velt {

namespace {

const char kMain[] = "RTK";

std::string Upper(std::string_view t) { return UpperTable.Convert(t); }

// Blanks around, and the CR of a CR LF line.
std::string_view Trim(std::string_view t) { return TrimOf(t, " \t\r"); }

std::string WithoutAmpersands(std::string text) {
    std::erase(text, '&');
    return text;
}

// The group path to a source: the groups from the top, the source last.
bool GroupsTo(const std::vector<SourceMenuItem>& items, int source, std::vector<const SourceMenuItem*>& path) {
    for (const SourceMenuItem& item : items) {
        path.push_back(&item);
        if (item.source == source) return true;
        if (item.source < 0 && GroupsTo(item.children, source, path)) return true;
        path.pop_back();
    }
    return false;
}

}  // namespace

void RtkSettings::Read(const TMultiIniFile& ini) {
    mSources.clear();
    mMenu = ReadSourceMenu(ini, "RTK_GRUPA", "RTK_KATALOG", kMaxGroupDepth, [&](const std::string& section, std::string& caption) {
        RtkSource s;
        s.section = section;
        s.name = ini.ReadString(section, "nazwa", s.name);
        s.host = ini.ReadString(section, "ip", s.host);
        const std::string port = ini.ReadString(section, "port", "");
        int p = 0;
        const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), p);
        if (!port.empty() && ec == std::errc() && end == port.data() + port.size() && p >= 1 && p <= 65535) s.port = p;
        caption = s.name;
        mSources.push_back(std::move(s));
        return static_cast<int>(mSources.size()) - 1;
    });
    mCurrentSection = ini.ReadString(kMain, "źródło"_cp, "");
    mChosen = FindSource(mCurrentSection);
    if (mChosen < 0) mCurrentSection.clear();
    mListAddress = ini.ReadString(kMain, "tarlinex", "");
    mListFile = ExpandMacros(ini.ReadString(kMain, "aktualizuj", ""));
    mSort = static_cast<int>(ini.ReadInteger(kMain, "sortuj", 0));
    if (mSort < 0) mSort = 0;
    mCountries = ini.ReadBool(kMain, "kraj", false);
    mHasQuery = ini.ValueExists(kMain, "zapytanie");
    mQuery = ini.ReadString(kMain, "zapytanie", "");
}

void RtkSettings::Write(ProfileFile& file) const {
    if (!mCurrentSection.empty() && file.ReadString(kMain, "źródło"_cp, "") != mCurrentSection)
        file.WriteString(kMain, "źródło"_cp, mCurrentSection);
    if (file.ReadInteger(kMain, "sortuj", 0) != mSort) file.WriteInteger(kMain, "sortuj", mSort);
    if (mHasQuery && file.ReadString(kMain, "zapytanie", "") != mQuery) file.WriteString(kMain, "zapytanie", mQuery);
}

int RtkSettings::FindSource(const std::string& section) const {
    if (section.empty()) return -1;
    const std::string wanted = Upper(section);
    for (std::size_t i = 0; i < mSources.size(); ++i)
        if (Upper(mSources[i].section) == wanted) return static_cast<int>(i);
    return -1;
}

std::string RtkSettings::FullName(int source) const {
    std::vector<const SourceMenuItem*> path;
    if (!GroupsTo(mMenu, source, path)) return source >= 0 && source < static_cast<int>(mSources.size()) ? mSources[static_cast<std::size_t>(source)].name : std::string();
    std::string name = path.back()->caption;
    for (std::size_t i = path.size() - 1; i-- > 0;) {
        const std::string caption = WithoutAmpersands(path[i]->caption);
        // A group of a range of the alphabet, and everything above it, is left out.
        if (MatchPatterns("Od * do *|??? - ???", caption)) break;
        name += ". " + caption;
    }
    return name;
}

std::optional<std::string> CatalogueListFile(std::string_view body, std::string& error) {
    std::string out;
    bool keep = false;
    int sections = 0;
    std::size_t at = 0;
    while (at < body.size()) {
        std::size_t end = body.find('\n', at);
        if (end == std::string_view::npos) end = body.size();
        const std::string_view line = Trim(body.substr(at, end - at));
        at = end + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            // A header is "[" name "]" and nothing more.
            const auto close = line.find(']');
            const std::string name(close != line.size() - 1 ? std::string_view() : Trim(line.substr(1, close - 1)));
            // The prefix in plain letters: no folded national letter makes a source's section.
            keep = name.size() > 4 && std::toupper(static_cast<unsigned char>(name[0])) == 'R' &&
                   std::toupper(static_cast<unsigned char>(name[1])) == 'T' &&
                   std::toupper(static_cast<unsigned char>(name[2])) == 'K' && name[3] == '_' &&
                   name.find_first_of("[]") == std::string::npos;
            if (keep) {
                out += "[" + name + "]\r\n";
                ++sections;
            }
            continue;
        }
        if (!keep || line.find('=') == std::string_view::npos || line.find('\0') != std::string_view::npos) continue;
        out += std::string(line) + "\r\n";
    }
    if (sections == 0) {
        error = "Pobrana lista nie zawiera katalogów źródłowych"_cp;
        return std::nullopt;
    }
    return out;
}

}  // namespace velt
