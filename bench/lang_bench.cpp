// The formatting language's speed targets: compiling a 1000-line script,
// running a 30-line display program over a 500-field record, SORT and
// AGREGATE over 1000 items.

#include "lang/ACTInterpreter.h"
#include "lang/Compiler.h"
#include "lang/TextFunctions.h"
#include "text/my_record.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

using namespace velt;

namespace {

std::string ThousandLines() {
    std::string s = "PROCEDURE line BEGIN out = out + SEP(a, ', ', b) END\nBEGIN\n";
    for (int i = 0; s.size() < 1u << 30 && i < 996; ++i) {
        switch (i % 4) {
            case 0: s += "  a = HEAD(TAIL(x" + std::to_string(i % 50) + ", ' '), ',') + '" + std::to_string(i) + "'\n"; break;
            case 1: s += "  IF POSITION('x', a) # '' b = UP(a) ELSE b = LO(a) + REVERSE('Kowalski, Jan') ENDIF\n"; break;
            case 2: s += "  WHILE GT(i, '0') i = ADD(i, '-1') line ENDDO { a comment }\n"; break;
            default: s += "  GRUPA('245') PRINT(SUBFIELD(POLE, 'a') + \\13\\10) BACK\n"; break;
        }
    }
    return s + "END\n";
}

// A display program: title, authors, subjects and notes of a record.
const char* kDisplay =
    "BEGIN\n"
    "  out = ''\n"
    "  IF GRUPA('245')\n"
    "    GRUPA('Z') t = POLE BACK\n"
    "    out = SUBFIELD(t, 'a') + PR(' : ', SUBFIELD(t, 'b')) + PR(' / ', SUBFIELD(t, 'c'))\n"
    "  ENDIF BACK\n"
    "  IF GRUPA('100') GRUPA('Z') out = out + '. ' + REVERSE(SUBFIELD(POLE, 'a')) BACK ENDIF BACK\n"
    "  a = ''\n"
    "  IF GRUPA('700')\n"
    "    WHILE OK\n"
    "      GRUPA('Z') a = SEP(a, '; ', SUBFIELD(POLE, 'a')) BACK\n"
    "      SKIP\n"
    "    ENDDO\n"
    "  ENDIF BACK\n"
    "  out = out + PR(' Współautorzy: ', a)\n"
    "  s = ''\n"
    "  IF GRUPA('650')\n"
    "    WHILE OK\n"
    "      GRUPA('Z') s = s + TRIM(OMIT(POLE)) + '; ' BACK\n"
    "      SKIP\n"
    "    ENDDO\n"
    "  ENDIF BACK\n"
    "  out = out + PR(' Tematy: ', s)\n"
    "  IF GRUPA('260') GRUPA('Z') out = out + '. ' + SUBFIELD(POLE, 'c') BACK ENDIF BACK\n"
    "  IF GRUPA('852') GRUPA('Z') out = out + PR(' Sygn. ', SUBFIELD(POLE, 'h')) BACK ENDIF BACK\n"
    "  PRINT(out)\n"
    "END\n";

my_record BigRecord() {
    my_record r("K");
    r.AddField("245Z.1.1.1.1", " ^aTytuł ^bpodtytuł ^cJan Kowalski", 0);
    r.AddField("100Z.1.1.1.1", " ^aKowalski, Jan ^d1950-", 0);
    r.AddField("260Z.1.1.1.1", " ^aWarszawa ^bWydawnictwo ^c2020", 0);
    r.AddField("852Z.1.1.1.1", " ^hA 10001", 0);
    for (int i = 1; i <= 8; ++i) r.AddField("700Z.1.1." + std::to_string(i) + ".1", " ^aAutor " + std::to_string(i), 0);
    for (int i = 1; i <= 6; ++i) r.AddField("650Z.1.1." + std::to_string(i) + ".1", " ^aTemat " + std::to_string(i), 0);
    for (int i = 1; r.fields().size() < 500; ++i) r.AddField("500Z.1.1." + std::to_string(i) + ".1", "uwaga", 0);
    return r;
}

std::string Items(int count, bool numbered) {
    std::string s;
    for (int i = count; i > 0; --i) s += (numbered ? "t. " + std::to_string((i * 7919) % 5000) : "hasło " + std::to_string(i * 7919 % 1000)) + ";";
    return s;
}

}  // namespace

static void BM_Compile1000Lines(benchmark::State& state) {
    const std::string source = ThousandLines();
    for (auto _ : state) {
        std::istringstream in(source);
        auto program = CompileOpenText(in, {}, "bench", {});
        if (!program) state.SkipWithError("does not compile");
        benchmark::DoNotOptimize(program);
    }
}
BENCHMARK(BM_Compile1000Lines)->Unit(benchmark::kMillisecond);

static void BM_DisplayProgramOver500Fields(benchmark::State& state) {
    std::istringstream in(kDisplay);
    auto program = CompileOpenText(in, {}, "bench", {});
    if (!program) {
        state.SkipWithError("does not compile");
        return;
    }
    my_record record = BigRecord();
    for (auto _ : state) {
        ACTInterpreter act({}, record, nullptr);
        auto out = act.Run(*program);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_DisplayProgramOver500Fields)->Unit(benchmark::kMicrosecond);

static void BM_Sort1000(benchmark::State& state) {
    const std::string items = Items(1000, false);
    for (auto _ : state) benchmark::DoNotOptimize(Sort(items, ";"));
}
BENCHMARK(BM_Sort1000)->Unit(benchmark::kMillisecond);

static void BM_Agregate1000(benchmark::State& state) {
    const std::string items = Items(1000, true);
    for (auto _ : state) benchmark::DoNotOptimize(Agregate(items, ";"));
}
BENCHMARK(BM_Agregate1000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
