// Model work of the script editor on a 10 MiB, 200 000-line script: loading with colouring, typing one
// character (with the colours of a screenful read as painting would), and replacing 10 000 occurrences.
#include "editor/CEditModel.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kLines = 200000;
constexpr size_t kBytes = 10u * 1024u * 1024u;
constexpr int kScreen = 50;

CStringArray Keywords() {
    return {"select", "from",  "where",  "and",    "or",      "not",    "insert", "into",    "values",
            "update", "set",   "delete", "create", "table",   "drop",   "index",  "on",      "join",
            "left",   "right", "inner",  "outer",  "group",   "by",     "order",  "having",  "as",
            "is",     "null",  "like",   "in",     "between", "exists", "union",  "all",     "distinct",
            "case",   "when",  "then",   "else",   "end",     "begin",  "commit", "rollback"};
}

// A script of kLines lines, kBytes bytes with CR LF line ends; every 20th line holds the word "needle".
const std::string& Script() {
    static std::string script;
    if (!script.empty())
        return script;
    const char* shapes[] = {
        "select a.id, b.name, 'text -- not a comment' from t1 a",
        "  join t2 b on a.id = b.ref_id where b.kind in (1, 2, 3)",
        "-- a line comment with select inside it",
        "/* a block comment that spans",
        "   two lines of the script */ update t3 set x = 'y'",
        "insert into log (at, what) values ('2024-01-01', \"done\")",
        "  and \xC3\xA9t\xC3\xA9 = 'caf\xC3\xA9' or price > 12.50",
    };
    const size_t perLine = kBytes / kLines - 2;
    const size_t longer = kBytes % kLines; // this many lines get one byte more, to reach kBytes exactly
    script.reserve(kBytes + kLines);
    for (int i = 0; i < kLines; ++i) {
        std::string line = shapes[i % 7];
        if (i % 20 == 0)
            line = "update stock set needle = 1 where id = " + std::to_string(i);
        line.resize(perLine + (static_cast<size_t>(i) < longer ? 1 : 0), ' ');
        line.back() = ';';
        script += line;
        script += "\r\n";
    }
    return script;
}

struct Loaded {
    CColorizer engine;
    CEditModel model;
    Loaded() {
        CStringArray words = Keywords();
        engine.SetKeywords(words);
        model.Text().SetColorizer(&engine);
        model.LoadText(Script().c_str());
        model.Text()._GetLineColors(model.GetLineCount() - 1);
    }
};

void ReadScreen(const CEditModel& m, int first) {
    for (int i = first; i < first + kScreen && i < m.GetLineCount(); ++i)
        benchmark::DoNotOptimize(m.Text()._GetLineColors(i).data());
}

void LoadTextWithColouring(benchmark::State& state) {
    CColorizer engine;
    CStringArray words = Keywords();
    engine.SetKeywords(words);
    const std::string& script = Script();
    for (auto _ : state) {
        CEditModel model;
        model.Text().SetColorizer(&engine);
        model.LoadText(script.c_str());
        // Colour every line, as reading or painting the last one would.
        benchmark::DoNotOptimize(model.Text()._GetLineColors(model.GetLineCount() - 1).data());
        state.PauseTiming();
        model = CEditModel(); // freeing 200 000 lines is not part of loading
        state.ResumeTiming();
    }
    state.counters["lines"] = kLines;
    state.counters["MiB"] = static_cast<double>(script.size()) / (1024.0 * 1024.0);
}
BENCHMARK(LoadTextWithColouring)->Unit(benchmark::kMillisecond)->Iterations(5);

// What the user waits for: loading, then the colours of the first screenful (the rest is coloured when read).
void LoadTextShowingFirstScreen(benchmark::State& state) {
    CColorizer engine;
    CStringArray words = Keywords();
    engine.SetKeywords(words);
    const std::string& script = Script();
    for (auto _ : state) {
        CEditModel model;
        model.Text().SetColorizer(&engine);
        model.LoadText(script.c_str());
        ReadScreen(model, 0);
        state.PauseTiming();
        model = CEditModel();
        state.ResumeTiming();
    }
}
BENCHMARK(LoadTextShowingFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(5);

void TypeCharacterAnywhere(benchmark::State& state) {
    static Loaded loaded;
    CEditModel& m = loaded.model;
    unsigned seed = 12345;
    for (auto _ : state) {
        seed = seed * 1103515245u + 12345u;
        const int line = static_cast<int>((seed >> 8) % (kLines - kScreen));
        m.SetSelection(10, line, 10, line);
        m.TypeChar('x');
        ReadScreen(m, line);
    }
}
BENCHMARK(TypeCharacterAnywhere)->Unit(benchmark::kMicrosecond);

// The worst case for colouring: opening a block comment at the top turns the whole script into a comment.
void TypeCommentOpenerAtTop(benchmark::State& state) {
    static Loaded loaded;
    CEditModel& m = loaded.model;
    for (auto _ : state) {
        m.SetSelection(0, 0, 0, 0);
        m.TypeChar('/');
        ReadScreen(m, 0);
        m.TypeChar('*');
        ReadScreen(m, 0);
        state.PauseTiming();
        m.DoUndo();
        m.DoUndo();
        ReadScreen(m, 0);
        state.ResumeTiming();
    }
    state.counters["chars"] = 2;
}
BENCHMARK(TypeCommentOpenerAtTop)->Unit(benchmark::kMicrosecond);

void ReplaceAll10000(benchmark::State& state) {
    Loaded loaded;
    int count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        loaded.model.LoadText(Script().c_str());
        loaded.model.SetSelection(0, 0, 0, 0);
        state.ResumeTiming();
        count = loaded.model.ReplaceAll("needle", "thread", 0, 1);
        ReadScreen(loaded.model, loaded.model.GetCursorY());
    }
    state.counters["replacements"] = count;
}
BENCHMARK(ReplaceAll10000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
