// MARCXML and ISO 2709 over arbitrary bytes: every record read is written
// as ISO 2709 and as MARCXML, and each reads back to the same fields.

#include "import/MarcData.h"
#include "import/SruResponse.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool SameFields(const velt::MarcData& a, const velt::MarcData& b) {
    if (a.fields.size() != b.fields.size()) return false;
    for (std::size_t i = 0; i < a.fields.size(); ++i)
        if (a.fields[i].tag != b.fields[i].tag || a.fields[i].subfields.size() != b.fields[i].subfields.size())
            return false;
    return true;
}

bool Plain(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const velt::SruResponse r = velt::ReadMarcXml(input);
    for (const velt::SruRecord& record : r.records) {
        if (const auto iso = velt::WriteIso2709(record.marc, 'a')) {
            std::string error;
            const auto back = velt::ReadIso2709(*iso, error);
            if (!back) __builtin_trap();
            // Texts holding the structure's own separators cannot come back the same.
            bool plain = true;
            for (const auto& f : record.marc.fields) {
                plain = plain && Plain(f.data) && Plain(std::string(1, f.ind1)) && Plain(std::string(1, f.ind2));
                for (const auto& s : f.subfields) plain = plain && Plain(s.data) && Plain(std::string(1, s.code));
            }
            if (plain && !SameFields(record.marc, *back)) __builtin_trap();
        }
        const velt::SruResponse again = velt::ReadMarcXml(velt::MarcXmlRecord(record.marc));
        if (again.records.size() != 1) __builtin_trap();
    }
    std::string error;
    if (const auto m = velt::ReadIso2709(input, error)) (void)velt::WriteIso2709(*m, ' ');
    return 0;
}
