#include "CliContext.h"

#include "import/RpnQuery.h"
#include "import/Z3950Client.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace velt::cli {

namespace {

void Z3950Usage() {
    std::fputs(
        "usage: velt-cli z3950 --target HOST:PORT[/DB] [--user U --password W] [--log FILE] [--timeout MS]\n"
        "         find USE TERM [--show K]     hits=N, then the first K records as key=value lines\n"
        "         scan USE TERM [--count N]    term<TAB>count lines\n"
        "  USE: a Bib-1 use attribute (4 title, 1003 author, 21 subject, 7 ISBN, 8 ISSN, 1018 publisher)\n",
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

}  // namespace

// velt-cli z3950: one association with a Z39.50 server, a search with its
// records or a scan. Diagnostics of the server go to stderr with exit code 2.
int Z3950Command(CliContext& ctx) {
    std::string target, user = ctx.user, password = ctx.password, log, timeout, show, count;
    const bool haveTarget = ctx.TakeOption("--target", target);
    if (ctx.TakeOption("--user", user)) user = UtfVeltwin().Convert(user);
    if (ctx.TakeOption("--password", password)) password = UtfVeltwin().Convert(password);
    ctx.TakeOption("--log", log);
    ctx.TakeOption("--timeout", timeout);
    const bool haveShow = ctx.TakeOption("--show", show);
    const bool haveCount = ctx.TakeOption("--count", count);
    std::string host, database;
    int port = 0;
    long use = 0, showCount = 0, scanCount = 20, timeoutMs = UniSocket::kReadTimeoutMs;
    const bool find = ctx.args.size() == 3 && ctx.args[0] == "find" && !haveCount;
    const bool scan = ctx.args.size() == 3 && ctx.args[0] == "scan" && !haveShow;
    if (!haveTarget || !ParseTarget(target, host, port, database) || !(find || scan) ||
        !ParseCount(ctx.args[1], use) || (haveShow && !ParseCount(show, showCount)) ||
        (haveCount && !ParseCount(count, scanCount)) || (!timeout.empty() && !ParseCount(timeout, timeoutMs))) {
        Z3950Usage();
        return kExitUsage;
    }
    const std::string& term = ctx.args[2];

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
    if (scan) {
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

}  // namespace velt::cli
