// velt-cli: the catalogue client's core on the command line, for scripts and
// for checking a server by hand. Texts are printed in UTF-8.

#include "CliContext.h"
#include "net/ServerWait.h"
#include "text/utf.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

// Gives up on a reply that takes longer than the time-out.
class ReplyTimeout : public velt::ServerWait {
public:
    explicit ReplyTimeout(std::chrono::milliseconds limit) : mLimit(limit) {}
    velt::WaitDecision Waiting(std::chrono::milliseconds waited) override {
        return waited >= mLimit ? velt::WaitDecision::TimeOut : velt::WaitDecision::GoOn;
    }
    void WaitEnded() override {}

private:
    std::chrono::milliseconds mLimit;
};

void Usage() {
    std::fputs(
        "usage: velt-cli [--host H --port P [--user U --password W [--right R]]] [--timeout S] [--config INI]\n"
        "                COMMAND [ARGS]\n"
        "  --timeout S       give up on a reply the server has not sent within S seconds\n"
        "commands:\n"
        "  status            the server's status parameters (and the login's rights)\n"
        "  indexes           the catalogue's index names\n"
        "  browse INDEX [--from TEXT] [--count N] [--format NAME] [--backward]\n"
        "                    entries of an index: identifier, tab, display text\n"
        "  store-login [--file F]  writes the stored login the program uses at start\n"
        "  script FILE [--record RECFILE] [--dump] [--event EVENT --key KEY] [--commands]\n"
        "                    compiles the action script FILE and runs it over the record\n"
        "                    of RECFILE (key=value lines) or an empty one; prints what\n"
        "                    the script prints, with --dump the record's lines after it;\n"
        "                    FILE and RECFILE are Windows-1250, the output UTF-8; errors\n"
        "                    go to stderr and exit 2; --host makes the server lookups work;\n"
        "                    --event runs the field-event scripts of a kind's FILE for\n"
        "                    the key (SHOW ENTER CHANGE EXIT HELP); --commands gives the\n"
        "                    scripts' EXTERNAL calls the editor's commands (as below)\n"
        "  command 'TEXT' [--record RECFILE] [--config FILE] [--answer KEY=VALUE]...\n"
        "                    one command of the form scripts (DL, DT, FO, X, MO, ...):\n"
        "                    prints result=...; what a window would show goes to stderr\n"
        "                    as error: / message: / question: / choice N:; labels, files\n"
        "                    to open and sheets opened print as label=, open=, sheet=;\n"
        "                    --answer scripts the user: question=6|7 (Tak/Nie), pick=N\n"
        "                    (the N-th entry of a list, tree or lookup; 0 cancels),\n"
        "                    file=PATH, font=SPEC, text=VALUE (the closed order); files\n"
        "                    are read and written under the current directory (or that\n"
        "                    of --config); with --user there is an edit session and\n"
        "                    RECFILE is opened in a sheet first\n"
        "  criteria rows | query --value NAME=VALUETEXT... [--sort KEY] [--run] [--config INI] | label QUERY\n"
        "                    the criteria panel \"Dostępne kryteria\": its rows (class, criterion,\n"
        "                    match kinds or form fields), the query it composes when the\n"
        "                    named rows hold those value texts (an index row's\n"
        "                    \"C.1|text|C.2|kind|\"), with --run searched (kolekcja=, liczba=),\n"
        "                    with --config the rows remembered in its \"KRYTERIA\"; the\n"
        "                    readable label the history shows for a query\n"
        "  convert --from F --to T\n"
        "                    standard input to standard output between cp1250, utf8\n"
        "                    and marc8 through the client's converters (no server)\n"
        "  z3950 --target HOST:PORT/DB [--user U --password W] find USE TERM [--show K]\n"
        "  z3950 --target HOST:PORT/DB scan USE TERM [--count N]\n"
        "                    search, records and term lists of a Z39.50 server\n"
        "  z3950 --target HOST:PORT/DB query --row N KIND TEXT [--row ...] [--expr EXPR]\n"
        "        [--search-charset 0|1|2] [--pqf] [--show K]\n"
        "                    the import window's query form: rows of a kind (@ author,\n"
        "                    ! title, & subject, $ ISBN, # ISSN, ^ publisher) joined by\n"
        "                    the expression; hits=N (with --pqf the query in yaz's\n"
        "                    prefix notation first)\n"
        "  --config INI z3950 --source SECTION import --row ... [--expr EXPR] --position K\n"
        "        (--take | --convert) [--save]\n"
        "                    the import window's Pobierz or Konwertuj for result K of the\n"
        "                    source SECTION of INI: the records the editor would open as\n"
        "                    key=value lines; --save saves them (zapisano=ID)\n"
        "  marc FILE [--format K=SCRIPT ...]\n"
        "                    the records of an ISO 2709 file as key=value lines, or\n"
        "                    shown by the display program of their kind letter K\n"
        "  barcode TYPE TEXT [--modul N] [--ratio R] [--height PX] [--png FILE | --svg FILE | --modules]\n"
        "                    one symbol of the reports' barcode component as a picture,\n"
        "                    or its bar and space widths; errors go to stderr, exit 2\n"
        "  form FILE [--record RECFILE] [--zoom Z] [--height H] [--layout] [--pictures DIR]\n"
        "                    reads the form description FILE (Windows-1250) and prints\n"
        "                    its model tree at zoom 1 and sheet height H (469); with\n"
        "                    --layout lays it out for the record of RECFILE at zoom Z and\n"
        "                    prints each editor, its field id, pixel rectangle and what it\n"
        "                    shows; errors go to stderr and exit 2; pictures are looked\n"
        "                    for in DIR (the configuration directory)\n"
        "  search QUERY [--show K] [--filters FLAGS]\n"
        "                    sends the query (after setting the filter flags); prints\n"
        "                    kolekcja=N, liczba=M, komunikat=... and the first K entries\n"
        "  query elementary INDEX [--sort N] KIND OP TEXT... [--then KIND OP TEXT...]...\n"
        "                    the query text the elementary window sends for the index\n"
        "                    (KIND rowny poczatek slowo liczba wzorzec brak, OP lub i oprocz)\n"
        "  record get ID | new KIND | save ID | check ID | delete ID | form KIND | script KIND\n"
        "                    catalogues through the edit requests (needs --user): save and\n"
        "                    check read key=value lines (UTF-8) from stdin, save prints the\n"
        "                    record's identifier (a KIND code makes a new record); the\n"
        "                    server's errors go to stderr, exit 2; reservations are released\n"
        "  report NAME (--remote QUERY | --local NUMFILE | --record ID | --params PAIRS) [--format srp|csv] [--out FILE]\n"
        "                    runs the report NAME for the query's collection, the records of\n"
        "                    a .num file, one record or parameters only; a table report is\n"
        "                    written as SRP (or CSV), any other kind as the server sent it;\n"
        "                    errors go to stderr, exit 2\n"
        "  authority files | browse REF [--from TEXT] [--count N] | lookup --mode K|F REF TEXT [--pick N]\n"
        "                    the authority files, their entries (term, key, full, open,\n"
        "                    display) and what the lookup window returns for the N-th\n"
        "                    entry at or after TEXT (REF: KHW and a file's id, or a prefix)\n"
        "  reference ID [--type T]\n"
        "                    the record's text in the first format of type T (referencja)\n"
        "  cards (--report NAME (--record ID | --remote QUERY | --local NUMFILE) | --text FILE)\n"
        "        [--settings INI] (--out FILE.pdf | --lines)\n"
        "                    the catalogue cards of a card report (or a card text file)\n"
        "                    laid out with the settings of INI (Velt_kar.ini): every page\n"
        "                    on a PDF page of the card's size, or the laid-out lines as\n"
        "                    card, page, kind, x, y (tenths of a millimetre) and text\n"
        "  reader identify (--name NAME | --card CARD) --password W\n"
        "                    identifies a reader: karta=... and nazwisko=... lines\n"
        "  reader account --card C --password W [--tab rezerwacje|zamowienia|wypozyczenia]\n"
        "                    the reader's account: tab, key, plain text and the entry's\n"
        "                    commands (\"|\"-joined; an OPERACJA command, which holds \"|\"\n"
        "                    itself, comes last), one line an entry\n"
        "  reader do --card C --password W [--field NAME=VALUE]... COMMAND\n"
        "                    carries out a command of an account line or a copy\n"
        "                    (\"prolongata&op=T&sn=...\", \"usuwanie&op=U&sn=...\",\n"
        "                    \"&op=R&sn=...\") as the program does and prints what it\n"
        "                    would show; an operation's form gets the fields given\n"
        "  reader password --card C --password OLD --new NEW\n"
        "                    changes the reader's password\n"
        "  reader copies RECORD-ID\n"
        "                    the record's copies: number, location, status, commands\n"
        "  closed-orders [--count N] [--backward]\n"
        "                    the closed orders, one text a line (a librarian's list:\n"
        "                    needs --user); errors of the reader commands go to stderr,\n"
        "                    exit 2\n"
        "  links ID          the record's link schema: 2 spaces a level, the identifier,\n"
        "                    a tab, the caption\n"
        "  links attach CHILD PARENT | detach CHILD | sort PARENT KEY\n"
        "                    links and detaches records, sorts a record's parts (needs\n"
        "                    --user); a refusal is the server's text on stderr, exit 2\n"
        "  attachment list ID | get ID NAME --out FILE | put ID NAME FILE\n"
        "                    the record's attachments: listed, fetched, added\n"
        "  modify PROGRAM.apr (--remote QUERY | --local NUMFILE | --record ID)\n"
        "                    the server runs the modification program (Windows-1250)\n"
        "                    over the query's collection, a .num file's records or one\n"
        "                    record, all or nothing (needs an administrator's --user):\n"
        "                    nothing on success, the server's answer on stderr, exit 2\n"
        "  delete --local NUMFILE --yes\n"
        "                    deletes every record of the .num file: \"usunięto ID\" or\n"
        "                    \"błąd ID: reason\" a line; the file keeps the records that\n"
        "                    stay; exit 2 when one stayed\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velt::cli;
    const std::map<std::string, int (*)(CliContext&)> commands = {
        {"status", StatusCommand},
        {"indexes", IndexesCommand},
        {"browse", BrowseCommand},
        {"store-login", StoreLoginCommand},
        {"convert", ConvertCommand},
        {"z3950", Z3950Command},
        {"marc", MarcCommand},
        {"script", ScriptCommand},
        {"barcode", BarcodeCommand},
        {"form", FormCommand},
        {"search", SearchCommand},
        {"query", QueryCommand},
        {"record", RecordCommand},
        {"report", ReportCommand},
        {"authority", AuthorityCommand},
        {"reference", ReferenceCommand},
        {"cards", CardsCommand},
        {"reader", ReaderCommand},
        {"closed-orders", ClosedOrdersCommand},
        {"command", CommandCommand},
        {"criteria", CriteriaCommand},
        {"links", LinksCommand},
        {"attachment", AttachmentCommand},
        {"modify", ModifyCommand},
        {"delete", DeleteCommand},
    };
    CliContext ctx;
    std::string command;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string port;
        // Options are given in UTF-8 and used in the system's code page.
        if (a == "--host" && value(ctx.host)) continue;
        if (a == "--port" && value(port)) {
            ctx.port = std::atoi(port.c_str());
            continue;
        }
        if (a == "--user" && value(ctx.user)) {
            ctx.user = velt::UtfVeltwin().Convert(ctx.user);
            continue;
        }
        if (a == "--password" && value(ctx.password)) {
            ctx.password = velt::UtfVeltwin().Convert(ctx.password);
            continue;
        }
        if (a == "--config" && value(ctx.config)) continue;
        if (a == "--right" && value(ctx.right)) {
            ctx.right = velt::UtfVeltwin().Convert(ctx.right);
            continue;
        }
        std::string seconds;
        if (a == "--timeout" && value(seconds)) {
            char* end = nullptr;
            const long v = std::strtol(seconds.c_str(), &end, 10);
            if (end == seconds.c_str() || *end != '\0' || v < 1 || v > 3600) {
                std::fputs("velt-cli: --timeout takes 1 to 3600 seconds\n", stderr);
                return kExitUsage;
            }
            ctx.timeoutSeconds = static_cast<int>(v);
            continue;
        }
        if (a == "-h" || a == "--help") {
            Usage();
            return kExitOk;
        }
        command = a;
        ++i;
        break;
    }
    const auto it = commands.find(command);
    if (it == commands.end()) {
        Usage();
        return kExitUsage;
    }
    for (; i < argc; ++i) ctx.args.emplace_back(argv[i]);
    // A server that stops answering ends the command after the time-out
    // instead of the hour the waiting loop would allow.
    ReplyTimeout timeout(std::chrono::seconds(ctx.timeoutSeconds));
    if (ctx.timeoutSeconds > 0) velt::SetServerWait(&timeout);
    const int rc = it->second(ctx);
    velt::SetServerWait(nullptr);
    return rc;
}
