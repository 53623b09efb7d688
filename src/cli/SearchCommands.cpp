// velt-cli search and velt-cli query: a query sent as the program sends it,
// and the query text the elementary window would send.

#include "CliContext.h"
#include "net/SearchRequests.h"

#include "browse/CellMarkup.h"
#include "catalogue/velt_files.h"
#include "search/QueryHistory.h"
#include "search/QueryText.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <cstdlib>

namespace velt::cli {

namespace {

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

bool ParseKind(const std::string& name, MatchKind& kind) {
    const struct {
        const char* name;
        MatchKind kind;
    } kinds[] = {{"rowny", MatchKind::Rowny},   {"poczatek", MatchKind::Poczatek}, {"slowo", MatchKind::Slowo},
                 {"liczba", MatchKind::Liczba}, {"wzorzec", MatchKind::Wzorzec},   {"brak", MatchKind::None}};
    for (const auto& k : kinds)
        if (name == k.name) {
            kind = k.kind;
            return true;
        }
    return false;
}

bool ParseOperator(const std::string& name, QueryOperator& op) {
    if (name == "lub") op = QueryOperator::Lub;
    else if (name == "i") op = QueryOperator::I;
    else if (name == "oprocz") op = QueryOperator::Oprocz;
    else return false;
    return true;
}

}  // namespace

// velt-cli ... search QUERY [--show K] [--filters FLAGS]
int SearchCommand(CliContext& ctx) {
    std::string show, flags;
    const bool hasShow = ctx.TakeOption("--show", show);
    const bool hasFilters = ctx.TakeOption("--filters", flags);
    if (ctx.args.size() != 1) {
        std::fprintf(stderr, "usage: velt-cli ... search QUERY [--show K] [--filters FLAGS]\n");
        return kExitUsage;
    }
    std::unique_ptr<velt_files> files;
    if (const int rc = OpenFiles(ctx, files); rc != kExitOk) return rc;
    if (hasFilters) {
        const std::string error = SetFilters(files->Connection(), UtfVeltwin().Convert(flags));
        if (!error.empty()) {
            if (!files->Broken()) PrintLine(stderr, error);
            return files->Broken() ? kExitNoConnection : kExitRefused;
        }
    }
    const RecordPtr reply = Search(files->Connection(), UtfVeltwin().Convert(ctx.args[0]));
    if (files->Broken()) return kExitNoConnection;
    const SearchOutcome outcome = InterpretSearchReply(reply.get());
    if (!outcome.error.empty()) {
        PrintLine(stderr, outcome.error);
        return kExitRefused;
    }
    if (outcome.collection == 0) {
        PrintLine(stderr, "Zła postać odpowiedzi serwera"_cp);
        return kExitRefused;
    }
    PrintLine(stdout, "kolekcja=" + std::to_string(outcome.collection));
    PrintLine(stdout, "liczba=" + outcome.count);
    if (!outcome.notice.empty()) PrintLine(stdout, "komunikat=" + outcome.notice);
    if (hasShow) {
        velt_order* remote = files->IndexByName("Kolekcja zdalna");
        const long k = std::strtol(show.c_str(), nullptr, 10);
        if (remote) {
            remote->Parameter = outcome.collection;
            remote->First();
            for (long i = 0; i < k && remote->Current; ++i) {
                std::string line = files->ShownIdentifier(files->EntryText(remote->Current.get())) + "\t";
                const int item = velt_files::DisplayItem(remote->Current->Kind);
                bool first = true;
                for (const auto& l : SplitDisplayLines(item > 0 ? remote->Current->Item(item) : std::string())) {
                    if (!first) line += " | ";
                    line += MarkupPlainText(l);
                    first = false;
                }
                PrintLine(stdout, line);
                remote->Next();
            }
        }
    }
    return files->Broken() ? kExitNoConnection : kExitOk;
}

// velt-cli ... query elementary INDEX [--sort N] KIND OP TEXT... [--then KIND OP TEXT...]...
int QueryCommand(CliContext& ctx) {
    auto usage = [] {
        std::fprintf(stderr,
                     "usage: velt-cli ... query elementary INDEX [--sort N] KIND OP TEXT... [--then KIND OP TEXT...]...\n"
                     "  KIND: rowny poczatek slowo liczba wzorzec brak;  OP: lub i oprocz\n");
        return kExitUsage;
    };
    std::string sort = "0";
    ctx.TakeOption("--sort", sort);
    if (ctx.args.size() < 2 || ctx.args[0] != "elementary") return usage();
    const std::string index = UtfVeltwin().Convert(ctx.args[1]);
    // The groups of presses: KIND OP TEXT..., separated by --then.
    std::vector<std::vector<std::string>> groups(1);
    for (std::size_t i = 2; i < ctx.args.size(); ++i) {
        if (ctx.args[i] == "--then")
            groups.emplace_back();
        else
            groups.back().push_back(ctx.args[i]);
    }
    ElementaryState state;
    MatchKind kind = MatchKind::Poczatek;
    for (const auto& g : groups) {
        if (g.empty() && groups.size() == 1) break;  // OK on empty memos
        QueryOperator op;
        if (g.size() < 2 || !ParseKind(g[0], kind) || !ParseOperator(g[1], op)) return usage();
        state.wzorce.clear();
        for (std::size_t i = 2; i < g.size(); ++i) state.wzorce.push_back(UtfVeltwin().Convert(g[i]));
        AddCriterion(state, kind, op);
    }
    std::unique_ptr<velt_files> files;
    if (const int rc = OpenFiles(ctx, files); rc != kExitOk) return rc;
    if (!files->IndexByName(index)) {
        PrintLine(stderr, "Nieznany indeks: "_cp + index);
        return kExitRefused;
    }
    std::string expression;
    const std::string prefix = SortPrefix(files->SortKeys, std::atoi(sort.c_str()));
    PrintLine(stdout, ElementaryQuery(state, kind, index, prefix, expression));
    return kExitOk;
}

}  // namespace velt::cli
