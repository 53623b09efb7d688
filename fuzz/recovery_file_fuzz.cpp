// The recovery file's reader over arbitrary bytes (the file lies in a
// working directory anyone may have written into), and the kind list and
// script lines a server sends at the start of editing. Kept sheets written
// again read back as the same sheets.

#include "editing/RecordKinds.h"
#include "editing/RecoveryFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const auto sheets = velt::ParseRecoveryText(input);
    if (sheets.size() > velt::kMaxKeptRecords) __builtin_trap();
    const auto again = velt::ParseRecoveryText(velt::RecoveryText(sheets));
    if (again.size() != sheets.size()) __builtin_trap();
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const auto &a = sheets[i], &b = again[i];
        if (a.fields.size() > velt::kMaxKeptFields) __builtin_trap();
        if (a.host != b.host || a.port != b.port || a.user != b.user || a.code != b.code ||
            a.identifier != b.identifier || a.source != b.source || a.fields.size() != b.fields.size())
            __builtin_trap();
        for (std::size_t f = 0; f < a.fields.size(); ++f)
            if (a.fields[f].key != b.fields[f].key || a.fields[f].loaded != b.fields[f].loaded ||
                a.fields[f].value != b.fields[f].value || a.fields[f].readonly != b.fields[f].readonly)
                __builtin_trap();
    }
    const auto kinds = velt::ParseKindList(input);
    if (kinds.size() > velt::RecordKinds::kMaxKinds) __builtin_trap();
    std::vector<std::string> skipped;
    const std::string lines = velt::ServerScriptLines(input, skipped);
    if (lines.size() > input.size() + 1) __builtin_trap();
    return 0;
}
