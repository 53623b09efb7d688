#pragma once
// The link schema of a record: the records of its hierarchy (a multi-volume
// work and its volumes, a serial and its issues, a collection and its parts)
// as the nodes of one tree, built the way the server keeps it.
//
// - A server with a format of the structure type sends the whole tree as the
//   structure text of the record's entry (index kind 21, or 1 on VELT1
//   servers, parameter 1), indented lines "|" identifier "|" caption with
//   identifiers as users see them; the first node is the root.
// - A VELT1 server without it is walked: the record's own entry (kind 1,
//   parameter 1) names its parent in item 3 ("         0" or blanks: none),
//   up to the root; then the children of every node (kind 1, parameter 2,
//   the node's identifier as prefix, item 2 the child, item 7 its text),
//   depth first in index order. The walk keeps the records it has seen and
//   stops at one it meets again (a chain that comes back would never end),
//   and at kMaxLinkNodes nodes.

#include "catalogue/velt_files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct LinkNode {
    std::string caption;     // the first line of the record's text, cut to fit
    std::string identifier;  // stored form
    int parent = -1;         // the node it hangs under; -1 for the root
    int level = 0;           // 0 for the root
    bool inCollection = false;  // shown with "pow-kole.bmp", else "pow-pust.bmp"
};

// The most nodes a walk makes before it stops.
inline constexpr std::size_t kMaxLinkNodes = 20000;
// The structure type asked for when the caller names none.
inline constexpr const char* kDefaultStructure = "struktura";

// A node's caption: the first line of a display text, its first 252
// characters and "..." when it is longer than 255.
std::string NodeCaption(std::string_view displayText);

// What a build gives: the nodes, the node of the record asked for, the
// root's identifier, and what went wrong on the way (shown by the window;
// the nodes are what was built up to there).
struct LinkTreeBuild {
    std::vector<LinkNode> nodes;
    int selected = -1;
    std::string root;
    std::string problem;
};

// "Wykryto niespójność bazy".
std::string InconsistencyText();

// The tree from the record's structure text in the structure format.
LinkTreeBuild TreeFromStructure(velt_files& files, std::int32_t structureFormat, const std::string& identifier);
// The tree walked on a VELT1 server, captions in captionFormat.
LinkTreeBuild TreeByWalk(velt_files& files, std::int32_t captionFormat, const std::string& identifier,
                         std::size_t maxNodes = kMaxLinkNodes);

// "Wyszukaj": the next node whose caption holds text (letter case ignored),
// from the node after from to the end, then from the first node up to from;
// -1 when none. from -1 counts as the first node.
int FindNode(const std::vector<LinkNode>& nodes, const std::string& text, int from);

// Two identifiers of one record (the blanks around them do not count).
bool SameIdentifier(std::string_view a, std::string_view b);

}  // namespace velt
