// What a server sends the links windows, over arbitrary bytes: a structure
// text read as the indented tree (every node's parent comes before it and is
// one level up, no deeper than the cap) and as the marked components, node
// captions, a display's right-click items (each runs a report or an
// operation) and the display's element commands. Nothing may crash.

#include "browse/StructureTree.h"
#include "links/LinkCommands.h"
#include "links/LinkTree.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Tree(const std::vector<velt::StructureNode>& nodes, bool indented) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const velt::StructureNode& n = nodes[i];
        if (n.level < 0 || n.level >= velt::kMaxStructureDepth) __builtin_trap();
        if (n.parent >= static_cast<int>(i)) __builtin_trap();
        if (n.parent < 0) {
            if (indented && n.level != 0) __builtin_trap();
            continue;
        }
        const velt::StructureNode& up = nodes[static_cast<std::size_t>(n.parent)];
        if (indented && (up.level != n.level - 1 || !up.branch)) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Tree(velt::ParseIndentedStructure(input), true);
    Tree(velt::ParseStructureText(input), false);
    const std::string caption = velt::NodeCaption(input);
    if (caption.size() > 255 || caption.find_first_of("\r\n") != std::string::npos) __builtin_trap();
    for (const velt::ReportItem& item : velt::ReportItems(input))
        if (item.command.rfind("RAPORT", 0) != 0 && item.command.rfind("OPERACJA", 0) != 0) __builtin_trap();
    const velt::LinkCommand command = velt::ClassifyLinkCommand(input);
    if (command.argument.size() > input.size()) __builtin_trap();
    std::string id, index;
    velt::SplitRecordCommand(input, id, index);
    if (id.size() + index.size() > input.size()) __builtin_trap();
    return 0;
}
