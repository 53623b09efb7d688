// The pair text and the bridge of parameter forms over arbitrary bytes.
// The first byte chooses: even, every piece (parted by zero bytes) is read
// as a pair text, which must write back to the same pairs, merge and fill a
// record without harm, and make associations within bounds; odd, the pieces
// are a form text, a script text and initial values handed to the bridge
// as a server item's, the form answered with "Wykonaj" (twice at most).
// Nothing may crash, hang or grow without bound.

#include "params/FileAssociations.h"
#include "params/HeadlessParameterWindow.h"
#include "params/PairText.h"
#include "params/ParameterForms.h"
#include "text/my_record.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Pieces(const std::string& input, std::size_t most) {
    std::vector<std::string> out(1);
    for (const char c : input) {
        if (c == '\0' && out.size() < most) out.emplace_back();
        else out.back().push_back(c);
    }
    return out;
}

void PairTexts(const std::vector<std::string>& pieces) {
    for (const std::string& text : pieces) {
        const auto pairs = velt::ReadPairs(text);
        const std::string written = velt::JoinPairs(pairs);
        if (velt::ReadPairs(written) != pairs) __builtin_trap();
        if (written.size() > 2 * text.size() + 2) __builtin_trap();
        velt::my_record record;
        velt::FillRecord(record, text);
        const std::string answer = velt::RecordPairs(record);
        if (answer.empty()) __builtin_trap();
        if (record.fields().size() > pairs.size()) __builtin_trap();
        const std::string merged = velt::MergePairs(text, pieces.front());
        if (velt::ReadPairs(merged).size() > pairs.size() + velt::ReadPairs(pieces.front()).size()) __builtin_trap();
        const auto rows = velt::AssociationsFromAnswer(text);
        if (rows.size() > pairs.size()) __builtin_trap();
    }
}

void Bridge(const std::vector<std::string>& pieces) {
    velt::HeadlessParameterWindow window;
    window.user = [](velt::HeadlessParameterWindow& w) {
        if (!w.Execute()) w.Execute();
    };
    velt::FormSettings settings;
    velt::ParameterForms forms(window, settings, [] { return std::string("/nonexistent-velt-fuzz/"); });
    const std::string form = pieces.size() > 0 ? pieces[0] : std::string();
    const std::string script = pieces.size() > 1 ? pieces[1] : std::string();
    std::string values = pieces.size() > 2 ? pieces[2] : std::string();
    forms.OfferSorting({"a", "b"}, static_cast<int>(values.size() % 5) - 1);
    if (forms.AskItemParameters("T", "/nonexistent-velt-fuzz/", form, values, script) && values.empty())
        __builtin_trap();
    if (window.shown > 1) __builtin_trap();
    if (settings.maxOccurrence != velt::FormSettings{}.maxOccurrence) __builtin_trap();  // restored
    std::string result, remembered = values;
    forms.AskItemFormParameters("T", "/nonexistent-velt-fuzz/", form, result, remembered, script);
    if (!result.empty() && velt::ReadPairs(result).empty()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0) PairTexts(Pieces(input, 8));
    else Bridge(Pieces(input, 3));
    return 0;
}
