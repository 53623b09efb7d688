#pragma once
// What every velt-cli command gets: the global options, its own arguments,
// and the way to the catalogue server.

#include "common/Prompts.h"
#include "net/TVeltClient.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velt {
class my_record;
class velt_files;
}

namespace velt::cli {

// Exit codes shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitRefused = 2;
inline constexpr int kExitNoConnection = 3;

struct CliContext {
    std::string host;
    int port = 0;
    std::string user;
    std::string password;
    std::string right;               // the right a login must carry (none by default)
    int timeoutSeconds = 0;          // --timeout: the longest wait for a reply (0: the loop's hour)
    std::string config;              // --config: the program's configuration file (the Z39.50 sources)
    std::vector<std::string> args;   // the command's own arguments, after its name

    // Connects and, with a user, logs in. On failure prints the system's text
    // on stderr and returns its exit code; kExitOk with the session otherwise.
    int OpenSession(std::unique_ptr<TVeltClient>& session) const;
    // The same, and the catalogue's descriptor read over it.
    int OpenCatalogue(std::unique_ptr<velt_files>& files) const;

    // Takes "--name value" out of args; false when absent.
    bool TakeOption(const std::string& name, std::string& value);
    // Takes a "--name" switch out of args.
    bool TakeSwitch(const std::string& name);
};

// What the core asks of the user, on the command line: no window to answer
// a question (the default answer, or Cancel), no hourglass; the last text
// that would have been shown is kept for the command to print.
struct CliPrompts : Prompts, LongOperations {
    std::string shown;
    DialogResult ask_question(const std::string&) override { return kCancel; }
    DialogResult ask_question_default(const std::string&, DialogResult d) override { return d; }
    DialogResult ask_warning(const std::string&) override { return kCancel; }
    void show_error(const std::string& t) override { shown = t; }
    void show_message(const std::string& t) override { shown = t; }
    void show_notice(const std::string&) override {}
    void plain_message(const std::string& t) override { shown = t; }
    void busy(bool) override {}
    void run_with_progress(const std::string&, const std::function<void()>& work) override { work(); }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override {
        work([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
};

// Reads a record of key=value lines (Windows-1250; lines may end with CR,
// LF or CR LF); false when the file cannot be read.
bool ReadRecordFile(const std::string& name, my_record& record);

// Writes a Windows-1250 text as UTF-8.
void PrintLine(std::FILE* out, const std::string& cp1250);

int StatusCommand(CliContext& ctx);
int IndexesCommand(CliContext& ctx);
int BrowseCommand(CliContext& ctx);
int StoreLoginCommand(CliContext& ctx);
int ConvertCommand(CliContext& ctx);
int Z3950Command(CliContext& ctx);
int SruCommand(CliContext& ctx);
int ExportCommand(CliContext& ctx);
int MarcCommand(CliContext& ctx);
int ScriptCommand(CliContext& ctx);
int BarcodeCommand(CliContext& ctx);
int FormCommand(CliContext& ctx);
int SearchCommand(CliContext& ctx);
int QueryCommand(CliContext& ctx);
int RecordCommand(CliContext& ctx);
int ReportCommand(CliContext& ctx);
int AuthorityCommand(CliContext& ctx);
int ReferenceCommand(CliContext& ctx);
int CardsCommand(CliContext& ctx);
int ReaderCommand(CliContext& ctx);
int ClosedOrdersCommand(CliContext& ctx);
int CommandCommand(CliContext& ctx);
int CriteriaCommand(CliContext& ctx);
int LinksCommand(CliContext& ctx);
int AttachmentCommand(CliContext& ctx);
int ModifyCommand(CliContext& ctx);
int DeleteCommand(CliContext& ctx);
int RtkCommand(CliContext& ctx);

}  // namespace velt::cli
