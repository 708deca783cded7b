// The plot window with long columns (offscreen, or the platform QT_QPA_PLATFORM names):
// plotting, loading and saving 10^4 to 10^7 lines, each measured to the end of the window's
// repaint, and the memo component's own load of the same text beside the window's. The
// 10^7-line load and plot report when the progress box appeared, the longest the event loop went
// without turning and how much of that the window's thread ran (the rest it waited for a core),
// how long "Отмена" took, and the memory the memo holds the text in.

#include "numtext/numtext.h"
#include "plot/MemoEditor.h"
#include "plot/UnitGraph.h"
#include "ui/Chart.h"
#include "support/testkit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>
#include <fstream>
#include <string>

namespace {

// A column of n numbers with a decimal comma, one per line, the way a user would type it.
QByteArray column(std::int64_t n)
{
    QByteArray text;
    text.reserve(n * 8);
    for (std::int64_t i = 0; i < n; ++i)
        text += QByteArray::number(i % 1000) + ',' + QByteArray::number(i % 7) + '\n';
    return text;
}

double rssMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    return 0;
}

// The time this thread has run, so a gap in the event loop tells work from waiting for a core.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Lets the window handle what the step left pending and paints it, so a measurement ends
// where the user sees the result.
void settle(QWidget& window)
{
    QApplication::processEvents();
    window.repaint();
}

struct Window {
    testkit::FakeDialogs dialogs;
    TfmGraph graph{dialogs};
    Window()
    {
        graph.show();
        QApplication::processEvents();
    }
    void setText(const QByteArray& text)
    {
        graph.Memo1->setText(std::string_view(text.constData(), text.size()));
    }
};

QString writeColumn(const QTemporaryDir& dir, std::int64_t n)
{
    const QString path = dir.filePath(QStringLiteral("column.txt"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(column(n).replace("\n", "\r\n"));
    return path;
}

void plotColumn(benchmark::State& state)
{
    Window w;
    w.setText(column(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.graph.Button2Click();
        settle(w.graph);
        state.ResumeTiming();
        w.graph.BitBtn2Click();
        settle(w.graph);
    }
    if (w.graph.Chart1->series(0)->count() != state.range(0))
        state.SkipWithError("not every line was plotted");
}

void loadColumn(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeColumn(dir, state.range(0));
    Window w;
    for (auto _ : state) {
        state.PauseTiming();
        w.setText({});
        settle(w.graph);
        w.dialogs.fileAnswers.push_back(path);
        state.ResumeTiming();
        w.graph.BitBtn3Click();
        settle(w.graph);
    }
    if (w.graph.Memo1->lineCount() != state.range(0))
        state.SkipWithError("not every line was loaded");
}

// The component alone: the same text, already decoded, handed to it in one piece.
void componentLoad(benchmark::State& state)
{
    const QByteArray text = column(state.range(0));
    Window w;
    for (auto _ : state) {
        state.PauseTiming();
        w.setText({});
        settle(w.graph);
        state.ResumeTiming();
        auto loader = w.graph.Memo1->newLoader(text.size());
        loader->append(std::string_view(text.constData(), text.size()));
        w.graph.Memo1->take(std::move(loader));
        settle(w.graph);
    }
}

void saveColumn(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("column.txt"));
    Window w;
    w.setText(column(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.dialogs.fileAnswers.push_back(path);
        state.ResumeTiming();
        w.graph.BitBtn1Click();
        settle(w.graph);
    }
}

// One step on a 10^7-line column watched from the event loop, from the click until the window
// has painted the result: when the progress box showed, the longest gap between two turns of
// the loop, when it ended and how much of it the window's thread ran, and the memory a load
// took. With cancelAfterMs > 0 the box is cancelled then, and the time until the window is back
// is reported. The step is by mode: a load into the empty memo, a load over the column already
// in the memo (so it also lets a long text go), or plotting the column.
enum WatchedStep { IntoEmpty, OverFull, Plot };
void watchedStep(benchmark::State& state)
{
    const std::int64_t n = state.range(0);
    const int cancelAfterMs = int(state.range(1));
    const auto mode = WatchedStep(state.range(2));
    QTemporaryDir dir;
    const QString path = writeColumn(dir, n);
    Window w;
    for (auto _ : state) {
        state.PauseTiming();
        if (mode == IntoEmpty) {
            w.setText({});
        } else {
            w.dialogs.fileAnswers.push_back(path);
            w.graph.BitBtn3Click();
            w.graph.Button2Click();
        }
        settle(w.graph);
        const qsizetype linesBefore = w.graph.Memo1->lineCount();
        const double rssBefore = rssMiB();
        state.ResumeTiming();
        QElapsedTimer clock;
        qint64 lastTurn = 0, longestGap = 0, gapEnd = 0, shownAt = -1, cancelledAt = -1;
        double lastCpu = threadCpuMs(), gapCpu = 0;
        const auto turn = [&] {
            const qint64 now = clock.elapsed();
            const double cpu = threadCpuMs();
            if (now - lastTurn > longestGap) {
                longestGap = now - lastTurn;
                gapEnd = now;
                gapCpu = cpu - lastCpu;
            }
            lastTurn = now;
            lastCpu = cpu;
        };
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            turn();
            auto* box = w.graph.findChild<QProgressDialog*>();
            if (shownAt < 0 && box && box->isVisible())
                shownAt = lastTurn;
            if (cancelAfterMs > 0 && cancelledAt < 0 && box && lastTurn >= cancelAfterMs) {
                cancelledAt = clock.elapsed();
                box->cancel();
            }
        });
        if (mode != Plot)
            w.dialogs.fileAnswers.push_back(path);
        clock.start();
        tick.start();
        if (mode == Plot)
            w.graph.BitBtn2Click();
        else
            w.graph.BitBtn3Click();
        const qint64 returned = clock.elapsed();
        turn();
        // The turns after the step: the window repaints the new text or the chart.
        QEventLoop after;
        QTimer::singleShot(300, &after, &QEventLoop::quit);
        after.exec();
        tick.stop();
        state.counters["progress_shown_ms"] = double(shownAt);
        state.counters["longest_stall_ms"] = double(longestGap);
        state.counters["stall_end_ms"] = double(gapEnd);
        state.counters["stall_cpu_ms"] = gapCpu;
        state.counters["total_ms"] = double(returned);
        if (cancelAfterMs > 0) {
            state.counters["cancel_ms"] = double(returned - cancelledAt);
            if (w.graph.Memo1->lineCount() != linesBefore)
                state.SkipWithError("the cancelled step changed the memo");
        } else if (mode == Plot) {
            if (w.graph.Chart1->series(0)->count() != n)
                state.SkipWithError("not every line was plotted");
        } else {
            if (mode == IntoEmpty) {
                state.counters["memo_MiB"] = rssMiB() - rssBefore;
                state.counters["file_MiB"] = double(QFile(path).size()) / (1 << 20);
            }
            if (w.graph.Memo1->lineCount() != n)
                state.SkipWithError("not every line was loaded");
        }
    }
}

} // namespace

BENCHMARK(plotColumn)->RangeMultiplier(10)->Range(10'000, 10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(loadColumn)->RangeMultiplier(10)->Range(10'000, 1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(componentLoad)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(saveColumn)->RangeMultiplier(10)->Range(10'000, 1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(watchedStep)
    ->Args({10'000'000, 0, IntoEmpty})
    ->Args({10'000'000, 400, IntoEmpty})
    ->Args({10'000'000, 0, OverFull})
    ->Args({10'000'000, 0, Plot})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
