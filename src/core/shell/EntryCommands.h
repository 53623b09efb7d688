#pragma once
// The commands carried inside displayed entries: what a click on a link, a
// picture or a check mark of an index tab or the local collection does. The
// command is matched in a fixed order of prefixes; what needs a window is
// asked of EntryWindows, what needs the tabs of PresentationTabs.

#include <cstdint>
#include <string>
#include <vector>

namespace velt {

class LongOperations;
class PresentationTabs;
class Prompts;
class SearchService;
class velt_files;

enum class EntryCommandKind {
    Selected,    // "!"
    Count,       // "?" (local)
    Toggle,      // "*"
    Kolekcja,    // "kolekcja" (index)
    Zapytanie,   // "zapytanie" (index)
    Jpg,         // "JPG"
    Blob,        // "BLOB"
    Bar,         // "BAR"
    Program,     // "@"
    Raport,      // "RAPORT"
    Operacja,    // "OPERACJA"
    Struktura,   // "STRUKTURA"
    Rekord,      // "rekord"
    IndexRecord, // any other with "|": index "|" record
    Powiazania,  // "powiazania"
    Reader,      // "&"
    Other,
};

struct EntryCommandParts {
    EntryCommandKind kind = EntryCommandKind::Other;
    std::string argument;  // what follows the prefix
    bool current = false;  // the entry becomes current first
};

// The command's kind and argument, in the order of the table of commands.
EntryCommandParts ClassifyEntryCommand(const std::string& command, bool local);

// A file name for a fetched attachment: "tmp.", then its extension made of
// letters and digits only (from the attachment name's last three characters).
std::string AttachmentExtension(const std::string& name);

// What the commands need of the windows.
class EntryWindows {
public:
    virtual ~EntryWindows() = default;
    // The picture viewer shows a JPEG file.
    virtual void ShowJpeg(const std::string& path) = 0;
    // Opens a fetched file with the program the user configured for it, or
    // (asking first) the desktop's default; never runs an executable.
    virtual void OpenFile(const std::string& path) = 0;
    // Starts a program a displayed entry names, after showing the user the
    // exact program and its arguments and asking.
    virtual void StartProgram(const std::string& program, const std::string& parameters) = 0;
    // The commands of later windows (labels, reports, operations, links,
    // reader services): true when one handled it.
    virtual bool LaterCommand(EntryCommandKind kind, const std::string& argument, const std::string& identifier) = 0;
};

class EntryCommands {
public:
    EntryCommands(PresentationTabs& tabs, SearchService& search, Prompts& prompts, LongOperations& longOps,
                  EntryWindows& windows);

    // A command the sources did not handle themselves; identifier is the
    // entry's record identifier (empty when it has none).
    void Run(const std::string& key, const std::string& command, const std::string& identifier, bool local);

    // The work files' directory (ends with "/").
    void SetWorkingDirectory(std::string directory) { mWorkingDirectory = std::move(directory); }

    // Fetches a record's attachment behind the gauge into a work file of its
    // own (its extension kept) and shows or opens it.
    void FetchAttachment(const std::string& identifier, const std::string& name, bool local);

private:
    void MakeCurrent(const std::string& key, const std::string& identifier);
    void FetchPicture(const std::string& designation);
    void ShowRecordInIndex(const std::string& index, const std::string& record, bool locate);

    PresentationTabs& mTabs;
    SearchService& mSearch;
    Prompts& mPrompts;
    LongOperations& mLongOps;
    EntryWindows& mWindows;
    std::string mWorkingDirectory;
};

}  // namespace velt
