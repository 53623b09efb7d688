// velt-cli reader ... and closed-orders: the reader services as the program
// carries them out (reader/ in the core), for scripts of circulation notices
// and for checking a server from outside.

#include "CliContext.h"

#include "browse/CellMarkup.h"
#include "catalogue/velt_files.h"
#include "params/HeadlessParameterWindow.h"
#include "reader/ClosedOrders.h"
#include "reader/ReaderAccount.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <cstdlib>

namespace velt::cli {

namespace {

// What the services show: messages for stdout, errors for stderr; the user
// asked for the command, so a question is answered "Tak".
struct ReaderPrompts : CliPrompts {
    std::vector<std::string> messages, errors;
    DialogResult ask_question(const std::string&) override { return kYes; }
    void show_error(const std::string& t) override { errors.push_back(t); }
    void show_message(const std::string& t) override { messages.push_back(t); }
    void show_notice(const std::string& t) override { messages.push_back(t); }
    void plain_message(const std::string& t) override { messages.push_back(t); }
};

// The account's lists are walked, not shown: nothing to move; the new
// password comes from the command line.
struct CliAccountView : AccountView {
    std::string password;
    void ShowFirst(AccountTab) override {}
    void ShowAgain(AccountTab, const std::string&) override {}
    std::optional<std::string> AskPassword(const std::string&, std::size_t) override { return password; }
};

int OpenFiles(CliContext& ctx, std::unique_ptr<velt_files>& files) {
    std::unique_ptr<TVeltClient> session;
    if (const int rc = ctx.OpenSession(session); rc != kExitOk) return rc;
    files = std::make_unique<velt_files>(std::move(session), true);
    if (!files->Ready) {
        if (!files->ErrorReported()) PrintLine(stderr, files->ErrorText);
        return files->Broken() ? kExitNoConnection : kExitRefused;
    }
    return kExitOk;
}

// Prints what was shown; the exit code of the command.
int Report(const ReaderPrompts& prompts, const velt_files& files, bool done) {
    for (const auto& m : prompts.messages) PrintLine(stdout, m);
    for (const auto& e : prompts.errors) PrintLine(stderr, e);
    if (files.Broken()) return kExitNoConnection;
    return done && prompts.errors.empty() ? kExitOk : kExitRefused;
}

std::string WorkDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = tmp && *tmp ? tmp : "/tmp";
    if (dir.back() != '/') dir += '/';
    return dir;
}

// An entry of an account list: its plain text (lines joined by " | ") and
// the commands of its links ("|"-joined).
void EntryParts(const std::vector<std::string>& lines, std::string& text, std::string& commands) {
    for (const std::string& line : lines) {
        if (!text.empty()) text += " | ";
        text += MarkupPlainText(line);
        for (const MarkupElement& e : ParseMarkupLine(line)) {
            if (e.command != 'L') continue;
            std::string command, shown;
            SplitLink(e.text, command, shown);
            if (!command.empty()) commands += (commands.empty() ? "" : "|") + command;
        }
    }
}

const struct {
    const char* name;
    AccountTab tab;
} kTabs[] = {{"rezerwacje", AccountTab::Reservations},
             {"zamowienia", AccountTab::Orders},
             {"wypozyczenia", AccountTab::Loans}};

struct ReaderCli {
    explicit ReaderCli(CliContext& c) : ctx(c) {}
    CliContext& ctx;
    std::unique_ptr<velt_files> files;
    ReaderPrompts prompts;
    HeadlessParameterWindow window;
    FormSettings settings;
    std::unique_ptr<ParameterForms> forms;
    std::unique_ptr<ReaderServices> services;
    std::string card, password;

    int Open() {
        if (const int rc = OpenFiles(ctx, files); rc != kExitOk) return rc;
        forms = std::make_unique<ParameterForms>(window, settings, [] { return std::string("/nonexistent-velt/"); });
        services = std::make_unique<ReaderServices>(*files, prompts);
        return kExitOk;
    }

    // --card and --password, converted; false when one is missing.
    bool Credentials() {
        std::string c, p;
        if (!ctx.TakeOption("--card", c) || !ctx.TakeOption("--password", p)) return false;
        card = UtfVeltwin().Convert(c);
        password = UtfVeltwin().Convert(p);
        return true;
    }

