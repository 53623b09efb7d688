// The forms' speed targets: reading a 1,000-line description (under 2 ms);
// laying a 300-field form with a list over 999 occurrences out for a record
// into Qt widgets offscreen (under 50 ms); scrolling that list by one row
// (under 5 ms). The headless layout is measured beside, as the core's share.

#include "forms/ContainerEditors.h"
#include "forms/FormReader.h"
#include "forms/HeadlessControls.h"
#include "forms/my_editor.h"
#include "text/my_record.h"

#if VELT_BENCH_QT
#include "gui/forms/FormSheet.h"
#include <QApplication>
#endif

#include <benchmark/benchmark.h>

#include <string>

using namespace velt;

namespace {

std::string ThousandLines() {
    std::string s = "BEGIN\n";
    for (int i = 0; i < 998; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 8) {
        case 0: s += " LABEL 'Pole " + n + "' ON 2, " + n + " * 22 + 2\n"; break;
        case 1: s += " FIELD '" + n + "Z.1.1.1.1' LIMIT 80 ON 100, (" + n + " - 1) * 22, 300 { a comment }\n"; break;
        case 2: s += " DATE 'D" + n + "' ON 420, " + n + " * 22, 80\n"; break;
        case 3: s += " NUMBER 'N" + n + "' MASK 8, 2 ON 520, " + n + " * 22, 80\n"; break;
        case 4: s += " COMBO 'C" + n + "' MASK 'A|Alfa|B|Beta|C|Gamma|' ON 620, " + n + " * 22, 100\n"; break;
        case 5: s += " MEMO 'M" + n + "' MULTILINE LIMIT 500 ON 2, " + n + " * 22, 600, 469 - 300\n"; break;
        case 6: s += " MARKERS 'K" + n + "' MASK '^|a|Tytu'+'l|b|Podtytul|' ON 2, " + n + " * 22, 600, 0\n"; break;
        default: s += " CHECK 'X" + n + "' MASK 'Tak' ON 720, " + n + " * 22, 60\n"; break;
        }
    }
    return s + "END\n";
}

// 300 fields: a list of 10 rows by 5 fields over a record of 999
// occurrences, and 250 single fields of every kind.
std::string ThreeHundredFields(int listRows) {
    std::string s = "BEGIN LIST 'i' OF " + std::to_string(listRows) + " ON 0, 0, 700, " +
                    std::to_string(listRows * 21) + " BEGIN NO 'i' ON 0, 0 FIELD 'A.i' ON 30, 0, 200 "
                    "DATE 'B.i' ON 240, 0, 80 NUMBER 'C.i' MASK 6 ON 330, 0, 60 CHECK 'E.i' MASK 'x' ON 400, 0, 40 "
                    "COMBO 'F.i' MASK 'a|A|b|B|' ON 450, 0, 80 END\n";
    const int top = listRows * 21 + 10;
    for (int i = 0; i < 250; ++i) {
        const std::string n = std::to_string(i), y = std::to_string(top + (i / 5) * 24), x = std::to_string((i % 5) * 150);
        switch (i % 5) {
        case 0: s += " FIELD 'G" + n + "' ON " + x + ", " + y + ", 140\n"; break;
        case 1: s += " DATE 'H" + n + "' ON " + x + ", " + y + ", 140\n"; break;
        case 2: s += " SPIN 'S" + n + "' MASK 3 ON " + x + ", " + y + ", 140\n"; break;
        case 3: s += " MEMO 'M" + n + "' ON " + x + ", " + y + ", 140, 22\n"; break;
        default: s += " MARKERS 'K" + n + "' MASK '^|a|A|' ON " + x + ", " + y + ", 140, 0\n"; break;
        }
    }
    return s + "END\n";
}

