#include "common/ListChoice.h"

#include "text/CpLiteral.h"

namespace velt {

std::vector<ListChoiceEntry> ParseListChoice(std::string_view entries) {
    std::vector<ListChoiceEntry> list;
    std::vector<std::string_view> pieces;
    std::size_t from = 0;
    while (from < entries.size()) {
        const std::size_t end = entries.find('\x01', from);
        pieces.push_back(entries.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from));
        if (end == std::string_view::npos) break;
        from = end + 1;
    }
    for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) list.push_back({std::string(pieces[i]), std::string(pieces[i + 1])});
    return list;
}

std::string ChooseFromList(const std::vector<ListChoiceEntry>& entries, ListChoiceWindow& window) {
    if (entries.empty()) return {};
    if (entries.size() == 1) return entries.front().value;
    const int chosen = window.ShowListChoice(entries);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= entries.size()) return {};
    return entries[static_cast<std::size_t>(chosen)].value;
}

std::string ListChoiceTitle() { return "Wybór z listy"_cp; }

}  // namespace velt
