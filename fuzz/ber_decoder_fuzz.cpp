// The BER decoder over arbitrary bytes as a held response: it either gives a
// tree that lies inside the bytes or fails with an error text; the helpers
// that read the tree (integers, bits, strings, diagnostics) stay in bounds.

#include "import/Codec.h"
#include "import/Decodec.h"
#include "import/Z3950Client.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Walk(const velt::DataElement& e, int depth) {
    if (depth > velt::Decodec::kMaxDepth + 1) __builtin_trap();
    if (e.size < 2) __builtin_trap();
    if (!e.constructed) {
        (void)velt::Codec::DecodeInteger(e.content);
        (void)velt::Codec::BitsOf(e.content);
    }
    (void)e.Octets();
    (void)velt::DiagnosticText(e);
    for (const auto& c : e.children) Walk(c, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velt::UniSocket socket;
    if (!socket.Load(std::string(reinterpret_cast<const char*>(data), size))) return 0;
    velt::Decodec decodec(socket);
    const auto tree = decodec.DecodeElement(1);
    if (tree) {
        if (socket.Failed()) __builtin_trap();
        if (static_cast<std::size_t>(tree->size) > size) __builtin_trap();
        Walk(*tree, 1);
    } else if (!socket.Failed() || socket.ErrorText().empty()) {
        __builtin_trap();
    }
    return 0;
}
