#include "criteria/RememberedValues.h"

#include "lang/ProfileFile.h"
#include "lang/TMultiIniFile.h"

namespace velt {

namespace {

constexpr char kEsc = '\x1B';

}  // namespace

std::string EncodeRememberedValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        switch (c) {
            case '\r': out += "\x1B" "r"; break;
            case '\n': out += "\x1B" "n"; break;
            case kEsc: out += "\x1B" "e"; break;
            default: out.push_back(c);
        }
    }
    return out;
}

std::string DecodeRememberedValue(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == kEsc && i + 1 < stored.size()) {
            const char next = stored[i + 1];
            if (next == 'r' || next == 'n' || next == 'e') {
                out.push_back(next == 'r' ? '\r' : next == 'n' ? '\n' : kEsc);
                ++i;
                continue;
            }
        }
        out.push_back(stored[i]);
    }
    return out;
}

bool RememberableName(std::string_view name) {
    if (name.empty() || name.size() > 200) return false;
    if (name.front() == ' ' || name.back() == ' ' || name.front() == ';') return false;
    for (const char c : name)
        if (c == '=' || c == '[' || c == ']' || c == '\r' || c == '\n' || c == '\0') return false;
    return true;
}

std::string RememberedValues::Get(std::string_view name) const {
    for (const auto& [n, text] : mEntries)
        if (n == name) return text;
    return {};
}

void RememberedValues::Set(const std::string& name, const std::string& text) {
    for (auto& [n, t] : mEntries)
        if (n == name) {
            t = text;
            return;
        }
    mEntries.emplace_back(name, text);
}

void RememberedValues::Read(const TMultiIniFile& ini) {
    mEntries.clear();
    for (const std::string& line : ini.ReadSectionValues(kCriteriaSection)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        Set(line.substr(0, eq), DecodeRememberedValue(std::string_view(line).substr(eq + 1)));
    }
}

bool RememberedValues::Write(ProfileFile& file) const {
    bool wrote = false;
    for (const auto& [name, text] : mEntries) {
        if (!RememberableName(name)) continue;
        const std::string stored = EncodeRememberedValue(text);
        if (file.ReadString(kCriteriaSection, name, "\x01") == stored) continue;
        file.WriteString(kCriteriaSection, name, stored);
        wrote = true;
    }
    return wrote;
}

}  // namespace velt
