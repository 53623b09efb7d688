// The link schema of the record with 300 parts against velt-server on
// loopback: the tree built (the structure entry asked and read), and, with
// the windows built, the tree built and drawn in the schema window's tree
// (the nodes made, expanded, the selected one scrolled to, and painted).
// The catalogue has VELT_BENCH_RECORDS books (default 2,000) and the
// server's hierarchies after them.

#include "catalogue/velt_files.h"
#include "links/LinkTree.h"

#include "support/ServerProcess.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

#if VELT_BENCH_QT
#include "gui/browse/QtCellMeasurer.h"
#include "gui/common/PlainMessage.h"
#include "gui/links/LinkTreeWidget.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#endif

namespace {

using namespace velt;

std::uint32_t Books() {
    const char* n = std::getenv("VELT_BENCH_RECORDS");
    return n ? static_cast<std::uint32_t>(std::atol(n)) : 2000;
}

test::ServerProcess& Server() {
    static test::ServerProcess* server = [] {
        test::ServerProcess::Options o;
        o.records = static_cast<int>(Books());
        o.hierarchies = true;
        return new test::ServerProcess(o);
    }();
    return *server;
}

// The last of the 300 parts: the series is the last hierarchy seeded.
std::string LastPart() { return "K" + std::to_string(Books() + 339); }

struct Catalogue {
    velt_files files{std::make_unique<TVeltClient>("127.0.0.1", nullptr, Server().Port()), true};
    std::int32_t structure = files.FormatByType("struktura");
    std::string record = files.StoredIdentifier(LastPart());
};

void BM_BuildTreeOf300Parts(benchmark::State& state) {
    if (!Server().Ready()) {
        state.SkipWithError(Server().Why().c_str());
        return;
    }
    Catalogue c;
    for (auto _ : state) {
        const LinkTreeBuild tree = TreeFromStructure(c.files, c.structure, c.record);
        if (tree.nodes.size() != 301 || tree.selected != 300) state.SkipWithError("not the tree of 301 nodes");
        benchmark::DoNotOptimize(tree.nodes.data());
    }
}
BENCHMARK(BM_BuildTreeOf300Parts)->Unit(benchmark::kMillisecond);

#if VELT_BENCH_QT
void BM_BuildAndDrawTreeOf300Parts(benchmark::State& state) {
    if (!Server().Ready()) {
        state.SkipWithError(Server().Why().c_str());
        return;
    }
    Catalogue c;
    gui::QtCellMeasurer measurer(QApplication::font(),
                                 QCoreApplication::applicationDirPath().toStdString() + "/../src/app/");
    gui::LinkTreeWidget tree(measurer);
    tree.resize(500, 700);
    tree.show();
    QImage image(tree.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const LinkTreeBuild built = TreeFromStructure(c.files, c.structure, c.record);
        tree.ShowNodes(built.nodes, built.selected);
        QPainter p(&image);
        tree.render(&p);
    }
}
BENCHMARK(BM_BuildAndDrawTreeOf300Parts)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

int main(int argc, char** argv) {
#if VELT_BENCH_QT
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A picture that is missing is no box to wait on here.
    velt::gui::SetPlainMessageHandler([](const std::string&) {});
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
