// velt-cli ... command 'TEXT' [--record RECFILE] [--config FILE] [--answer KEY=VALUE ...]:
// one command of the form scripts' command function, as a form's script
// would call it. The result is printed as "result=..."; what a window would
// show goes to stderr; a label, a file to open and the sheets open at the end
// are printed as "label=", "open=" and "sheet=" lines. With --user the
// commands have an edit session, and RECFILE (key=value lines) is opened in
// a sheet first, as the record whose form the command comes from.

#include "CliContext.h"
#include "CommandServices.h"

#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "text/my_record.h"
#include "text/utf.h"

namespace velt::cli {

int CommandCommand(CliContext& ctx) {
    std::string recordFile, error;
    const bool hasRecord = ctx.TakeOption("--record", recordFile);
    const std::string workingDirectory = CommandWorkingDirectory(ctx);
    ScriptedAnswers answers;
    if (!answers.Take(ctx, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitUsage;
    }
    if (ctx.args.size() != 1) {
        std::fprintf(stderr, "usage: velt-cli [--host H --port P --user U --password W] command 'TEXT' "
                             "[--record RECFILE] [--config FILE] [--answer KEY=VALUE ...]\n");
        return kExitUsage;
    }
    if (hasRecord && ctx.user.empty()) {
        std::fprintf(stderr, "velt-cli: --record opens a sheet: it needs --user (an edit session)\n");
        return kExitUsage;
    }
    my_record record;
    if (hasRecord && !ReadRecordFile(recordFile, record)) {
        PrintLine(stderr, "Brak pliku \"" + recordFile + "\"");
        return kExitRefused;
    }
    std::unique_ptr<velt_files> files;
    if (!ctx.host.empty())
        if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;
    CommandServices services(answers, workingDirectory);
    if (!services.Start(files.get(), !ctx.user.empty())) return kExitRefused;
    if (hasRecord) {
        const std::string id = !record.GetValue("001Z.1.1.1.1").empty() ? record.GetValue("001Z.1.1.1.1")
                                                                        : record.GetValue("DOK_IDO");
        services.Session()->ImportRecord(recordFile, id, record);
    }
    const std::string result = services.Commands().Run(UtfVeltwin().Convert(ctx.args[0]));
    PrintLine(stdout, "result=" + result);
    services.PrintSheets();
    if (files && files->Broken()) {
        if (!files->ErrorReported()) PrintLine(stderr, files->ErrorText);
        return kExitRefused;
    }
    return kExitOk;
}

}  // namespace velt::cli
