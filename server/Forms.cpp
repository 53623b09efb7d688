#include "Forms.h"

#include "FormFiles.h"
#include "RecordChanges.h"
#include "text/CpLiteral.h"

#include <cstdio>
#include <ctime>

namespace velt::server {

namespace {

std::string_view File(char code, std::string_view extension) {
    const std::string name = std::string(1, code) + "." + std::string(extension);
    for (const auto& f : EmbeddedFiles())
        if (name == f.name) return {f.data, f.size};
    return {};
}

// A file's lines (LF or CR LF) joined by CR, with no line end after the last.
std::string AsServerText(std::string_view file) {
    std::string out;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n') continue;
        out.push_back(file[i] == '\n' ? '\r' : file[i]);
    }
    while (!out.empty() && out.back() == '\r') out.pop_back();
    return out;
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    return text;
}

}  // namespace

const std::vector<FormKind>& FormKinds() {
    static const std::vector<FormKind> kinds = {{'K', "Książka"_cp}, {'O', "Osoba"_cp}, {'T', "Temat"_cp},
                                                {'U', "Rekord MARC 21"}};
    return kinds;
}

std::string FormsParameter() {
    std::string p;
    for (const auto& k : FormKinds()) p += std::string(1, k.code) + "|" + k.caption + "|";
    return p;
}

bool IsFormCode(std::string_view text) {
    if (text.size() != 1) return false;
    for (const auto& k : FormKinds())
        if (k.code == text[0]) return true;
    return false;
}

std::string FormDescription(char code) { return AsServerText(File(code, "frm")); }
std::string EventScript(char code) { return AsServerText(File(code, "act")); }

std::string InitialRecord(char code) {
    std::string text = AsServerText(File(code, "new"));
    const std::string mark = "{DZIS}";
    for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) text.replace(at, mark.size(), Today());
    return text.empty() ? text : text + "\r";
}

std::string FieldHelp(char code, std::string_view field) {
    const std::string text = AsServerText(File(code, "hlp"));
    // Sections: a line "[pattern]", then the help lines up to the next one.
    std::string help, general;
    bool inSection = false, inGeneral = false, found = false;
    std::size_t at = 0;
    while (at <= text.size() && !found) {
        const auto end = std::min(text.find('\r', at), text.size());
        const std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            if (inSection && !help.empty()) found = true;
            const std::string_view pattern = line.substr(1, line.size() - 2);
            inGeneral = pattern == "*";
            inSection = !inGeneral && !field.empty() && KeyMatches(pattern, field);
            continue;
        }
        if (inSection) help += (help.empty() ? "" : "\r") + std::string(line);
        if (inGeneral) general += (general.empty() ? "" : "\r") + std::string(line);
    }
    if (!help.empty()) return help;
    if (field.empty() || !general.empty()) return general;
    return "Brak opisu pola "_cp + std::string(field);
}

}  // namespace velt::server
