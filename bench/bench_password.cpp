// The password window's running cost: one character tick (the secure draw included), and one
// list tick on a memo that already holds many lines, both hidden and shown, since the list
// grows by up to eight lines a second for as long as the program runs.

#include "password/UnitSort.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

static void characterTick(benchmark::State& state)
{
    password::Generator generator;
    for (auto _ : state) {
        if (generator.characterTick("6"))
            generator.clear();
        benchmark::DoNotOptimize(generator.currentPassword().data());
    }
}
BENCHMARK(characterTick);

// Arguments: lines already in the memo, whether the window is shown.
static void listTick(benchmark::State& state)
{
    ui::QtDialogs dialogs;
    TfmSort window(dialogs, QStringLiteral("Pass.txt"));
    window.ensureBuilt();
    QString lines;
    for (int i = 0; i < state.range(0); ++i)
        lines += QStringLiteral("a1B2c3\n");
    window.Memo1->setPlainText(lines);
    if (state.range(1) != 0)
        window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        window.Timer2Timer();
        window.Timer1->stop(); // no event loop runs here; keep the timers from piling up
        if (state.range(1) != 0)
            QApplication::processEvents(); // paint, as the shown window would
    }
    window.Timer2->stop();
}
BENCHMARK(listTick)->ArgsProduct({{0, 100'000, 1'000'000}, {0, 1}})->Unit(benchmark::kMicrosecond);
