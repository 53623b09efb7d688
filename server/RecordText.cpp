#include "RecordText.h"

#include <algorithm>
#include <charconv>

namespace velt::server {

namespace {

std::string_view Trim(std::string_view t) {
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return t;
}

// The occurrence number of a data key of tag ("245Z.1.1.3.1" -> 3), 0 when
// the key is not one.
int Occurrence(std::string_view key, std::string_view tag) {
    if (key.size() < tag.size() + 8 || key.substr(0, tag.size()) != tag) return 0;
    std::string_view rest = key.substr(tag.size());
    if (rest.substr(0, 6) != "Z.1.1.") return 0;
    rest.remove_prefix(6);
    int n = 0;
    const auto r = std::from_chars(rest.data(), rest.data() + rest.size(), n);
    if (r.ec != std::errc() || std::string_view(r.ptr, rest.data() + rest.size() - r.ptr) != ".1") return 0;
    return n;
}

}  // namespace

RecordText RecordText::Parse(std::string_view text) {
    RecordText r;
    while (!text.empty()) {
        const auto end = text.find('\r');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.front() == '*') line.remove_prefix(1);
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        r.mFields.push_back({std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))});
    }
    return r;
}

std::string RecordText::DataKey(std::string_view tag, int n) {
    return std::string(tag) + "Z.1.1." + std::to_string(n) + ".1";
}

void RecordText::Add(std::string_view tag, int n, std::string value) {
    mFields.push_back({DataKey(tag, n), std::move(value)});
}

std::vector<std::pair<int, std::string>> RecordText::Occurrences(std::string_view tag) const {
    std::vector<std::pair<int, std::string>> found;
    for (const auto& f : mFields)
        if (const int n = Occurrence(f.key, tag)) found.emplace_back(n, f.value);
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return found;
}

std::vector<std::string> RecordText::Values(std::string_view tag) const {
    std::vector<std::string> out;
    for (auto& [n, v] : Occurrences(tag)) out.push_back(std::move(v));
    return out;
}

std::string RecordText::Attribute(std::string_view key) const {
    for (const auto& f : mFields)
        if (f.key == key) return f.value;
    return {};
}

std::string RecordText::Value(std::string_view tag) const {
    for (const auto& f : mFields)
        if (Occurrence(f.key, tag) == 1) return f.value;
    const auto all = Values(tag);
    return all.empty() ? std::string() : all.front();
}

std::string RecordText::Text() const {
    std::string out;
    for (const auto& f : mFields) {
        out += f.key;
        out += '=';
        out += f.value;
        out += '\r';
    }
    return out;
}

std::vector<std::string> Subfields(std::string_view value, char code) {
    std::vector<std::string> out;
    std::size_t at = value.find('^');
    while (at != std::string_view::npos && at + 1 < value.size()) {
        const auto next = value.find('^', at + 2);
        if (value[at + 1] == code) {
            const auto data = value.substr(at + 2, next == std::string_view::npos ? std::string_view::npos : next - at - 2);
            out.emplace_back(Trim(data));
        }
        at = next;
    }
    return out;
}

std::string ImprintOf(const RecordText& record) {
    std::string imprint = record.Value("260");
    return imprint.empty() ? record.Value("264") : imprint;
}

std::string Subfield(std::string_view value, char code) {
    const auto all = Subfields(value, code);
    return all.empty() ? std::string() : all.front();
}

}  // namespace velt::server
