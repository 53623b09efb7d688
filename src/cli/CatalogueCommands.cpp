#include "CliContext.h"

#include "browse/CellMarkup.h"
#include "catalogue/velt_files.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <cstdlib>

namespace velt::cli {

namespace {

// One entry as a line: the shown identifier, a tab, the display text without
// markup, its lines joined by " | ".
std::string EntryLine(const velt_files& files, const TVeltRecord& entry) {
    std::string line = files.ShownIdentifier(files.EntryText(&entry)) + "\t";
    const int item = velt_files::DisplayItem(entry.Kind);
    bool first = true;
    for (const auto& l : SplitDisplayLines(item > 0 ? entry.Item(item) : std::string())) {
        if (!first) line += " | ";
        line += MarkupPlainText(l);
        first = false;
    }
    return line;
}

}  // namespace

// velt-cli ... indexes: the descriptor's index names in order.
int IndexesCommand(CliContext& ctx) {
    std::unique_ptr<velt_files> files;
    if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;
    for (const auto& index : files->Indexes) PrintLine(stdout, index->Name);
    return kExitOk;
}

// velt-cli ... browse INDEX [--from TEXT] [--count N] [--format NAME] [--backward]
int BrowseCommand(CliContext& ctx) {
    std::string from, count = "20", format;
    const bool hasFrom = ctx.TakeOption("--from", from);
    ctx.TakeOption("--count", count);
    const bool hasFormat = ctx.TakeOption("--format", format);
    const bool backward = ctx.TakeSwitch("--backward");
    if (ctx.args.size() != 1) {
        std::fprintf(stderr, "usage: velt-cli ... browse INDEX [--from TEXT] [--count N] [--format NAME] [--backward]\n");
        return kExitUsage;
    }
    const std::string name = UtfVeltwin().Convert(ctx.args[0]);
    from = UtfVeltwin().Convert(from);
    format = UtfVeltwin().Convert(format);
    std::unique_ptr<velt_files> files;
    if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;
    velt_order* index = files->IndexByName(name);
    if (!index) {
        PrintLine(stderr, "Nieznany indeks: "_cp + name);
        return kExitRefused;
    }
    if (hasFormat) {
        const velt_format* chosen = nullptr;
        for (const auto& f : files->Formats)
            if (f.Name == format) chosen = &f;
        if (!chosen) {
            PrintLine(stderr, "Nieznany format: "_cp + format);
            return kExitRefused;
        }
        files->SetFormat(chosen->Id);
    }
    if (hasFrom)
        index->Seek(from);
    else if (backward)
        index->Last();
    else
        index->First();
    const long n = std::strtol(count.c_str(), nullptr, 10);
    for (long i = 0; i < n && index->Current; ++i) {
        PrintLine(stdout, EntryLine(*files, *index->Current));
        if (backward)
            index->Prior();
        else
            index->Next();
    }
    return files->Broken() ? kExitNoConnection : kExitOk;
}

}  // namespace velt::cli
