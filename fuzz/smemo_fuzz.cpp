// The marker memo's model under arbitrary edits: the first bytes are the
// stored text, the rest a program of edits (type, choose a marker, delete,
// backspace, select, cut, paste, undo, rebuild). After every edit the stored
// text reads back into the same units and the same shown text, and the
// cursor and selection stay within the shown text.

#include "forms/MarkerText.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Check(const velt::MarkerText& m) {
    velt::MarkerText again;
    again.SetMarkerChar(m.MarkerChar());
    for (const auto& marker : m.Markers()) again.AddMarker(marker);
    again.LoadText(m.StoredText());
    if (again.Units() != m.Units()) __builtin_trap();
    if (again.ShownText() != m.ShownText()) __builtin_trap();
    if (m.Cursor() > m.ShownLength() || m.Anchor() > m.ShownLength()) __builtin_trap();
    if (m.StoredPosition() > m.StoredText().size()) __builtin_trap();
    if (m.StoredSelectionLength() > m.StoredText().size()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t split = data[0] % (size - 1) + 1;
    const std::string stored(reinterpret_cast<const char*>(data + 1), split - 1);
    velt::MarkerText m;
    m.SetMarkerChar(data[1] % 2 ? '^' : '$');
    m.AddMarker({'a', "a", "A", false});
    m.AddMarker({'b', "b", "B", true});
    m.AddMarker({m.MarkerChar(), "^", "refused", true});
    m.LoadText(stored);
    Check(m);
    std::string clipboard;
    for (std::size_t i = split; i + 1 < size; i += 2) {
        const std::uint8_t op = data[i], arg = data[i + 1];
        switch (op % 11) {
        case 0: m.Type(static_cast<char>(arg)); break;
        case 1: m.ChooseMarker(arg % 3); break;
        case 2: m.Delete(); break;
        case 3: m.Backspace(); break;
        case 4: m.Select(arg % (m.ShownLength() + 2), (arg * 7u) % (m.ShownLength() + 2), arg & 1); break;
        case 5: m.Cut(clipboard); break;
        case 6: clipboard = m.Copy(); break;
        case 7: m.Paste(clipboard.empty() ? std::string(1, static_cast<char>(arg)) : clipboard); break;
        case 8: m.Undo(); break;
        case 9: m.SetReadOnly(arg & 1); break;
        default: {
            auto shown = m.Shown();
            if (!shown.empty()) shown.erase(shown.begin() + static_cast<std::ptrdiff_t>(arg % shown.size()));
            m.Rebuild(shown, arg);
            break;
        }
        }
        Check(m);
    }
    return 0;
}
