#include "browse/ListChoiceSource.h"

#include "browse/CellMarkup.h"

namespace velt {

ListChoiceSource::ListChoiceSource(std::vector<ListChoiceEntry> entries, std::function<void(int)> chosen)
    : mEntries(std::move(entries)), mChosen(std::move(chosen)) {}

long ListChoiceSource::IndexOf(const std::string& key) const {
    if (key.empty() || key.size() > 9) return -1;
    long n = 0;
    for (const char c : key) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && static_cast<std::size_t>(n) <= mEntries.size() ? n - 1 : -1;
}

std::string ListChoiceSource::First() { return mEntries.empty() ? "" : "1"; }

std::string ListChoiceSource::Last() { return mEntries.empty() ? "" : std::to_string(mEntries.size()); }

std::string ListChoiceSource::Next(const std::string& key) {
    const long i = IndexOf(key);
    return i >= 0 && static_cast<std::size_t>(i + 1) < mEntries.size() ? std::to_string(i + 2) : "";
}

std::string ListChoiceSource::Prior(const std::string& key) {
    const long i = IndexOf(key);
    return i >= 1 ? std::to_string(i) : "";
}

std::optional<std::vector<std::string>> ListChoiceSource::Lines(const std::string& key) {
    const long i = IndexOf(key);
    if (i < 0) return std::nullopt;
    std::vector<std::string> lines;
    const std::string& text = mEntries[static_cast<std::size_t>(i)].text;
    std::size_t from = 0;
    while (true) {
        const std::size_t end = text.find('\r', from);
        lines.push_back(NeutraliseMarkup(text.substr(from, end == std::string::npos ? std::string::npos : end - from)));
        if (end == std::string::npos) break;
        from = end + 1;
    }
    return lines;
}

int ListChoiceSource::Action(const std::string& key, const std::string& command) {
    const long i = IndexOf(key);
    if (i >= 0 && (command == "!" || command == "*") && mChosen) mChosen(static_cast<int>(i));
    return 0;
}

}  // namespace velt
