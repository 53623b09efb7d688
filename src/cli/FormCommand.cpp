// velt-cli form FILE [--record RECFILE] [--zoom Z] [--height H] [--layout]
// [--pictures DIR]: reads a form description as the editing window does and
// prints its model tree, or lays it out for a record and prints the editors.
//
// FILE and RECFILE are the system's own Windows-1250 texts; the output is
// UTF-8. Every reader error goes to stderr as its two texts, one a line, and
// the exit code is 2 when there was any.

#include "CliContext.h"

#include "forms/FormReader.h"
#include "forms/HeadlessControls.h"
#include "forms/my_editor.h"
#include "files/UserDirectories.h"
#include "text/RecordText.h"
#include "text/my_record.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velt::cli {

namespace {

// A value on one line: control characters written as \xHH, line breaks as \n.
std::string OneLine(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\\n";
            ++i;
        } else if (c < 32) {
            out += "\\x";
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 15]);
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

void PrintTree(const my_formular& root, const FormSettings& settings) {
    WalkForm(root, [&](const my_formular& object, int depth) {
        std::string line(static_cast<std::size_t>(depth) * 2, ' ');
        line += object.ClassName();
        line += " x=" + std::to_string(object.X(settings)) + " y=" + std::to_string(object.Y(settings));
        if (const FormExpression* w = object.Width()) line += " w=" + std::to_string(w->Evaluate(settings.sheetHeight));
        if (const FormExpression* h = object.Height()) line += " h=" + std::to_string(h->Evaluate(settings.sheetHeight));
        for (const auto& [name, value] : object.Attributes(settings)) line += " " + name + "='" + OneLine(value) + "'";
        PrintLine(stdout, line);
    });
}

// The editors answer every event with nothing: no field-event scripts here.
struct SilentHost : FormHost {
    std::vector<std::string> FieldEvent(int, my_record&, const std::string&) override { return {}; }
};

void PrintLayout(const my_editor& form) {
    form.Walk([](const my_editor& editor, int depth) {
        const FormControl* control = editor.MainControl();
        if (!control) return;
        int left = 0, top = 0;
        control->ScreenPosition(left, top);
        const PixelRect r = control->Geometry();
        std::string line(static_cast<std::size_t>(depth) * 2, ' ');
        line += editor.ClassName();
        if (const std::string* id = editor.FieldId()) line += " id='" + OneLine(*id) + "'";
        line += " x=" + std::to_string(left) + " y=" + std::to_string(top) + " w=" + std::to_string(r.width) +
                " h=" + std::to_string(r.height);
        if (!control->IsVisible()) line += " hidden";
        line += " shown='" + OneLine(control->ShownText()) + "'";
        PrintLine(stdout, line);
    });
}

}  // namespace

int FormCommand(CliContext& ctx) {
    std::string recordFile, zoom, height, pictures;
    const bool hasRecord = ctx.TakeOption("--record", recordFile);
    const bool hasZoom = ctx.TakeOption("--zoom", zoom);
    const bool hasHeight = ctx.TakeOption("--height", height);
    const bool hasPictures = ctx.TakeOption("--pictures", pictures);
    const bool layout = ctx.TakeSwitch("--layout");
    if (ctx.args.size() != 1) {
        std::fprintf(stderr,
                     "usage: velt-cli form FILE [--record RECFILE] [--zoom Z] [--height H] [--layout] [--pictures DIR]\n");
        return kExitUsage;
    }
    FormSettings settings;
    settings.pictureDirectory = hasPictures ? pictures : UserConfigDirectory();
    if (hasZoom) {
        char* end = nullptr;
        settings.zoom = std::strtod(zoom.c_str(), &end);
        if (end == zoom.c_str() || *end != '\0' || !(settings.zoom > 0.0) || settings.zoom > 16.0) {
            std::fprintf(stderr, "velt-cli form: --zoom wants a number above 0, at most 16\n");
            return kExitUsage;
        }
    }
    if (hasHeight) {
        char* end = nullptr;
        const long h = std::strtol(height.c_str(), &end, 10);
        if (end == height.c_str() || *end != '\0' || h < 0 || h > 1000000) {
            std::fprintf(stderr, "velt-cli form: --height wants a number of form units\n");
            return kExitUsage;
        }
        settings.sheetHeight = static_cast<std::int32_t>(h);
    }

    const FormReadResult read = ReadFormDescriptionFile(ctx.args[0], settings.pictureDirectory);
    for (const FormMessage& m : read.messages) {
        PrintLine(stderr, m.text);
        if (!m.line.empty()) PrintLine(stderr, m.line);
    }
    if (!read.root) return kExitRefused;

    if (!layout) {
        FormSettings atOne = settings;
        atOne.zoom = 1.0;
        PrintTree(*read.root, atOne);
        return read.messages.empty() ? kExitOk : kExitRefused;
    }

    my_record record;
    if (hasRecord && !ReadRecordFile(recordFile, record)) {
        PrintLine(stderr, "Brak pliku \"" + recordFile + "\"");
        return kExitRefused;
    }
    SilentHost host;
    HeadlessControls controls;
    auto sheet = controls.MakeRoot();
    FormContext context(record, host, controls, settings);
    {
        my_editor form(context, *sheet);
        read.root->Build(form, 0, {}, 0);
        controls.RunPosted();
        PrintLayout(form);
    }
    if (context.Truncated()) PrintLine(stderr, "velt-cli form: the layout was cut at its bound of editors");
    return read.messages.empty() ? kExitOk : kExitRefused;
}

}  // namespace velt::cli
