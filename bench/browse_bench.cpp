// Browsing's speed targets:
//  - laying out a 1080-pixel page of cells (display lines as the server
//    writes them) under 2 ms;
//  - a local collection of 1,000,000 numbers: include all, walk all and
//    count under 100 ms together; its "*.num" file saved and restored under
//    1 s each;
//  - a page down against velt-server with VELT_BENCH_RECORDS records
//    (default 1,000,000; seeded once into /tmp/velt-browse-bench-N) whose
//    time is the round trips': the client's own work (its thread's user
//    time) under 5 % of the wall time; likewise a title-word search.

#include "browse/CellLayout.h"
#include "net/SearchRequests.h"
#include "browse/CollectionFile.h"
#include "browse/CollectionSources.h"
#include "browse/VrBrowser.h"
#include "browse/VrCollection.h"
#include "catalogue/velt_files.h"
#include "text/CpLiteral.h"
#include "support/ServerProcess.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

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

const std::string E = "\x1B", S = "\x1A";

std::vector<std::string> BookLines(int i) {
    const std::string n = std::to_string(i);
    return {E + "IJPG okladki/K" + n + ".jpg||" + std::string(600, 'j') + S + E + "Lzapytanie \"autor\" RÓWNY \"Kowalski, Jan\"||Kowalski, Jan" + S + ". " +
                E + "SI" + S + "Dzieje dawnego Krakowa w XIX wieku, tom " + n + E + "S" + S +
                " : szkice historyczne / Jan Kowalski. – Wyd. 2. – Kraków : Wydawnictwo Literackie, 1998.",
            E + "CB" + S + "Sygn. III 1" + n + " – ISBN 83-08-0" + n + "-1" + E + "C0" + S + "  " + E + "Lrekord K" +
                n + " TY||w indeksie tytułów" + S,
            E + "?kolekcja|K" + n + "||kolekcja.bmp"};
}

void BM_LayoutPage(benchmark::State& state) {
    Measurer m;
    LayoutContext c;
    c.width = 1200;
    c.isChecked = [](const std::string&) { return false; };
    const int cells = 1080 / (65 + 2) + 2;
    std::vector<std::vector<std::string>> page;
    for (int i = 0; i < cells; ++i) page.push_back(BookLines(i));
    for (auto _ : state)
        for (const auto& lines : page) benchmark::DoNotOptimize(LayoutCell(lines, c, m));
    state.counters["cells"] = cells;
}
BENCHMARK(BM_LayoutPage)->Unit(benchmark::kMicrosecond);

std::string Dir() {
    static const std::string d = [] {
        const std::string p = "/tmp/velt-browse-bench-" + std::to_string(::getpid()) + "/";
        std::filesystem::create_directories(p);
        return p;
    }();
    return d;
}

void BM_LocalCollectionOfAMillion(benchmark::State& state) {
    for (auto _ : state) {
        VrCollection c(Dir());
        for (std::int64_t r = 1; r <= 1000000; ++r) c.Include(r);
        std::int64_t walked = 0;
        for (std::int64_t n = c.FirstNumber(); n; n = c.NextNumber(n)) ++walked;
        const std::int64_t count = c.CountNumbers();
        if (walked != 1000000 || count != 1000000) state.SkipWithError("wrong count");
    }
}
BENCHMARK(BM_LocalCollectionOfAMillion)->Unit(benchmark::kMillisecond);

void BM_CollectionFileOfAMillion(benchmark::State& state) {
    const IdentifierRules rules(kVelt2, "KOT");
    VrCollection c(Dir());
    for (std::int64_t r = 1; r <= 1000000; ++r) c.Include(r);
    const std::string file = Dir() + "milion.num";
    const bool save = state.range(0) == 0;
    if (!save) SaveCollectionFile(file, c, rules);
    for (auto _ : state) {
        if (save) {
            if (!SaveCollectionFile(file, c, rules).empty()) state.SkipWithError("save failed");
        } else {
            VrCollection back(Dir());
            if (LoadCollectionFile(file, back, rules).included != 1000000) state.SkipWithError("restore failed");
        }
    }
    state.SetLabel(save ? "save" : "restore");
}
BENCHMARK(BM_CollectionFileOfAMillion)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The client's own work: its thread's user time (the kernel's time in the
// socket calls is the round trip's, not the client's).
double ThreadCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return static_cast<double>(u.ru_utime.tv_sec) + static_cast<double>(u.ru_utime.tv_usec) * 1e-6;
}

struct NoHost : BrowserHost {
    void CellsChanged() override {}
    void Defer(std::function<void()> a) override { a(); }
};

void BM_PageDownAgainstTheServer(benchmark::State& state) {
    const char* n = std::getenv("VELT_BENCH_RECORDS");
    test::ServerProcess::Options o;
    o.records = n ? std::atoi(n) : 1000000;
    o.directory = "/tmp/velt-browse-bench-" + std::to_string(o.records);
    std::filesystem::create_directories(o.directory);
    static test::ServerProcess* server = new test::ServerProcess(o);  // seeded once, kept for the run
    if (!server->Ready()) {
        state.SkipWithError("velt-server did not start");
        return;
    }
    velt_files files(std::make_unique<TVeltClient>("127.0.0.1", [](const std::string&, SessionText) {}, server->Port()),
                     true);
    velt_order* index = files.IndexByName("tytuł"_cp);
    if (!index) {
        state.SkipWithError("no title index");
        return;
    }
    velt_serwer source(files, *index, nullptr, nullptr);
    Measurer m;
    NoHost host;
    VrBrowser b(source, m, host, 1200, 1080, 65);
    double cpu = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const double c0 = ThreadCpuSeconds();
        b.PageDown();
        cpu += ThreadCpuSeconds() - c0;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["client_cpu_share_%"] = 100.0 * cpu / wall;
    state.counters["requests_per_page"] = b.CellCount() - 1;
}
BENCHMARK(BM_PageDownAgainstTheServer)->Unit(benchmark::kMillisecond)->Iterations(200);

// A title-word search as RunQuery sends it, and the release of its
// collection: the client's own work against the round trip.
void BM_TitleWordSearchAgainstTheServer(benchmark::State& state) {
    const char* n = std::getenv("VELT_BENCH_RECORDS");
    test::ServerProcess::Options o;
    o.records = n ? std::atoi(n) : 1000000;
    o.directory = "/tmp/velt-browse-bench-" + std::to_string(o.records);
    std::filesystem::create_directories(o.directory);
    static test::ServerProcess* server = new test::ServerProcess(o);
    if (!server->Ready()) {
        state.SkipWithError("velt-server did not start");
        return;
    }
    TVeltClient session("127.0.0.1", [](const std::string&, SessionText) {}, server->Port());
    const char* words[] = {"histori", "krak", "las", "dom", "wiek", "morz", "zamk", "mias"};
    double cpu = 0;
    int i = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const double c0 = ThreadCpuSeconds();
        RecordPtr r = Search(session, "SORTUJ \"\" \"tytuł\"  SŁOWO \""_cp + std::string(words[i++ % 8]) + "\"");
        if (r && r->Count >= 2) ReleaseCollection(session, std::atoi(r->Item(1).c_str()));
        cpu += ThreadCpuSeconds() - c0;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["client_cpu_share_%"] = 100.0 * cpu / wall;
}
BENCHMARK(BM_TitleWordSearchAgainstTheServer)->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace

BENCHMARK_MAIN();
