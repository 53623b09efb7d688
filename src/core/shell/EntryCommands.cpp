#include "shell/EntryCommands.h"
#include "net/FileRequests.h"

#include "browse/PresentationTabs.h"
#include "browse/TBlobChange.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "files/WorkFile.h"
#include "search/SearchService.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"
#include "text/Trim.h"
#include "text/converter.h"

namespace velt {

namespace {

bool Starts(const std::string& s, std::string_view prefix) { return s.rfind(prefix, 0) == 0; }

std::string From(const std::string& s, std::size_t position) {  // 1-based, as the commands count
    return s.size() >= position ? s.substr(position - 1) : std::string();
}

}  // namespace

EntryCommandParts ClassifyEntryCommand(const std::string& c, bool local) {
    using K = EntryCommandKind;
    if (c == "!") return {K::Selected, {}, false};
    if (c == "?" && local) return {K::Count, {}, false};
    if (c == "*") return {K::Toggle, {}, false};
    if (!local && Starts(c, "kolekcja")) return {K::Kolekcja, From(c, 10), false};
    if (!local && Starts(c, "zapytanie")) return {K::Zapytanie, c.substr(9), false};
    if (Starts(c, "JPG")) return {K::Jpg, From(c, 5), true};
    if (Starts(c, "BLOB")) return {K::Blob, From(c, 5), true};
    if (Starts(c, "BAR")) return {K::Bar, std::string(TrimSpaces(From(c, 4))), true};
    if (Starts(c, "@")) return {K::Program, From(c, 2), true};
    if (Starts(c, "RAPORT")) return {K::Raport, From(c, 7), true};
    if (Starts(c, "OPERACJA")) return {K::Operacja, From(c, 9), true};
    if (Starts(c, "STRUKTURA")) return {K::Struktura, From(c, 10), true};
    if (Starts(c, "rekord")) return {K::Rekord, c.substr(6), false};
    if (c.find('|') != std::string::npos) return {K::IndexRecord, c, false};
    if (Starts(c, "powiazania")) return {K::Powiazania, std::string(TrimSpaces(From(c, 11))), true};
    if (Starts(c, "&")) return {K::Reader, c, true};
    return {K::Other, c, false};
}

std::string AttachmentExtension(const std::string& name) { return AttachmentFileExtension(name); }

EntryCommands::EntryCommands(PresentationTabs& tabs, SearchService& search, Prompts& prompts, LongOperations& longOps,
                             EntryWindows& windows)
    : mTabs(tabs), mSearch(search), mPrompts(prompts), mLongOps(longOps), mWindows(windows) {}

void EntryCommands::MakeCurrent(const std::string& key, const std::string& identifier) {
    velt_files* files = mTabs.Files();
    if (!files || identifier.empty()) return;
    mTabs.SelectRecord(key, std::string(TrimSpaces(identifier)));
}

void EntryCommands::FetchPicture(const std::string& designation) {
    velt_files* files = mTabs.Files();
    if (!files) return;
    // A name of its own for every fetch: two programs may share the
    // directory, and a name from the server never becomes part of the path.
    WorkFile work(mWorkingDirectory, "tmp-", "jpg");
    if (!work.Made()) {
        mPrompts.show_error("Brak dostępu do folderu roboczego"_cp);
        return;
    }
    const bool ok = GetFile(files->Connection(), designation, work.Path(), [this](std::int64_t done, std::int64_t total) {
        mLongOps.download_progress(done, total);
    });
    mLongOps.download_progress(1, 1);
    // The picture window takes the file over.
    if (ok) mWindows.ShowJpeg(work.Release());
}

void EntryCommands::FetchAttachment(const std::string& identifier, const std::string& name, bool local) {
    velt_files* files = mTabs.Files();
    if (!files || identifier.empty()) return;
    const std::string ext = AttachmentExtension(name);
    WorkFile work(mWorkingDirectory, "tmp-", ext);
    if (!work.Made()) {
        mPrompts.show_error("Brak dostępu do folderu roboczego"_cp);
        return;
    }
    bool ok = false;
    mLongOps.run_with_gauge([&](const GaugeFunction& gauge) {
        ok = AttachmentGet(files->Connection(), identifier, name, work.Path(),
                                           [&](std::int64_t done, std::int64_t total) { gauge(done, total); });
    });
    if (!ok) return;
    // The window or the program that opens it takes the file over.
    const std::string path = work.Release();
    // The index source compares the ending in capitals, the local one as it is.
    const bool jpeg = local ? ext == "jpg" : UpperTable.Convert(ext) == "JPG";
    if (jpeg)
        mWindows.ShowJpeg(path);
    else
        mWindows.OpenFile(path);
}

void EntryCommands::ShowRecordInIndex(const std::string& index, const std::string& record, bool locate) {
    velt_files* files = mTabs.Files();
    if (!files) return;
    // VELT2 and VELT3 name the index by its prefix, VELT1 by its caption.
    std::string caption = index;
    if (files->DatabaseKind != kVelt1)
        for (const auto& i : files->Indexes)
            if (i->Prefix == index) caption = i->Name;
    if (locate) {
        mTabs.LocateInTab(record, caption);
    } else {
        mTabs.ShowInTab(caption, record);
    }
}

void EntryCommands::Run(const std::string& key, const std::string& command, const std::string& identifier, bool local) {
    const EntryCommandParts parts = ClassifyEntryCommand(command, local);
    if (parts.current) MakeCurrent(key, identifier);
    using K = EntryCommandKind;
    switch (parts.kind) {
        case K::Zapytanie:
            mSearch.RunLinkQuery(command);
            return;
        case K::Jpg:
            FetchPicture(parts.argument);
            return;
        case K::Blob:
            FetchAttachment(identifier, parts.argument, local);
            return;
        case K::Program: {
            const PipeSplit program = SplitAtPipe(parts.argument);
            mWindows.StartProgram(std::string(program.head), std::string(program.tail));
            return;
        }
        case K::Rekord: {
            // The text to find, then (after the first space) the index.
            const std::string rest = parts.argument;
            const auto first = rest.find_first_not_of(' ');
            const auto space = first == std::string::npos ? std::string::npos : rest.find(' ', first);
            const std::string text = std::string(TrimSpaces(rest.substr(0, space)));
            const std::string index = space == std::string::npos ? std::string() : std::string(TrimSpaces(rest.substr(space + 1)));
            ShowRecordInIndex(index, text, true);
            return;
        }
        case K::IndexRecord: {
            const PipeSplit entry = SplitAtPipe(command);
            ShowRecordInIndex(std::string(entry.head), std::string(entry.tail), false);
            return;
        }
        case K::Other:
            mPrompts.plain_message(command);
            return;
        default:
            if (!mWindows.LaterCommand(parts.kind, parts.argument, identifier))
                mPrompts.show_message("Ta funkcja nie jest jeszcze dostępna w tej wersji programu"_cp);
            return;
    }
}

}  // namespace velt
