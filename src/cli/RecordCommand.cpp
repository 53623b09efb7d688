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

class RecordCli {
public:
    explicit RecordCli(std::unique_ptr<velt_files> files) : mFiles(std::move(files)), mSession(*mFiles->Session) {}
    ~RecordCli() { ReleaseReservation(); }

    // An edit request; false (with the message on stderr) when it failed.
    bool Request(char letter, const std::vector<std::string>& texts) {
        const bool answered = mSession.EditRequest(letter, texts);
        if (answered && mSession.Answer(1).empty()) return true;
        if (answered) PrintLine(stderr, mSession.Answer(1));
        return false;
    }
    int Failure() const { return mSession.Broken() ? kExitNoConnection : kExitRefused; }
    // The data of the last answer: its second text, empty when it had none.
    std::string Data() const { return mSession.AnswerCount() >= 2 ? mSession.Answer(2) : std::string(); }

    // Opens an existing record, reserving it until the command ends.
    bool Open(const std::string& stored, my_record& record) {
        if (!Request('O', {stored})) return false;
        mReserved = stored;
        if (mSession.AnswerCount() < 2) {
            // Opened, but without the record: the count the request does not accept.
            PrintLine(stderr, "Bład odpowiedzi"_cp);
            return false;
        }
        record = ParseRecordText(Data());
        record.kind = stored;
        return true;
    }
    bool New(const std::string& kind, my_record& record) {
        if (!Request('N', {kind})) return false;
        record = ParseRecordText(Data());
        record.kind = kind;
        return true;
    }
    void ReleaseReservation() {
        if (mReserved.empty() || mSession.Broken()) return;
        mSession.EditRequest('X', {mReserved});
        mReserved.clear();
    }
    // The server's save released it.
    void Released() { mReserved.clear(); }

    bool IsKind(const std::string& code) const {
        if (code.size() != 1) return false;
        // The kinds as the program reads them: each code with its caption.
        for (const auto& kind : ParseKindList(mSession.Parameter("formularze")))
            if (kind.first == code) return true;
        return false;
    }

    velt_files& Files() { return *mFiles; }
    TVeltClient& Session() { return mSession; }

private:
    std::unique_ptr<velt_files> mFiles;
    TVeltClient& mSession;
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

void PrintErrors(const TVeltClient& session, my_record& record) {
    // As the editing window reads a refused save: the message, then the
    // error list when the answer has one (each message, a tab, its fields).
    PrintLine(stderr, session.Answer(1));
    if (session.AnswerCount() != 2) return;
    ParseErrorReply(record, session.Answer(2));
    for (const auto& e : record.errors())
        if (e.message != session.Answer(1) || e.keys != "*") PrintLine(stderr, e.message + "\t" + e.keys);
}

int SaveOrCheck(RecordCli& cli, const std::string& id, bool save) {
    my_record record;
    const bool fresh = cli.IsKind(id);
    const std::string stored = fresh ? id : cli.Files().StoredIdentifier(id);
    if (!(fresh ? cli.New(id, record) : cli.Open(stored, record))) return cli.Failure();
    ApplyInput(record);
    const RecordTextResult changes = ChangedText(record);
    if (!changes.ok()) {
        PrintLine(stderr, changes.error);
        return kExitRefused;
    }
    TVeltClient& session = cli.Session();
    const bool answered = session.EditRequest(save ? 'U' : 'T', {stored, changes.text});
    if (!answered) return cli.Failure();
    if (!session.Answer(1).empty()) {
        PrintErrors(session, record);
        return kExitRefused;
    }
    if (save) {
        cli.Released();
        PrintLine(stdout, cli.Files().ShownIdentifier(cli.Data()));
    }
    return kExitOk;
}

// The catalogue of the session, or an exit code.
int OpenCatalogue(CliContext& ctx, std::unique_ptr<velt_files>& files) {
    std::unique_ptr<TVeltClient> session;
    if (const int rc = ctx.OpenSession(session); rc != kExitOk) return rc;
    files = std::make_unique<velt_files>(std::move(session), true);
    if (!files->Ready) {
        if (!files->ErrorReported()) PrintLine(stderr, files->ErrorText);
        return files->Session && files->Session->Broken() ? kExitNoConnection : kExitRefused;
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
    if (const int rc = OpenCatalogue(ctx, files); rc != kExitOk) return rc;
    RecordCli cli(std::move(files));
    if (verb == "save" || verb == "check") return SaveOrCheck(cli, id, verb == "save");
    if (verb == "form" || verb == "script") {
        if (!cli.Request(verb == "form" ? 'F' : 'A', {id})) return cli.Failure();
        PrintText(cli.Data());
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
    if (!cli.Request('D', {stored})) return cli.Failure();
    cli.Released();
    return kExitOk;
}

}  // namespace velt::cli
