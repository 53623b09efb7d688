// velt-cli ... record: cataloguing from the command line over the client's
// own session and record object, as the editing window does it: open (and
// so reserve), change the fields, send the changed ones, release.
//
//   record get ID         the record as key=value lines ("*" read-only)
//   record new KIND       the initial record of a new record of the kind
//   record save ID        applies key=value lines from stdin and saves;
//                         ID may be a kind's form code for a new record;
//                         prints the record's identifier
//   record check ID       the same, checked by the server and not stored
//   record delete ID
//   record form KIND      the kind's form description
//   record script KIND    the kind's field-event script
//
// Texts are UTF-8 on both sides. The server's errors go to stderr with exit
// code 2; a reservation taken is released before the command ends.

#include "CliContext.h"

#include "catalogue/velt_files.h"
#include "editing/EditRequests.h"
#include "editing/RecordKinds.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"
#include "text/utf.h"

#include <cstdio>
#include <iostream>
#include <iterator>

namespace velt::cli {

namespace {

int Usage() {
    std::fputs("usage: velt-cli ... record get ID | new KIND | save ID | check ID | delete ID | form KIND | script KIND\n"
               "       (save and check read key=value lines from standard input)\n",
               stderr);
    return kExitUsage;
}

// The record requests of one command, read by the program's own rules
// (editing/EditRequests.h); a reservation taken is released at the end.
class RecordCli {
public:
    explicit RecordCli(std::unique_ptr<velt_files> files)
        : mFiles(std::move(files)), mRequests(mFiles->Connection(), mPrompts) {}
    ~RecordCli() { ReleaseReservation(); }

    int Failure() const { return mFiles->Broken() ? kExitNoConnection : kExitRefused; }
    // Says why, unless the session has said so already.
    static void Say(const std::string& message) {
        if (!message.empty()) PrintLine(stderr, message);
    }

    // Opens an existing record, reserving it until the command ends.
    bool Open(const std::string& stored, my_record& record) {
        const RecordAnswer a = mRequests.Open(stored);
        if (!a.ok) {
            Say(a.message);
            return false;
        }
        mReserved = stored;
        record = ParseRecordText(a.text);
        record.kind = stored;
        return true;
    }
    bool New(const std::string& kind, my_record& record) {
        const RecordAnswer a = mRequests.NewRecord(kind);
        if (!a.ok) {
            Say(a.message);
            return false;
        }
        record = ParseRecordText(a.text);
        record.kind = kind;
        return true;
    }
    void ReleaseReservation() {
        if (mReserved.empty() || mFiles->Broken()) return;
        mRequests.Release(mReserved);
        mReserved.clear();
    }
    // The server's save or delete released it.
    void Released() { mReserved.clear(); }

    bool IsKind(const std::string& code) const {
        if (code.size() != 1) return false;
        for (const auto& [kind, caption] : ServerKindList(mFiles->Connection()))
            if (RecordKinds::SameCode(kind, code)) return true;
        return false;
    }

    velt_files& Files() { return *mFiles; }
    EditRequests& Requests() { return mRequests; }

private:
    std::unique_ptr<velt_files> mFiles;
    CliPrompts mPrompts;
    EditRequests mRequests;
    std::string mReserved;
};

// Every field as a line, read-only ones marked with "*".
int PrintRecord(const my_record& record) {
    const RecordTextResult text = RecordText(record);
    if (!text.ok()) {
        PrintLine(stderr, text.error);
        return kExitRefused;
    }
    std::size_t at = 0;
    while (at < text.text.size()) {
        const auto end = text.text.find('\r', at);
        PrintLine(stdout, text.text.substr(at, end - at));
        at = end + 1;
    }
    return kExitOk;
}

// A server text of CR-separated lines, one printed line each.
void PrintText(const std::string& text) {
    std::size_t at = 0;
    while (at <= text.size()) {
        const auto end = std::min(text.find('\r', at), text.size());
        PrintLine(stdout, text.substr(at, end - at));
        at = end + 1;
    }
}

// The key=value lines of standard input applied to the record: a key
// written with "*" makes the field read-only, any other clears the flag.
void ApplyInput(my_record& record) {
    const std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    const std::string text = UtfVeltwin().Convert(input);
    std::size_t at = 0;
    while (at < text.size()) {
        auto end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        const bool readonly = !key.empty() && key[0] == '*';
        if (readonly) key.erase(0, 1);
        record.SetValue(key, line.substr(eq + 1));
        if (record.Find(key)) record.SetReadOnly(key, readonly ? 1 : 0);
    }
}

// As the editing window shows a refusal: the message, then the error list
// when the answer had one (each message, a tab, its fields).
void PrintErrors(const std::string& message, const my_record& record) {
    RecordCli::Say(message);
    for (const auto& e : record.errors())
        if (e.message != message || e.keys != "*") PrintLine(stderr, e.message + "\t" + e.keys);
}

int SaveOrCheck(RecordCli& cli, const std::string& id, bool save) {
    my_record record;
    const bool fresh = cli.IsKind(id);
    const std::string stored = fresh ? id : cli.Files().StoredIdentifier(id);
    if (!(fresh ? cli.New(id, record) : cli.Open(stored, record))) return cli.Failure();
    ApplyInput(record);
    const EditOutcome o = save ? cli.Requests().Save(stored, record) : cli.Requests().Check(stored, record);
    if (!o.ok) {
        if (cli.Files().Broken()) return kExitNoConnection;
        PrintErrors(o.message, record);
        return kExitRefused;
    }
    if (save) {
        cli.Released();
        PrintLine(stdout, cli.Files().ShownIdentifier(o.identifier));
    }
    return kExitOk;
}

}  // namespace

int RecordCommand(CliContext& ctx) {
    if (ctx.args.size() != 2) return Usage();
    const std::string verb = ctx.args[0];
    const std::string id = UtfVeltwin().Convert(ctx.args[1]);
    if (verb != "get" && verb != "new" && verb != "save" && verb != "check" && verb != "delete" && verb != "form" &&
        verb != "script")
        return Usage();
    std::unique_ptr<velt_files> files;
    if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;
    RecordCli cli(std::move(files));
    if (verb == "save" || verb == "check") return SaveOrCheck(cli, id, verb == "save");
    if (verb == "form" || verb == "script") {
        const RecordAnswer a = verb == "form" ? cli.Requests().Form(id) : cli.Requests().Script(id);
        if (!a.ok) {
            RecordCli::Say(a.message);
            return cli.Failure();
        }
        PrintText(a.text);
        return kExitOk;
    }
    my_record record;
    if (verb == "new") {
        if (!cli.New(id, record)) return cli.Failure();
        return PrintRecord(record);
    }
    const std::string stored = cli.Files().StoredIdentifier(id);
    if (!cli.Open(stored, record)) return cli.Failure();
    if (verb == "get") return PrintRecord(record);
    // delete: what is open is reserved by this session, as the server requires.
    const EditOutcome deleted = cli.Requests().Delete(stored);
    if (!deleted.ok) {
        RecordCli::Say(deleted.message);
        return cli.Failure();
    }
    cli.Released();
    return kExitOk;
}

}  // namespace velt::cli
