#pragma once
// The structure texts of records, read into one kind of node list. Two ways
// of writing a tree arrive from servers:
//
// - marked (a record's components, the chooser's tree): a line beginning
//   with "+" is a node that opens a level (its children are the lines up to
//   the matching "/"), "-" is a leaf, "/" closes the level; other lines are
//   ignored. After the first character, the text up to "|" is the caption
//   and the text after it the identifier.
// - indented (a record's link schema, the editor's tree choice): a line is
//   indentation, "|", identifier, "|", caption, where the indentation is
//   (level - 1) characters of any kind, so that the first "|" stands at the
//   position equal to the line's level (1 at the left edge); a node's
//   children are the lines after it one level deeper.

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

// The indented form (lines parted by CR or LF). Reading stops at the first
// line that is more than one level deeper than the line before it (the first
// line counts from level 0) or deeper than kMaxStructureDepth: what came
// before it is the tree. Lines without "|" are skipped; a line with one "|"
// only is an identifier without a caption. A node is a branch when the line
// after it is one of its children.
std::vector<StructureNode> ParseIndentedStructure(std::string_view text);

}  // namespace velt
