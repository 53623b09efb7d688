// The server's speed targets, measured on the server side (no network):
// index requests (p99 under 1 ms), a title-word search over the whole
// catalogue (under 200 ms), a save of a 300-field record with its
// re-indexing (p99 under 20 ms), a modification program over 10,000 books
// in one transaction (under 5 s) and seeding (under 2 minutes), at the size given
// by VELT_BENCH_RECORDS (default 1,000,000). The catalogue is seeded once
// into VELT_BENCH_DB (default /tmp/velt-bench-N.db) and reused.
//
//   build/bench/server_bench                       # index requests and searches
//   build/bench/server_bench --benchmark_filter=Seed   # seeding, into a new file

#include "text/utf.h"
#include "Catalogue.h"
#include "Connection.h"
#include "ModificationPrograms.h"
#include "RecordChanges.h"
#include "RecordStore.h"
#include "Seeder.h"
#include "TestControl.h"
#include "wire/WireCodec.h"
#include "text/Cp1250.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace velt::server;
using Clock = std::chrono::steady_clock;

std::uint32_t Records() {
    const char* n = std::getenv("VELT_BENCH_RECORDS");
    return n ? static_cast<std::uint32_t>(std::atol(n)) : 1000000u;
}

std::string DbPath() {
    const char* p = std::getenv("VELT_BENCH_DB");
    return p ? p : "/tmp/velt-bench-" + std::to_string(Records()) + ".db";
}

const std::string& SeededDb() {
    static const std::string path = [] {
        const std::string p = DbPath();
        struct stat st {};
        if (::stat(p.c_str(), &st) != 0) SeedDatabase(p, Records());
        return p;
    }();
    return path;
}

// Feeds the requests one at a time and notes when each began and when its
// reply was written: the server's own time per request.
class Timed : public ByteSource, public ByteSink {
public:
    explicit Timed(std::vector<std::string> requests) : mRequests(std::move(requests)) {}
    std::size_t Read(unsigned char* p, std::size_t n, bool betweenRequests) override {
        if (!betweenRequests || mNext >= mRequests.size()) return 0;
        const std::string& r = mRequests[mNext++];
        if (r.size() > n) return 0;
        std::copy(r.begin(), r.end(), p);
        mStart = Clock::now();
        return r.size();
    }
    bool Write(const unsigned char*, std::size_t) override {
        mTimes.push_back(std::chrono::duration<double, std::micro>(Clock::now() - mStart).count());
        return true;
    }
    std::vector<double> mTimes;

private:
    std::vector<std::string> mRequests;
    std::size_t mNext = 0;
    Clock::time_point mStart;
};

std::string Text(const std::string& s) { return s + std::string(1, '\0'); }
std::string Int(std::int32_t v) {
    std::string s;
    velt::wire::AppendInteger(s, v);
    return s;
}
std::string Index(std::uint8_t code, const std::string& prefix, const std::string& key) {
    return std::string(1, static_cast<char>(code)) + Int(21) + Int(1) + Int(5) + Text(prefix) + Text(key);
}

void Report(benchmark::State& state, std::vector<double> times);

// Serves the requests on one connection over the seeded catalogue and
// reports the server's time per request.
void Serve(benchmark::State& state, const std::vector<std::string>& requests) {
    ServerConfig config;
    config.dbPath = SeededDb();
    TestControl control;
    Catalogue db(config.dbPath);
    std::vector<double> times;
    for (auto _ : state) {
        Timed t(requests);
        ServeConnection(config, control, db, t, t);
        times = t.mTimes;
    }
    Report(state, times);
}

void Report(benchmark::State& state, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    auto at = [&times](double q) { return times.empty() ? 0.0 : times[static_cast<std::size_t>(q * (times.size() - 1))]; };
    state.counters["requests"] = static_cast<double>(times.size());
    state.counters["p50_us"] = at(0.5);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = times.empty() ? 0.0 : times.back();
}

