#include "import/Z3950Settings.h"

#include "import/Z3950Query.h"
#include "lang/IniMacros.h"
#include "lang/ProfileFile.h"
#include "lang/TMultiIniFile.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"
#include "text/converter.h"

#include <charconv>
#include <optional>

namespace velt {

namespace {

const char kGroup[] = "Z3950_GRUPA";
const char kSource[] = "Z3950_KATALOG";
const char kFormat[] = "Z3950_FORMAT";
const char kMain[] = "Z3950";

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

std::string Upper(std::string_view text) { return UpperTable.Convert(text); }

// The value of the first line that begins, in capitals, with key "=".
std::optional<std::string> ScanValue(const std::vector<std::string>& lines, std::string_view key) {
    const std::string wanted = Upper(key) + "=";
    for (const std::string& line : lines)
        if (StartsWith(Upper(line), wanted)) return line.substr(wanted.size());
    return std::nullopt;
}

// A whole number within [low, high]; none otherwise.
std::optional<int> Number(const std::optional<std::string>& text, int low, int high) {
    if (!text) return std::nullopt;
    const std::string_view t = TrimBlanks(*text);
    const char* first = t.data();
    if (!t.empty() && t.front() == '+') ++first;
    int n = 0;
    const auto [end, ec] = std::from_chars(first, t.data() + t.size(), n);
    if (ec != std::errc() || end != t.data() + t.size() || first == t.data() + t.size() || n < low || n > high)
        return std::nullopt;
    return n;
}

// Walks the sections from i with the prefix: sources and groups of this
// level go into items; a source or group of another prefix ends the level.
void Walk(const std::vector<std::string>& sections, std::size_t& i, const std::string& prefix, int depth,
          const TMultiIniFile& ini, std::vector<Z3950Source>& sources, std::vector<Z3950SourceItem>& items) {
    while (i < sections.size()) {
        const std::string& name = sections[i];
        const std::string upper = Upper(name);
        if (StartsWith(upper, kSource)) {
            if (!StartsWith(upper, std::string(kSource) + prefix)) return;
            Z3950SourceItem item;
            item.source = static_cast<int>(sources.size());
            sources.push_back(ReadZ3950Source(ini, name));
            item.caption = sources.back().name;
            items.push_back(std::move(item));
            ++i;
        } else if (StartsWith(upper, kGroup) && depth < Z3950Settings::kMaxGroupDepth) {
            if (!StartsWith(upper, std::string(kGroup) + prefix)) return;
            Z3950SourceItem group;
            group.caption = ini.ReadString(name, "nazwa", "Bez nazwy");
            ++i;
            Walk(sections, i, upper.substr(sizeof kGroup - 1), depth + 1, ini, sources, group.children);
            items.push_back(std::move(group));
        } else {
            ++i;
        }
    }
}

// The first source of the menu in menu order.
int FirstSource(const std::vector<Z3950SourceItem>& items) {
    for (const Z3950SourceItem& item : items) {
        if (item.source >= 0) return item.source;
        if (const int s = FirstSource(item.children); s >= 0) return s;
    }
    return -1;
}

}  // namespace

Z3950Source ReadZ3950Source(const TMultiIniFile& ini, const std::string& section) {
    Z3950Source s;
    s.section = section;
    const std::vector<std::string> lines = ini.ReadSectionValues(section);
    auto text = [&](std::string_view key, std::string& into) {
        if (const auto v = ScanValue(lines, key)) into = *v;
    };
    text("nazwa", s.name);
    text("ip", s.host);
    text("baza", s.database);
    text("user", s.user);
    text("password", s.password);
    text("syntax", s.syntax);
    s.port = Number(ScanValue(lines, "port"), 1, 65535).value_or(s.port);
    s.presentation = Number(ScanValue(lines, "v"), 0, 2).value_or(s.presentation);
    s.search = Number(ScanValue(lines, "q"), 0, 2).value_or(s.search);
    return s;
}

void Z3950Settings::Read(const TMultiIniFile& ini, const ErrorSink& errors) {
    mSources.clear();
    mMenu.clear();
    mFormats.clear();
    const std::vector<std::string> sections = ini.ReadSections();
    std::size_t i = 0;
    Walk(sections, i, "", 0, ini, mSources, mMenu);

    mSectionAsRead = ini.ReadString(kMain, "źródło"_cp, "");
    mChosen = FindSource(mSectionAsRead);
    if (mChosen < 0) mChosen = FirstSource(mMenu);
    mCurrentSection = mChosen >= 0 ? mSources[static_cast<std::size_t>(mChosen)].section : std::string();
    // Only a source the user chose is written back.
    mSectionAsRead = mCurrentSection;
    mQuestion = ini.ReadString(kMain, "question", DefaultQuestion());
    mQuestionAsRead = mQuestion;
    mLog = ExpandMacros(ini.ReadString(kMain, "log", ""));

    for (const std::string& section : sections) {
        if (!StartsWith(Upper(section), kFormat)) continue;
        auto item = std::make_unique<Z3950FormatItem>();
        item->section = section;
        item->name = ini.ReadString(section, "nazwa", "bez nazwy");
        for (char letter = '0'; letter <= 'Z'; ++letter) {
            const std::string file = ini.ReadString(section, std::string(1, letter), "");
            if (!file.empty()) item->programs.Load(letter, ExpandMacros(file), errors);
        }
        mFormats.push_back(std::move(item));
    }
}

void Z3950Settings::Write(ProfileFile& file) {
    if (mQuestion != mQuestionAsRead) file.WriteString(kMain, "question", mQuestion);
    if (!mCurrentSection.empty() && mCurrentSection != mSectionAsRead)
        file.WriteString(kMain, "źródło"_cp, mCurrentSection);
    mQuestionAsRead = mQuestion;
    if (!mCurrentSection.empty()) mSectionAsRead = mCurrentSection;
}

int Z3950Settings::FindSource(const std::string& section) const {
    if (section.empty()) return -1;
    const std::string wanted = Upper(section);
    for (std::size_t i = 0; i < mSources.size(); ++i)
        if (Upper(mSources[i].section) == wanted) return static_cast<int>(i);
    return -1;
}

}  // namespace velt
