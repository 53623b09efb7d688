#pragma once
// The form scripts' command function on the command line
// (editing/EditorCommands.h): the user is scripted by --answer options, what
// a window would show goes to stderr ("error: ...", "message: ...",
// "question: ..."), the lists and trees offered are listed there too, and
// what would leave the program (a label, a file opened with its program, a
// sheet opened) is printed on stdout for the caller to see. With a login the
// commands have an edit session over sheets without a window.

#include "CliContext.h"

#include "authority/AuthorityWindows.h"
#include "authority/HeadlessAuthority.h"
#include "editing/EditorCommands.h"
#include "editing/HeadlessEditing.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velt {
class TEdycja;
class velt_files;
}  // namespace velt

namespace velt::cli {

// The --answer options: each key a queue of values, taken in order.
class ScriptedAnswers {
public:
    // Takes every "--answer KEY=VALUE" out of the arguments; false (and the
    // reason) for a malformed one or an unknown key.
    bool Take(CliContext& ctx, std::string& error);
    // The next answer for key; none when it has none left.
    std::optional<std::string> Next(const std::string& key);

private:
    std::map<std::string, std::deque<std::string>> mQueues;
};

class CommandServices : public Prompts,
                        public LongOperations,
                        public CommandDialogs,
                        public AuthorityWindows,
                        public LabelPrinter,
                        public ClosedOrdersChooser,
                        public FileOpener {
public:
    CommandServices(ScriptedAnswers& answers, std::string workingDirectory);
    // The edit session, when Start made one.
    TEdycja* Session() { return mSession.get(); }
    ~CommandServices() override;

    // The commands over the catalogue (none: the lookups answer nothing);
    // with a login, an edit session is started first. False (reported on
    // stderr) when the session cannot start.
    bool Start(velt_files* files, bool editSession);
    EditorCommands& Commands();

    // Prompts: shown on stderr; a question takes the next "question" answer.
    DialogResult ask_question(const std::string& text) override;
    DialogResult ask_question_default(const std::string& text, DialogResult d) override;
    DialogResult ask_warning(const std::string& text) override;
    void show_error(const std::string& text) override;
    void show_message(const std::string& text) override;
    void show_notice(const std::string& text) override;
    void plain_message(const std::string& text) override;
    void busy(bool) override {}
    void run_with_progress(const std::string&, const std::function<void()>& work) override { work(); }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override;
    bool download_progress(std::int64_t, std::int64_t) override { return true; }

    // CommandDialogs: "font", "file" and "pick" answers.
    std::optional<CommandFont> ChooseFont(const CommandFont& font) override;
    std::optional<std::string> ChooseFileToOpen(const std::string& name, const std::string& filter,
                                                const std::string& directory) override;
    std::optional<std::string> ChooseFileToSave(const std::string& name, const std::string& filter,
                                                const std::string& directory) override;
    int ShowListChoice(const std::vector<ListChoiceEntry>& entries) override;
    int ShowTreeChoice(const std::vector<StructureNode>& nodes) override;

    // AuthorityWindows: the headless windows choosing the "pick" entry.
    std::string Lookup(velt_files& files, const velt_KHW& file, char mode, const std::string& start) override;
    std::string TermSearch(velt_files& files, const std::string& start, const std::string& reference) override;
    ChosenRecord SelectRecord(velt_files& files, const std::string& startIdentifier, const std::string& startText,
                              int indexPosition) override;
    ChosenRecord SelectInStructure(velt_files& files, const std::string& startIdentifier,
                                   const std::string& formatType) override;

    // Labels, the closed order ("text" answer), files to open: on stdout.
    void AddLabel(const std::string& identifier, const std::string& rest) override;
    std::optional<std::string> ChooseClosedOrder(const std::string& argument) override;
    void OpenFile(const std::string& path) override;

    // The sheets the commands opened, as "sheet=" lines on stdout.
    void PrintSheets();

private:
    // The next "pick" (1 the first entry, 0 cancel; 0 when none is left).
    int NextPick();

    ScriptedAnswers& mAnswers;
    std::string mWorkingDirectory;
    HeadlessAuthority mHeadless;
    ConnectingCatalogues mConnector;
    HeadlessEditor mEditor;
    std::unique_ptr<TEdycja> mSession;
    std::unique_ptr<EditorCommands> mCommands;
};

// The working directory of the commands: the directory of --config's file
// when it is given, else the current one; ends with "/".
std::string CommandWorkingDirectory(CliContext& ctx);

}  // namespace velt::cli
