#include "CliContext.h"

#include "text/ala.h"
#include "text/utf.h"

#include <cstdio>
#include <string>

namespace velt::cli {

namespace {

enum class Charset { Cp1250, Utf8, Marc8, Unknown };

Charset CharsetNamed(const std::string& name) {
    if (name == "cp1250") return Charset::Cp1250;
    if (name == "utf8") return Charset::Utf8;
    if (name == "marc8") return Charset::Marc8;
    return Charset::Unknown;
}

}  // namespace

// velt-cli convert --from F --to T: standard input to standard output through
// the system's converters, by way of its own Windows-1250 texts: UTF-8 keeps
// the characters the code page lacks as escapes, MARC-8 is read by ala_win.
int ConvertCommand(CliContext& ctx) {
    std::string fromName, toName;
    const bool haveFrom = ctx.TakeOption("--from", fromName), haveTo = ctx.TakeOption("--to", toName);
    const Charset from = CharsetNamed(fromName), to = CharsetNamed(toName);
    if (!haveFrom || !haveTo || !ctx.args.empty() || from == Charset::Unknown || to == Charset::Unknown) {
        std::fprintf(stderr, "usage: velt-cli convert --from F --to T   (F, T: cp1250, utf8, marc8)\n");
        return kExitUsage;
    }
    std::string in;
    char buf[65536];
    std::size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, stdin)) > 0) in.append(buf, got);
    if (std::ferror(stdin)) {
        std::perror("velt-cli: standard input");
        return kExitUsage;
    }
    std::string out;
    if (from == to) {
        out = std::move(in);
    } else {
        const std::string text = from == Charset::Utf8    ? UtfVeltwin().Convert(in)
                                 : from == Charset::Marc8 ? AlaWin().Convert(in)
                                                          : std::move(in);
        out = to == Charset::Utf8    ? WinUtf().Convert(text)
              : to == Charset::Marc8 ? WinAla().Convert(text)
                                     : text;
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        std::perror("velt-cli: standard output");
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace velt::cli