void BM_IndexRequests(benchmark::State& state) {
    // Seeks at random typed texts, then steps forward and back from there.
    std::mt19937 random(7);
    const char* codes[] = {"AU", "TY", "TE", "WY", "IS", "SY", "RW", "NR"};
    std::vector<std::string> requests;
    for (int i = 0; i < 2000; ++i) {
        const std::string code = codes[random() % 8];
        std::string typed(1, static_cast<char>('A' + random() % 26));
        typed += static_cast<char>('a' + random() % 26);
        requests.push_back(Index(55, code, typed));
        for (int k = 0; k < 5; ++k) requests.push_back(Index(56, code, typed + std::string(1, static_cast<char>('a' + k))));
        requests.push_back(Index(58, code, typed));
        requests.push_back(Index(57, code, ""));
    }
    Serve(state, requests);
}
BENCHMARK(BM_IndexRequests)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TitleWordSearch(benchmark::State& state) {
    std::vector<std::string> requests;
    for (const char* word : {"historia", "dzieje", "zamku", "wisłą", "mazurach", "lasu", "podróż", "źródła"})
        for (int i = 0; i < 3; ++i)
            requests.push_back(std::string(1, '\x0F') +
                               Text(velt::UtfWin().Convert(std::string("\"tytuł\" SŁOWO \"") + word + "\"")));
    Serve(state, requests);
}
BENCHMARK(BM_TitleWordSearch)->Iterations(1)->Unit(benchmark::kMillisecond);

// A book of 300 fields: its description, 60 subjects and 60 added authors
// linked to their authority records, 120 parts of its contents and 9
// copies of 6 fields. Each save changes its title, one subject, one added
// author and one part, as a librarian's session might, and is re-indexed.
void BM_SaveRecord300(benchmark::State& state) {
    const std::string path = SeededDb();
    UpgradeDatabase(path);
    Catalogue db(path);
    const Identifiers ids(DbKind::Velt3, kRecordLetters);
    const SeedCounts counts = CountsFor(Records());
    std::vector<RecordField> book = {
        {"245Z.1.1.1.1", "^aPomiar zapisu ^bksięga wielka"},
        {"100Z.1.1.1.1", "^aKowalski, Jan ^91"},
        {"260Z.1.1.1.1", "^aKraków ^bZnak ^c2020"},
        {"300Z.1.1.1.1", "^a1200 s."},
        {"020Z.1.1.1.1", "^a83-7039-000-5"},
        {"852Z.1.1.1.1", "^hII 1"},
    };
    book[1].value = "^aKowalski, Jan ^9O" + std::to_string(counts.persons / 2);
    for (int i = 1; i <= 60; ++i) {
        book.push_back({"650Z.1.1." + std::to_string(i) + ".1",
                        "^aTemat " + std::to_string(i) + " ^9T" + std::to_string(1 + i % counts.subjects)});
        book.push_back({"700Z.1.1." + std::to_string(i) + ".1",
                        "^aAutor, Dodatkowy " + std::to_string(i) + " ^9O" + std::to_string(1 + i * 7 % counts.persons)});
    }
    for (int i = 1; i <= 120; ++i)
        book.push_back({"505Z.1.1." + std::to_string(i) + ".1", "Rozdział " + std::to_string(i) + ". Słowa i rzeczy"});
    for (int c = 1; c <= 9; ++c)
        for (const char* f : {"876I", "876B", "876D", "876C", "876S", "876W"})
            book.push_back({std::string(f) + ".1.1." + std::to_string(c) + ".1",
                            std::string(f) == "876D" ? "20240115" : std::string(f) == "876C" ? "   12.50" : "T"});
    const WriteOutcome created = WriteRecord(db, ids, kBookLetter, 0, "", {},
                                             [&book](std::vector<RecordField>& fields) {
                                                 fields = book;
                                                 return std::vector<FieldError>{};
                                             },
                                             true);
    if (!created.ok()) {
        state.SkipWithError(created.refusal.empty() ? created.errors.front().message.c_str() : created.refusal.c_str());
        return;
    }
    std::vector<double> times;
    int round = 0;
    for (auto _ : state) {
        for (int i = 0; i < 300; ++i, ++round) {
            const std::string n = std::to_string(round);
            const std::string changes = "245Z.1.1.1.1=^aPomiar zapisu " + n + " ^bksięga wielka\r650Z.1.1." +
                                        std::to_string(1 + round % 60) + ".1=^aTemat zmieniony " + n + " ^9T" +
                                        std::to_string(1 + round % counts.subjects) + "\r700Z.1.1." +
                                        std::to_string(1 + round % 60) + ".1=^aAutor, Inny " + n + "\r505Z.1.1." +
                                        std::to_string(1 + round % 120) + ".1=Rozdział zmieniony " + n + "\r";
            const auto start = Clock::now();
            const WriteOutcome saved = WriteRecord(db, ids, 0, created.number, {}, {},
                                                   [lines = ParseChanges(changes)](std::vector<RecordField>& fields) {
                                                       return ApplyChanges(fields, lines);
                                                   },
                                                   true);
            times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
            if (!saved.ok()) {
                state.SkipWithError("a save was refused");
                return;
            }
        }
    }
    Report(state, times);
    state.counters["fields"] = static_cast<double>(book.size());
}
BENCHMARK(BM_SaveRecord300)->Iterations(1)->Unit(benchmark::kMillisecond);

