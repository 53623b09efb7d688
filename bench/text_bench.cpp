// Character-set conversion over 16 MB, with ICU's uconv on the same data in
// the same run for comparison, and the record's look-ups on a record of
// 2000 fields.

#include "text/CpLiteral.h"
#include "text/ala.h"
#include "text/my_record.h"
#include "text/utf.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace velt;

namespace {

constexpr std::size_t kSize = 16u << 20;

std::string Repeat(const std::string& piece) {
    std::string out;
    out.reserve(kSize + piece.size());
    while (out.size() < kSize) out += piece;
    out.resize(kSize);
    return out;
}

// A catalogue's text: mostly ASCII with Polish letters and some punctuation.
const std::string& Cp1250Text() {
    static const std::string text =
        Repeat("245Z.1.1.1.1= ^aZażółć gęślą jaźń : ^bpowieść „Łódź” — wyd. 2 / ^cJan Kowalski.\r"_cp);
    return text;
}

const std::string& Utf8Text() {
    static const std::string text = WinUtf().Convert(Cp1250Text());
    return text;
}

const std::string& Marc8Text() {
    static const std::string text = Repeat(WinAla().Convert(
        "245Z.1.1.1.1= ^aZażółć gęślą jaźń : ^bpowieść Dvořáka, Šťastný / ^cJan Kowalski.\r"_cp));
    return text;
}

template <typename Conv>
void Run(benchmark::State& state, const Conv& conv, const std::string& in) {
    for (auto _ : state) {
        std::string out = conv.Convert(in);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

// uconv over the same bytes from a file, output discarded; wall time.
void RunUconv(benchmark::State& state, const std::string& in, const char* args) {
    char name[] = "/tmp/velt-bench-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0 || ::write(fd, in.data(), in.size()) != static_cast<ssize_t>(in.size())) {
        state.SkipWithError("cannot write the input file");
        return;
    }
    ::close(fd);
    const std::string line = std::string("uconv ") + args + " < " + name + " > /dev/null";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(line.c_str()) != 0) {
            state.SkipWithError("uconv failed (scripts/deps.sh installs icu-devtools)");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    ::unlink(name);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
}

void BM_WinUtf(benchmark::State& s) { Run(s, WinUtf(), Cp1250Text()); }
void BM_UconvWindows1250ToUtf8(benchmark::State& s) { RunUconv(s, Cp1250Text(), "-f windows-1250 -t utf-8"); }
void BM_UtfVeltwin(benchmark::State& s) { Run(s, UtfVeltwin(), Utf8Text()); }
void BM_UtfWin(benchmark::State& s) { Run(s, UtfWin(), Utf8Text()); }
void BM_UconvUtf8ToWindows1250(benchmark::State& s) { RunUconv(s, Utf8Text(), "-f utf-8 -t windows-1250"); }
void BM_AlaWin(benchmark::State& s) { Run(s, AlaWin(), Marc8Text()); }
void BM_WinAla(benchmark::State& s) { Run(s, WinAla(), Cp1250Text()); }

BENCHMARK(BM_WinUtf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UconvWindows1250ToUtf8)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UtfVeltwin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UtfWin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UconvUtf8ToWindows1250)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AlaWin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WinAla)->Unit(benchmark::kMillisecond);

// A record as a MARC import makes it: 2000 fields of 200 tags.
my_record BigRecord() {
    my_record r("A");
    r.AddField("L.1", "00000nam  2200000   4500", 0);
    for (int i = 0; r.fields().size() < 2000; ++i) {
        const std::string tag = std::to_string(100 + i % 200);
        const std::string n = std::to_string(1 + i / 200);
        r.AddField(tag + "Z.1.1." + n + ".1", " ^aWartość pola "_cp + std::to_string(i), 0);
    }
    return r;
}

void BM_RecordGetValue(benchmark::State& state) {
    const my_record r = BigRecord();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(r.GetValue(r.fields()[i].key).size());
        i = (i + 7) % r.fields().size();
    }
}

void BM_RecordSetValue(benchmark::State& state) {
    my_record r = BigRecord();
    const std::string value = "nowa";
    std::size_t i = 0;
    for (auto _ : state) {
        r.SetValue(r.fields()[i].key, value);
        i = (i + 7) % r.fields().size();
    }
}

void BM_RecordMaxOccurrence(benchmark::State& state) {
    const my_record r = BigRecord();
    for (auto _ : state) benchmark::DoNotOptimize(r.MaxOccurrence("245*.*.*.?.*"));
}

BENCHMARK(BM_RecordGetValue);
BENCHMARK(BM_RecordSetValue);
BENCHMARK(BM_RecordMaxOccurrence)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
