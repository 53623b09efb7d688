#include "CliContext.h"
#include "CliEditor.h"

#include "catalogue/velt_files.h"
#include "editing/EditRequests.h"
#include "editing/RecordKinds.h"
#include "import/RpnQuery.h"
#include "import/MultiSearch.h"
#include "import/SruClient.h"
#include "import/Z3950Client.h"
#include "import/Z3950Import.h"
#include "import/Z3950Query.h"
#include "lang/IniMacros.h"
#include "lang/TMultiIniFile.h"
#include "params/HeadlessParameterWindow.h"
#include "params/PairText.h"
#include "params/ParameterForms.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"
#include "text/dll_converter.h"
#include "text/utf.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace velt::cli {

namespace {

void Z3950Usage() {
    std::fputs(
        "usage: velt-cli z3950 --target HOST:PORT[/DB] [--user U --password W] [--log FILE] [--timeout MS]\n"
        "       velt-cli z3950 --targets HOST:PORT/DB,http://HOST:PORT/DB,... query --row ... [--timeout MS]\n"
        "                                      every target searched at once: target<TAB>hits=N or its error\n"
        "         find USE TERM [--show K]     hits=N, then the first K records as key=value lines\n"
        "         scan USE TERM [--count N]    term<TAB>count lines\n"
        "         query --row N KIND TEXT [--row ...] [--expr EXPR] [--search-charset 0|1|2] [--pqf] [--show K]\n"
        "                                      the import window's query: hits=N\n"
        "       velt-cli --host H --port P --user U --password W --config INI z3950 --source SECTION\n"
        "         import --row N KIND TEXT [--row ...] [--expr EXPR] --position K (--take | --convert) [--save]\n"
        "  USE: a Bib-1 use attribute (4 title, 1003 author, 21 subject, 7 ISBN, 8 ISSN, 1018 publisher)\n"
        "  KIND: @ author, ! title, & subject, $ ISBN, # ISSN, ^ publisher; N: the row, 1 to 6\n",
        stderr);
}

bool ParseTarget(const std::string& target, std::string& host, int& port, std::string& database) {
    const std::size_t slash = target.find('/');
    const std::string address = target.substr(0, slash);
    database = slash == std::string::npos ? "Default" : target.substr(slash + 1);
    const std::size_t colon = address.rfind(':');
    if (colon == std::string::npos || colon == 0 || database.empty()) return false;
    host = address.substr(0, colon);
    char* end = nullptr;
    const long p = std::strtol(address.c_str() + colon + 1, &end, 10);
    if (*end != '\0' || p < 1 || p > 65535) return false;
    port = static_cast<int>(p);
    return true;
}

bool ParseCount(const std::string& text, long& n) {
    char* end = nullptr;
    n = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && n >= 0;
}

// A broken connection's text, with the transport failure behind it.
std::string WithReason(const std::string& error, const Z3950Client& client) {
    if (error != Z3950Client::TextBroken() || client.ErrorText().empty()) return error;
    return error + " (" + client.ErrorText() + ")";
}

// The query form's rows and expression, as "--row N KIND TEXT" and "--expr".
struct QueryOptions {
    std::vector<ParameterPair> pairs;
    bool ok = true;
};

// Takes every "--row N KIND TEXT" out of args (TEXT in UTF-8).
QueryOptions TakeRows(std::vector<std::string>& args) {
    QueryOptions q;
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] != "--row") {
            ++i;
            continue;
        }
        long n = 0;
        if (i + 3 >= args.size()) {
            q.ok = false;
            args.erase(args.begin() + static_cast<long>(i), args.end());
            break;
        }
        if (!ParseCount(args[i + 1], n) || n < 1 || n > kZ3950Rows || !FindCriterion(args[i + 2])) q.ok = false;
        const std::string row = std::to_string(n);
        q.pairs.emplace_back("Q." + row, args[i + 2]);
        q.pairs.emplace_back("T." + row, UtfVeltwin().Convert(args[i + 3]));
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 4);
    }
    return q;
}

// The form's values of the rows and the expression.
std::string FormValues(const QueryOptions& q, const std::string& expression) {
    std::vector<ParameterPair> pairs = q.pairs;
    pairs.emplace_back("E", UtfVeltwin().Convert(expression));
    return JoinPairs(pairs);
}