// An administrator's program over 10,000 books spread over the catalogue,
// all or nothing in one transaction: the shelf marks "Cz. ..." become
// "Czyt. ..." (a quarter of the books have them) and every book's first 590
// gets a text of the round, so every record is changed, validated, written
// and re-indexed each round.
void BM_ModifyRecords10000(benchmark::State& state) {
    const std::string path = SeededDb();
    UpgradeDatabase(path);
    Catalogue db(path);
    const Identifiers ids(DbKind::Velt3, kRecordLetters);
    const SeedCounts counts = CountsFor(Records());
    const std::uint32_t wanted = std::min<std::uint32_t>(10000, counts.books);
    std::vector<std::uint32_t> numbers;
    for (std::uint32_t i = 0; i < wanted; ++i) numbers.push_back(ids.Number(kBookLetter, 1 + i * (counts.books / wanted)));
    std::vector<double> seconds;
    std::size_t written = 0;
    int round = 0;
    for (auto _ : state) {
        const std::string program = velt::UtfWin().Convert(
            "BEGIN\r"
            "  GRUPA('852')\r"
            "  WHILE OK\r"
            "    GRUPA('Z')\r"
            "    POLE = REPLACE(POLE, '^hCz. ', '^hCzyt. ')\r"
            "    BACK\r"
            "    SKIP\r"
            "  ENDDO\r"
            "  BACK\r"
            "  GRUPA('590')\r"
            "  POZYCJA = '.1.1.1'\r"
            "  GRUPA('Z')\r"
            "  POLE = 'Przegląd nr " + std::to_string(++round) + " ' + REKORD\r"
            "  BACK\r"
            "  BACK\r"
            "END\r");
        const auto start = Clock::now();
        const ModificationOutcome outcome = ModifyRecords(db, ids, 99, numbers, program);
        seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        if (!outcome.error.empty()) {
            state.SkipWithError(outcome.error.c_str());
            return;
        }
        written = outcome.written;
    }
    std::sort(seconds.begin(), seconds.end());
    state.counters["records"] = static_cast<double>(numbers.size());
    state.counters["written"] = static_cast<double>(written);
    state.counters["catalogue"] = Records();
    state.counters["median_s"] = seconds[seconds.size() / 2];
    state.counters["max_s"] = seconds.back();
}
BENCHMARK(BM_ModifyRecords10000)->Iterations(3)->Unit(benchmark::kSecond);

// Seeds the benchmark's catalogue when it is not there yet (so run this
// first), otherwise a scratch copy that is removed afterwards.
void BM_Seed(benchmark::State& state) {
    struct stat st {};
    const bool keep = ::stat(DbPath().c_str(), &st) != 0;
    const std::string path = keep ? DbPath() : "/tmp/velt-bench-seed-" + std::to_string(::getpid()) + ".db";
    for (auto _ : state) {
        ::unlink(path.c_str());
        SeedDatabase(path, Records());
    }
    ::stat(path.c_str(), &st);
    state.counters["records"] = Records();
    state.counters["db_MB"] = static_cast<double>(st.st_size) / 1e6;
    if (!keep) ::unlink(path.c_str());
}
BENCHMARK(BM_Seed)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
