#include "import/Z3950Settings.h"

#include "import/Z3950Query.h"
#include "lang/IniMacros.h"
#include "lang/ProfileFile.h"
#include "lang/TMultiIniFile.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"
#include "text/converter.h"

#include <algorithm>
#include <charconv>
#include <functional>
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
    if (const auto protocol = ScanValue(lines, "protokół"_cp); protocol && Upper(TrimBlanks(*protocol)) == "SRU") {
        s.protocol = Z3950Source::Protocol::Sru;
        const auto url = ScanValue(lines, "url");
        std::optional<HttpAddress> base;
        if (url) base = ReadHttpAddress(*url);
        if (!base) {
            const std::string path = s.database.empty() || s.database[0] == '/' ? s.database : "/" + s.database;
            base = ReadHttpAddress(s.host + ":" + std::to_string(s.port) + path);
        }
        if (base) s.sruBase = *base;
        if (const auto v = ScanValue(lines, "wersja")) s.sruVersion = TrimBlanks(*v) == "1.1" ? "1.1" : "1.2";
        text("schemat", s.sruSchema);
    }
    return s;
}

void Z3950Settings::Read(const TMultiIniFile& ini, const ErrorSink& errors) {
    mSources.clear();
    mMenu.clear();
    mFormats.clear();
    mMenu = ReadSourceMenu(ini, kGroup, kSource, kMaxGroupDepth, [&](const std::string& section, std::string& caption) {
        mSources.push_back(ReadZ3950Source(ini, section));
        caption = mSources.back().name;
        return static_cast<int>(mSources.size()) - 1;
    });
    const std::vector<std::string> sections = ini.ReadSections();

    mSectionAsRead = ini.ReadString(kMain, "źródło"_cp, "");
    mChosen = FindSource(mSectionAsRead);
    if (mChosen < 0) mChosen = FirstMenuSource(mMenu);
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

std::vector<int> Z3950Settings::GroupSources(const std::vector<std::string>& path) const {
    const std::vector<Z3950SourceItem>* items = &mMenu;
    for (const std::string& caption : path) {
        const auto it = std::find_if(items->begin(), items->end(),
                                     [&](const Z3950SourceItem& i) { return i.source < 0 && i.caption == caption; });
        if (it == items->end()) return {};
        items = &it->children;
    }
    std::vector<int> out;
    const std::function<void(const std::vector<Z3950SourceItem>&)> walk = [&](const std::vector<Z3950SourceItem>& list) {
        for (const Z3950SourceItem& i : list) {
            if (i.source >= 0)
                out.push_back(i.source);
            else
                walk(i.children);
        }
    };
    walk(*items);
    return out;
}

int Z3950Settings::FindSource(const std::string& section) const {
    if (section.empty()) return -1;
    const std::string wanted = Upper(section);
    for (std::size_t i = 0; i < mSources.size(); ++i)
        if (Upper(mSources[i].section) == wanted) return static_cast<int>(i);
    return -1;
}

}  // namespace velt