// The count of a search and its first records (their display lines); the
// exit code after the failures told meanwhile.
int PrintFound(Z3950Client& client, long showCount, int failures) {
    std::printf("hits=%lld\n", client.ResultCount());
    std::string key = client.First();
    for (long shown = 0; shown < showCount && !key.empty(); ++shown, key = client.Next(key)) {
        if (shown > 0) std::fputc('\n', stdout);
        if (const auto lines = client.Lines(key))
            for (const std::string& line : *lines) PrintLine(stdout, line);
    }
    std::fflush(stdout);
    return failures == 0 ? kExitOk : kExitRefused;
}

int FindOrScan(bool find, const std::string& host, int port, const std::string& database,
               const std::string& user, const std::string& password, const std::string& log, long timeoutMs,
               long use, const std::string& term, long showCount, long scanCount) {
    int failures = 0;
    Z3950Client client([&failures](const std::string& text) {
        ++failures;
        PrintLine(stderr, text);
    });
    client.SetLogFile(log);
    client.SetReadTimeout(static_cast<int>(timeoutMs));
    if (!client.OpenAssociation(host, port, password, user)) {
        PrintLine(stderr, "Błąd połączenia z serwisem Z39.50"_cp + ": " + client.ErrorText());
        return kExitNoConnection;
    }
    const std::string apt = EncodeAttributesPlusTerm({{kBib1Use, static_cast<std::uint32_t>(use)}}, term);
    if (!find) {
        if (!client.AcceptedOptions().test(7)) {
            PrintLine(stderr, "Serwer Z39.50 nie pozwala na wyświetlenie listy haseł"_cp);
            return kExitRefused;
        }
        std::vector<ScanTerm> terms;
        const std::string error = client.ScanTerms(database, apt, static_cast<int>(scanCount), terms);
        if (!error.empty()) {
            PrintLine(stderr, WithReason(error, client));
            return kExitRefused;
        }
        for (const ScanTerm& t : terms) {
            std::fwrite(t.term.data(), 1, t.term.size(), stdout);
            std::printf("\t%s\n", t.count >= 0 ? std::to_string(t.count).c_str() : "");
        }
        return kExitOk;
    }
    const std::string error = client.SendSearch(database, EncodeOperand(apt));
    if (!error.empty()) {
        PrintLine(stderr, WithReason(error, client));
        return kExitRefused;
    }
    return PrintFound(client, showCount, failures);
}

// --- import: the window's model over the catalogue's edit requests -----------

struct CliHost : Z3950Host {
    velt_files* files = nullptr;
    ImportEditor* editor = nullptr;
    ConverterModules modules;
    velt_files* Catalogue() override { return files; }
    ImportEditor* Editor() override { return editor; }
    const ConverterModules* Converters() override { return &modules; }
};

struct CliView : Z3950View {
    std::string selected;
    void ShowCaption(const std::string&) override {}
    void ShowCharsets(int, int) override {}
    void ShowResult(Vrserwer*, const std::string&) override {}
    void RedrawResult() override {}
    std::string SelectedKey() override { return selected; }
    void EnableButtons(bool, bool) override {}
    void ShowWindow() override {}
    void ShowLater(const std::string& text) override { PrintLine(stderr, text); }
};

// No list to choose from on the command line.
struct NoLists : ListChoiceWindow {
    int ShowListChoice(const std::vector<ListChoiceEntry>&) override { return -1; }
};

int Import(CliContext& ctx, const std::string& section, const std::string& values, long position, bool take,
           bool save) {
    if (ctx.config.empty()) {
        std::fputs("velt-cli: z3950 import needs --config INI (the program's configuration)\n", stderr);
        return kExitUsage;
    }
    StderrPrompts prompts;
    CliHost host;
    CliView view;
    NoLists lists;
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms(window, settings, [] { return std::string(); });
    Z3950Import model(view, host, prompts, prompts, forms, lists);
    {
        TMultiIniFile ini(ctx.config);
        if (!ini.Main().Exists() || !ini.Main().Complete()) {
            PrintLine(stderr, "Nie można odczytać pliku "_cp + ctx.config);
            return kExitRefused;
        }
        model.ReadConfiguration(ini, [](const std::string& m) { PrintLine(stderr, m); });
        LoadConverterModules(ini, ctx.config, host.modules);
    }
    std::unique_ptr<velt_files> files;
    if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;
    CliEditor editor(*files, prompts);
    host.files = files.get();
    host.editor = &editor;
    model.Open();
    if (prompts.errors > 0) return kExitRefused;
    if (!model.SelectSource(section)) {
        PrintLine(stderr, "Brak źródła Z39.50 "_cp + section);
        return kExitRefused;
    }
    const Z3950Outcome outcome = model.Search(values);
    if (outcome == Z3950Outcome::NoQuery && prompts.errors == 0) PrintLine(stderr, "Zapytanie nie ma kryteriów"_cp);
    if (outcome != Z3950Outcome::Found) return kExitRefused;
    std::printf("hits=%lld\n", model.Client().ResultCount());
    if (position < 1 || position > model.Client().ResultCount()) {
        PrintLine(stderr, "Wynik nie ma pozycji "_cp + std::to_string(position));
        return kExitRefused;
    }
    // The browser draws the entry (fetching it) before the user selects it.
    view.selected = std::to_string(position);
    model.Client().Lines(view.selected);
    if (take)
        model.Take();
    else
        model.Convert();
    return PrintAndSaveOpened(editor, *files, prompts.errors > 0, save);
}

