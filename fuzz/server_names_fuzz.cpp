// Names of files and "|"-lists as a server sends them, over arbitrary bytes.
// A name taken is the name itself with "\" read as "/", relative, without a
// ".." or empty part and without a zero byte or drive; the pieces of a list
// joined with "|" give the list back; pairs are never more than the pieces
// allow. Nothing may crash.

#include "files/ServerNames.h"
#include "text/PipeList.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Name(std::string_view name) {
    const std::string relative = velt::RelativeServerName(name);
    if (relative.empty()) return;
    if (relative.size() != name.size() || relative.front() == '/' || relative.back() == '/') __builtin_trap();
    if (relative.find('\0') != std::string::npos || relative.find(':') != std::string::npos) __builtin_trap();
    if (relative.find('\\') != std::string::npos || relative.find("//") != std::string::npos) __builtin_trap();
    if (relative == ".." || relative.rfind("../", 0) == 0 || relative.find("/../") != std::string::npos ||
        (relative.size() >= 3 && relative.compare(relative.size() - 3, 3, "/..") == 0))
        __builtin_trap();
    if (velt::PathInside("/d", name) != "/d/" + relative) __builtin_trap();
}

void List(std::string_view text) {
    const auto pieces = velt::SplitPipeList(text);
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) joined += std::string(pieces[i]) + (i + 1 < pieces.size() ? "|" : "");
    const bool closedByBar = !text.empty() && text.back() == '|';
    if (joined + (closedByBar ? "|" : "") != text) __builtin_trap();
    const auto open = velt::PipePairs(text, velt::PipeEnd::Open);
    const auto closed = velt::PipePairs(text, velt::PipeEnd::Closed);
    if (closed.size() > open.size() || open.size() > pieces.size() / 2 + 1) __builtin_trap();
    const velt::PipeSplit split = velt::SplitAtPipe(text);
    if (split.parted != (text.find('|') != std::string_view::npos)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Name(input);
    List(input);
    return 0;
}
