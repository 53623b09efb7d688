// The record text readers over arbitrary bytes: record lines, the error
// reply, the export form, and the wildcard matcher on the lines' keys. A
// record text the client writes reads back as the same record.

#include "text/RecordText.h"
#include "text/Wildcard.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    velt::my_record r = velt::ParseRecordText(input);
    const velt::RecordTextResult text = velt::RecordText(r);
    if (text.ok()) {
        const velt::my_record again = velt::ParseRecordText(text.text);
        if (again.fields().size() != r.fields().size()) __builtin_trap();
        for (std::size_t i = 0; i < r.fields().size(); ++i)
            if (again.fields()[i].key != r.fields()[i].key || again.fields()[i].value != r.fields()[i].value ||
                again.fields()[i].readonly != r.fields()[i].readonly)
                __builtin_trap();
    }
    // The first line's value as a pattern over every key.
    if (!r.fields().empty()) {
        const std::string& pattern = r.fields()[0].value;
        for (const auto& f : r.fields()) {
            int n;
            (void)velt::MatchPatterns(pattern, f.key);
            if (velt::MatchOccurrence(f.key, pattern, n) && n < 0) __builtin_trap();
        }
        (void)r.MaxOccurrence(pattern);
        r.SetValue(pattern, input);
        (void)velt::ChangedText(r);
    }
    velt::ParseErrorReply(r, input);
    (void)velt::SplitExportText(input);
    return 0;
}
