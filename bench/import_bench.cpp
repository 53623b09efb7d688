// MARC parsing of the MARC 21 sample repeated to 24,000 records, with
// yaz-marcdump -o line on the same file in the same run; BER decoding of
// real Present responses (yaz-ztest's and Zebra's), with libyaz decoding the
// same bytes.

#include "import/Decodec.h"
#include "import/usmarc.h"
#include "support/Z3950Server.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <algorithm>
#include <string>
#include <unistd.h>

#if VELT_HAVE_YAZ
#include <yaz/odr.h>
#include <yaz/proto.h>
#endif

using namespace velt;

namespace {

constexpr int kRecords = 24000;

std::string ReadFile(const std::string& name) {
    std::string bytes;
    if (std::FILE* f = std::fopen(name.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        bytes.resize(static_cast<std::size_t>(std::max(0L, std::ftell(f))));
        std::fseek(f, 0, SEEK_SET);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
    }
    return bytes;
}

// The sample's records repeated to kRecords, as a file; empty when the sample is missing.
const std::string& MarcFile() {
    static const std::string name = [] {
        const std::string sample = "/tmp/velt-bench-sample-" + std::to_string(::getpid()) + ".mrc";
        if (!test::Z3950Server::WriteMarcSample(sample)) return std::string();
        const std::string bytes = ReadFile(sample);
        std::remove(sample.c_str());
        const auto records = SplitMarcFile(bytes);
        std::string out;
        for (int i = 0; i < kRecords; ++i) out.append(records[static_cast<std::size_t>(i) % records.size()]);
        const std::string file = "/tmp/velt-bench-24000-" + std::to_string(::getpid()) + ".mrc";
        std::ofstream(file, std::ios::binary) << out;
        std::atexit([] { std::remove(MarcFile().c_str()); });
        return file;
    }();
    return name;
}

// Every record of the file parsed and written out as key=value lines.
void BM_ParseMarc24000(benchmark::State& state) {
    if (MarcFile().empty()) return state.SkipWithError("the MARC 21 sample is missing (idzebra-2.0-examples)");
    MarcOptions options;
    options.format = true;
    for (auto _ : state) {
        const std::string bytes = ReadFile(MarcFile());
        std::string out;  // one record's lines at a time, as a program writing them out would
        int n = 0;
        for (const std::string_view octets : SplitMarcFile(bytes)) {
            const my_record r = ParseMarc(octets, options);
            out.clear();
            for (const my_field& f : r.fields()) {
                out += f.key;
                out += '=';
                out += f.value;
                out += '\n';
            }
            out += '\n';
            benchmark::DoNotOptimize(out.data());
            ++n;
        }
        if (n != kRecords) return state.SkipWithError("wrong record count");
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

// ParseMarc alone over the records already in memory.
void BM_ParseMarcOnly(benchmark::State& state) {
    if (MarcFile().empty()) return state.SkipWithError("the MARC 21 sample is missing (idzebra-2.0-examples)");
    const std::string bytes = ReadFile(MarcFile());
    const auto records = SplitMarcFile(bytes);
    MarcOptions options;
    options.format = true;
    for (auto _ : state)
        for (const std::string_view octets : records) {
            const my_record r = ParseMarc(octets, options);
            benchmark::DoNotOptimize(r.fields().data());
        }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(records.size()));
}

// yaz-marcdump over the same file, output discarded; wall time.
void BM_YazMarcdump24000(benchmark::State& state) {
    if (MarcFile().empty()) return state.SkipWithError("the MARC 21 sample is missing (idzebra-2.0-examples)");
    const std::string line = "yaz-marcdump -o line " + MarcFile() + " > /dev/null 2>&1";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(line.c_str()) != 0) return state.SkipWithError("yaz-marcdump failed (package yaz)");
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

const std::string& Response(int which) {
    static const std::string ztest = ReadFile(VELT_BENCH_DATA "/ztest-present.ber");
    static const std::string zebra = ReadFile(VELT_BENCH_DATA "/zebra-present.ber");
    return which == 0 ? ztest : zebra;
}

void BM_DecodePresent(benchmark::State& state) {
    const std::string& bytes = Response(static_cast<int>(state.range(0)));
    UniSocket socket;  // one buffer per association, reset for each exchange
    for (auto _ : state) {
        socket.ResetBuffer();
        socket.Load(bytes);
        const auto tree = Decodec(socket).DecodeElement(1);
        if (!tree) return state.SkipWithError("not decoded");
        benchmark::DoNotOptimize(tree.get());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long>(bytes.size()));
}

#if VELT_HAVE_YAZ
void BM_LibyazDecodePresent(benchmark::State& state) {
    const std::string& bytes = Response(static_cast<int>(state.range(0)));
    ODR odr = odr_createmem(ODR_DECODE);
    for (auto _ : state) {
        odr_setbuf(odr, const_cast<char*>(bytes.data()), static_cast<int>(bytes.size()), 0);
        Z_APDU* apdu = nullptr;
        if (!z_APDU(odr, &apdu, 0, nullptr)) return state.SkipWithError("libyaz did not decode it");
        benchmark::DoNotOptimize(apdu);
        odr_reset(odr);
    }
    odr_destroy(odr);
    state.SetBytesProcessed(state.iterations() * static_cast<long>(bytes.size()));
}
BENCHMARK(BM_LibyazDecodePresent)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

BENCHMARK(BM_ParseMarc24000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseMarcOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YazMarcdump24000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePresent)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
