// Fills a result grid with 1 000 000 rows of 8 realistic text columns the way result loading does,
// reports its memory against the budget (1.5 x text bytes + 24 bytes per cell, peak RSS above an
// empty baseline), then measures delimited-text export and painting of the filled grid.
#include "grid/CExport.h"
#include "grid/coreDBgrid.h"

#include <QApplication>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sys/resource.h>

namespace {
constexpr int kRows = 1000000;
constexpr int kCols = 8;

class LoadGrid : public coreDBgrid {
public:
    using coreDBgrid::AddColumn;
    using coreDBgrid::Initialize;
    using coreDBgrid::NextRow;
    using coreDBgrid::SetCellText;
};

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long PeakRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

const char* const kWords[] = {"alpha", "bravo",  "charlie", "delta", "echo", "foxtrot",  "golf",  "hotel",
                              "india", "juliet", "kilo",    "lima",  "mike", "november", "oscar", "papa"};
const char* const kCities[] = {"Berlin", "Lisboa", "Oslo", "Tallinn", "Vilnius", "Praha", "Wien", "Madrid"};

// The texts of one row: id, name, e-mail, date, amount, city, status, comment.
void MakeRow(int r, std::mt19937& rng, std::string (&out)[kCols]) {
    char buf[64];
    out[0] = std::to_string(r + 1);
    out[1] = std::string(kWords[rng() % 16]) + " " + kWords[rng() % 16];
    out[2] = std::string(kWords[rng() % 16]) + "." + std::to_string(rng() % 1000) + "@example.org";
    std::snprintf(buf, sizeof buf, "20%02u-%02u-%02u", unsigned(10 + rng() % 15), unsigned(1 + rng() % 12),
                  unsigned(1 + rng() % 28));
    out[3] = buf;
    std::snprintf(buf, sizeof buf, "%u.%02u", unsigned(rng() % 100000), unsigned(rng() % 100));
    out[4] = buf;
    out[5] = kCities[rng() % 8];
    out[6] = (rng() % 4) ? "active" : "closed";
    out[7].clear();
    for (unsigned n = rng() % 4; n > 0; --n)
        out[7] += std::string(kWords[rng() % 16]) + " ";
}

LoadGrid* g_Grid = nullptr;
std::string g_ExportFile;

void BM_ExportDelimitedText(benchmark::State& state) {
    CExport exporter(&g_Grid->Table(), EXP_TEXT);
    exporter.GetOptions().FileName = g_ExportFile;
    exporter.GetOptions().Separator = ",";
    exporter.SetSeparatorFromOptions();
    size_t bytes = 0;
    for (auto _ : state) {
        if (exporter.Run() != EXP_DONE) {
            state.SkipWithError("export failed");
            return;
        }
        bytes = std::filesystem::file_size(g_ExportFile);
    }
    state.SetBytesProcessed(int64_t(bytes) * state.iterations());
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_ExportDelimitedText)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_PaintViewport(benchmark::State& state) {
    g_Grid->resize(1000, 700);
    g_Grid->EnsureVisible(int(state.range(0)), 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(g_Grid->viewport()->grab());
    state.counters["rows"] = g_Grid->GetRowCount();
}
BENCHMARK(BM_PaintViewport)->Arg(1)->Arg(kRows / 2)->Arg(kRows)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    LoadGrid grid;
    grid.Initialize();
    const long baseline = PeakRssKb();

    // Texts are made beforehand, so that the fill measures the grid alone.
    constexpr int kPool = 4096;
    std::mt19937 rng(42);
    std::vector<std::array<std::string, kCols>> pool(kPool);
    for (int r = 0; r < kPool; ++r) {
        std::string row[kCols];
        MakeRow(r, rng, row);
        std::copy(std::begin(row), std::end(row), pool[size_t(r)].begin());
    }
    std::vector<std::string> ids(kRows);
    for (int r = 0; r < kRows; ++r)
        ids[size_t(r)] = std::to_string(r + 1);
    const long baselineWithTexts = PeakRssKb();

    const auto start = std::chrono::steady_clock::now();
    const double startCpu = CpuSeconds();
    grid.Clear();
    grid.Initialize();
    grid.SetColumnCount(kCols + 1);
    const char* headings[kCols] = {"ID", "NAME", "EMAIL", "CREATED", "AMOUNT", "CITY", "STATUS", "NOTE"};
    for (int c = 0; c < kCols; ++c)
        grid.AddColumn(c, headings[c]);
    size_t dataBytes = 0;
    for (int r = 0; r < kRows; ++r) {
        const auto& row = pool[size_t(r % kPool)];
        const int at = grid.NextRow(r);
        grid.SetCellText(at, 1, ids[size_t(r)]);
        dataBytes += ids[size_t(r)].size();
        for (int c = 1; c < kCols; ++c) {
            grid.SetCellText(at, c + 1, row[size_t(c)]);
            dataBytes += row[size_t(c)].size();
        }
    }
    const double fillSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double fillCpu = CpuSeconds() - startCpu;
    const auto sizeStart = std::chrono::steady_clock::now();
    const double sizeStartCpu = CpuSeconds();
    grid.AutoSize();
    const double sizeSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - sizeStart).count();
    const double sizeCpu = CpuSeconds() - sizeStartCpu;
    const long peak = PeakRssKb();

    // The id texts made beforehand are no part of the grid.
    const double used = double(peak - baseline - (baselineWithTexts - baseline)) * 1024.0;
    const double cells = double(kRows) * kCols;
    const double budget = 1.5 * double(dataBytes) + 24.0 * cells;
    std::printf("grid memory: %d x %d cells, data text %.1f MB (all texts incl. row numbers %.1f MB)\n",
                kRows, kCols, double(dataBytes) / 1e6, double(grid.Table().TextBytes()) / 1e6);
    std::printf("grid memory: peak RSS above baseline %.1f MB = %.2f bytes/cell, budget %.1f MB -> %s\n",
                used / 1e6, used / cells, budget / 1e6, used < budget ? "within budget" : "OVER BUDGET");
    std::printf(
        "grid fill: %.2f s wall, %.2f s CPU (%.0f ns CPU per cell); AutoSize %.2f s wall, %.2f s CPU\n",
        fillSeconds, fillCpu, fillCpu / cells * 1e9, sizeSeconds, sizeCpu);

    g_Grid = &grid;
    g_ExportFile =
        (std::filesystem::temp_directory_path() / ("bench_grid_" + std::to_string(getpid()) + ".txt"))
            .string();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(g_ExportFile);
    return used < budget ? 0 : 1;
}
