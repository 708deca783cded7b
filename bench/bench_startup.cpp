// Start-up cost: creating the seven windows and showing the main one (offscreen), which is
// what stands between launching the program and a usable calculator.

#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

static void createAndShowWindows(benchmark::State& state)
{
    QTemporaryDir config;
    ui::QtDialogs dialogs;
    for (auto _ : state) {
        app::Windows windows = app::createWindows(dialogs, config.filePath(QStringLiteral("CalcConf.ini")));
        windows.fmCalc->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(windows.fmCalc.get());
    }
}
BENCHMARK(createAndShowWindows)->Unit(benchmark::kMillisecond);
