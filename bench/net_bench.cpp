// Round trips of the catalogue session on loopback, and a large download.
// The round trips run on real time; the CPU column is the client thread's
// own work (building the request, reading the reply, its system calls), to be
// compared with the round trip. Replies cannot be queued up in advance: every
// request starts by dropping whatever is left of an earlier reply.

#include "net/TVeltClient.h"
#include "net/IndexRequests.h"
#include "net/FileRequests.h"
#include "wire/WireCodec.h"

#include "support/ScriptedPeer.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>


using namespace velt;
using test::PeerConnection;
using test::ScriptedPeer;

namespace {

// The calling thread's user-space CPU time in microseconds: the client's own
// work, without the kernel's share of the socket calls.
double UserMicros() {
    rusage u{};
    ::getrusage(RUSAGE_THREAD, &u);
    return static_cast<double>(u.ru_utime.tv_sec) * 1e6 + static_cast<double>(u.ru_utime.tv_usec);
}

// Runs body once per iteration and reports the client's user time per round trip.
template <typename Body>
void RoundTrips(benchmark::State& state, Body body) {
    const double before = UserMicros();
    for (auto _ : state) body();
    state.counters["client_user_us"] =
        benchmark::Counter((UserMicros() - before) / static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations());
}

const std::string kStatus =
    "VELT2&wersja=2026.12.01&rekordy=AB&message=&struktura={x={nam=autor}{tab=21}{ind=5}{pre=A}}";

std::string RecordReply() {
    std::string b;
    wire::AppendInteger(b, 7);
    for (const char* t : {"KOWALSKI JAN", "A", "  12345", "Kowalski, Jan", "", "", "Kowalski, Jan (1950- ) | 12 rekordów"}) {
        b += t;
        b.push_back('\0');
    }
    return b;
}

// Serves status (30), index (55) and file (120) requests until the goodbye.
void Serve(PeerConnection& c, std::int32_t fileSize) {
    const std::string record = RecordReply();
    const std::string chunk(10000, 'x');
    for (;;) {
        const auto code = c.ReadByte();
        if (code == 30) {
            c.WriteText(kStatus);
        } else if (code == 55) {
            c.Read(12);
            c.ReadText();
            c.ReadText();
            c.Write(record);
        } else if (code == 120) {
            c.ReadByte();
            c.ReadText();
            std::string out;
            for (std::int32_t sent = 0; sent < fileSize; sent += 10000) {
                wire::AppendInteger(out, fileSize - sent);
                wire::AppendInteger(out, std::min(10000, fileSize - sent));
                out.append(chunk, 0, static_cast<std::size_t>(std::min(10000, fileSize - sent)));
                if (out.size() > 1 << 20) {
                    c.Write(out);
                    out.clear();
                }
            }
            c.Write(out);
        } else {
            return;  // goodbye or closed
        }
    }
}

void BM_StatusRoundTrip(benchmark::State& state) {
    ScriptedPeer peer([](PeerConnection& c) { Serve(c, 0); });
    TVeltClient client("127.0.0.1", nullptr, peer.Port());
    RoundTrips(state, [&] { client.RequestStatus(); });
}
BENCHMARK(BM_StatusRoundTrip)->UseRealTime();

void BM_IndexRoundTrip(benchmark::State& state) {
    ScriptedPeer peer([](PeerConnection& c) { Serve(c, 0); });
    TVeltClient client("127.0.0.1", nullptr, peer.Port());
    RoundTrips(state, [&] { benchmark::DoNotOptimize(IndexFrom(client, 21, 0, 5, "A", "KOWALSKI")); });
}
BENCHMARK(BM_IndexRoundTrip)->UseRealTime();

void BM_Download10MB(benchmark::State& state) {
    const std::int32_t size = 10 * 1000 * 1000;
    ScriptedPeer peer([&](PeerConnection& c) { Serve(c, size); });
    TVeltClient client("127.0.0.1", nullptr, peer.Port());
    for (auto _ : state) benchmark::DoNotOptimize(GetFile(client, "plik", "", nullptr));
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_Download10MB)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
