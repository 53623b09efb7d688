// The printer settings file's reader over arbitrary bytes (the file is the
// user's, but any program may have written it): whatever it accepts is in
// range and written again reads back the same.

#include "reports/PrinterChoice.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> installed{"Biuro", "Rewersy on serwer", "A"};
    const velt::LoadedPrinterSettings r = velt::ParsePrinterSettings(input, installed);
    if (!r.settings) {
        if (r.failure.empty()) __builtin_trap();
        return 0;
    }
    const velt::PrinterSettings& s = *r.settings;
    if (s.copies < 1 || s.copies > 999 || s.orientation < 0 || s.orientation > 2 || s.duplex < 0 || s.duplex > 2)
        __builtin_trap();
    const velt::LoadedPrinterSettings again = velt::ParsePrinterSettings(velt::FormatPrinterSettings(s), installed);
    if (!again.settings || !(*again.settings == s)) __builtin_trap();
    return 0;
}
