// Speed of CParse::Parse on generated scripts; the figure to watch is bytes per second, and the
// 100 MiB case should take about ten times the 10 MiB case.
#include "parse/CParse.h"

#include "ScriptGenerator.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {
const CString& ScriptOfMiB(int mib) {
    static std::map<int, CString> scripts;
    auto found = scripts.find(mib);
    if (found == scripts.end())
        found = scripts.emplace(mib, ScriptGenerator::Generate(size_t(mib) << 20)).first;
    return found->second;
}

void BM_Parse(benchmark::State& state) {
    const CString& script = ScriptOfMiB(int(state.range(0)));
    CParse parse;
    // The runner reuses one parser; the first parse also pays for fresh memory pages.
    parse.Parse(script.c_str());
    for (auto _ : state) {
        parse.Parse(script.c_str());
        benchmark::DoNotOptimize(parse.m_Statements.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(script.size()));
    state.counters["statements"] = double(parse.m_Count);
}
} // namespace

BENCHMARK(BM_Parse)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
