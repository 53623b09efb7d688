#include "catalogue/DescriptorText.h"

namespace velt {

namespace {

// Cuts the first group out of text at from; the group's content, and where
// scanning goes on. False when no "{" is left.
bool NextGroup(std::string_view text, std::size_t& from, DescriptorGroup& group) {
    const auto open = text.find('{', from);
    if (open == std::string_view::npos) return false;
    int depth = 0;
    std::size_t i = open;
    for (; i < text.size(); ++i) {
        if (text[i] == '{') {
            ++depth;
        } else if (text[i] == '}' && --depth == 0) {
            break;
        }
    }
    const std::string_view content = text.substr(open + 1, (i < text.size() ? i : text.size()) - open - 1);
    const auto eq = content.find('=');
    if (eq == std::string_view::npos) {
        group.name = std::string(content);
        group.value.clear();
    } else {
        group.name = std::string(content.substr(0, eq));
        group.value = std::string(content.substr(eq + 1));
    }
    from = i < text.size() ? i + 1 : text.size();
    return true;
}

}  // namespace

std::string TakeGroup(std::string& text, std::string_view name) {
    std::string passed;
    std::size_t from = 0;
    DescriptorGroup g;
    while (NextGroup(text, from, g)) {
        if (g.name == name) {
            text = passed + text.substr(from);
            return g.value;
        }
        passed += "{" + g.name + "=" + g.value + "}";
    }
    text = passed;
    return {};
}

std::vector<DescriptorGroup> ParseGroups(std::string_view text) {
    std::vector<DescriptorGroup> out;
    std::size_t from = 0;
    DescriptorGroup g;
    while (NextGroup(text, from, g)) out.push_back(g);
    return out;
}

std::vector<std::string> GroupValues(const std::vector<DescriptorGroup>& groups, std::string_view name) {
    std::vector<std::string> out;
    for (const auto& g : groups) {
        if (g.name != name) continue;
        if (g.value.empty()) break;  // where repeated TakeGroup stops
        out.push_back(g.value);
    }
    return out;
}

std::string GroupValue(const std::vector<DescriptorGroup>& groups, std::string_view name) {
    for (const auto& g : groups)
        if (g.name == name) return g.value;
    return {};
}

}  // namespace velt