my_record BigRecord() {
    my_record r;
    for (int i = 1; i <= 999; ++i) {
        const std::string n = std::to_string(i);
        r.AddField("A." + n, "Tytuł " + n, 0);
        r.AddField("B." + n, "20031015", 0);
        r.AddField("E." + n, i % 2 ? "T" : "F", 0);
    }
    for (int i = 0; i < 250; ++i) r.AddField("G" + std::to_string(i), "wartość", 0);
    return r;
}

struct Silent : FormHost {
    std::vector<std::string> FieldEvent(int, my_record&, const std::string&) override { return {}; }
};

void BM_ReadDescription1000Lines(benchmark::State& state) {
    const std::string text = ThousandLines();
    for (auto _ : state) {
        FormReadResult r = ReadFormDescription(text, "/nonexistent-velt-bench/");
        benchmark::DoNotOptimize(r.root.get());
    }
}
BENCHMARK(BM_ReadDescription1000Lines)->Unit(benchmark::kMillisecond);

void BM_LayoutHeadless300Fields(benchmark::State& state) {
    const FormReadResult form = ReadFormDescription(ThreeHundredFields(10), "");
    my_record record = BigRecord();
    Silent host;
    for (auto _ : state) {
        HeadlessControls controls;
        auto sheet = controls.MakeRoot();
        FormContext context(record, host, controls);
        my_editor editor(context, *sheet);
        form.root->Build(editor, 0, {}, 0);
        benchmark::DoNotOptimize(context.LiveEditors());
    }
}
BENCHMARK(BM_LayoutHeadless300Fields)->Unit(benchmark::kMillisecond);

void BM_ScrollHeadlessListByOneRow(benchmark::State& state) {
    const FormReadResult form = ReadFormDescription(ThreeHundredFields(10), "");
    my_record record = BigRecord();
    Silent host;
    HeadlessControls controls;
    auto sheet = controls.MakeRoot();
    FormContext context(record, host, controls);
    my_editor editor(context, *sheet);
    form.root->Build(editor, 0, {}, 0);
    auto* list = dynamic_cast<ed_list*>(editor.Children().front().get());
    int position = 1;
    for (auto _ : state) {
        position = position >= 980 ? 1 : position + 1;
        list->ScrollTo(position);
    }
}
BENCHMARK(BM_ScrollHeadlessListByOneRow)->Unit(benchmark::kMillisecond);

#if VELT_BENCH_QT

void LayoutQt(benchmark::State& state, int listRows) {
    const FormReadResult form = ReadFormDescription(ThreeHundredFields(listRows), "");
    my_record record = BigRecord();
    Silent host;
    gui::FormSheet sheet;
    sheet.resize(1000, 800);
    sheet.show();
    for (auto _ : state) {
        sheet.Layout(*form.root, record, host, {});
        QApplication::processEvents();
        state.PauseTiming();
        sheet.Clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

void BM_LayoutQt300FieldsList999Occurrences(benchmark::State& state) { LayoutQt(state, 10); }
BENCHMARK(BM_LayoutQt300FieldsList999Occurrences)->Unit(benchmark::kMillisecond);

// The same with 999 visible rows (5,000 more controls), for the record.
void BM_LayoutQtList999VisibleRows(benchmark::State& state) { LayoutQt(state, 999); }
BENCHMARK(BM_LayoutQtList999VisibleRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ScrollQtListByOneRow(benchmark::State& state) {
    const FormReadResult form = ReadFormDescription(ThreeHundredFields(10), "");
    my_record record = BigRecord();
    Silent host;
    gui::FormSheet sheet;
    sheet.resize(1000, 800);
    sheet.show();
    sheet.Layout(*form.root, record, host, {});
    ed_list* list = nullptr;
    sheet.Form()->Walk([&](const my_editor& e, int) {
        if (!list) list = const_cast<ed_list*>(dynamic_cast<const ed_list*>(&e));
    });
    int position = 1;
    for (auto _ : state) {
        position = position >= 980 ? 1 : position + 1;
        list->ScrollTo(position);
        state.PauseTiming();
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ScrollQtListByOneRow)->Unit(benchmark::kMillisecond);

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
