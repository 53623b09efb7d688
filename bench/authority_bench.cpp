// The authority lookup's speed target: from a pause in typing to the list
// redrawn from the heading typed, against velt-server on loopback (one
// seek, and the browser's panel filled from it) under 20 ms. The catalogue
// has VELT_BENCH_RECORDS books (default 100,000; seeded once into
// /tmp/velt-authority-bench-N).

#include "authority/AuthorityEntries.h"
#include "authority/AuthorityLookup.h"
#include "browse/VrBrowser.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "text/CpLiteral.h"
#include "support/ServerProcess.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace velt;

struct Measurer : CellMeasurer {
    int FontHeight() const override { return 15; }
    int TextWidth(std::string_view text, const TextStyle& style) const override {
        return static_cast<int>(std::lround(static_cast<double>(text.size()) * (style.bold ? 8 : 7) * style.factor));
    }
    int TextHeight(const TextStyle&) const override { return 17; }
    int ScrollBarWidth() const override { return 16; }
    PictureInfo FilePicture(const std::string& n) override { return {16, 16, n}; }
    PictureInfo CarriedPicture(const std::string&) override { return {32, 40, "j"}; }
};

struct NoHost : BrowserHost {
    void CellsChanged() override {}
    void Defer(std::function<void()> a) override { a(); }
};

struct Quiet : Prompts {
    DialogResult ask_question(const std::string&) override { return kNo; }
    DialogResult ask_question_default(const std::string&, DialogResult d) override { return d; }
    DialogResult ask_warning(const std::string&) override { return kCancel; }
    void show_error(const std::string&) override {}
    void show_message(const std::string&) override {}
    void show_notice(const std::string&) override {}
    void plain_message(const std::string&) override {}
    void busy(bool) override {}
};

// The window as a browser of the panel's size over the lookup's source.
struct Window : AuthorityLookupView {
    Measurer measurer;
    NoHost host;
    std::unique_ptr<VrBrowser> browser;
    void ShowSearchText(const std::string&) override {}
    void ShowFoundTerm(const std::string&) override {}
    void ShowEntry(const std::string& key) override {
        if (!browser) return;
        browser->ShowKey(key);
        browser->Select(key);
    }
    void ListChanged() override {}
    void Accept() override {}
    void Reject() override {}
};

test::ServerProcess& Server() {
    const char* n = std::getenv("VELT_BENCH_RECORDS");
    test::ServerProcess::Options o;
    o.records = n ? std::atoi(n) : 100000;
    o.directory = "/tmp/velt-authority-bench-" + std::to_string(o.records);
    std::filesystem::create_directories(o.directory);
    static test::ServerProcess* server = new test::ServerProcess(o);  // seeded once, kept for the run
    return *server;
}

void BM_PauseInTypingToTheListRedrawn(benchmark::State& state) {
    test::ServerProcess& server = Server();
    if (!server.Ready()) {
        state.SkipWithError("velt-server did not start");
        return;
    }
    velt_files files(std::make_unique<TVeltClient>("127.0.0.1", [](const std::string&, SessionText) {}, server.Port()),
                     true);
    const velt_KHW* persons = FindAuthorityFile(files, "KHWO");
    if (!persons) {
        state.SkipWithError("no authority file");
        return;
    }
    Window window;
    Quiet prompts;
    AuthorityLookup lookup(files, *persons, 'K', window, prompts, nullptr);
    lookup.Start("");
    window.browser = std::make_unique<VrBrowser>(lookup.Source(), window.measurer, window.host, 520, 300, 30);
    const std::string typed[] = {"Prus", "Kowal", "Nowak", "Głow"_cp, "Wiśn"_cp, "Lewand", "Zieli", "Mazur"};
    std::size_t i = 0;
    const int before = lookup.Seeks();
    const long requestsBefore = server.Count("55");
    for (auto _ : state) lookup.TypingPaused(typed[i++ % 8]);
    state.counters["seeks_per_pause"] = static_cast<double>(lookup.Seeks() - before) / static_cast<double>(state.iterations());
    state.counters["seek_requests_per_pause"] =
        static_cast<double>(server.Count("55") - requestsBefore) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PauseInTypingToTheListRedrawn)->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace

BENCHMARK_MAIN();
