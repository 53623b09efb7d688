// Table reports: reading a 10,000-line SRP text and laying out all its
// pages (texts, rules, frames, an EAN-13 barcode a line) on a canvas that
// measures with fixed metrics and counts its marks. Target: under 1 s.

#include "reports/tbl_report.h"

#include <benchmark/benchmark.h>

#if VELT_BENCH_QT
#include "gui/print/QtReportCanvas.h"

#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#endif

#include <sys/resource.h>
#include <unistd.h>

#include <string>
#include <vector>

using namespace velt;

namespace {

class CountingCanvas : public ReportCanvas {
public:
    void FillRect(const CanvasRect&, CanvasColour) override { ++marks; }
    void DrawText(int, int, std::string_view text) override { marks += static_cast<long>(text.size() > 0); }
    void DrawLine(int, int, int, int, int) override { ++marks; }
    void DrawFrame(const CanvasRect&, int) override { ++marks; }
    void NewPage() override { ++pages; }
    long marks = 0, pages = 0;
};

const std::vector<std::string> kDescription = {
    "[REPORT 1000 ALIGN=STANDARD]",
    "[HEADER 100]",
    "TEXT %0 0 0 SIZE=20 BOLD",
    "TEXT %D 1000 0 RIGHT",
    "TEXT #Lista_tytulow 0 30 SIZE=18",
    "TEXT #Strona_%P 1000 30 RIGHT",
    "TEXT #Wydawca:_&wydawca 0 60 BOLD",
    "BOX 0 85 1000 15 BOLD",
    "[LINE 60]",
    "V 0 0 60",
    "V 160 0 60",
    "V 785 0 60",
    "H 0 60 1000",
    "TEXT &sygnatura 5 5 LIMIT 150",
    "TEXT &tytul 165 5 JUST 610 36",
    "TEXT &autor 165 42 SIZE=12 LIMIT 610 WHEN &autor",
    "BAR &ean 795 4 195 38 MODE=15 WHEN &ean",
    "TEXT &isbn 795 44 SIZE=12 WHEN &isbn",
    "[FOOTER 40]",
    "TEXT #Pozycji:_&lp 0 10 SIZE=12 LAST",
    "[END]",
};

std::vector<std::string> Rows(int count) {
    std::vector<std::string> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        rows.push_back(std::string(i % 40 == 0 ? "*" : "") + "&tytul=Historia ksiazki numer " + std::to_string(i) +
                       " w dwoch tomach z ilustracjami i mapami&autor=Nowak, Jan&wydawca=Wydawnictwo " +
                       std::to_string(i / 40) + "&sygnatura=II " + std::to_string(10000 + i) +
                       "&isbn=978-83-7000-123-4&ean=9788370001234&lp=" + std::to_string(i % 40 + 1));
    }
    return rows;
}

void BM_TableReportLayout10000(benchmark::State& state) {
    const std::vector<std::string> rows = Rows(10000);
    long pages = 0;
    for (auto _ : state) {
        tbl_report report("Lista", kDescription, rows);
        CountingCanvas canvas;
        const std::string error = report.Print(canvas, PrinterPage{300, 2480, 3508});
        if (!error.empty()) state.SkipWithError(error.c_str());
        pages = canvas.pages + 1;
        benchmark::DoNotOptimize(canvas.marks);
    }
    state.counters["pages"] = static_cast<double>(pages);
    state.counters["rows"] = 10000;
}
BENCHMARK(BM_TableReportLayout10000)->Unit(benchmark::kMillisecond);

void BM_TableReportPreviewSheets10000(benchmark::State& state) {
    tbl_report report("Lista", kDescription, Rows(10000));
    for (auto _ : state) {
        CountingCanvas canvas;
        for (const ReportSheet& sheet : report.Sheets()) report.DrawSheet(canvas, sheet);
        benchmark::DoNotOptimize(canvas.marks);
    }
}
BENCHMARK(BM_TableReportPreviewSheets10000)->Unit(benchmark::kMillisecond);

#if VELT_BENCH_QT
// A report printed to a PDF file through QPrinter page by page; the peak
// memory of the process after it (the data lines themselves included).
void BM_TableReportPdf(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    tbl_report report("Lista", kDescription, Rows(rows));
    const std::string file = "/tmp/velt_report_bench_" + std::to_string(::getpid()) + ".pdf";
    long pages = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file));
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setFullPage(true);
        const QRect paper = printer.pageLayout().fullRectPixels(printer.resolution());
        QPainter painter(&printer);
        pages = 1;
        velt::gui::QtReportCanvas canvas(painter, [&] {
            printer.newPage();
            ++pages;
        });
        const std::string error = report.Print(canvas, PrinterPage{printer.resolution(), paper.width(), paper.height()});
        painter.end();
        if (!error.empty()) state.SkipWithError(error.c_str());
    }
    ::unlink(file.c_str());
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["pages"] = static_cast<double>(pages);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_TableReportPdf)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
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
