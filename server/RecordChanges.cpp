#include "RecordChanges.h"

#include "text/CpLiteral.h"

#include <algorithm>
#include <unordered_map>

namespace velt::server {

namespace {

constexpr std::size_t kMaxKey = 200;
constexpr std::size_t kMaxSteps = 1000;
constexpr std::size_t kMaxValue = 1 << 20;

std::string Printable(std::string_view key) {
    std::string out;
    for (const char c : key.substr(0, 40)) out.push_back(static_cast<unsigned char>(c) < 32 ? '?' : c);
    return out;
}

std::string_view Trim(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r')) t.remove_suffix(1);
    return t;
}

// ASCII and Polish letters in lower case, for keyword comparison.
std::string Lower(std::string_view t) {
    std::string out(t);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 'A' && u <= 'Z') c = static_cast<char>(u + 32);
        else if (u == 0xD1) c = static_cast<char>(0xF1);  // Ń
        else if (u == 0x8C) c = static_cast<char>(0x9C);  // Ś
    }
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

ModificationProgram ParseProgram(std::string_view text) {
    ModificationProgram program;
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find_first_of("\r\n");
        // Leading blanks are indentation; trailing ones may belong to a value.
        std::string_view line = text.substr(0, end);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    std::erase_if(lines, [](std::string_view l) { return Trim(l).empty(); });
    auto fail = [&program](std::size_t line, std::string why) {
        program.steps.clear();
        program.error = "Błąd programu w linii "_cp + std::to_string(line) + ": "_cp + why;
        return program;
    };
    if (lines.empty() || Lower(Trim(lines.front())) != "begin") return fail(1, "program musi zaczynać się od begin"_cp);
    if (lines.size() < 2 || Lower(Trim(lines.back())) != "end")
        return fail(lines.size(), "program musi kończyć się na end"_cp);
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const auto blank = line.find(' ');
        const std::string verb = Lower(line.substr(0, blank));
        std::string_view rest = blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        if (program.steps.size() >= kMaxSteps) return fail(i + 1, "za dużo instrukcji"_cp);
        if (verb == "usuń"_cp || verb == "usun") rest = Trim(rest);
        if (verb == "ustaw") {
            const auto eq = rest.find('=');
            if (eq == std::string_view::npos) return fail(i + 1, "spodziewane KLUCZ=WARTOŚĆ"_cp);
            const std::string key(Trim(rest.substr(0, eq)));
            if (!ValidKey(key) || IsReadOnlyKey(key)) return fail(i + 1, "błędny klucz pola "_cp + Printable(key));
            program.steps.push_back({ProgramStep::Set, key, std::string(rest.substr(eq + 1)), {}});
        } else if (verb == "usuń"_cp || verb == "usun") {
            if (rest.empty()) return fail(i + 1, "spodziewany wzorzec klucza"_cp);
            program.steps.push_back({ProgramStep::Remove, std::string(rest), {}, {}});
        } else if (verb == "zamień"_cp || verb == "zamien") {
            const auto bar = rest.find('|');
            const auto bar2 = bar == std::string_view::npos ? bar : rest.find('|', bar + 1);
            if (bar2 == std::string_view::npos || bar == 0 || bar2 == bar + 1)
                return fail(i + 1, "spodziewane WZORZEC|STARY|NOWY"_cp);
            program.steps.push_back({ProgramStep::Replace, std::string(Trim(rest.substr(0, bar))),
                                     std::string(rest.substr(bar2 + 1)), std::string(rest.substr(bar + 1, bar2 - bar - 1))});
        } else {
            return fail(i + 1, "nieznana instrukcja "_cp + Printable(verb));
        }
    }
    return program;
}

std::vector<FieldError> RunProgram(const ModificationProgram& program, std::vector<RecordField>& fields) {
    for (const ProgramStep& step : program.steps) {
        switch (step.kind) {
            case ProgramStep::Set: {
                auto it = std::find_if(fields.begin(), fields.end(), [&](const RecordField& f) { return f.key == step.key; });
                if (step.value.empty()) {
                    if (it != fields.end()) fields.erase(it);
                } else if (it != fields.end()) {
                    it->value = step.value;
                } else {
                    fields.push_back({step.key, step.value});
                }
                break;
            }
            case ProgramStep::Remove:
                std::erase_if(fields, [&](const RecordField& f) { return !IsReadOnlyKey(f.key) && KeyMatches(step.key, f.key); });
                break;
            case ProgramStep::Replace:
                for (auto& f : fields) {
                    if (IsReadOnlyKey(f.key) || !KeyMatches(step.key, f.key)) continue;
                    std::string out;
                    for (std::size_t at = 0;;) {
                        const auto hit = f.value.find(step.from, at);
                        if (hit == std::string::npos) {
                            out += f.value.substr(at);
                            break;
                        }
                        out += f.value.substr(at, hit - at) + step.value;
                        at = hit + step.from.size();
                        if (out.size() > kMaxValue)
                            return {{"Wartość pola "_cp + f.key + " po zamianie przekracza 1 MiB"_cp, f.key}};
                    }
                    f.value = std::move(out);
                }
                std::erase_if(fields, [](const RecordField& f) { return f.value.empty(); });
                break;
        }
    }
    return {};
}

}  // namespace velt::server
