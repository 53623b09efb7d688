#include "browse/StructureTree.h"

namespace velt {

std::vector<StructureNode> ParseStructureText(const std::vector<std::string>& lines) {
    std::vector<StructureNode> nodes;
    std::vector<int> open;  // the branches whose levels are open
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        const char mark = line[0];
        if (mark == '/') {
            if (!open.empty()) open.pop_back();
            continue;
        }
        if (mark != '+' && mark != '-') continue;
        StructureNode node;
        const std::string_view rest = std::string_view(line).substr(1);
        const auto bar = rest.find('|');
        node.caption = std::string(rest.substr(0, bar));
        if (bar != std::string_view::npos) node.identifier = std::string(rest.substr(bar + 1));
        node.branch = mark == '+';
        node.parent = open.empty() ? -1 : open.back();
        node.level = open.empty() ? 0 : nodes[static_cast<std::size_t>(open.back())].level + 1;
        if (node.level >= kMaxStructureDepth) {
            // Too deep: the node goes beside its parent instead of under it.
            node.level = kMaxStructureDepth - 1;
            node.parent = nodes[static_cast<std::size_t>(open.back())].parent;
        }
        nodes.push_back(std::move(node));
        if (mark == '+' && nodes.back().level < kMaxStructureDepth - 1) open.push_back(static_cast<int>(nodes.size()) - 1);
        else if (mark == '+') open.push_back(open.back());  // its "/" closes a level that stays the same
    }
    return nodes;
}

std::vector<StructureNode> ParseStructureText(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at <= text.size()) {
        auto end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(at, end - at));
        at = end + 1;
    }
    return ParseStructureText(lines);
}

}  // namespace velt
