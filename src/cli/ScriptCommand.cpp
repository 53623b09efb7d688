// velt-cli ... script FILE [--record RECFILE] [--dump]: compiles an action
// script and runs it over a record, as the editing window runs its scripts.
//
// FILE, its include files and RECFILE are the system's own Windows-1250
// texts; what the script prints is written in UTF-8, one text a line.

#include "CliContext.h"

#include "catalogue/velt_files.h"
#include "lang/ActionScript.h"
#include "lang/Compiler.h"
#include "text/RecordText.h"
#include "text/my_record.h"

#include <fstream>
#include <sstream>

namespace velt::cli {

namespace {

// Record lines may end with CR (the record text), LF or CR LF.
bool ReadRecordFile(const std::string& name, my_record& record) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string text;
    const std::string raw = bytes.str();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text.push_back(raw[i] == '\n' ? '\r' : raw[i]);
    }
    record = ParseRecordText(text);
    return true;
}

}  // namespace

int ScriptCommand(CliContext& ctx) {
    std::string recordFile;
    const bool hasRecord = ctx.TakeOption("--record", recordFile);
    const bool dump = ctx.TakeSwitch("--dump");
    if (ctx.args.size() != 1) {
        std::fprintf(stderr, "usage: velt-cli [--host H --port P ...] script FILE [--record RECFILE] [--dump]\n");
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
    ProgramPtr program = CompileScript(ctx.args[0], {}, sink);
    if (!program) return kExitRefused;

    std::unique_ptr<velt_files> catalogue;
    if (!ctx.host.empty()) {
        std::unique_ptr<TVeltClient> session;
        if (const int rc = ctx.OpenSession(session); rc != kExitOk) return rc;
        catalogue = std::make_unique<velt_files>(std::move(session), false);
        if (!catalogue->Ready) {
            if (!catalogue->ErrorReported()) PrintLine(stderr, catalogue->ErrorText);
            return kExitNoConnection;
        }
    }
    // A missing include is reported but is not an error of the script.
    failed = false;
    for (const auto& text : RunActionScript(record, program.get(), record.kind, {}, sink, {}, {}, catalogue.get()))
        PrintLine(stdout, text);
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