    // The reader of the card, identified on this connection.
    std::optional<ReaderIdentity> Identify() { return services->IdentifyByCard(card, password); }

    std::unique_ptr<ReaderAccount> Account(const ReaderIdentity& reader) {
        ItemRunContext context{*forms, prompts, prompts, WorkDirectory()};
        return std::make_unique<ReaderAccount>(*services, context, reader, password);
    }
};

int Usage() {
    std::fputs("usage: velt-cli ... reader identify (--name NAME | --card CARD) --password W\n"
               "       velt-cli ... reader account --card C --password W [--tab rezerwacje|zamowienia|wypozyczenia]\n"
               "       velt-cli ... reader do --card C --password W [--field NAME=VALUE]... COMMAND\n"
               "       velt-cli ... reader password --card C --password OLD --new NEW\n"
               "       velt-cli ... reader copies RECORD-ID\n",
               stderr);
    return kExitUsage;
}

int Identify(ReaderCli& r) {
    std::string name, card, password;
    const bool byName = r.ctx.TakeOption("--name", name);
    const bool byCard = r.ctx.TakeOption("--card", card);
    if (byName == byCard || !r.ctx.TakeOption("--password", password)) return Usage();
    if (const int rc = r.Open(); rc != kExitOk) return rc;
    password = UtfVeltwin().Convert(password);
    ReaderIdentity reader;
    if (byName) {
        reader.name = UtfVeltwin().Convert(name);
        reader.card = r.services->IdentifyByName(reader.name, password);
    } else if (auto found = r.services->IdentifyByCard(UtfVeltwin().Convert(card), password)) {
        reader = *found;
    }
    if (reader.card.empty()) return Report(r.prompts, *r.files, false);
    PrintLine(stdout, "karta=" + reader.card);
    PrintLine(stdout, "nazwisko=" + reader.name);
    return kExitOk;
}

int Account(ReaderCli& r) {
    std::string only;
    const bool one = r.ctx.TakeOption("--tab", only);
    if (!r.Credentials() || !r.ctx.args.empty()) return Usage();
    bool known = !one;
    for (const auto& t : kTabs) known = known || only == t.name;
    if (!known) return Usage();
    if (const int rc = r.Open(); rc != kExitOk) return rc;
    const auto reader = r.Identify();
    if (!reader) return Report(r.prompts, *r.files, false);
    const auto account = r.Account(*reader);
    for (const auto& t : kTabs) {
        if (one && only != t.name) continue;
        Vrserwer& source = account->Source(t.tab);
        // Bounded: a list that never ends is the server's fault.
        int count = 0;
        for (std::string key = source.First(); !key.empty() && count < 10000; key = source.Next(key), ++count) {
            std::string text, commands;
            if (const auto lines = source.Lines(key)) EntryParts(*lines, text, commands);
            std::string shownKey;
            for (const char c : key) shownKey.push_back(c == '\x01' ? ' ' : c);
            PrintLine(stdout, std::string(t.name) + "\t" + shownKey + "\t" + text + "\t" + commands);
        }
    }
    return Report(r.prompts, *r.files, true);
}

int Do(ReaderCli& r) {
    if (!r.Credentials()) return Usage();
    std::vector<std::pair<std::string, std::string>> fields;
    for (std::string f; r.ctx.TakeOption("--field", f);) {
        const auto eq = f.find('=');
        if (eq == std::string::npos) return Usage();
        fields.emplace_back(UtfVeltwin().Convert(f.substr(0, eq)), UtfVeltwin().Convert(f.substr(eq + 1)));
    }
    if (r.ctx.args.size() != 1) return Usage();
    const std::string command = UtfVeltwin().Convert(r.ctx.args[0]);
    const bool link = command.rfind('&', 0) == 0;
    const bool entry = command.rfind("usuwanie", 0) == 0 || command.rfind("prolongata", 0) == 0 ||
                       command.rfind("OPERACJA", 0) == 0 || command.rfind("zamowienia", 0) == 0 ||
                       command.rfind('Z', 0) == 0;
    if (!link && !entry) return Usage();
    if (const int rc = r.Open(); rc != kExitOk) return rc;
    // The form of an operation gets the values given, then "Wykonaj".
    r.window.user = [&fields](HeadlessParameterWindow& w) {
        for (const auto& [name, value] : fields)
            if (HeadlessControl* c = w.Control(name)) c->UserType(value);
        w.Execute();
    };
    const auto reader = r.Identify();
    if (!reader) return Report(r.prompts, *r.files, false);
    bool done = false;
    if (link) {
        done = r.services->ReaderCommand(reader->card, r.password, command);
    } else {
        const auto account = r.Account(*reader);
        done = account->Command(AccountTab::Loans, command, {});
        // A form the values did not satisfy says why.
        for (const auto& errors : r.window.errors)
            for (const auto& e : errors) r.prompts.errors.push_back(e);
        if (!done && r.prompts.errors.empty() && r.prompts.messages.empty())
            r.prompts.errors.push_back("Operacja nie została wykonana"_cp);
        // "Pozycja jest zamówiona" is all that command does.
        done = r.prompts.errors.empty();
    }
    return Report(r.prompts, *r.files, done);
}

int Password(ReaderCli& r) {
    std::string fresh;
    if (!r.Credentials() || !r.ctx.TakeOption("--new", fresh) || !r.ctx.args.empty()) return Usage();
    if (const int rc = r.Open(); rc != kExitOk) return rc;
    const auto reader = r.Identify();
    if (!reader) return Report(r.prompts, *r.files, false);
    const auto account = r.Account(*reader);
    CliAccountView view;
    view.password = UtfVeltwin().Convert(fresh);
    account->SetView(&view);
    return Report(r.prompts, *r.files, account->ChangePassword());
}

int Copies(ReaderCli& r) {
    if (r.ctx.args.size() != 1) return Usage();
    if (const int rc = r.Open(); rc != kExitOk) return rc;
    velt_files& files = *r.files;
    const std::string record = files.StoredIdentifier(UtfVeltwin().Convert(r.ctx.args[0]));
    // The copies of a record: index kind 6, parameter 5, the record as prefix;
    // items 3 the inventory number, 5 the location, 6 the status, 7 the
    // commands ("|"-joined).
    velt_order cursor(&files.Connection(), record, 5, 6, "egzemplarze");
    cursor.Format = files.FormatByType("inwentarz");
    int count = 0;
    for (cursor.First(); cursor.Current && count < 10000; cursor.Next(), ++count) {
        const TVeltRecord& e = *cursor.Current;
        PrintLine(stdout, e.Item(3) + "\t" + e.Item(5) + "\t" + e.Item(6) + "\t" + e.Item(7));
    }
    if (files.Broken()) return kExitNoConnection;
    return kExitOk;
}

}  // namespace

