// The calculator's factorial key on the largest and on ordinary inputs: the largest must fail
// at once rather than multiply two billion times.

#include "calc/engine.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace {

void factorial(benchmark::State& state)
{
    const std::string display = std::to_string(state.range(0));
    calc::Engine engine;
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(engine.fact(display));
        } catch (const std::exception&) { // the overflow of the largest input
        }
    }
}

} // namespace

BENCHMARK(factorial)->Arg(20)->Arg(1000)->Arg(2147483647);

BENCHMARK_MAIN();
