// The plot window with long columns (offscreen): plotting, loading and saving 10^4 to 10^6
// lines, each measured to the end of the window's repaint.

#include "numtext/numtext.h"
#include "plot/UnitGraph.h"
#include "ui/Chart.h"
#include "support/testkit.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A column of n numbers with a decimal comma, one per line, the way a user would type it.
QString column(std::int64_t n)
{
    QString text;
    text.reserve(n * 8);
    for (std::int64_t i = 0; i < n; ++i)
        text += QString::number(i % 1000) + QStringLiteral(",") + QString::number(i % 7) + u'\n';
    return text;
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
};

void plotColumn(benchmark::State& state)
{
    Window w;
    w.graph.Memo1->setPlainText(column(state.range(0)));
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
    const QString path = dir.filePath(QStringLiteral("column.txt"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(column(state.range(0)).replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toUtf8());
    file.close();
    Window w;
    for (auto _ : state) {
        state.PauseTiming();
        w.graph.Memo1->clear();
        settle(w.graph);
        w.dialogs.fileAnswers.push_back(path);
        state.ResumeTiming();
        w.graph.BitBtn3Click();
        settle(w.graph);
    }
    if (w.graph.Memo1->blockCount() != state.range(0) + 1)
        state.SkipWithError("not every line was loaded");
}

void saveColumn(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("column.txt"));
    Window w;
    w.graph.Memo1->setPlainText(column(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.dialogs.fileAnswers.push_back(path);
        state.ResumeTiming();
        w.graph.BitBtn1Click();
        settle(w.graph);
    }
}

} // namespace

BENCHMARK(plotColumn)->RangeMultiplier(10)->Range(10'000, 1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(loadColumn)->RangeMultiplier(10)->Range(10'000, 1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(saveColumn)->RangeMultiplier(10)->Range(10'000, 1'000'000)->Unit(benchmark::kMillisecond);
