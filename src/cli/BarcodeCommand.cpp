#include "CliContext.h"

#include "reports/GreyImage.h"
#include "reports/PngWriter.h"
#include "reports/ReportFile.h"
#include "reports/SvgCanvas.h"
#include "reports/TBarcode.h"
#include "text/utf.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace velt::cli {

namespace {

constexpr int kDefaultHeight = 60;
constexpr int kMaxHeight = 10000;
// The quiet zone on either side, in modules: what the strictest of the
// symbologies (EAN-13, 11 on the left) asks, and some more.
constexpr int kQuietModules = 12;

int Usage() {
    std::fprintf(stderr,
                 "usage: velt-cli barcode TYPE TEXT [--modul N] [--ratio R] [--height PX]\n"
                 "                        [--png FILE | --svg FILE | --modules]\n"
                 "TYPE: one of");
    for (int t = 0; t < kBarcodeTypeCount; ++t)
        std::fprintf(stderr, " %s", std::string(BarcodeTypeInfoOf(static_cast<TBarcodeType>(t)).enumName).c_str());
    std::fprintf(stderr, "\n      (or the symbology's own name, as \"EAN13\")\n");
    return kExitUsage;
}

bool ParseInt(const std::string& text, int lo, int hi, int& value) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < lo || v > hi) return false;
    value = v;
    return true;
}

bool ParseRatio(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v) || v <= 0) return false;
    value = v;
    return true;
}

// The widths as digits, or as numbers between blanks once one is above 9;
// for symbols with short bars a second line with "T" or "S" for each bar.
void PrintModules(const BarcodeModules& m) {
    bool digits = true;
    for (const BarElement& e : m.elements) digits = digits && e.width <= 9;
    std::string widths, heights;
    bool shortBars = false;
    for (const BarElement& e : m.elements) {
        if (!digits && !widths.empty()) widths += ' ';
        widths += std::to_string(e.width);
        if (e.kind != ElementKind::Space) heights += e.kind == ElementKind::ShortBar ? 'S' : 'T';
        shortBars = shortBars || e.kind == ElementKind::ShortBar;
    }
    std::printf("%s\n", widths.c_str());
    if (shortBars) std::printf("%s\n", heights.c_str());
}

}  // namespace

// velt-cli barcode TYPE TEXT: one symbol of the reports' barcode component,
// as a PNG or SVG picture with quiet zones around it, or its element widths.
int BarcodeCommand(CliContext& ctx) {
    std::string modulText, ratioText, heightText, pngFile, svgFile;
    const bool haveModul = ctx.TakeOption("--modul", modulText);
    const bool haveRatio = ctx.TakeOption("--ratio", ratioText);
    const bool haveHeight = ctx.TakeOption("--height", heightText);
    const bool png = ctx.TakeOption("--png", pngFile);
    const bool svg = ctx.TakeOption("--svg", svgFile);
    const bool modules = ctx.TakeSwitch("--modules");
    if (ctx.args.size() != 2 || png + svg + modules > 1) return Usage();
    const auto type = BarcodeTypeNamed(ctx.args[0]);
    if (!type) {
        std::fprintf(stderr, "velt-cli: unknown barcode type %s\n", ctx.args[0].c_str());
        return Usage();
    }
    int modul = 1, height = kDefaultHeight;
    double ratio = 2.0;
    if (haveModul && !ParseInt(modulText, kMinModul, kMaxModul, modul)) {
        std::fprintf(stderr, "velt-cli: --modul takes a whole number from %d to %d\n", kMinModul, kMaxModul);
        return kExitUsage;
    }
    if (haveRatio && !ParseRatio(ratioText, ratio)) {
        std::fprintf(stderr, "velt-cli: --ratio takes a positive number\n");
        return kExitUsage;
    }
    if (haveHeight && !ParseInt(heightText, 1, kMaxHeight, height)) {
        std::fprintf(stderr, "velt-cli: --height takes a whole number from 1 to %d\n", kMaxHeight);
        return kExitUsage;
    }
    // The text is given in UTF-8; a character Windows-1250 lacks would travel
    // as an escape, whose bytes no symbol should carry in its place.
    const std::string text = UtfVeltwin().Convert(ctx.args[1]);
    if (text != UtfWin().Convert(ctx.args[1])) {
        std::fprintf(stderr, "velt-cli: the text has a character outside Windows-1250\n");
        return kExitRefused;
    }

    TBarcode bar;
    bar.SetTyp(*type);
    bar.SetText(text);
    bar.SetModul(modul);
    bar.SetRatio(ratio);
    const BarcodeModules m = bar.Modules();
    if (!m.error.empty()) {
        PrintLine(stderr, m.error);
        return kExitRefused;
    }
    if (!png && !svg) {
        PrintModules(m);
        return kExitOk;
    }
    const std::int64_t quiet = static_cast<std::int64_t>(kQuietModules) * modul;
    const std::int64_t width = m.width + 2 * quiet, fullHeight = height + 2 * static_cast<std::int64_t>(modul) * 2;
    if (width > kMaxImageSide || width * fullHeight > kMaxImagePixels) {
        std::fprintf(stderr, "velt-cli: the picture would be %lld pixels wide, more than %d\n",
                     static_cast<long long>(width), kMaxImageSide);
        return kExitRefused;
    }
    bar.SetLeft(static_cast<int>(quiet));
    bar.SetTop(2 * modul);
    bar.SetHeight(height);
    std::string bytes;
    if (png) {
        GreyImage image(static_cast<int>(width), static_cast<int>(fullHeight));
        bar.DrawBarcode(image);
        bytes = EncodeGreyPng(image);
    } else {
        SvgCanvas canvas(static_cast<int>(width), static_cast<int>(fullHeight));
        bar.DrawBarcode(canvas);
        bytes = canvas.Document();
    }
    const std::string& file = png ? pngFile : svgFile;
    if (const std::string error = WriteReportFile(file, bytes); !error.empty()) {
        PrintLine(stderr, error);
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace velt::cli
