#pragma once
// The indented structure text of a record (its links, its components, a
// tree to choose from): a line beginning with "+" is a node that opens a
// level (its children are the lines up to the matching "/"), "-" is a leaf,
// "/" closes the level; other lines are ignored. After the first character,
// the text up to "|" is the caption and the text after it the identifier.

#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct StructureNode {
    std::string caption;
    std::string identifier;  // empty without "|"
    int level = 0;           // 0 for the outermost nodes
    int parent = -1;         // the index of the node it is under, -1 at the top
    bool branch = false;     // "+" (it may have children)
};

// The deepest level kept; nodes deeper down are placed at this level.
inline constexpr int kMaxStructureDepth = 64;

// The nodes in the order they were added (a node's index is its position). A
// "/" with no level open is ignored (it never closes what is not open).
std::vector<StructureNode> ParseStructureText(const std::vector<std::string>& lines);
std::vector<StructureNode> ParseStructureText(std::string_view text);  // lines parted by CR or LF

}  // namespace velt
