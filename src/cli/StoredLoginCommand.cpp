#include "CliContext.h"

#include "shell/StoredLogin.h"

namespace velt::cli {

// velt-cli --host H --port P --user U --password W store-login [--file F]:
// writes the stored login the program uses at start (mode 0600).
int StoreLoginCommand(CliContext& ctx) {
    std::string file = StoredLoginPath();
    ctx.TakeOption("--file", file);
    if (ctx.host.empty() || ctx.port == 0 || ctx.user.empty()) {
        std::fprintf(stderr, "usage: velt-cli --host H --port P --user U --password W store-login [--file F]\n");
        return kExitUsage;
    }
    const std::string error = WriteStoredLogin(file, {ctx.host, ctx.port, ctx.user, ctx.password});
    if (!error.empty()) {
        PrintLine(stderr, error);
        return kExitRefused;
    }
    return kExitOk;
}

}  // namespace velt::cli
