// Painting a full window of script text: every visible cell holds a character, with keywords,
// strings and comments in their colours and part of it selected.
#include "editor/CColorizer.h"
#include "editor/ColorEditWnd.h"
#include "toolkit/MessageBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPaintEvent>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {
std::string Script(int lines) {
    static const char* const Rows[] = {
        "select c.id, c.name, sum(o.total) as total from customers c join orders o on o.cust = c.id ",
        "  where o.placed >= '2024-01-01' and c.region in ('north', 'south') -- only recent orders  ",
        "/* grouping by the customer keeps one row per name, ordered by the largest total first  */",
        "group by c.id, c.name having sum(o.total) > 1000 order by total desc, c.name asc; update x",
    };
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += Rows[i % 4];
        text += Rows[(i + 1) % 4];
        text += "\r\n";
    }
    return text;
}

struct Window {
    explicit Window(int width, int height, bool showAll) {
        CStringArray words{"SELECT", "FROM",   "WHERE", "JOIN", "ON",  "AND",    "IN", "GROUP",
                           "BY",     "HAVING", "ORDER", "DESC", "ASC", "UPDATE", "AS", "SUM"};
        colorizer.SetKeywords(words);
        editor.resize(width, height);
        editor.SetColorizer(&colorizer);
        editor.SetCharXSpacing(1);
        editor.SetShowAllChars(showAll ? 1 : 0);
        editor.show();
        const std::string text = Script(2000);
        editor.LoadText(text.c_str());
        editor.SetSelection(10, 5, 40, 12);
        QApplication::processEvents();
    }
    CColorizer colorizer;
    ColorEditWnd editor;
};

void PaintFullWindow(benchmark::State& state) {
    Window window(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), state.range(2) != 0);
    QWidget* viewport = window.editor.viewport();
    for (auto _ : state)
        viewport->repaint();
    state.counters["lines"] = window.editor.VisibleLines(true);
    state.counters["columns"] = window.editor.VisibleColumns();
}
BENCHMARK(PaintFullWindow)
    ->Args({1280, 1024, 0})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Unit(benchmark::kMillisecond);

void ScrollOneLine(benchmark::State& state) {
    Window window(1920, 1080, false);
    ColorEditWnd& editor = window.editor;
    int line = 0;
    for (auto _ : state) {
        editor.ScrollToLine(++line % 1000);
        editor.viewport()->repaint();
    }
}
BENCHMARK(ScrollOneLine)->Unit(benchmark::kMillisecond);
// A 10 MiB script of 200 000 lines, every twentieth holding the word target.
std::string BigScript() {
    std::string text;
    text.reserve(11 << 20);
    for (int i = 0; i < 200000; ++i) {
        text += i % 20 == 0 ? "select target, name from customers where id = 42; -- x\r\n"
                            : "select amount, name from customers where id = 42; -- x\r\n";
    }
    return text;
}

struct BigWindow {
    BigWindow() {
        CStringArray words{"SELECT", "FROM", "WHERE"};
        colorizer.SetKeywords(words);
        editor.resize(1280, 1024);
        editor.SetColorizer(&colorizer);
        editor.show();
        const std::string text = BigScript();
        editor.LoadText(text.c_str());
        QApplication::processEvents();
    }
    CColorizer colorizer;
    ColorEditWnd editor;
};

// One typed character in the middle of the script, through the widget's key handling and
// notifications (painting follows later from the event loop and is measured above).
void TypeInBigScript(benchmark::State& state) {
    BigWindow window;
    ColorEditWnd& editor = window.editor;
    editor.SetSelection(10, 100000, 10, 100000);
    for (auto _ : state) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
        QApplication::sendEvent(&editor, &key);
    }
}
BENCHMARK(TypeInBigScript)->Unit(benchmark::kMicrosecond);

// Replace all making 10 000 replacements, each one undo step with its notifications.
void ReplaceAllInBigScript(benchmark::State& state) {
    MessageHandler previous = SetMessageHandler([](const MessageRequest&) { return IDOK; });
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<BigWindow>();
        window->editor.SetSelection(0, 0, 0, 0);
        state.ResumeTiming();
        window->editor.ReplaceAll("target", "goal", 1, 1);
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    SetMessageHandler(previous);
}
BENCHMARK(ReplaceAllInBigScript)->Unit(benchmark::kMillisecond)->Iterations(2);
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
