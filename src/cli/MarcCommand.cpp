#include "CliContext.h"

#include "import/MarcFormatSet.h"
#include "import/usmarc.h"
#include "text/ala.h"
#include "text/utf.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace velt::cli {

// velt-cli marc FILE: every record of an ISO 2709 file as key=value lines,
// records separated by a blank line. A broken record is reported on stderr
// (the others are still printed) and the exit code is then 2. With
// --format K=SCRIPT (repeatable) records of kind letter K are shown through
// that display program instead, as the import window shows them.
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
    MarcFormatSet formats;
    bool hasFormats = false, formatErrors = false;
    const ErrorSink sink = [&formatErrors](const std::string& message) {
        formatErrors = true;
        PrintLine(stderr, message);
    };
    for (std::string format; ctx.TakeOption("--format", format);) {
        if (format.size() < 3 || format[1] != '=') {
            ctx.args.clear();
            break;
        }
        if (!formats.Load(format[0], format.substr(2), sink)) return kExitRefused;
        hasFormats = true;
    }
    if (ctx.args.size() != 1) {
        std::fputs("usage: velt-cli marc FILE [--charset auto|marc8|utf8] [--join-1xx] [--format K=SCRIPT ...]\n",
                    stderr);
        return kExitUsage;
    }
    std::string bytes;
    std::FILE* in = std::fopen(ctx.args[0].c_str(), "rb");
    if (in) {
        if (std::fseek(in, 0, SEEK_END) == 0) {
            const long size = std::ftell(in);
            if (size > 0) bytes.reserve(static_cast<std::size_t>(size));
            std::fseek(in, 0, SEEK_SET);
        }
        char buffer[1 << 16];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, got);
    }
    if (!in || std::ferror(in)) {
        std::fprintf(stderr, "velt-cli: %s: cannot be read\n", ctx.args[0].c_str());
        if (in) std::fclose(in);
        return kExitUsage;
    }
    std::fclose(in);
    static char outBuffer[1 << 20];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    int broken = 0, number = 0;
    std::string text;
    const MarcFormatter formatter = formats.Formatter(sink);
    for (const std::string_view octets : SplitMarcFile(bytes)) {
        if (hasFormats) {
            if (number++ > 0) std::fputc('\n', stdout);
            for (const std::string& line : MarcDisplayLines(octets, options, formatter)) PrintLine(stdout, line);
            continue;
        }
        const my_record record = ParseMarc(octets, options);
        // One record's lines at a time, converted to UTF-8 together.
        text.clear();
        if (number++ > 0) text.push_back('\n');
        for (const my_field& f : record.fields()) {
            text += f.key;
            text += '=';
            text += f.value;
            text += '\n';
        }
        const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != 0x1B; });
        if (ascii) {
            std::fwrite(text.data(), 1, text.size(), stdout);
        } else {
            const std::string utf8 = WinUtf().Convert(text);
            std::fwrite(utf8.data(), 1, utf8.size(), stdout);
        }
        for (const my_error& e : record.errors()) {
            ++broken;
            std::fprintf(stderr, "velt-cli: record %d: ", number);
            PrintLine(stderr, e.message);
        }
    }
    std::fflush(stdout);
    return broken == 0 && !formatErrors ? kExitOk : kExitRefused;
}

}  // namespace velt::cli
