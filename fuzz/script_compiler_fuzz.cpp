// The formatting language's compiler over arbitrary bytes: it never crashes,
// and a program it accepts has only the codes it may produce, variable
// numbers within the 200 the interpreter holds and calls of its own procedures.

#include "lang/Compiler.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

void Check(const velt::Chain& chain, const velt::Program& p) {
    for (const auto& e : chain) {
        if (e.code > 67) __builtin_trap();
        if ((e.code == velt::kOpLoad || e.code == velt::kOpStore) && (e.index < 1 || e.index > 200)) __builtin_trap();
        if (e.code == velt::kOpCall && e.index >= p.procedures.size()) __builtin_trap();
        Check(e.first, p);
        Check(e.second, p);
        Check(e.third, p);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::size_t messages = 0;
    // Includes are looked for under a directory that does not exist.
    const auto program = velt::CompileOpenText(in, {"N", "M"}, "/nonexistent-velt-fuzz/script",
                                               [&messages](const std::string&) { ++messages; });
    if (program) {
        Check(program->main, *program);
        for (const auto& proc : program->procedures) Check(proc.body, *program);
    }
    return 0;
}
