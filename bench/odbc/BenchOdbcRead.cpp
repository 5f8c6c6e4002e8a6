// Reads every cell of a 1 000 000 × 8 SQLite table as text, once with a bare driver-manager loop and
// once through the session (Fetch + GetDataAsText), and reports both rates, their ratio and memory.
// Times are processor time of the whole process (all threads), which a busy machine disturbs less than
// wall time, and the two reads alternate so that both meet the same load; the ratio is the median of
// the pairs. The program always runs several threads (the toolkit's, the Exec worker), and glibc makes
// every lock of the driver manager and of SQLite dearer once a process has a second thread, so the pairs
// run in a multi-threaded process; the bare loop is also timed once before any thread exists.
#include "codbc/ODBC.h"
#include "BareOdbcRead.h"

#include <benchmark/benchmark.h>

#include <sql.h>
#include <sqlext.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {
const char* kSource = "bench";
const char* kQuery = "select * from t";
constexpr int kPairs = 5;

struct Run {
    double seconds = 0;
    long cells = 0;
    double peakMb = 0; // peak resident memory above the start of the read
};

using BenchOdbc::CpuSeconds;
using BenchOdbc::StatusKb;

std::string WriteConfiguration() {
    return BenchOdbc::WriteConfiguration(kSource, ODBC_BENCH_DATA);
}

// The reference: the bare driver-manager loop over every cell.
long BareRead() {
    return BenchOdbc::BareRead(kSource, kQuery);
}

// Measures one read: processor time, and the peak memory (the kernel's peak is reset first).
template <typename Read> Run Measure(Read read) {
    std::ofstream("/proc/self/clear_refs") << "5";
    const long baseKb = StatusKb("VmRSS");
    const double start = CpuSeconds();
    Run run;
    run.cells = read();
    run.seconds = CpuSeconds() - start;
    run.peakMb = static_cast<double>(StatusKb("VmHWM") - baseKb) / 1024.0;
    return run;
}

long SessionRead() {
    ODBC session;
    if (session.Connect(kSource, "", "") != 0)
        return -1;
    session.StmtRealloc();
    session.Exec(kQuery);
    int columns = 0;
    session.NumResultCols(&columns);
    CString value;
    long indicator = 0;
    long cells = 0;
    while (session.Fetch() == 0) {
        for (int c = 0; c < columns; ++c) {
            session.GetDataAsText(c, value, &indicator);
            benchmark::DoNotOptimize(value.data());
            ++cells;
        }
    }
    session.Disconnect();
    return cells;
}

Run s_Single;
std::vector<Run> s_Bare, s_Session;

void SetCounters(benchmark::State& state, const Run& run) {
    state.SetIterationTime(run.seconds);
    state.counters["cells/s"] = benchmark::Counter(static_cast<double>(run.cells) / run.seconds);
    state.counters["peak_MB"] = benchmark::Counter(run.peakMb);
}

// Must run first: the process has no second thread yet.
void BM_BareLoopSingleThreaded(benchmark::State& state) {
    for (auto _ : state) {
        s_Single = Measure(BareRead);
        if (s_Single.cells <= 0)
            state.SkipWithError("cannot read the benchmark table");
        else
            SetCounters(state, s_Single);
    }
}

void BM_BareLoop(benchmark::State& state) {
    for (auto _ : state) {
        std::thread([] {}).join();
        const Run run = Measure(BareRead);
        s_Bare.push_back(run);
        SetCounters(state, run);
    }
}

void BM_SessionRead(benchmark::State& state) {
    for (auto _ : state) {
        const Run run = Measure(SessionRead);
        s_Session.push_back(run);
        SetCounters(state, run);
    }
}

BENCHMARK(BM_BareLoopSingleThreaded)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
} // namespace

int main(int argc, char** argv) {
    if (!std::filesystem::exists(ODBC_BENCH_DATA)) {
        std::fprintf(stderr, "%s is missing: build the target bench_data (make bench does)\n",
                     ODBC_BENCH_DATA);
        return 1;
    }
    const std::string dir = WriteConfiguration();
    // The pairs alternate: bare loop, session, bare loop, session...
    for (int i = 0; i < kPairs; ++i) {
        benchmark::RegisterBenchmark("BM_BareLoop", BM_BareLoop)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->UseManualTime();
        benchmark::RegisterBenchmark("BM_SessionRead", BM_SessionRead)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->UseManualTime();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const size_t pairs = std::min(s_Bare.size(), s_Session.size());
    if (pairs > 0) {
        std::vector<double> ratios;
        double bestBare = 1e30, bestSession = 1e30, peakBare = 0, peakSession = 0;
        for (size_t i = 0; i < pairs; ++i) {
            ratios.push_back(s_Bare[i].seconds / s_Session[i].seconds);
            bestBare = std::min(bestBare, s_Bare[i].seconds);
            bestSession = std::min(bestSession, s_Session[i].seconds);
            peakBare = std::max(peakBare, s_Bare[i].peakMb);
            peakSession = std::max(peakSession, s_Session[i].peakMb);
        }
        std::sort(ratios.begin(), ratios.end());
        std::printf(
            "processor time, best of %zu: bare loop %.2f s, session %.2f s (bare loop before any thread: "
            "%.2f s)\n",
            pairs, bestBare, bestSession, s_Single.seconds);
        std::printf(
            "the session reads at %.1f %% of the bare loop's rate (median of %zu alternating pairs)\n",
            100.0 * ratios[pairs / 2], pairs);
        std::printf("peak memory above the start of a read: bare loop %.1f MB, session %.1f MB\n", peakBare,
                    peakSession);
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
