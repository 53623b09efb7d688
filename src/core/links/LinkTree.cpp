#include "links/LinkTree.h"

#include "browse/StructureTree.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"
#include "text/converter.h"

#include <memory>
#include <set>

namespace velt {

namespace {

constexpr std::size_t kCaptionLimit = 255;
constexpr std::size_t kCaptionKept = 252;

// A parent identifier that names no record.
bool NoParent(std::string_view parent) {
    const std::string_view t = TrimSpaces(parent);
    return t.empty() || t == "0";
}

// The entry's display text (empty when the kind has none).
std::string Display(const TVeltRecord& entry) {
    const int item = velt_files::DisplayItem(entry.Kind);
    return item > 0 ? entry.Item(item) : std::string();
}

}  // namespace

std::string InconsistencyText() { return "Wykryto niespójność bazy"_cp; }

std::string NodeCaption(std::string_view displayText) {
    const auto end = displayText.find_first_of("\r\n");
    std::string line(displayText.substr(0, end));
    if (line.size() > kCaptionLimit) line = line.substr(0, kCaptionKept) + "...";
    return line;
}

bool SameIdentifier(std::string_view a, std::string_view b) { return TrimSpaces(a) == TrimSpaces(b); }

LinkTreeBuild TreeFromStructure(velt_files& files, std::int32_t structureFormat, const std::string& identifier) {
    LinkTreeBuild build;
    const std::int32_t kind = files.DatabaseKind == kVelt1 ? 1 : 21;
    const RecordPtr entry = files.IndexFrom(kind, 1, structureFormat, identifier);
    if (!entry) {
        // A failed connection was told by the session already.
        if (!files.Broken()) build.problem = InconsistencyText();
        return build;
    }
    for (const StructureNode& n : ParseIndentedStructure(Display(*entry))) {
        LinkNode node;
        node.caption = NodeCaption(n.caption);
        node.identifier = files.StoredIdentifier(std::string(TrimSpaces(n.identifier)));
        node.parent = n.parent;
        node.level = n.level;
        if (build.selected < 0 && SameIdentifier(node.identifier, identifier))
            build.selected = static_cast<int>(build.nodes.size());
        build.nodes.push_back(std::move(node));
    }
    if (!build.nodes.empty()) build.root = build.nodes.front().identifier;
    return build;
}

LinkTreeBuild TreeByWalk(velt_files& files, std::int32_t captionFormat, const std::string& identifier,
                         std::size_t maxNodes) {
    LinkTreeBuild build;
    const auto fail = [&](std::string problem) {
        if (!files.Broken()) build.problem = std::move(problem);
        return build;
    };
    // Up to the root; a record met twice on the way is a chain without end.
    // Identifiers travel as the server wrote them; they are compared without their blanks.
    std::set<std::string, std::less<>> seen;
    std::string root = identifier;
    for (;;) {
        if (!seen.emplace(TrimSpaces(root)).second || seen.size() > maxNodes) return fail(InconsistencyText());
        const RecordPtr own = files.IndexFrom(1, 1, 0, root);
        if (!own) return fail(InconsistencyText());
        const std::string parent = own->Item(3);
        if (NoParent(parent)) break;
        root = parent;
    }
    const RecordPtr rootEntry = files.IndexFrom(1, 1, captionFormat, root);
    if (!rootEntry) return fail(InconsistencyText());
    build.root = root;
    build.nodes.push_back({NodeCaption(Display(*rootEntry)), root, -1, 0, false});
    if (SameIdentifier(root, identifier)) build.selected = 0;

    // Depth first without recursion: each open node keeps its last child entry.
    struct Open {
        int node;
        RecordPtr last;  // none: its first child is still to be asked
    };
    std::vector<Open> stack;
    stack.push_back({0, nullptr});
    seen = {std::string(TrimSpaces(root))};
    while (!stack.empty()) {
        Open& top = stack.back();
        const std::string id = build.nodes[static_cast<std::size_t>(top.node)].identifier;
        RecordPtr child = top.last ? files.IndexNext(2, top.last.get(), captionFormat, id)
                                   : files.IndexFrom(1, 2, captionFormat, id);
        if (!child) {
            if (files.Broken()) return build;
            stack.pop_back();
            continue;
        }
        const std::string childId = child->Item(2);
        if (TrimSpaces(childId).empty() || !seen.emplace(TrimSpaces(childId)).second) return fail(InconsistencyText());
        if (build.nodes.size() >= maxNodes)
            return fail("Schemat powiązań ma więcej niż "_cp + std::to_string(maxNodes) +
                        " rekordów: pokazano tylko początek"_cp);
        LinkNode node;
        node.caption = NodeCaption(Display(*child));
        node.identifier = childId;
        node.parent = top.node;
        node.level = build.nodes[static_cast<std::size_t>(top.node)].level + 1;
        if (build.selected < 0 && SameIdentifier(childId, identifier))
            build.selected = static_cast<int>(build.nodes.size());
        build.nodes.push_back(std::move(node));
        top.last = std::move(child);
        stack.push_back({static_cast<int>(build.nodes.size()) - 1, nullptr});
    }
    return build;
}

int FindNode(const std::vector<LinkNode>& nodes, const std::string& text, int from) {
    const int n = static_cast<int>(nodes.size());
    if (n == 0) return -1;
    if (from < 0 || from >= n) from = 0;
    const std::string wanted = UpperTable.Convert(text);
    const auto holds = [&](int i) {
        return UpperTable.Convert(nodes[static_cast<std::size_t>(i)].caption).find(wanted) != std::string::npos;
    };
    for (int i = from + 1; i < n; ++i)
        if (holds(i)) return i;
    for (int i = 0; i <= from; ++i)
        if (holds(i)) return i;
    return -1;
}

}  // namespace velt
