// The Z39.50 import window's speed target: from "Wykonaj" in the query form
// to the first result drawn, against Zebra over the MARC 21 sample on this
// machine, under 100 ms beyond the server's own answer. The server's answer
// (the association, the search and the first Present, as the window asks
// for them) is measured alone beside it, so the window's share is the
// difference of the two.
//
// Windows offscreen (QT_QPA_PLATFORM=offscreen unless set); Zebra is
// started on a loopback port by the tests' support (zebrasrv, zebraidx and
// the MARC 21 sample must be installed, else the benchmarks are skipped).

#include "gui/browse/BrowserView.h"
#include "gui/browse/PictureCache.h"
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/GuiPrompts.h"
#include "gui/import/TOknoZ3950.h"
#include "gui/params/TOknoParametrow.h"
#include "import/RpnQuery.h"
#include "import/Z3950Client.h"
#include "lang/TMultiIniFile.h"
#include "params/ParameterForms.h"
#include "support/TempDir.h"
#include "support/Z3950Server.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>

using namespace velt;

namespace {

test::Z3950Server& Zebra() {
    static test::Z3950Server server(test::Z3950Server::Kind::Zebra);
    return server;
}

// No catalogue and no editor: the search alone.
struct NoHost : Z3950Host {
    velt_files* Catalogue() override { return nullptr; }
    ImportEditor* Editor() override { return nullptr; }
    const ConverterModules* Converters() override { return nullptr; }
};

// The association, the search of the title word and the Present of the
// browser's first window of records: what the server answers.
void BM_ServerAnswer(benchmark::State& state) {
    if (!Zebra().Ready()) {
        state.SkipWithError(Zebra().Why().c_str());
        return;
    }
    const std::string rpn = EncodeOperand(EncodeAttributesPlusTerm({{kBib1Use, 4}}, "computer"));
    for (auto _ : state) {
        Z3950Client client;
        if (!client.OpenAssociation("127.0.0.1", Zebra().Port(), "", "")) {
            state.SkipWithError("no association");
            return;
        }
        if (!client.SendSearch("Default", rpn).empty()) {
            state.SkipWithError("search refused");
            return;
        }
        client.FetchRecords(1 - Z3950Client::kWindow, 2 * Z3950Client::kWindow + 1);
        benchmark::DoNotOptimize(client.HeldCount());
    }
}
BENCHMARK(BM_ServerAnswer)->Unit(benchmark::kMillisecond);

// "Wykonaj" pressed in the query form to the window's browser painted with
// the first records: the form closing, the search behind the progress
// window, the browser made, its records fetched, laid out and drawn.
void BM_WykonajToFirstResultDrawn(benchmark::State& state) {
    if (!Zebra().Ready()) {
        state.SkipWithError(Zebra().Why().c_str());
        return;
    }
    test::TempDir dir;
    const std::string ini = dir.Write("VELT_TCP.INI", "[Z3950_KATALOG_ZEBRA]\r\nnazwa=Zebra\r\nip=127.0.0.1\r\nport=" +
                                                          std::to_string(Zebra().Port()) + "\r\nbaza=Default\r\n");
    gui::TOknoParametrow parameters(gui::GuiPrompts::Instance());
    FormSettings settings;
    ParameterForms forms(parameters, settings, [] { return std::string(); });
    gui::QtCellMeasurer measurer(QApplication::font(), VELT_PICTURE_DIR "/");
    NoHost host;
    gui::TOknoZ3950 window(host, gui::GuiPrompts::Instance(), gui::GuiPrompts::Instance(), forms, measurer);
    window.Model().ReadConfiguration(TMultiIniFile(ini), {});
    window.BuildMenus();
    window.Open();
    QApplication::processEvents();
    for (auto _ : state) {
        std::chrono::steady_clock::time_point start;
        auto* timer = new QTimer;
        timer->setInterval(1);
        QObject::connect(timer, &QTimer::timeout, [&, timer] {
            if (!parameters.isVisible() || !parameters.Shown()) return;
            timer->stop();
            timer->deleteLater();
            parameters.Shown()->Record().SetValue("T.2", "computer");
            start = std::chrono::steady_clock::now();
            parameters.Button1->click();
        });
        timer->start();
        window.Model().Query();
        if (!window.Browser() || !window.Browser()->Browser()) {
            state.SkipWithError("no result drawn");
            return;
        }
        window.Browser()->repaint();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_WykonajToFirstResultDrawn)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // The browser's buttons are the program's pictures.
    velt::gui::PictureCache::Instance().SetImageDirectory(VELT_PICTURE_DIR "/");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
