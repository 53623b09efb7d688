#include "RecordChanges.h"

#include "text/CpLiteral.h"

#include <algorithm>
#include <unordered_map>

namespace velt::server {

namespace {

constexpr std::size_t kMaxKey = 200;

std::string Printable(std::string_view key) {
    std::string out;
    for (const char c : key.substr(0, 40)) out.push_back(static_cast<unsigned char>(c) < 32 ? '?' : c);
    return out;
}

}  // namespace

std::vector<Change> TakenMarcChanges(std::vector<Change> changes) {
    std::string control, source;
    int highest035 = 0;
    for (const Change& c : changes) {
        if (c.key == "001Z.1.1.1.1") control = c.value;
        if (c.key == "003Z.1.1.1.1") source = c.value;
        // The occurrence of a 035 data key "035Z.1.1.n.1".
        if (c.key.rfind("035Z.1.1.", 0) == 0) {
            const std::string n = c.key.substr(9, c.key.find('.', 9) - 9);
            if (!n.empty() && n.size() < 6 && n.find_first_not_of("0123456789") == std::string::npos)
                highest035 = std::max(highest035, std::stoi(n));
        }
    }
    // 003 names whose control number 001 is: neither is this catalogue's.
    std::erase_if(changes, [](const Change& c) { return IsReadOnlyKey(c.key) || c.key.rfind("003", 0) == 0; });
    // Blanks and line breaks of another catalogue's number are not worth a key.
    while (!control.empty() && control.back() == ' ') control.pop_back();
    while (!control.empty() && control.front() == ' ') control.erase(0, 1);
    if (!control.empty() && control.find_first_of("\r\n") == std::string::npos)
        changes.push_back({"035Z.1.1." + std::to_string(highest035 + 1) + ".1",
                           "^a" + (source.empty() ? std::string() : "(" + source + ")") + control});
    return changes;
}

bool IsReadOnlyKey(std::string_view key) { return key.rfind("001", 0) == 0 || key.rfind("005", 0) == 0; }

bool ValidKey(std::string_view key) {
    if (key.empty() || key.size() > kMaxKey || key.front() == '*') return false;
    for (const char c : key)
        if (static_cast<unsigned char>(c) < 32) return false;
    return true;
}

bool KeyMatches(std::string_view pattern, std::string_view text) {
    // One return point at the latest "*": linear in practice, never exponential.
    std::size_t p = 0, t = 0, star = std::string_view::npos, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<Change> ParseChanges(std::string_view text) {
    std::vector<Change> out;
    while (!text.empty()) {
        const auto end = text.find('\r');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        out.push_back({std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))});
    }
    return out;
}

std::vector<FieldError> ApplyChanges(std::vector<RecordField>& fields, const std::vector<Change>& changes) {
    std::vector<FieldError> errors;
    std::unordered_map<std::string, std::size_t> at;
    for (std::size_t i = 0; i < fields.size(); ++i) at.try_emplace(fields[i].key, i);
    std::vector<bool> removed(fields.size(), false);
    for (const Change& c : changes) {
        if (c.key.find('#') != std::string::npos) continue;
        if (!ValidKey(c.key)) {
            errors.push_back({"Błędny klucz pola: "_cp + Printable(c.key), "*"});
            continue;
        }
        const auto it = at.find(c.key);
        const bool present = it != at.end() && !removed[it->second];
        if (IsReadOnlyKey(c.key)) {
            if ((present ? fields[it->second].value : std::string()) != c.value)
                errors.push_back({"Pole "_cp + c.key + " jest tylko do odczytu"_cp, c.key});
            continue;
        }
        if (present) {
            if (c.value.empty()) removed[it->second] = true;
            else fields[it->second].value = c.value;
        } else if (!c.value.empty()) {
            if (it != at.end()) {
                removed[it->second] = false;
                fields[it->second].value = c.value;
            } else {
                at.emplace(c.key, fields.size());
                fields.push_back({c.key, c.value});
                removed.push_back(false);
            }
        }
    }
    std::vector<RecordField> kept;
    kept.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!removed[i]) kept.push_back(std::move(fields[i]));
    fields = std::move(kept);
    return errors;
}

}  // namespace velt::server
