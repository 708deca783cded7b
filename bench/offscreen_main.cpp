// The main of the benchmarks that create windows: an offscreen application (unless
// QT_QPA_PLATFORM names another platform) with the decimal comma, then Google Benchmark's own
// run.

#include "numtext/numtext.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    numtext::setDecimalSeparator(',');
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
