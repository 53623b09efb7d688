// What another catalogue and the list's web server send the import from
// other catalogues, over arbitrary bytes: the first byte chooses an HTTP
// response (its body never over the bound, never empty when accepted), the
// catalogue list made of it (only the sources' sections, and nothing else
// then ever read from it as a section), an export text (every record named,
// no key a working field), or the address of the list. Nothing may crash.

#include "import/RtkRecords.h"
#include "import/RtkSettings.h"
#include "net/HttpGet.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Section names compare in capitals.
bool StartsRtk(std::string_view t) {
    if (t.size() < 5 || t[0] != '[') return false;
    for (std::size_t i = 0; i < 4; ++i)
        if (std::toupper(static_cast<unsigned char>(t[i + 1])) != "RTK_"[i]) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
        case 0: {
            constexpr std::size_t kBound = 4096;
            const velt::HttpResponse r = velt::ReadHttpResponse(bytes, kBound);
            if (r.error.empty() && (r.body.empty() || r.body.size() > kBound)) __builtin_trap();
            if (!r.error.empty() && !r.body.empty()) __builtin_trap();
            break;
        }
        case 1: {
            std::string error;
            const auto file = velt::CatalogueListFile(bytes, error);
            if (!file) break;
            // Every section kept is a source's or a group's.
            for (std::size_t at = 0; (at = file->find('[', at)) != std::string::npos; ++at)
                if ((at == 0 || (*file)[at - 1] == '\n') && !StartsRtk(std::string_view(*file).substr(at))) __builtin_trap();
            break;
        }
        case 2:
        case 3: {
            std::string error;
            const auto records = velt::ReadExportText(bytes, data[0] % 4 == 3, error);
            if (!records) break;
            for (const velt::ExportRecord& r : *records) {
                if (r.identifier.empty() && data[0] % 4 == 2) __builtin_trap();
                for (const velt::my_field& f : r.record.fields())
                    if (!f.key.empty() && (f.key[0] == '*' || f.key.find('#') != std::string::npos)) __builtin_trap();
            }
            break;
        }
    }
    if (size < 256) (void)velt::ReadHttpAddress(bytes);
    return 0;
}
