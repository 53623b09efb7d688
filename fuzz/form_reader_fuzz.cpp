// The form-description reader over arbitrary bytes, and the layout of what
// it read over a record: nothing crashes, the messages and the nesting stay
// within their bounds, and a layout never holds more editors than its bound.

#include "forms/FormReader.h"
#include "forms/HeadlessControls.h"
#include "forms/my_editor.h"
#include "text/my_record.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

struct Host : velt::FormHost {
    std::vector<std::string> FieldEvent(int event, velt::my_record&, const std::string& field) override {
        // A formatted text gets its own id back, with a command or two.
        if (event == velt::kFormShow) return {field, "\x1b/\x1a\x1b" "CR\x1a" "x"};
        return {};
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const velt::FormReadResult r = velt::ReadFormDescription(text, "/nonexistent-velt-fuzz/");
    if (!r.root) __builtin_trap();
    if (r.messages.size() > velt::kMaxFormMessages) __builtin_trap();
    int deepest = 0;
    velt::WalkForm(*r.root, [&](const velt::my_formular&, int depth) { deepest = depth > deepest ? depth : deepest; });
    if (deepest > 2 * velt::kMaxFormNesting + 2) __builtin_trap();

    for (double zoom : {1.0, 1.36}) {
        velt::FormSettings settings;
        settings.zoom = zoom;
        settings.maxOccurrence = 50;
        (void)r.root->RightEdge(settings);
        (void)r.root->BottomEdge(settings);
        (void)r.root->FieldIds({});
        velt::my_record record;
        record.AddField("D.1", "a|1|U|b|2||", 0);
        record.AddField("L.3", "x", 1);
        Host host;
        velt::HeadlessControls controls;
        auto sheet = controls.MakeRoot();
        velt::FormContext context(record, host, controls, settings);
        velt::my_editor form(context, *sheet);
        r.root->Build(form, 0, {}, 0);
        if (context.LiveEditors() > velt::FormContext::kMaxEditors + 1) __builtin_trap();
        form.FocusFirst();
        form.Refresh("D.1");
        controls.RunPosted();
        form.Wheel(-1);
        form.Commit();
    }
    return 0;
}
