// The MARC reader over arbitrary bytes: every read stays inside the record,
// a fault is an error of the record, and a file of records splits into
// pieces that cover it.

#include "import/usmarc.h"
#include "text/ala.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    velt::MarcOptions joined;
    joined.presentation = &velt::AlaWin();
    velt::MarcOptions own;
    own.format = true;
    std::size_t covered = 0;
    for (const std::string_view record : velt::SplitMarcFile(input)) {
        if (record.empty()) __builtin_trap();
        covered += record.size();
        const velt::my_record a = velt::ParseMarc(record, joined);
        const velt::my_record b = velt::ParseMarc(record, own);
        if (a.kind.size() > 1 || b.kind.size() > 1) __builtin_trap();
        (void)velt::MarcDisplayLines(record, own);
    }
    if (covered > size) __builtin_trap();
    (void)velt::ParseMarc(input);
    return 0;
}
