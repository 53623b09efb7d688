// The UTF-8 and MARC-8 decoders and their reverse converters over arbitrary
// bytes: none reads outside its input, UTF-8 output is always well formed,
// and valid UTF-8 of the first plane comes back unchanged through the
// system's escapes.

#include "text/Utf8.h"
#include "text/ala.h"
#include "text/utf.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool WellFormed(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const velt::Utf8Char c = velt::DecodeUtf8(s, i);
        if (!c.valid) return false;
        i += c.length;
    }
    return true;
}

// Valid UTF-8 with nothing beyond U+FFFF and no ESC (which would read as the
// start of an escape).
bool EscapesRoundTrip(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const velt::Utf8Char c = velt::DecodeUtf8(s, i);
        if (!c.valid || c.code > 0xFFFF || c.code == 0x1B) return false;
        i += c.length;
    }
    return true;
}

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact-size copy, so that the sanitizer sees any read past the end.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string_view in = input;

    const std::string win = velt::UtfWin().Convert(in);
    Check(win.size() <= in.size());
    const std::string veltwin = velt::UtfVeltwin().Convert(in);
    const std::string back = velt::WinUtf().Convert(veltwin);
    Check(WellFormed(back));
    if (EscapesRoundTrip(in)) Check(back == input);

    const std::string fromMarc = velt::AlaWin().Convert(in);
    Check(WellFormed(velt::WinUtf().Convert(fromMarc)));
    const std::string toMarc = velt::WinAla().Convert(in);
    Check(toMarc.size() <= 2 * in.size());
    Check(WellFormed(velt::WinUtf().Convert(in)));
    return 0;
}
