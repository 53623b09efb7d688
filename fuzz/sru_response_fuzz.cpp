// The SRU answer reader over arbitrary bytes: a failed read holds no records,
// and the records it holds are taken into a result list within its count.

#include "import/SruClient.h"
#include "import/SruResponse.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const velt::SruResponse r = velt::ReadSruResponse(input);
    if (!r.error.empty() && (!r.records.empty() || !r.terms.empty())) __builtin_trap();
    velt::SruClient client;
    (void)client.TakeAnswer(r, 1);
    if (r.numberOfRecords >= 0)
        for (const auto& record : r.records)
            if (record.position > r.numberOfRecords && client.RecordAt(record.position)) __builtin_trap();
    return 0;
}
