// velt-cli ... script FILE [--record RECFILE] [--dump] [--event EVENT --key KEY]
//                [--commands [--config FILE] [--answer KEY=VALUE ...]]:
// compiles an action script and runs it over a record, as the editing
// window runs its scripts. With --event, FILE is a kind's field-event
// scripts ("[HELP key]" sections) and the entries of that event matching the
// key run. With --commands the scripts' EXTERNAL calls go to the editor's
// command function (as "velt-cli command" runs it; with --user an edit
// session); without it they answer nothing.
//
// FILE, its include files and RECFILE are the system's own Windows-1250
// texts; what the script prints is written in UTF-8, one text a line.

#include "CliContext.h"
#include "CommandServices.h"

#include "catalogue/velt_files.h"
#include "lang/ActionScript.h"
#include "lang/Compiler.h"
#include "lang/EventScripts.h"
#include "text/RecordText.h"
#include "text/my_record.h"

#include <fstream>
#include <sstream>

namespace velt::cli {

int ScriptCommand(CliContext& ctx) {
    std::string recordFile, eventName, key, error;
    const bool hasRecord = ctx.TakeOption("--record", recordFile);
    const bool dump = ctx.TakeSwitch("--dump");
    const bool hasEvent = ctx.TakeOption("--event", eventName);
    const bool hasKey = ctx.TakeOption("--key", key);
    const bool commands = ctx.TakeSwitch("--commands");
    const std::string workingDirectory = CommandWorkingDirectory(ctx);
    ScriptedAnswers answers;
    if (!answers.Take(ctx, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitUsage;
    }
    static const std::pair<const char*, int> kEvents[] = {
        {"SHOW", kEventShow}, {"ENTER", kEventEnter}, {"CHANGE", kEventChange}, {"EXIT", kEventExit}, {"HELP", kEventHelp}};
    int event = -1;
    for (const auto& [name, value] : kEvents)
        if (eventName == name) event = value;
    if (ctx.args.size() != 1 || hasEvent != hasKey || (hasEvent && event < 0)) {
        std::fprintf(stderr, "usage: velt-cli [--host H --port P ...] script FILE [--record RECFILE] [--dump]\n"
                             "         [--event SHOW|ENTER|CHANGE|EXIT|HELP --key KEY]\n"
                             "         [--commands [--config FILE] [--answer KEY=VALUE ...]]\n");
        return kExitUsage;
    }
    bool failed = false;
    ErrorSink sink = [&failed](const std::string& message) {
        failed = true;
        PrintLine(stderr, message);
    };

    my_record record;
    if (hasRecord && !ReadRecordFile(recordFile, record)) {
        sink("Brak pliku \"" + recordFile + "\"");
        return kExitRefused;
    }
    ProgramPtr program;
    act_script events;
    if (hasEvent) {
        events = LoadEventScripts(ctx.args[0], sink);
        if (events.empty()) {
            sink("Brak skryptów w pliku \"" + ctx.args[0] + "\"");
            return kExitRefused;
        }
    } else {
        program = CompileScript(ctx.args[0], {}, sink);
        if (!program) return kExitRefused;
    }

    std::unique_ptr<velt_files> catalogue;
    if (!ctx.host.empty()) {
        if (commands && !ctx.user.empty()) {
            // An edit session reads the descriptor's kinds.
            if (const int rc = ctx.OpenCatalogue(catalogue); rc != kExitOk) return rc;
        } else {
            std::unique_ptr<TVeltClient> session;
            if (const int rc = ctx.OpenSession(session); rc != kExitOk) return rc;
            catalogue = std::make_unique<velt_files>(std::move(session), false);
            if (!catalogue->Ready) {
                if (!catalogue->ErrorReported()) PrintLine(stderr, catalogue->ErrorText);
                return kExitNoConnection;
            }
        }
    }
    std::unique_ptr<CommandServices> services;
    ExternalRoutine external;
    if (commands) {
        services = std::make_unique<CommandServices>(answers, workingDirectory);
        if (!services->Start(catalogue.get(), !ctx.user.empty())) return kExitRefused;
        external = services->Commands().Routine();
    }
    // A missing include is reported but is not an error of the script.
    failed = false;
    const std::vector<std::string> printed =
        hasEvent ? RunEvent(events, record.kind, record, external, sink, event, key, catalogue.get())
                 : RunActionScript(record, program.get(), record.kind, external, sink, {}, {}, catalogue.get());
    if (hasEvent) FreeEventScripts(events);
    for (const auto& text : printed) PrintLine(stdout, text);
    if (services) services->PrintSheets();
    if (dump) {
        const RecordTextResult lines = RecordText(record);
        if (!lines.ok()) {
            PrintLine(stderr, lines.error);
            return kExitRefused;
        }
        std::string_view rest = lines.text;
        while (!rest.empty()) {
            const auto end = rest.find('\r');
            PrintLine(stdout, std::string(rest.substr(0, end)));
            if (end == std::string_view::npos) break;
            rest.remove_prefix(end + 1);
        }
    }
    return failed ? kExitRefused : kExitOk;
}

}  // namespace velt::cli