// A target of --targets: "HOST:PORT/DB" over Z39.50, "http://HOST:PORT/PATH" over SRU.
bool ReadTarget(const std::string& text, Z3950Source& source) {
    source.name = text;
    if (text.rfind("http://", 0) == 0) {
        const auto address = ReadHttpAddress(text);
        if (!address) return false;
        source.protocol = Z3950Source::Protocol::Sru;
        source.sruBase = *address;
        return true;
    }
    return ParseTarget(text, source.host, source.port, source.database);
}

int SeveralTargets(const std::string& list, const QueryOptions& rows, const std::string& expression, bool utf8,
                   const std::string& user, const std::string& password, long timeoutMs) {
    std::vector<Z3950Source> sources;
    for (std::size_t from = 0; from <= list.size();) {
        const std::size_t comma = std::min(list.find(',', from), list.size());
        Z3950Source s;
        s.user = user;
        s.password = password;
        if (!ReadTarget(list.substr(from, comma - from), s)) {
            Z3950Usage();
            return kExitUsage;
        }
        sources.push_back(s);
        from = comma + 1;
    }
    const Z3950Expression e = ParseZ3950Expression(UtfVeltwin().Convert(expression), RowsOfValues(FormValues(rows, ""), utf8));
    const Z3950Expression u = ParseZ3950Expression(UtfVeltwin().Convert(expression), RowsOfValues(FormValues(rows, ""), true));
    if (!e.error.empty()) {
        PrintLine(stderr, e.error);
        return kExitRefused;
    }
    if (e.rpn.empty()) {
        PrintLine(stderr, "Zapytanie nie ma kryteriów"_cp);
        return kExitRefused;
    }
    const SourceQuery query{e.rpn, u.cql};
    const int timeout = static_cast<int>(std::clamp(timeoutMs, 100L, 3'600'000L));
    MultiSearch multi;
    multi.Run(sources,
              [query, timeout](const Z3950Source& s, std::string& error) {
                  return SearchSource(s, query, timeout, error);
              },
              std::chrono::milliseconds(timeout));
    bool failed = false;
    for (const SourceAnswer& a : multi.Answers()) {
        std::fwrite(a.name.data(), 1, a.name.size(), stdout);
        if (a.error.empty()) {
            std::printf("\thits=%lld\n", a.count);
        } else {
            failed = true;
            std::fputc('\t', stdout);
            PrintLine(stdout, a.error);
        }
    }
    std::fflush(stdout);
    return failed ? kExitRefused : kExitOk;
}

void SruUsage() {
    std::fputs(
        "usage: velt-cli sru --url http://HOST:PORT/DB [--sru-version 1.1|1.2] [--schema S] [--timeout MS]\n"
        "         query --row N KIND TEXT [--row ...] [--expr EXPR] [--cql] [--show K]\n"
        "                                      with --cql the CQL sent first; hits=N, then K records\n"
        "         scan KIND TEXT [--count N]   term<TAB>count lines\n"
        "  KIND: @ author, ! title, & subject, $ ISBN, # ISSN, ^ publisher; N: the row, 1 to 6\n",
        stderr);
}

}  // namespace

