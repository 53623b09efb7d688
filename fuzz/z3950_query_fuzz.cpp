// The import window's query and list choice over arbitrary text: the
// expression (its first line) over rows of the pair text after it either
// fails with a text or gives one well-formed RPN structure that decodes
// whole and its prefix notation; the entries of a list choice (the editor
// commands' "DL" from a server script) give a source that stays inside them.

#include "browse/ListChoiceSource.h"
#include "common/ListChoice.h"
#include "import/Decodec.h"
#include "import/UniSocket.h"
#include "import/Z3950Query.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t line = input.find('\n');
    const std::string expression = input.substr(0, line);
    const std::string pairs = line == std::string::npos ? std::string() : input.substr(line + 1);
    const bool utf8 = size > 0 && (data[0] & 1);
    const velt::Z3950Expression e = velt::ParseZ3950Expression(expression, velt::RowsOfValues(pairs, utf8));
    if (!e.error.empty() && !e.rpn.empty()) __builtin_trap();
    if (e.rpn.empty() != e.pqf.empty()) __builtin_trap();
    if (!e.rpn.empty() && e.rpn.size() < velt::UniSocket::kBufferSize) {
        velt::UniSocket socket;
        socket.Load(e.rpn);
        const auto tree = velt::Decodec(socket).DecodeElement(1);
        if (!tree || socket.Failed() || tree->size != static_cast<std::int32_t>(e.rpn.size())) __builtin_trap();
    }

    const auto entries = velt::ParseListChoice(input);
    velt::ListChoiceSource source(entries, [](int) {});
    int steps = 0;
    for (std::string key = source.First(); !key.empty() && steps < 10000; key = source.Next(key), ++steps) {
        if (!source.Lines(key)) __builtin_trap();
        source.Action(key, "!");
    }
    if (static_cast<std::size_t>(steps) != std::min<std::size_t>(entries.size(), 10000)) __builtin_trap();
    return 0;
}
