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

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t at = 0;
    while (at <= text.size()) {
        auto end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

}  // namespace

std::vector<StructureNode> ParseStructureText(std::string_view text) {
    std::vector<std::string> lines;
    for (const std::string_view line : Lines(text)) lines.emplace_back(line);
    return ParseStructureText(lines);
}

std::vector<StructureNode> ParseIndentedStructure(std::string_view text) {
    std::vector<StructureNode> nodes;
    std::vector<int> path;  // path[l]: the last node of level l (0-based) still open
    for (const std::string_view line : Lines(text)) {
        const auto bar = line.find('|');
        if (bar == std::string_view::npos) continue;
        // The first "|" at position p (from 1) makes the line's level p.
        if (bar > path.size() || bar >= static_cast<std::size_t>(kMaxStructureDepth)) break;
        const int level = static_cast<int>(bar);
        const std::string_view rest = line.substr(bar + 1);
        const auto second = rest.find('|');
        StructureNode node;
        node.identifier = std::string(rest.substr(0, second));
        if (second != std::string_view::npos) node.caption = std::string(rest.substr(second + 1));
        node.level = level;
        node.parent = level == 0 ? -1 : path[static_cast<std::size_t>(level - 1)];
        if (node.parent >= 0) nodes[static_cast<std::size_t>(node.parent)].branch = true;
        path.resize(static_cast<std::size_t>(level));
        path.push_back(static_cast<int>(nodes.size()));
        nodes.push_back(std::move(node));
    }
    return nodes;
}

}  // namespace velt
