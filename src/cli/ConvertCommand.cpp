#include "CliContext.h"

#include "text/StreamConverter.h"
#include "text/ala.h"
#include "text/utf.h"

#include <cstdio>
#include <string>
#include <vector>

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
    // Block by block: memory stays flat for any size of input.
    static const converter identity;
    const converter& toCp1250 = from == Charset::Utf8 ? static_cast<const converter&>(UtfVeltwin())
                                : from == Charset::Marc8 ? static_cast<const converter&>(AlaWin())
                                                         : identity;
    const converter& fromCp1250 = to == Charset::Utf8 ? static_cast<const converter&>(WinUtf())
                                  : to == Charset::Marc8 ? static_cast<const converter&>(WinAla())
                                                         : identity;
    const StreamInput input = from == Charset::Utf8 ? StreamInput::Utf8
                              : from == Charset::Marc8 ? StreamInput::Marc8
                                                       : StreamInput::Cp1250;
    StreamConverter first(toCp1250, input);
    StreamConverter second(fromCp1250, StreamInput::Cp1250);
    const bool same = from == to;
    auto write = [](const std::string& out) {
        return std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
    };
    std::vector<char> buf(1 << 20);
    std::size_t got;
    bool written = true;
    while (written && (got = std::fread(buf.data(), 1, buf.size(), stdin)) > 0) {
        const std::string_view block(buf.data(), got);
        if (same)
            written = std::fwrite(block.data(), 1, block.size(), stdout) == block.size();
        else if (from == Charset::Cp1250)
            written = write(second.Feed(block));
        else if (to == Charset::Cp1250)
            written = write(first.Feed(block));
        else
            written = write(second.Feed(first.Feed(block)));
    }
    if (std::ferror(stdin)) {
        std::perror("velt-cli: standard input");
        return kExitUsage;
    }
    if (written && !same) written = write(second.Feed(first.Finish())) && write(second.Finish());
    if (!written || std::fflush(stdout) != 0) {
        std::perror("velt-cli: standard output");
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace velt::cli
