#pragma once
// The command function of the field-event scripts: one command text in, one
// result text out. The record editing window, the parameter window and the
// criteria panel give their scripts the same function. A command starts
// with its letter (and, for some, a second one); arguments follow parted by
// "|". Booleans are the scripts' own: the empty text is true, "N" false.
//
// What a command needs beyond the text comes through small interfaces, each
// optional: a command whose service is missing answers the empty text (and
// A, N and O say "Operacja niedostępna z tego programu"), as an unknown
// command does.

#include "browse/StructureTree.h"
#include "common/ListChoice.h"
#include "lang/ErrorSink.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velt {

class AuthorityWindows;
class LongOperations;
class Prompts;
class velt_files;

// What the edit session does for the commands A, N, O, M*, P* and H*.
class EditSessionCommands {
public:
    virtual ~EditSessionCommands() = default;
    // A: a new record of kind code with lines applied, in a new sheet; the
    // failure's text (shown too), or empty.
    virtual std::string NewRecordWithLines(const std::string& code, const std::string& lines) = 0;
    // N: a new record of kind code with lines applied, stored without a
    // window; its identifier, or empty.
    virtual std::string CreateAndStore(const std::string& code, const std::string& lines) = 0;
    // O: the record opened in a sheet of its own.
    virtual void OpenRecordCommand(const std::string& identifier) = 0;
    // MO: the record as name=value CR lines (an open sheet's own record when
    // it holds it); reading reserves nothing.
    virtual std::string ReadRecord(const std::string& identifier) = 0;
    // MC: the record released, unless an open sheet holds it (then its refusal).
    virtual std::string ReleaseRecord(const std::string& identifier) = 0;
    // MS: lines stored over the record (reserved, saved, released); empty on
    // success, else the error messages.
    virtual std::string StoreRecord(const std::string& identifier, const std::string& lines) = 0;
    // PO and PS: the server's help and field services.
    virtual std::string Help(char code, const std::string& text) = 0;
    virtual std::string Service(char code, const std::string& text, const std::string& other) = 0;
    // HO and HZ: identifiers opened and saved, oldest first.
    virtual std::vector<std::string> OpenedRecords() const = 0;
    virtual std::vector<std::string> SavedRecords() const = 0;
};

// A font as the commands write it: face "/" character set "/" size "/"
// style letters ("B" bold, "I" italic).
struct CommandFont {
    std::string face;
    int charset = 0;
    int size = 0;  // points; 0 none given
    bool bold = false;
    bool italic = false;
};
// A number that cannot be read is left at 0.
CommandFont ReadCommandFont(std::string_view text);
std::string WriteCommandFont(const CommandFont& font);

// One choice of a file dialog's filter: its description and its patterns.
struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;  // "*.txt"
};
// The filter of DO and DS as the scripts write it: pairs of description and
// patterns parted by "|" (patterns parted by ";"), or patterns alone. A
// description without patterns is dropped.
std::vector<FileFilter> ReadFileFilter(std::string_view filter);

// The dialogs of the commands DF, DO, DS, DL (the list window) and DT.
class CommandDialogs : public ListChoiceWindow {
public:
    virtual ~CommandDialogs() = default;
    // The font dialog preset from font; the font chosen, none when cancelled.
    virtual std::optional<CommandFont> ChooseFont(const CommandFont& font) = 0;
    // The open and save dialogs ("*.txt"-style filter, the directory to
    // start in); the chosen file, none when cancelled. The save dialog asks
    // before a file is overwritten.
    virtual std::optional<std::string> ChooseFileToOpen(const std::string& name, const std::string& filter,
                                                        const std::string& directory) = 0;
    virtual std::optional<std::string> ChooseFileToSave(const std::string& name, const std::string& filter,
                                                        const std::string& directory) = 0;
    // "Wybór z listy" over a tree, every node expanded (a node with an
    // identifier may be chosen); the index of the node chosen, -1 when the
    // window was closed otherwise.
    virtual int ShowTreeChoice(const std::vector<StructureNode>& nodes) = 0;
};

// B: a label of the record's identifier and the rest, into the label file.
class LabelPrinter {
public:
    virtual ~LabelPrinter() = default;
    virtual void AddLabel(const std::string& identifier, const std::string& rest) = 0;
};

// Z: the closed orders' window; the order chosen, none when closed.
class ClosedOrdersChooser {
public:
    virtual ~ClosedOrdersChooser() = default;
    virtual std::optional<std::string> ChooseClosedOrder(const std::string& argument) = 0;
};

// "!": a file opened with the program the user set for it.
class FileOpener {
public:
    virtual ~FileOpener() = default;
    virtual void OpenFile(const std::string& path) = 0;
};

// CV: another catalogue, connected for the length of one command.
class CatalogueConnector {
public:
    virtual ~CatalogueConnector() = default;
    // The catalogue at host and port with its descriptor read (behind
    // "Łączenie..."); its error text when it could not be connected.
    virtual std::unique_ptr<velt_files> Connect(const std::string& host, int port, std::string& error) = 0;
};

// Other catalogues connected behind the progress window ("Łączenie...").
class ConnectingCatalogues : public CatalogueConnector {
public:
    explicit ConnectingCatalogues(LongOperations& longOperations) : mLong(longOperations) {}
    std::unique_ptr<velt_files> Connect(const std::string& host, int port, std::string& error) override;

private:
    LongOperations& mLong;
};

struct EditorServices {
    Prompts* prompts = nullptr;             // required
    velt_files* files = nullptr;            // the current catalogue
    EditSessionCommands* session = nullptr;
    CommandDialogs* dialogs = nullptr;
    AuthorityWindows* authority = nullptr;
    LabelPrinter* labels = nullptr;
    ClosedOrdersChooser* orders = nullptr;
    FileOpener* opener = nullptr;
    CatalogueConnector* connector = nullptr;
    std::string workingDirectory;           // ends with "/": FO, FS and "!" stay under it
};

// The number text of EL's composed key (kind 1 servers): a character a
// group of digits after a ".", its code "0" plus the group's value, padded
// with blanks to 5; a group the byte cannot hold gives no character.
std::string ComposedNumberText(std::string_view item);

class EditorCommands {
public:
    // Most bytes FO reads; most entries S walks.
    static constexpr std::size_t kMaxFileRead = 16 * 1024 * 1024;
    static constexpr int kMaxWalk = 10000;

    explicit EditorCommands(EditorServices services) : mServices(std::move(services)) {}

    // One command; its result text.
    std::string Run(const std::string& command);
    // The same as a script's command function (the object must outlive it).
    ExternalRoutine Routine() {
        return [this](const std::string& command) { return Run(command); };
    }

    EditorServices& Services() { return mServices; }

private:
    std::string Dialog(char sub, const std::string& head, const std::string& rest);
    std::string ReadTextFile(const std::string& file);
    std::string WriteTextFile(const std::string& file, const std::string& pieces);
    std::string OpenWith(const std::string& path);
    std::string OtherCatalogue(const std::string& command);
    std::string IndexNeighbour(const std::string& prefix, const std::string& key);
    std::string ComposedKey(const std::string& command);
    std::string IndexValue(const std::string& after);
    std::string WalkIndex(const std::string& prefix);
    // Whether a path from a script may be read or written: under the working
    // directory, or one the user chose through DO or DS.
    bool MayUse(const std::string& path) const;

    EditorServices mServices;
    std::set<std::string> mChosen;  // paths the user chose in DO and DS
};

}  // namespace velt