// velt-cli sru: a search or scan of an SRU server with the import window's query form.
int SruCommand(CliContext& ctx) {
    QueryOptions rows = TakeRows(ctx.args);
    std::string url, version = "1.2", schema = "marcxml", timeout, show, count, expression;
    const bool haveUrl = ctx.TakeOption("--url", url);
    ctx.TakeOption("--sru-version", version);
    ctx.TakeOption("--schema", schema);
    ctx.TakeOption("--timeout", timeout);
    const bool haveShow = ctx.TakeOption("--show", show);
    const bool haveCount = ctx.TakeOption("--count", count);
    ctx.TakeOption("--expr", expression);
    const bool cql = ctx.TakeSwitch("--cql");
    const std::string mode = ctx.args.empty() ? std::string() : ctx.args[0];
    long showCount = 0, scanCount = 20, timeoutMs = UniSocket::kReadTimeoutMs;
    const auto address = ReadHttpAddress(url);
    if (!haveUrl || !address || !rows.ok || (version != "1.1" && version != "1.2") ||
        (haveShow && !ParseCount(show, showCount)) || (haveCount && !ParseCount(count, scanCount)) ||
        (!timeout.empty() && (!ParseCount(timeout, timeoutMs) || timeoutMs < 1))) {
        SruUsage();
        return kExitUsage;
    }
    SruClient client([](const std::string& text) { PrintLine(stderr, text); });
    client.SetServer(*address, version, schema);
    client.SetTimeout(static_cast<int>(std::min(timeoutMs, 3'600'000L)));
    if (mode == "scan") {
        const Z3950Criterion* criterion = ctx.args.size() == 3 ? FindCriterion(ctx.args[1]) : nullptr;
        if (!criterion || haveShow || !rows.pairs.empty() || cql) {
            SruUsage();
            return kExitUsage;
        }
        std::string clause = std::string(criterion->cqlIndex) + "=\"";
        for (const char c : ctx.args[2]) {
            if (c == '"' || c == '\\') clause.push_back('\\');
            clause.push_back(c);
        }
        clause += "\"";
        std::vector<ScanTerm> terms;
        if (const std::string error = client.Scan(clause, static_cast<int>(std::max(1L, scanCount)), terms);
            !error.empty()) {
            PrintLine(stderr, error);
            return kExitRefused;
        }
        for (const ScanTerm& t : terms) {
            std::fwrite(t.term.data(), 1, t.term.size(), stdout);
            std::printf("\t%s\n", t.count >= 0 ? std::to_string(t.count).c_str() : "");
        }
        return kExitOk;
    }
    if (mode != "query" || ctx.args.size() != 1 || haveCount) {
        SruUsage();
        return kExitUsage;
    }
    const Z3950Expression e =
        ParseZ3950Expression(UtfVeltwin().Convert(expression), RowsOfValues(FormValues(rows, ""), true));
    if (!e.error.empty()) {
        PrintLine(stderr, e.error);
        return kExitRefused;
    }
    if (e.cql.empty()) {
        PrintLine(stderr, "Zapytanie nie ma kryteriów"_cp);
        return kExitRefused;
    }
    if (cql) {
        std::fwrite(e.cql.data(), 1, e.cql.size(), stdout);
        std::fputc('\n', stdout);
    }
    if (const std::string error = client.Search(e.cql); !error.empty()) {
        PrintLine(stderr, error);
        return kExitRefused;
    }
    std::printf("hits=%lld\n", client.ResultCount());
    std::string key = client.First();
    for (long shown = 0; shown < showCount && !key.empty(); ++shown, key = client.Next(key)) {
        if (shown > 0) std::fputc('\n', stdout);
        if (const auto lines = client.Lines(key))
            for (const std::string& line : *lines) PrintLine(stdout, line);
    }
    std::fflush(stdout);
    return client.ErrorText().empty() ? kExitOk : kExitRefused;
}

