#include "CliContext.h"

#include "import/usmarc.h"
#include "text/ala.h"
#include "text/utf.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace velt::cli {

// velt-cli marc FILE: every record of an ISO 2709 file as key=value lines,
// records separated by a blank line. A broken record is reported on stderr
// (the others are still printed) and the exit code is then 2.
int MarcCommand(CliContext& ctx) {
    std::string charset = "auto";
    ctx.TakeOption("--charset", charset);
    MarcOptions options;
    options.format = !ctx.TakeSwitch("--join-1xx");
    if (charset == "marc8")
        options.presentation = &AlaWin();
    else if (charset == "utf8")
        options.presentation = &UtfVeltwin();
    else if (charset != "auto")
        ctx.args.clear();
    if (ctx.args.size() != 1) {
        std::fputs("usage: velt-cli marc FILE [--charset auto|marc8|utf8] [--join-1xx]\n", stderr);
        return kExitUsage;
    }
    std::ifstream in(ctx.args[0], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "velt-cli: %s: cannot be read\n", ctx.args[0].c_str());
        return kExitUsage;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int broken = 0, number = 0;
    for (const std::string_view octets : SplitMarcFile(bytes)) {
        const my_record record = ParseMarc(octets, options);
        if (number++ > 0) std::fputc('\n', stdout);
        for (const my_field& f : record.fields()) PrintLine(stdout, f.key + "=" + f.value);
        for (const my_error& e : record.errors()) {
            ++broken;
            std::fprintf(stderr, "velt-cli: record %d: ", number);
            PrintLine(stderr, e.message);
        }
    }
    std::fflush(stdout);
    return broken == 0 ? kExitOk : kExitRefused;
}

}  // namespace velt::cli
