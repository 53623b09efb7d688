// Barcodes: building an EAN-13 pattern (target: under 1 µs) and drawing
// 1,000 labels with a barcode each onto a page image (target: under 100 ms),
// on the core's grey picture and, with the windows built, on a QImage
// through the Qt canvas.

#include "reports/GreyImage.h"
#include "reports/TBarcode.h"

#if VELT_BENCH_QT
#include "gui/print/QtReportCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#endif

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace velt;

namespace {

// An A4 page at 300 dpi holds 3 × 10 labels of 800 × 350 pixels.
constexpr int kPageWidth = 2480, kPageHeight = 3508;
constexpr int kLabelWidth = 800, kLabelHeight = 350, kColumns = 3, kRows = 10;
constexpr int kLabels = 1000;

void Ean13Pattern(benchmark::State& state) {
    for (auto _ : state) {
        BarcodePattern p = BuildBarcodePattern(bcCodeEAN13, "5901234123457");
        benchmark::DoNotOptimize(p.pattern.data());
    }
}
BENCHMARK(Ean13Pattern);

void Ean13Modules(benchmark::State& state) {
    for (auto _ : state) {
        BarcodeModules m = EncodeBarcode(bcCodeEAN13, "5901234123457", 1, 2.0);
        benchmark::DoNotOptimize(m.elements.data());
    }
}
BENCHMARK(Ean13Modules);

void Code128Modules(benchmark::State& state) {
    for (auto _ : state) {
        BarcodeModules m = EncodeBarcode(bcCode128B, "KR-2024/000123456 bib", 1, 2.0);
        benchmark::DoNotOptimize(m.elements.data());
    }
}
BENCHMARK(Code128Modules);

// 1,000 labels, each a new EAN-13 (a running number with its check digit
// computed) stretched over the label's width, laid out page after page.
void DrawLabels(ReportCanvas& canvas) {
    TBarcode bar;
    bar.SetTyp(bcCodeEAN13);
    bar.SetHeight(kLabelHeight - 100);
    char digits[16];
    for (int i = 0; i < kLabels; ++i) {
        std::snprintf(digits, sizeof digits, "590%09d", 123000 + i);
        bar.SetText(digits);
        const int place = i % (kColumns * kRows);
        bar.SetLeft(40 + place % kColumns * kLabelWidth + 50);
        bar.SetTop(50 + place / kColumns * kLabelHeight + 50);
        bar.SetWidth(kLabelWidth - 100);
        if (!bar.DrawBarcode(canvas).empty()) std::abort();
    }
}

void Draw1000LabelsOnGreyImage(benchmark::State& state) {
    GreyImage page(kPageWidth, kPageHeight);
    for (auto _ : state) {
        DrawLabels(page);
        benchmark::DoNotOptimize(page.Pixels().data());
    }
    state.SetItemsProcessed(state.iterations() * kLabels);
}
BENCHMARK(Draw1000LabelsOnGreyImage)->Unit(benchmark::kMillisecond);

#if VELT_BENCH_QT
// The preview's page: 32-bit colour writes four bytes a pixel, so the white
// boxes alone move 700 MB here.
void Draw1000LabelsOnQImage(benchmark::State& state, QImage::Format format) {
    QImage page(kPageWidth, kPageHeight, format);
    page.fill(Qt::white);
    for (auto _ : state) {
        QPainter painter(&page);
        gui::QtReportCanvas canvas(painter);
        DrawLabels(canvas);
        painter.end();
        benchmark::DoNotOptimize(page.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kLabels);
}
BENCHMARK_CAPTURE(Draw1000LabelsOnQImage, rgb32, QImage::Format_RGB32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Draw1000LabelsOnQImage, grayscale8, QImage::Format_Grayscale8)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

int main(int argc, char** argv) {
#if VELT_BENCH_QT
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
