// velt-cli: the catalogue client's core on the command line, for scripts and
// for checking a server by hand. Texts are printed in UTF-8.

#include "CliContext.h"
#include "HelpText.h"
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

// The help text of velt-cli.help, also its manual page.
void Usage(std::FILE* to) { std::fputs(kHelpText, to); }

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
        {"sru", SruCommand},
        {"export", ExportCommand},
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
        {"rtk", RtkCommand},
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
            Usage(stdout);
            return kExitOk;
        }
        if (a == "--version") {
            std::printf("velt-cli %s\n", kProgramVersion);
            return kExitOk;
        }
        command = a;
        ++i;
        break;
    }
    const auto it = commands.find(command);
    if (it == commands.end()) {
        Usage(stderr);
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
