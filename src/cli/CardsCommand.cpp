// velt-cli cards: the catalogue cards of a KARTA report (or of a card text
// file) laid out as the card window lays them out and printed as it prints
// them: every card page on a PDF page of the card's size, or the laid-out
// lines as text. The faces are measured with the metrics built into the
// core (those of the standard faces), so that the lines need no font
// library and the PDF has them where the lines say.

#include "CliContext.h"
#include "PrintModule.h"
#include "ReportRun.h"

#include "cards/CardDrawing.h"
#include "cards/CardLayout.h"
#include "cards/StandardFaces.h"
#include "reports/CatalogueCards.h"
#include "reports/ReportDelivery.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace velt::cli {

namespace {

// A screen pixel a tenth of a millimetre, the PDF at five of them a pixel.
constexpr int kScreen = 254;
constexpr int kResolution = 1270;

int Usage() {
    std::fprintf(stderr,
                 "usage: velt-cli ... cards (--report NAME (--record ID | --remote QUERY | --local NUMFILE) | --text FILE)\n"
                 "                   [--settings INI] (--out FILE.pdf | --lines)\n");
    return kExitUsage;
}

struct KeptLines : CatalogueCards {
    std::vector<std::string> lines;
    void KartaKatalogowa(std::vector<std::string> text) override { lines = std::move(text); }
};

// The lines of a card text file, read as the program reads a work file.
bool ReadTextFile(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string bytes(kMaxCardReport, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    lines = CardReportLines(bytes);
    return true;
}

// A layout message on stderr, its line break as one.
void Tell(const std::string& message) {
    std::string text = message;
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
    PrintLine(stderr, text);
}

}  // namespace

int CardsCommand(CliContext& ctx) {
    std::string report, text, settingsFile, out;
    ReportScopeOptions scope;
    const bool hasReport = ctx.TakeOption("--report", report);
    const bool hasText = ctx.TakeOption("--text", text);
    const int scopes = ctx.TakeOption("--record", scope.record) + ctx.TakeOption("--remote", scope.remote) +
                       ctx.TakeOption("--local", scope.local);
    const bool hasSettings = ctx.TakeOption("--settings", settingsFile);
    const bool hasOut = ctx.TakeOption("--out", out);
    const bool lines = ctx.TakeSwitch("--lines");
    if (!ctx.args.empty() || hasReport == hasText || (hasReport && scopes != 1) || (hasText && scopes != 0) ||
        hasOut == lines)
        return Usage();
    // The printing module is loaded only to print.
    std::string why;
    PrintModule* printing = hasOut ? LoadPrintModule(why) : nullptr;
    if (hasOut && !printing) {
        std::fprintf(stderr, "velt-cli: no printing (%s)\n", why.c_str());
        return kExitUsage;
    }

    struct stat st {};
    if (hasSettings && ::stat(settingsFile.c_str(), &st) != 0) {
        PrintLine(stderr, "Błąd otwarcia pliku "_cp + settingsFile);
        return kExitRefused;
    }
    const CardSettings settings = ReadCardSettings(hasSettings ? settingsFile : CardSettingsPath());

    std::vector<std::string> cardText;
    if (hasText) {
        if (!ReadTextFile(text, cardText)) {
            PrintLine(stderr, "Błąd otwarcia pliku "_cp + text);
            return kExitRefused;
        }
    } else {
        ReportRun run;
        if (const int rc = RunReport(ctx, report, scope, run); rc != kExitOk) return rc;
        if (ParseReportKind(run.report.Language) != ReportKind::Karta) {
            ::unlink(run.work.c_str());
            PrintLine(stderr, "Zestawienie \""_cp + run.report.Name + "\" nie daje kart katalogowych"_cp);
            return kExitRefused;
        }
        KeptLines kept;
        if (const std::string error = HandOverCardReport(run.work, kept); !error.empty()) {
            PrintLine(stderr, error);
            return kExitRefused;
        }
        cardText = std::move(kept.lines);
    }
    const std::vector<CardRange> cards = FindCards(cardText);
    if (cards.empty()) {
        PrintLine(stderr, "Pusta zawartość karty"_cp);
        return kExitRefused;
    }

    StandardFaceMeasurer measurer(kResolution);
    if (lines) {
        CardLayout layout(settings, kScreen, measurer);
        const CardGeometry& g = layout.Geometry();
        int number = 0;
        for (const CardRange& range : cards) {
            const LaidOutCard card = layout.GenLines(cardText, range, ++number);
            for (const std::string& m : card.messages) Tell(m);
            int page = 1;
            for (const TLiniaKarty& line : card.lines) {
                int x = line.x + (line.indented ? line.indent : 0), y = line.y;
                if (line.kind == card_kind::kBranch) BranchCellOrigin(g, line.x, line.y, x, y);
                PrintLine(stdout, std::to_string(number) + "\t" + std::to_string(page) + "\t" + line.kind + "\t" +
                                      std::to_string(x) + "\t" + std::to_string(y) + "\t" + line.text);
                if (line.kind == card_kind::kContinued) ++page;
            }
        }
        return kExitOk;
    }
    std::vector<std::string> messages;
    const std::string error = printing->CardsPdf(cardText, settings, kScreen, kResolution, measurer, out, messages);
    for (const std::string& m : messages) Tell(m);
    if (!error.empty()) {
        PrintLine(stderr, error);
        return kExitRefused;
    }
    return kExitOk;
}

}  // namespace velt::cli
