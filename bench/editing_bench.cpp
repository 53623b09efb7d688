// Record editing's speed target: from "Otwórz rekord" to the laid-out form
// of a 300-field record (the kind's form loaded at the login) under 100 ms
// on loopback; the save round trip beside it, which the server dominates.
// Each is measured over headless controls (the core's share) and, with the
// windows built, into the editing window's Qt widgets offscreen.

#include "net/RecordRequests.h"
#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "forms/HeadlessControls.h"
#include "net/TVeltClient.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"

#include "support/ServerProcess.h"

#if VELT_BENCH_QT
#include "gui/editing/Tokno_edycji.h"
#include <QApplication>
#endif

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>

using namespace velt;

namespace {

struct QuietPrompts : Prompts {
    DialogResult ask_question(const std::string&) override { return kNo; }
    DialogResult ask_question_default(const std::string&, DialogResult) override { return kNo; }
    DialogResult ask_warning(const std::string&) override { return kNo; }
    void show_error(const std::string&) override { ++errors; }
    void show_message(const std::string&) override {}
    void show_notice(const std::string&) override {}
    void plain_message(const std::string&) override {}
    void busy(bool) override {}
    int errors = 0;
};

struct HeadlessPage : SheetView {
    explicit HeadlessPage(HeadlessControls& c) : controls(c), root(c.MakeRoot({0, 0, 800, 600})) {}
    FormControl& FormParent() override { return *root; }
    ControlFactory& Controls() override { return controls; }
    void SetCaption(const std::string&) override {}
    int ClientHeight() override { return 600; }
    void SetFormSize(int, int) override {}
    void ShowErrors(const std::vector<std::string>&) override {}
    void ShowHelp(const std::vector<std::string>&) override {}
    void SetPageVisible(bool) override {}
    HeadlessControls& controls;
    std::unique_ptr<HeadlessControl> root;
};

struct HeadlessWindow : EditorView {
    void SessionChanged(TEdycja*) override {}
    std::unique_ptr<SheetView> AddSheet() override { return std::make_unique<HeadlessPage>(controls); }
    void ShowSheet(SheetView&) override {}
    void ShowWindow() override {}
    void HideWindow() override {}
    void MaximiseWindow() override {}
    void KindsChanged() override {}
    void ShowFormMessages(const std::vector<FormMessage>&) override {}
    HeadlessControls controls;
};

constexpr char kRecord[] = "K7";

// A server whose record K7 carries 300 fields: its own and 280 parts of
// its contents ("505Z.1.1.n.1") and co-authors.
test::ServerProcess& Server() {
    static test::ServerProcess* server = [] {
        auto* s = new test::ServerProcess();
        if (!s->Ready()) return s;
        TVeltClient c("127.0.0.1", nullptr, s->Port());
        c.Login("admin", "admin", "");
        const Answers opened = EditRequest(c, 'O', {kRecord});
        const my_record r = ParseRecordText(opened[2]);
        std::string lines;
        for (std::size_t i = r.fields().size(), n = 1; i < 300; ++i, ++n)
            lines += (n <= 250 ? "505Z.1.1." + std::to_string(n) + ".1=Część "_cp + std::to_string(n)
                               : "700Z.1.1." + std::to_string(n - 250) + ".1=^aAutor " + std::to_string(n)) +
                     "\r";
        EditRequest(c, 'U', {kRecord, lines});
        return s;
    }();
    return *server;
}

// A librarian's editing session on the shared server, its record kinds loaded.
struct EditingSession {
    velt_files files;
    QuietPrompts prompts;
    std::optional<TEdycja> editing;
    EditingSession(int port, EditorView& window) : files("127.0.0.1", nullptr, true, port) {
        files.Connection().Login("bibliotekarz", "bibliotekarz", "modyfikowanie");
        files.LoadDescriptor();
        editing.emplace(files, prompts, window, EditingNotifications{});
        editing->StartEditing({});
    }
};

void OpenAndLayOut(benchmark::State& state, EditorView& window) {
    test::ServerProcess& server = Server();
    if (!server.Ready()) {
        state.SkipWithError("velt-server did not start");
        return;
    }
    EditingSession session(server.Port(), window);
    TEdycja& editing = *session.editing;
    std::size_t fields = 0;
    for (auto _ : state) {
        editing.OpenRecord("K", kRecord);
        state.PauseTiming();
        if (editing.SheetCount() != 1) {
            state.SkipWithError("the record did not open");
            break;
        }
        fields = editing.ActiveSheet()->Record().fields().size();
        editing.CloseActive();
        state.ResumeTiming();
    }
    state.counters["fields"] = static_cast<double>(fields);
}

void SaveRoundTrip(benchmark::State& state, EditorView& window) {
    test::ServerProcess& server = Server();
    if (!server.Ready()) {
        state.SkipWithError("velt-server did not start");
        return;
    }
    EditingSession session(server.Port(), window);
    TEdycja& editing = *session.editing;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editing.OpenRecord("K", kRecord);
        if (editing.SheetCount() != 1) {
            state.SkipWithError("the record did not open");
            break;
        }
        editing.ActiveSheet()->Record().SetValue("250Z.1.1.1.1", "Wyd. " + std::to_string(++n));
        state.ResumeTiming();
        editing.SaveActive();
    }
    if (session.prompts.errors) state.SkipWithError("a save was refused");
}

void BM_OpenRecordOf300FieldsHeadless(benchmark::State& state) {
    HeadlessWindow window;
    OpenAndLayOut(state, window);
}
BENCHMARK(BM_OpenRecordOf300FieldsHeadless)->Unit(benchmark::kMillisecond);

void BM_SaveRecordOf300FieldsHeadless(benchmark::State& state) {
    HeadlessWindow window;
    SaveRoundTrip(state, window);
}
BENCHMARK(BM_SaveRecordOf300FieldsHeadless)->Unit(benchmark::kMillisecond);

#if VELT_BENCH_QT
void BM_OpenRecordOf300FieldsQt(benchmark::State& state) {
    gui::Tokno_edycji window;
    OpenAndLayOut(state, window);
}
BENCHMARK(BM_OpenRecordOf300FieldsQt)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

int main(int argc, char** argv) {
#if VELT_BENCH_QT
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