int ReaderCommand(CliContext& ctx) {
    if (ctx.args.empty()) return Usage();
    const std::string sub = ctx.args[0];
    ctx.args.erase(ctx.args.begin());
    ReaderCli r(ctx);
    if (sub == "identify") return Identify(r);
    if (sub == "account") return Account(r);
    if (sub == "do") return Do(r);
    if (sub == "password") return Password(r);
    if (sub == "copies") return Copies(r);
    return Usage();
}

int ClosedOrdersCommand(CliContext& ctx) {
    std::string countText;
    long count = 10000;
    if (ctx.TakeOption("--count", countText)) {
        char* end = nullptr;
        count = std::strtol(countText.c_str(), &end, 10);
        if (end == countText.c_str() || *end != '\0' || count < 1 || count > 10000) {
            std::fputs("velt-cli: --count takes 1 to 10000\n", stderr);
            return kExitUsage;
        }
    }
    const bool backward = ctx.TakeSwitch("--backward");
    if (!ctx.args.empty() || ctx.user.empty()) {
        std::fputs("usage: velt-cli --user U --password W ... closed-orders [--count N] [--backward]\n", stderr);
        return kExitUsage;
    }
    std::unique_ptr<velt_files> files;
    if (const int rc = OpenFiles(ctx, files); rc != kExitOk) return rc;
    zam_server source(*files);
    long shown = 0;
    for (std::string key = backward ? source.Last() : source.First(); !key.empty() && shown < count;
         key = backward ? source.Prior(key) : source.Next(key), ++shown)
        PrintLine(stdout, source.Text(key));
    return files->Broken() ? kExitNoConnection : kExitOk;
}

}  // namespace velt::cli
