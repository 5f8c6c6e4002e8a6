// Loads the 1 000 000 × 8 benchmark table into the result grid and compares the rate with a bare
// SQLFetch + SQLGetData loop in the same process (processor time of the whole process, the two
// alternating, the ratio the median of the pairs); measures the loaded grid's peak memory against the
// process before the load, and writes the loaded grid as delimited text.
#include "codbc/ODBC.h"
#include "../odbc/BareOdbcRead.h"
#include "grid/CExport.h"
#include "views/DBgrid.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <sql.h>
#include <sqlext.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {
const char* kSource = "bench";
const char* kQuery = "select * from t";
constexpr int kPairs = 5;

using BenchOdbc::CpuSeconds;
using BenchOdbc::StatusKb;

std::string WriteConfiguration() {
    return BenchOdbc::WriteConfiguration(kSource, ODBC_BENCH_DATA);
}

// The reference: the bare driver-manager loop over every cell.
long BareRead() {
    return BenchOdbc::BareRead(kSource, kQuery);
}

// The program's way: connect, run the statement and load its result into the grid.
long GridLoad(DBgrid& grid) {
    ODBC session;
    if (session.Connect(kSource, "", "") != 0)
        return -1;
    session.StmtRealloc();
    if (session.Exec(kQuery) != 0)
        return -1;
    grid.AssignDatabase(&session, 0);
    session.Disconnect();
    return static_cast<long>(grid.GetRowCount() - 1) * static_cast<long>(grid.Table().GetResultColumns());
}

struct Timed {
    double seconds = 0;
    long cells = 0;
};

template <typename Read> Timed Time(Read read) {
    const double start = CpuSeconds();
    Timed t;
    t.cells = read();
    t.seconds = CpuSeconds() - start;
    return t;
}
} // namespace

int main(int argc, char** argv) {
    if (!std::filesystem::exists(ODBC_BENCH_DATA)) {
        std::fprintf(stderr, "%s is missing: build the target bench_data (make bench does)\n",
                     ODBC_BENCH_DATA);
        return 1;
    }
    const std::string dir = WriteConfiguration();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    DBgrid grid;

    // (b) Memory: the process with its grid and toolkit is the baseline; the kernel's peak is reset.
    {
        ODBC session;
        if (session.Connect(kSource, "", "") != 0) {
            std::fprintf(stderr, "cannot open the benchmark table\n");
            return 1;
        }
        session.StmtRealloc();
        std::ofstream("/proc/self/clear_refs") << "5";
        const long baseKb = StatusKb("VmRSS");
        const double cpu0 = CpuSeconds();
        session.Exec(kQuery);
        grid.AssignDatabase(&session, 0);
        const double cpu = CpuSeconds() - cpu0;
        const long peakKb = StatusKb("VmHWM");
        session.Disconnect();
        const double used = double(peakKb - baseKb) * 1024.0;
        const double cells = double(grid.GetRowCount()) * double(grid.GetColumnCount());
        const double text = double(grid.Table().TextBytes());
        const double budget = 1.5 * text + 24.0 * cells;
        std::printf(
            "loaded grid: %d rows x %d columns (%.0f cells incl. headings and row numbers), texts %.1f MB, "
            "first load %.2f s CPU\n",
            grid.GetRowCount(), grid.GetColumnCount(), cells, text / 1e6, cpu);
        std::printf("memory: peak RSS above the baseline %.1f MB (%.1f bytes/cell), budget 1.5 x text + 24 "
                    "B/cell = %.1f MB -> %.0f %% of budget\n",
                    used / 1e6, used / cells, budget / 1e6, 100.0 * used / budget);
    }

    // (c) Delimited export of the loaded grid, wall-clock rate, best of three.
    {
        const std::string file =
            (std::filesystem::temp_directory_path() / ("bench_loading_" + std::to_string(getpid()) + ".txt"))
                .string();
        CExport exporter(&grid.Table(), EXP_TEXT);
        exporter.GetOptions().FileName = file;
        exporter.GetOptions().Separator = ",";
        exporter.SetSeparatorFromOptions();
        double best = 1e30;
        size_t bytes = 0;
        for (int i = 0; i < 3; ++i) {
            const auto start = std::chrono::steady_clock::now();
            if (exporter.Run() != EXP_DONE) {
                std::fprintf(stderr, "export failed\n");
                break;
            }
            best = std::min(best,
                            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            bytes = std::filesystem::file_size(file);
        }
        if (bytes > 0)
            std::printf("delimited export of the loaded grid: %.1f MB in %.2f s = %.0f MB/s (best of 3)\n",
                        double(bytes) / 1e6, best, double(bytes) / 1e6 / best);
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
    }
    grid.Clear();

    // (a) Rate: bare loop and grid load alternate; the grid is emptied outside the timed part.
    std::vector<Timed> bare, loaded;
    std::vector<double> ratios;
    for (int i = 0; i < kPairs; ++i) {
        bare.push_back(Time(BareRead));
        loaded.push_back(Time([&] { return GridLoad(grid); }));
        grid.Clear();
        if (bare.back().cells <= 0 || loaded.back().cells != bare.back().cells) {
            std::fprintf(stderr, "reads disagree: bare %ld cells, grid %ld cells\n", bare.back().cells,
                         loaded.back().cells);
            return 1;
        }
        ratios.push_back(bare.back().seconds / loaded.back().seconds);
        std::printf("pair %d: bare loop %.2f s, grid load %.2f s CPU (%.1f %%)\n", i + 1, bare.back().seconds,
                    loaded.back().seconds, 100.0 * ratios.back());
        std::fflush(stdout);
    }
    std::sort(ratios.begin(), ratios.end());
    double bestBare = 1e30, bestLoad = 1e30;
    for (int i = 0; i < kPairs; ++i) {
        bestBare = std::min(bestBare, bare[size_t(i)].seconds);
        bestLoad = std::min(bestLoad, loaded[size_t(i)].seconds);
    }
    const double cells = double(bare.front().cells);
    std::printf(
        "processor time, best of %d: bare loop %.2f s (%.1f M cells/s), grid load %.2f s (%.1f M cells/s)\n",
        kPairs, bestBare, cells / bestBare / 1e6, bestLoad, cells / bestLoad / 1e6);
    std::printf("the grid loads at %.1f %% of the bare loop's rate (median of %d alternating pairs)\n",
                100.0 * ratios[kPairs / 2], kPairs);

    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