// velt-cli z3950: one association with a Z39.50 server (a search with its
// records, a scan, or the import window's query), or the import window's
// Pobierz and Konwertuj into the catalogue. Diagnostics and refusals go to
// stderr with exit code 2.
int Z3950Command(CliContext& ctx) {
    QueryOptions rows = TakeRows(ctx.args);
    std::string target, user = ctx.user, password = ctx.password, log, timeout, show, count, expression, charset,
                        section, positionText;
    const bool haveTarget = ctx.TakeOption("--target", target);
    std::string targets;
    const bool haveTargets = ctx.TakeOption("--targets", targets);
    if (ctx.TakeOption("--user", user)) user = UtfVeltwin().Convert(user);
    if (ctx.TakeOption("--password", password)) password = UtfVeltwin().Convert(password);
    ctx.TakeOption("--log", log);
    ctx.TakeOption("--timeout", timeout);
    const bool haveShow = ctx.TakeOption("--show", show);
    const bool haveCount = ctx.TakeOption("--count", count);
    const bool haveExpression = ctx.TakeOption("--expr", expression);
    const bool haveCharset = ctx.TakeOption("--search-charset", charset);
    const bool haveSource = ctx.TakeOption("--source", section);
    const bool havePosition = ctx.TakeOption("--position", positionText);
    const bool pqf = ctx.TakeSwitch("--pqf");
    const bool take = ctx.TakeSwitch("--take");
    const bool convert = ctx.TakeSwitch("--convert");
    const bool save = ctx.TakeSwitch("--save");
    const std::string mode = ctx.args.empty() ? std::string() : ctx.args[0];
    long showCount = 0, scanCount = 20, timeoutMs = UniSocket::kReadTimeoutMs, searchCharset = 2, position = 0;
    if (!rows.ok || (haveShow && !ParseCount(show, showCount)) || (haveCount && !ParseCount(count, scanCount)) ||
        (!timeout.empty() && !ParseCount(timeout, timeoutMs)) ||
        (haveCharset && (!ParseCount(charset, searchCharset) || searchCharset > 2)) ||
        (havePosition && !ParseCount(positionText, position))) {
        Z3950Usage();
        return kExitUsage;
    }

    if (mode == "import") {
        if (ctx.args.size() != 1 || !haveSource || !havePosition || take == convert || haveTarget || haveTargets || haveShow ||
            haveCount || pqf || haveCharset) {
            Z3950Usage();
            return kExitUsage;
        }
        return Import(ctx, section, FormValues(rows, expression), position, take, save);
    }

    if (haveTargets) {
        if (mode != "query" || ctx.args.size() != 1 || haveTarget || haveSource || havePosition || take || convert ||
            save || haveCount || haveShow || pqf) {
            Z3950Usage();
            return kExitUsage;
        }
        return SeveralTargets(targets, rows, expression, searchCharset == 2, user, password, timeoutMs);
    }

    std::string host, database;
    int port = 0;
    if (!haveTarget || !ParseTarget(target, host, port, database) || haveSource || havePosition || take || convert ||
        save) {
        Z3950Usage();
        return kExitUsage;
    }
    if (mode == "query") {
        if (ctx.args.size() != 1 || haveCount) {
            Z3950Usage();
            return kExitUsage;
        }
        // The form's values read as the window reads them: a wrong
        // expression is refused with the window's own text.
        const bool utf8 = searchCharset == 2;
        const Z3950Expression e = ParseZ3950Expression(UtfVeltwin().Convert(expression),
                                                       RowsOfValues(FormValues(rows, ""), utf8));
        if (!e.error.empty()) {
            PrintLine(stderr, e.error);
            return kExitRefused;
        }
        if (e.rpn.empty()) {
            PrintLine(stderr, "Zapytanie nie ma kryteriów"_cp);
            return kExitRefused;
        }
        if (pqf) {
            // Terms sent in UTF-8 are printed as they are.
            if (utf8) {
                std::fwrite(e.pqf.data(), 1, e.pqf.size(), stdout);
                std::fputc('\n', stdout);
            } else {
                PrintLine(stdout, e.pqf);
            }
        }
        int failures = 0;
        Z3950Client client([&failures](const std::string& text) {
            ++failures;
            PrintLine(stderr, text);
        });
        client.SetLogFile(log);
        client.SetReadTimeout(static_cast<int>(timeoutMs));
        if (!client.OpenAssociation(host, port, password, user)) {
            PrintLine(stderr, "Błąd połączenia z serwisem Z39.50"_cp + ": " + client.ErrorText());
            return kExitNoConnection;
        }
        const std::string error = client.SendSearch(database, e.rpn);
        if (!error.empty()) {
            PrintLine(stderr, WithReason(error, client));
            return kExitRefused;
        }
        return PrintFound(client, showCount, failures);
    }

    long use = 0;
    const bool find = ctx.args.size() == 3 && mode == "find" && !haveCount;
    const bool scan = ctx.args.size() == 3 && mode == "scan" && !haveShow;
    if (!(find || scan) || !ParseCount(ctx.args[1], use) || !rows.pairs.empty() || haveExpression || haveCharset ||
        pqf) {
        Z3950Usage();
        return kExitUsage;
    }
    return FindOrScan(find, host, port, database, user, password, log, timeoutMs, use, ctx.args[2], showCount,
                      scanCount);
}

}  // namespace velt::cli
