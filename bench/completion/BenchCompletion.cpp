// Completion against a large PostgreSQL catalog (bench/runner/completion.sh makes 2 000 tables of 20
// columns): the time of each background read, which is the longest a keystroke can wait, and of a
// keystroke with the list open. The data source comes from VARNEL_BENCH_DSN, _USER and _PASSWORD.
#include "codbc/ODBC.h"
#include "editor/CColorizer.h"
#include "editor/CCompletionPopup.h"
#include "editor/ColorEditWnd.h"
#include "views/CCatalogCache.h"

#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace {

ODBC* Session() {
    static std::unique_ptr<ODBC> session;
    if (!session) {
        session = std::make_unique<ODBC>();
        const char* dsn = std::getenv("VARNEL_BENCH_DSN");
        const char* user = std::getenv("VARNEL_BENCH_USER");
        const char* password = std::getenv("VARNEL_BENCH_PASSWORD");
        if (!dsn || session->Connect(dsn, user ? user : "", password ? password : "") != 0)
            return nullptr;
    }
    return session.get();
}

// Records the longest iteration, in milliseconds, beside the mean that the library reports.
class Longest {
public:
    void Start() { m_Start = std::chrono::steady_clock::now(); }
    void Stop() {
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_Start).count();
        m_Max = std::max(m_Max, ms);
    }
    void Report(benchmark::State& state) const { state.counters["max_ms"] = m_Max; }

private:
    std::chrono::steady_clock::time_point m_Start;
    double m_Max = 0;
};

void BM_ReadTableList(benchmark::State& state) {
    ODBC* session = Session();
    if (!session) {
        state.SkipWithError("no data source (run bench/runner/completion.sh)");
        return;
    }
    Longest longest;
    size_t tables = 0;
    for (auto _ : state) {
        CCatalogCache cache(session, [] { return 1; });
        longest.Start();
        cache.Step();
        longest.Stop();
        tables = cache.Tables().size();
    }
    longest.Report(state);
    state.counters["tables"] = static_cast<double>(tables);
}
BENCHMARK(BM_ReadTableList)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ReadOneTablesColumns(benchmark::State& state) {
    ODBC* session = Session();
    if (!session) {
        state.SkipWithError("no data source (run bench/runner/completion.sh)");
        return;
    }
    CCatalogCache cache(session, [] { return 1; });
    cache.Step();
    Longest longest;
    int n = 0;
    size_t columns = 0;
    for (auto _ : state) {
        const CString table = "t" + std::to_string(n++ % 2000);
        cache.Columns(table);
        longest.Start();
        cache.Step();
        longest.Stop();
        columns = cache.Columns(table) ? cache.Columns(table)->size() : 0;
    }
    longest.Report(state);
    state.counters["columns"] = static_cast<double>(columns);
}
BENCHMARK(BM_ReadOneTablesColumns)->Unit(benchmark::kMillisecond)->Iterations(200);

// A keystroke in the editor with the list open over every table: the word narrows and the list refills.
void BM_KeystrokeWithListOpen(benchmark::State& state) {
    ODBC* session = Session();
    if (!session) {
        state.SkipWithError("no data source (run bench/runner/completion.sh)");
        return;
    }
    CCatalogCache cache(session, [] { return 1; });
    while (cache.Step()) {
    }
    CColorizer colorizer;
    CStringArray keywords = {"SELECT", "FROM", "WHERE", "TABLE", "TOP", "TRIGGER", "TRUNCATE", "CREATE"};
    colorizer.SetKeywords(keywords);
    ColorEditWnd editor(nullptr, QRect(0, 0, 800, 600), 1, 4, 100, "DejaVu Sans Mono");
    editor.SetColorizer(&colorizer);
    editor.SetCompletionCatalog(&cache);
    CString script;
    for (int i = 0; i < 2000; ++i)
        script += "select c.c1, c.c2 from t" + std::to_string(i) + " c where c.c3 = 1;\n";
    editor.LoadText(script.c_str());
    editor.SetSelection(0, 1000, 0, 1000);
    Longest longest;
    const int mode = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        editor.ReplaceSelText(mode == 0 ? "select * from " : "select * from t12 x where x.");
        editor.OpenCompletion();
        // The columns arrive by a background read before the user types on.
        cache.Step();
        editor.RefreshCompletion();
        state.ResumeTiming();
        longest.Start();
        QKeyEvent key(QEvent::KeyPress, mode == 0 ? Qt::Key_T : Qt::Key_C, Qt::NoModifier,
                      mode == 0 ? "t" : "c");
        QApplication::sendEvent(&editor, &key);
        longest.Stop();
        state.PauseTiming();
        const int rows = editor.CompletionPopup()->count();
        state.counters["rows"] = rows;
        editor.CloseCompletion();
        editor.DoUndo();
        state.ResumeTiming();
    }
    longest.Report(state);
}
BENCHMARK(BM_KeystrokeWithListOpen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(50);

// Typing "." in a long script: the statement around the caret is found before the list opens.
void BM_DotInALongScript(benchmark::State& state) {
    CColorizer colorizer;
    ColorEditWnd editor(nullptr, QRect(0, 0, 800, 600), 1, 4, 100, "DejaVu Sans Mono");
    editor.SetColorizer(&colorizer);
    CString script;
    for (int i = 0; i < state.range(0); ++i)
        script += "select c.c1, c.c2 from t" + std::to_string(i) + " c where c.c3 = 1;\n";
    editor.LoadText(script.c_str());
    const int middle = static_cast<int>(state.range(0) / 2);
    Longest longest;
    for (auto _ : state) {
        editor.SetSelection(8, middle, 8, middle);
        longest.Start();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Period, Qt::NoModifier, ".");
        QApplication::sendEvent(&editor, &key);
        longest.Stop();
        state.PauseTiming();
        editor.CloseCompletion();
        editor.DoUndo();
        state.ResumeTiming();
    }
    longest.Report(state);
}
BENCHMARK(BM_DotInALongScript)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
