// Catalogue cards: the layout of 1,000 cards of the reference server's
// generated catalogue (its own card texts: notes, contents, tracings,
// central cards, added entries) with the metrics built into the core and,
// with the windows built, with Qt's on a PDF printer at 1200 pixels an
// inch, as the card window measures them. Target: under 200 ms. With the
// windows built, the cards printed into a PDF file of pages of the card's
// size, 1,000 and 4,000 cards, with the peak memory after each (flat: the
// pages go to the file as they are drawn).

#include "CardReport.h"
#include "Seeder.h"

#include "cards/CardLayout.h"
#include "cards/StandardFaces.h"

#include <benchmark/benchmark.h>

#if VELT_BENCH_QT
#include "gui/print/CardPrint.h"

#include <QGuiApplication>
#include <QPrinter>
#endif

#include <sys/resource.h>
#include <unistd.h>

#include <string>
#include <vector>

using namespace velt;

namespace {

// The card text of the first books of a generated catalogue, up to cards cards.
std::vector<std::string> CardText(std::size_t cards) {
    const server::SeedCounts counts = server::CountsFor(5000);
    std::vector<std::string> text;
    std::size_t made = 0;
    for (std::uint32_t seq = 1; made < cards; ++seq) {
        const std::vector<std::string> lines = server::CardLines(server::RecordText::Parse(server::BookText(seq, counts)));
        for (const std::string& line : lines) {
            if (line == "[KARTA]" || line == "[KARTA_CENTRALNA]") {
                if (made == cards) break;
                ++made;
            }
            text.push_back(line);
        }
    }
    return text;
}

void LayOut(benchmark::State& state, CardMeasurer& measurer, int screen) {
    const std::vector<std::string> text = CardText(1000);
    const std::vector<CardRange> cards = FindCards(text);
    CardLayout layout({}, screen, measurer);
    long pages = 0, lines = 0;
    for (auto _ : state) {
        pages = lines = 0;
        int number = 0;
        for (const CardRange& range : cards) {
            const LaidOutCard card = layout.GenLines(text, range, ++number);
            pages += card.ZliczStrony();
            lines += static_cast<long>(card.lines.size());
        }
        benchmark::DoNotOptimize(lines);
    }
    state.counters["cards"] = static_cast<double>(cards.size());
    state.counters["pages"] = static_cast<double>(pages);
    state.counters["lines"] = static_cast<double>(lines);
}

void BM_CardLayout1000StandardFaces(benchmark::State& state) {
    StandardFaceMeasurer measurer(1270);
    LayOut(state, measurer, 254);
}
BENCHMARK(BM_CardLayout1000StandardFaces)->Unit(benchmark::kMillisecond);

#if VELT_BENCH_QT
void BM_CardLayout1000QtOnAPrinter(benchmark::State& state) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    gui::QtCardMeasurer measurer(printer);
    LayOut(state, measurer, 96);
}
BENCHMARK(BM_CardLayout1000QtOnAPrinter)->Unit(benchmark::kMillisecond);

// Every card laid out on the printer and printed into one PDF file; the
// process's peak memory after it.
void BM_CardsPdf(benchmark::State& state) {
    const std::vector<std::string> text = CardText(static_cast<std::size_t>(state.range(0)));
    const std::string file = "/tmp/velt_cards_bench_" + std::to_string(::getpid()) + ".pdf";
    gui::CardPrintRequest request;
    request.text = &text;
    std::vector<std::string> messages;
    for (auto _ : state) {
        const std::string error = gui::WriteCardsPdf(file, {}, 96, 1200, request, nullptr, messages);
        if (!error.empty()) state.SkipWithError(error.c_str());
    }
    state.counters["pdf_MB"] = 0;
    if (std::FILE* f = std::fopen(file.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        state.counters["pdf_MB"] = static_cast<double>(std::ftell(f)) / (1024.0 * 1024.0);
        std::fclose(f);
    }
    ::unlink(file.c_str());
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["cards"] = static_cast<double>(state.range(0));
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_CardsPdf)->Arg(1000)->Arg(4000)->Iterations(1)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

int main(int argc, char** argv) {
#if VELT_BENCH_QT
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
