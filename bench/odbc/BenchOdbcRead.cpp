// Reads every cell of a 1 000 000 × 8 SQLite table as text, once with a bare driver-manager loop and
// once through the session (Fetch + GetDataAsText), and reports both rates, their ratio and memory.
// Times are processor time of the whole process (all threads), which a busy machine disturbs less
// than wall time. The program always runs several threads (the toolkit's, the Exec worker), and glibc
// makes every lock of the driver manager and of SQLite dearer once a process has a second thread, so
// the two loops are compared in a multi-threaded process; the bare loop is also timed once before any
// thread exists, for reference.
#include "codbc/ODBC.h"

#include <benchmark/benchmark.h>

#include <sql.h>
#include <sqlext.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <time.h>

namespace {
const char* kSource = "bench";
const char* kQuery = "select * from t";
constexpr int kColumns = 8;

double s_BestSingle = 0;
bool s_ThreadStarted = false;
double s_BestBare = 0;
double s_BestSession = 0;

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Resident memory in kB: the current size and the peak since the last reset.
long StatusField(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + key.size());
    return 0;
}

void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Private ODBC configuration: the SQLite driver and one data source over the benchmark table.
std::string WriteConfiguration() {
    char pattern[] = "/tmp/varnel-bench-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    std::ofstream(dir + "/odbcinst.ini")
        << "[SQLite3]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n";
    std::ofstream(dir + "/odbc.ini").flush();
    std::ofstream(dir + "/user-odbc.ini")
        << "[" << kSource << "]\nDriver=SQLite3\nDatabase=" << ODBC_BENCH_DATA << "\nStepAPI=1\n";
    setenv("ODBCSYSINI", dir.c_str(), 1);
    setenv("ODBCINI", (dir + "/user-odbc.ini").c_str(), 1);
    return dir;
}

void Report(benchmark::State& state, long cells, double seconds, long baseKb, double* best) {
    state.counters["cells/s"] = benchmark::Counter(static_cast<double>(cells) / seconds);
    state.counters["peak_MB"] =
        benchmark::Counter(static_cast<double>(StatusField("VmHWM") - baseKb) / 1024.0);
    if (*best == 0 || seconds < *best)
        *best = seconds;
}

void BareLoop(benchmark::State& state, double* best) {
    for (auto _ : state) {
        ResetPeak();
        const long baseKb = StatusField("VmRSS");
        const double start = CpuSeconds();
        SQLHENV env = nullptr;
        SQLHDBC dbc = nullptr;
        SQLHSTMT stmt = nullptr;
        SQLAllocEnv(&env);
        SQLAllocConnect(env, &dbc);
        if (!SQL_SUCCEEDED(
                SQLConnect(dbc, (SQLCHAR*)kSource, SQL_NTS, (SQLCHAR*)"", SQL_NTS, (SQLCHAR*)"", SQL_NTS))) {
            state.SkipWithError("cannot connect");
            break;
        }
        SQLAllocStmt(dbc, &stmt);
        SQLExecDirect(stmt, (SQLCHAR*)kQuery, SQL_NTS);
        char buffer[1024];
        SQLLEN indicator = 0;
        long cells = 0;
        while (SQLFetch(stmt) == SQL_SUCCESS) {
            for (SQLUSMALLINT c = 1; c <= kColumns; ++c) {
                SQLGetData(stmt, c, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
                benchmark::DoNotOptimize(buffer);
                ++cells;
            }
        }
        SQLFreeStmt(stmt, SQL_DROP);
        SQLDisconnect(dbc);
        SQLFreeConnect(dbc);
        SQLFreeEnv(env);
        const double seconds = CpuSeconds() - start;
        state.SetIterationTime(seconds);
        Report(state, cells, seconds, baseKb, best);
    }
}

void BM_BareLoopSingleThreaded(benchmark::State& state) {
    BareLoop(state, &s_BestSingle);
}

void BM_BareLoop(benchmark::State& state) {
    std::thread([] {}).join();
    BareLoop(state, &s_BestBare);
}

void BM_SessionRead(benchmark::State& state) {
    s_ThreadStarted = true;
    for (auto _ : state) {
        ResetPeak();
        const long baseKb = StatusField("VmRSS");
        const double start = CpuSeconds();
        ODBC session;
        if (session.Connect(kSource, "", "") != 0) {
            state.SkipWithError(session.lastError);
            break;
        }
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
        const double seconds = CpuSeconds() - start;
        state.SetIterationTime(seconds);
        Report(state, cells, seconds, baseKb, &s_BestSession);
    }
}

BENCHMARK(BM_BareLoopSingleThreaded)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(1)
    ->UseManualTime();
BENCHMARK(BM_BareLoop)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseManualTime();
BENCHMARK(BM_SessionRead)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseManualTime();
} // namespace

int main(int argc, char** argv) {
    const std::string dir = WriteConfiguration();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (s_BestBare > 0 && s_BestSession > 0)
        std::printf(
            "processor time, best of 3: bare loop %.2f s, session %.2f s; the session reads at %.1f %% "
            "of the bare loop's rate (bare loop before any thread: %.2f s)\n",
            s_BestBare, s_BestSession, 100.0 * s_BestBare / s_BestSession, s_BestSingle);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
