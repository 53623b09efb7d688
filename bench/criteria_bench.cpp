// The criteria panel's speed targets: building the panel for a descriptor
// of 40 criteria (its rows, and with the windows built the window's boxes,
// the first criterion's form laid out in its row) under 50 ms; composing its
// query and sending it to velt-server.
//
// velt-server is started on a loopback port with its first criterion a
// form; the descriptor's criteria are repeated to 40 (every fifth one with a
// parameter form). Windows offscreen (QT_QPA_PLATFORM=offscreen unless set).

#include "catalogue/velt_files.h"
#include "criteria/CriteriaPanel.h"
#include "net/SearchRequests.h"
#include "params/HeadlessParameterWindow.h"
#include "params/ParameterForms.h"
#include "search/QueryHistory.h"
#include "support/ServerProcess.h"

#if VELT_BENCH_QT
#include "gui/browse/PictureCache.h"
#include "gui/search/TOknoNoweKryteria.h"

#include <QApplication>
#endif

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

using namespace velt;

namespace {

struct Quiet : Prompts {
    DialogResult ask_question(const std::string&) override { return kYes; }
    DialogResult ask_question_default(const std::string&, DialogResult d) override { return d; }
    DialogResult ask_warning(const std::string&) override { return kYes; }
    void show_error(const std::string&) override {}
    void show_message(const std::string&) override {}
    void show_notice(const std::string&) override {}
    void plain_message(const std::string&) override {}
    void busy(bool) override {}
};

struct Catalogue {
    test::ServerProcess server{[] {
        test::ServerProcess::Options o;
        o.records = 2000;
        o.extra = {"--form-criterion-first"};
        return o;
    }()};
    std::unique_ptr<velt_files> files;
    Quiet prompts;
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms{window, settings, [] { return std::string("/nonexistent-velt/"); }};
    RememberedValues remembered;
    std::unique_ptr<CriteriaPanel> panel;
    std::vector<velt_criterium> own;  // the descriptor's criteria as the server knows them

    Catalogue() {
        if (!server.Ready()) return;
        files = std::make_unique<velt_files>("127.0.0.1", nullptr, true, server.Port());
        if (!files->Ready) return;
        // Forty criteria: the descriptor's own, repeated under new names.
        own = files->Criteria;
        for (int copy = 1; files->Criteria.size() < 40; ++copy)
            for (const velt_criterium& c : own) {
                if (files->Criteria.size() >= 40) break;
                if (&c == &own.front()) continue;  // one form row, first
                velt_criterium more = c;
                more.Name += " " + std::to_string(copy);
                more.Options.clear();
                files->Criteria.push_back(more);
            }
        // What the rows remember: a text in every index row.
        for (const velt_criterium& c : files->Criteria)
            if (c.Type == "INDEX") remembered.Set(c.Name, "C.1|a|C.2|POCZĄTEK|");
        CriteriaPanel::Services s;
        s.prompts = &prompts;
        s.forms = &forms;
        s.directory = "/nonexistent-velt/";
        panel = std::make_unique<CriteriaPanel>(remembered, s);
    }
    bool Ready() const { return files && files->Ready && files->Criteria.size() == 40; }
};

Catalogue& Shared() {
    static Catalogue c;
    return c;
}

void BM_BuildRows40(benchmark::State& state) {
    Catalogue& c = Shared();
    if (!c.Ready()) {
        state.SkipWithError("velt-server did not start");
        return;
    }
    for (auto _ : state) {
        c.panel->BuildRows(*c.files);
        benchmark::DoNotOptimize(c.panel->Rows().size());
        c.panel->ClearRows();
    }
}
BENCHMARK(BM_BuildRows40)->Unit(benchmark::kMillisecond);

#if VELT_BENCH_QT
void BM_BuildWindow40(benchmark::State& state) {
    Catalogue& c = Shared();
    if (!c.Ready()) {
        state.SkipWithError("velt-server did not start");
        return;
    }
    gui::TOknoNoweKryteria window;
    for (auto _ : state) {
        c.panel->BuildRows(*c.files);
        window.BuildPanel(*c.panel);
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.RowBoxes().size());
        window.ClearRows();
        c.panel->ClearRows();
    }
}
BENCHMARK(BM_BuildWindow40)->Unit(benchmark::kMillisecond);
#endif

void BM_ComposeAndSend(benchmark::State& state) {
    Catalogue& c = Shared();
    if (!c.Ready()) {
        state.SkipWithError("velt-server did not start");
        return;
    }
    // The server's own criteria: a query it answers with a collection.
    std::swap(c.files->Criteria, c.own);
    c.panel->BuildRows(*c.files);
    std::string error;
    for (auto _ : state) {
        const std::string query = c.panel->Compose(0);
        const RecordPtr reply = Search(c.files->Connection(), query);
        const SearchOutcome outcome = InterpretSearchReply(reply.get());
        if (!outcome.error.empty() || outcome.collection == 0) error = outcome.error.empty() ? "no collection" : outcome.error;
        benchmark::DoNotOptimize(outcome.collection);
    }
    c.panel->ClearRows();
    std::swap(c.files->Criteria, c.own);
    if (!error.empty()) state.SkipWithError(error.c_str());
}
BENCHMARK(BM_ComposeAndSend)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
#if VELT_BENCH_QT
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    gui::PictureCache::Instance().SetImageDirectory(VELT_PICTURE_DIR "/");
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
