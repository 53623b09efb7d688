// velt-cli authority and reference: the authority files as the program's
// lookup windows see them.
//
//   authority files                 id, file, index, kind, parameter, prefix (one line per index)
//   authority browse REF [--from TEXT] [--count N]
//                                   term, key, full, open, plain display of the entries
//   authority lookup --mode K|F REF TEXT [--pick N]
//                                   result=... as the window returns it when the N-th
//                                   entry at or after TEXT is chosen; nothing: exit 2
//   reference ID [--type T]         the record's reference text (the format type, "referencja")
//
// REF is "KHW" and an authority file's id, or an index prefix; a prefix no
// file has is a value list (kind 22).

#include "CliContext.h"

#include "authority/AuthorityEntries.h"
#include "authority/AuthorityWindows.h"
#include "authority/HeadlessAuthority.h"
#include "authority/KHWserwer.h"
#include "browse/CellMarkup.h"
#include "catalogue/velt_files.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <cstdio>
#include <cstdlib>

namespace velt::cli {

namespace {

int Usage() {
    std::fputs("usage: velt-cli ... authority files | browse REF [--from TEXT] [--count N]\n"
               "                  | lookup --mode K|F REF TEXT [--pick N]\n"
               "       velt-cli ... reference ID [--type T]\n",
               stderr);
    return kExitUsage;
}

std::string PlainDisplay(const std::string& display) {
    std::string out;
    for (const std::string& line : SplitDisplayLines(display)) {
        const std::string plain = MarkupPlainText(line);
        if (plain.empty()) continue;
        if (!out.empty()) out += " / ";
        out += plain;
    }
    return out;
}

// The list the lookup would browse for a reference: its file's first index,
// else the reference's value list.
velt_KHW_index ListOf(const velt_files& files, const std::string& reference) {
    if (const velt_KHW* file = FindAuthorityFile(files, reference); file && !file->Indexes.empty())
        return file->Indexes.front();
    return {"KHW", TermListKind(files), 2, files.DatabaseKind == kVelt1 ? reference + " " : reference};
}

}  // namespace

int AuthorityCommand(CliContext& ctx) {
    if (ctx.args.empty()) return Usage();
    const std::string verb = ctx.args[0];
    std::string from, count = "20", mode, pick = "1";
    ctx.TakeOption("--from", from);
    ctx.TakeOption("--count", count);
    const bool hasMode = ctx.TakeOption("--mode", mode);
    ctx.TakeOption("--pick", pick);
    const std::size_t wanted = verb == "files" ? 1 : verb == "browse" ? 2 : verb == "lookup" ? 3 : 0;
    if (wanted == 0 || ctx.args.size() != wanted) return Usage();
    if (verb == "lookup" && (!hasMode || (mode != "K" && mode != "F"))) return Usage();
    std::unique_ptr<velt_files> files;
    if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;

    if (verb == "files") {
        for (const velt_KHW& f : files->AuthorityFiles)
            for (const velt_KHW_index& i : f.Indexes)
                PrintLine(stdout, f.Id + "\t" + f.Name + "\t" + i.Name + "\t" + std::to_string(i.Kind) + "\t" +
                                      std::to_string(i.Parameter) + "\t" + i.Prefix);
        return kExitOk;
    }
    const std::string reference = UtfVeltwin().Convert(ctx.args[1]);
    if (verb == "browse") {
        const velt_KHW_index list = ListOf(*files, reference);
        KHWserwer source(*files, {});
        source.SetIndex(list.Kind, list.Parameter, list.Prefix, list.Name);
        std::string key;
        if (from.empty()) {
            key = source.First();
        } else {
            source.Cursor().Seek(UtfVeltwin().Convert(from));
            key = source.Cursor().CurrentKey();
        }
        const long n = std::strtol(count.c_str(), nullptr, 10);
        for (long i = 0; i < n && !key.empty(); ++i) {
            if (!source.Cursor().Find(key)) break;
            const TVeltRecord& e = *source.Cursor().Current;
            const std::string display = EntryDisplay(e);
            PrintLine(stdout, EntryTerm(e) + "\t" + EntryTag(display, "key").value_or("") + "\t" +
                                  EntryTag(display, "full").value_or("") + "\t" + EntryTag(display, "open").value_or("") +
                                  "\t" + PlainDisplay(display));
            key = source.Next(key);
        }
        return files->Broken() ? kExitNoConnection : kExitOk;
    }
    CliPrompts prompts;
    HeadlessAuthority windows(prompts, prompts, "/tmp/");
    windows.pick = std::atoi(pick.c_str());
    const std::string text = UtfVeltwin().Convert(ctx.args[2]);
    const std::string result = mode == "K" ? AuthorityKeyLookup(windows, *files, reference, text)
                                           : AuthorityFullLookup(windows, *files, reference, text);
    if (files->Broken()) return kExitNoConnection;
    if (result.empty()) {
        PrintLine(stderr, "Nie znaleziono hasła"_cp);
        return kExitRefused;
    }
    PrintLine(stdout, "result=" + result);
    return kExitOk;
}

int ReferenceCommand(CliContext& ctx) {
    std::string type = "referencja";
    ctx.TakeOption("--type", type);
    if (ctx.args.size() != 1) return Usage();
    std::unique_ptr<velt_files> files;
    if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;
    const std::string text = ReferenceText(*files, UtfVeltwin().Convert(ctx.args[0]), type);
    if (files->Broken()) return kExitNoConnection;
    if (text.empty()) {
        PrintLine(stderr, "Brak rekordu "_cp + UtfVeltwin().Convert(ctx.args[0]));
        return kExitRefused;
    }
    for (const std::string& line : SplitDisplayLines(text)) PrintLine(stdout, line);
    return kExitOk;
}

}  // namespace velt::cli
