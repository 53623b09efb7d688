// The lines of a card report's work file over any bytes: no line holds an
// LF, and the lines with their ends never add up to more than the bytes
// read.

#include "reports/CatalogueCards.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::size_t total = 0;
    for (const std::string& line : velt::CardReportLines(bytes)) {
        if (line.find('\n') != std::string::npos) std::abort();
        total += line.size() + 1;
    }
    if (total > size + 1) std::abort();
    return 0;
}
