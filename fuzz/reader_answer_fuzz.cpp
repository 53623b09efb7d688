// The reader services' answers over arbitrary bytes: every value an answer
// can carry is read within the answer, an escape with too few or wrong
// digits gives "@" and nothing is read past the end, and a value written by
// the client always reads back as itself, so no value adds a parameter.

#include "reader/ReaderParameters.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 20000) return 0;
    const std::string answer(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"wynik", "err", "karta", "nazwisko", "sn", "bar", "ok", "op", ""}) {
        const std::string value = velt::ReaderValue(answer, name);
        if (value.size() > answer.size()) __builtin_trap();
    }
    (void)velt::OperationCaption(velt::OperationCode(answer));
    // The bytes as one value (a zero byte ends a value, so only what comes
    // before one can travel).
    const std::string value = answer.substr(0, answer.find('\0'));
    const std::string written = velt::ReaderParameter("haslo", value) + velt::ReaderParameter("karta", "1");
    if (velt::ReaderValue(written, "haslo") != value) __builtin_trap();
    if (velt::ReaderValue(written, "karta") != "1") __builtin_trap();
    return 0;
}
