// velt-cli modify and delete: the administrator's programs over many records
// and global deletion, as "&Operacja" runs them.
//
//   modify PROGRAM.apr (--remote QUERY | --local NUMFILE | --record ID)
//                     the server runs the program (a Windows-1250 "*.apr"
//                     file) over the query's collection, the records of a
//                     "*.num" file or one record, all or nothing: nothing is
//                     printed on success; the server's answer goes to stderr
//                     with exit code 2
//   delete --local NUMFILE --yes
//                     deletes every record of the "*.num" file, in record
//                     number order: "usunięto ID" or "błąd ID: reason", one
//                     line a record; the file is rewritten with the records
//                     that stay; exit code 2 when one stayed
//
// Both need a login with the right "administrowanie" (the server checks it
// too). Identifiers and texts are UTF-8 on both sides.

#include "CliContext.h"
#include "ReportRun.h"

#include "admin/AdministratorCommands.h"
#include "browse/CollectionFile.h"
#include "browse/VrCollection.h"
#include "catalogue/velt_files.h"
#include "login/Rights.h"
#include "net/SearchRequests.h"
#include "search/QueryHistory.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <cstdio>

namespace velt::cli {

namespace {

int ModifyUsage() {
    std::fputs("usage: velt-cli ... modify PROGRAM.apr (--remote QUERY | --local NUMFILE | --record ID)\n", stderr);
    return kExitUsage;
}

int DeleteUsage() {
    std::fputs("usage: velt-cli ... delete --local NUMFILE --yes\n"
               "       (--yes answers \"Tak\" to deleting every record of the file)\n",
               stderr);
    return kExitUsage;
}

// The session and its login, for an administrator only.
int OpenAsAdministrator(CliContext& ctx, std::unique_ptr<velt_files>& files) {
    if (ctx.user.empty()) {
        std::fputs("velt-cli: the command needs --user and --password\n", stderr);
        return kExitUsage;
    }
    if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;
    if (!HasRight(files->Rights(), kAdministratorRight)) {
        PrintLine(stderr, "Operacja dostępna jedynie dla administratora"_cp);
        return kExitRefused;
    }
    return kExitOk;
}

// A "*.num" file's records in a local collection of the command's own.
bool LoadRecords(const velt_files& files, const std::string& path, VrCollection& local) {
    if (!local.Ready()) {
        PrintLine(stderr, local.Error());
        return false;
    }
    const CollectionFileLoad load = LoadCollectionFile(path, local, files.Rules());
    if (!load.error.empty()) {
        PrintLine(stderr, load.error);
        return false;
    }
    return true;
}

// The question of global deletion answered "Tak" (--yes); everything else
// as on the command line.
struct ConfirmedPrompts : CliPrompts {
    DialogResult ask_question_default(const std::string&, DialogResult) override { return kYes; }
};

}  // namespace

int ModifyCommand(CliContext& ctx) {
    std::string remote, local, record;
    const int scopes = ctx.TakeOption("--remote", remote) + ctx.TakeOption("--local", local) +
                       ctx.TakeOption("--record", record);
    if (scopes != 1 || ctx.args.size() != 1) return ModifyUsage();
    const std::string programFile = ctx.args[0];
    const ProgramFile file = ReadProgramFile(programFile);
    if (!file.ok) {
        PrintLine(stderr, "Błąd czytania pliku "_cp + programFile);
        return kExitRefused;
    }
    std::unique_ptr<velt_files> files;
    if (const int rc = OpenAsAdministrator(ctx, files); rc != kExitOk) return rc;

    ModificationMode mode = ModificationMode::Record;
    std::string list;
    if (!remote.empty()) {
        mode = ModificationMode::RemoteCollection;
        const SearchOutcome found =
            InterpretSearchReply(Search(files->Connection(), UtfVeltwin().Convert(remote)).get());
        if (files->Broken()) return kExitNoConnection;
        if (!found.error.empty() || found.collection == 0) {
            PrintLine(stderr, found.error.empty() ? "Zła postać odpowiedzi serwera"_cp : found.error);
            return kExitRefused;
        }
        files->RemoteCollection = found.collection;
    } else if (!local.empty()) {
        mode = ModificationMode::LocalCollection;
        VrCollection collection(WorkDirectory());
        if (!LoadRecords(*files, local, collection)) return kExitRefused;
        list = LocalRecordList(collection, *files);
    } else {
        list = UtfVeltwin().Convert(record) + "|";
    }
    const std::string result =
        SendModification(*files, mode, files->RemoteCollection, list, ProgramForServer(file.lines));
    if (result.empty()) return kExitOk;
    // A broken connection has been told by the session. The server parts the
    // lines of a program's errors by CR.
    if (!files->Connection().FailureReported()) {
        std::string lines;
        for (std::size_t i = 0; i < result.size(); ++i) {
            if (result[i] == '\r' && i + 1 < result.size() && result[i + 1] == '\n') continue;
            lines += result[i] == '\r' ? '\n' : result[i];
        }
        PrintLine(stderr, lines);
    }
    return files->Broken() ? kExitNoConnection : kExitRefused;
}

int DeleteCommand(CliContext& ctx) {
    std::string local;
    const bool given = ctx.TakeOption("--local", local);
    const bool yes = ctx.TakeSwitch("--yes");
    if (!given || !ctx.args.empty()) return DeleteUsage();
    if (!yes) {
        std::fputs("velt-cli: nothing deleted: global deletion needs --yes\n", stderr);
        return kExitUsage;
    }
    std::unique_ptr<velt_files> files;
    if (const int rc = OpenAsAdministrator(ctx, files); rc != kExitOk) return rc;
    VrCollection collection(WorkDirectory());
    if (!LoadRecords(*files, local, collection)) return kExitRefused;

    ConfirmedPrompts prompts;
    bool failed = false;
    const DeletionOutcome outcome =
        DeleteCollectionRecords(*files, collection, nullptr, prompts, [&](const DeletionStep& step) {
            if (step.deleted) {
                PrintLine(stdout, "usunięto "_cp + step.identifier);
                return;
            }
            failed = true;
            PrintLine(stdout, "błąd "_cp + step.identifier + ": " + (step.reason.empty() ? prompts.shown : step.reason));
        });
    std::fflush(stdout);
    if (!outcome.deleted.empty()) {
        // The file names the records that stay.
        const std::string error = SaveCollectionFile(local, collection, files->Rules());
        if (!error.empty()) {
            PrintLine(stderr, error);
            return kExitRefused;
        }
    }
    if (outcome.broken) return kExitNoConnection;
    return failed ? kExitRefused : kExitOk;
}

}  // namespace velt::cli
