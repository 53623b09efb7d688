#include "text/FieldKey.h"

namespace velt {

std::optional<FieldKey> FieldKey::Parse(std::string_view key) {
    const std::size_t dot = key.find('.');
    if (dot == 0 || dot == std::string_view::npos) return std::nullopt;
    FieldKey k;
    k.tags = std::string(key.substr(0, dot));
    for (std::size_t i = dot; i < key.size();) {
        if (key[i] != '.') return std::nullopt;
        std::size_t j = i + 1;
        long long n = 0;
        while (j < key.size() && key[j] >= '0' && key[j] <= '9') {
            n = n * 10 + (key[j] - '0');
            if (n > 1'000'000'000) return std::nullopt;
            ++j;
        }
        if (j == i + 1 || n < 1) return std::nullopt;
        k.occurrences.push_back(static_cast<int>(n));
        i = j;
    }
    if (k.occurrences.size() != k.tags.size()) return std::nullopt;
    return k;
}

std::string FieldKey::Text() const {
    std::string out = tags;
    for (int n : occurrences) out += "." + std::to_string(n);
    return out;
}

bool IsRecordAttribute(std::string_view key) { return key.find('.') == std::string_view::npos; }

bool IsWorkingKey(std::string_view key) { return key.find('#') != std::string_view::npos; }

std::string MarcFieldKey(std::string_view tag, char part, int occurrence) {
    std::string out(tag);
    out.push_back(part);
    out += ".1.1." + std::to_string(occurrence) + ".1";
    return out;
}

}  // namespace velt
