#include "CliContext.h"

namespace velt::cli {

// velt-cli ... status: every status parameter but the descriptor, then the
// login's rights and profile.
int StatusCommand(CliContext& ctx) {
    std::unique_ptr<TVeltClient> session;
    if (const int rc = ctx.OpenSession(session); rc != kExitOk) return rc;
    for (const auto& [name, value] : session->Parameters()) PrintLine(stdout, name + "=" + value);
    if (session->LoggedIn()) {
        PrintLine(stdout, "rights=" + session->Rights());
        PrintLine(stdout, "profile=" + session->Profile());
    }
    return kExitOk;
}

}  // namespace velt::cli
