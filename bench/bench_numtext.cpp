// Reading and writing 1000 varied numbers with number text and with strtold / snprintf("%.15Lg").
// Both sides use "." as the separator so they read the same texts.

#include "numtext/numtext.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using numtext::Real;

struct Inputs {
    std::vector<Real> values;
    std::vector<std::string> texts;
};

// Short decimals, integers, full 15-digit values, fractions and wide exponents, as a calculator
// display shows them.
const Inputs& inputs()
{
    static const Inputs in = [] {
        Inputs r;
        std::mt19937_64 rng(1000);
        for (int n = 0; n < 1000; ++n) {
            Real v = 0;
            switch (n % 5) {
            case 0:
                v = static_cast<Real>(rng() % 100000) / 100;
                break;
            case 1:
                v = static_cast<Real>(static_cast<std::int64_t>(rng() % 2000000000) - 1000000000);
                break;
            case 2:
                v = static_cast<Real>(rng() % 1000000000000000ULL) / 1e7L;
                break;
            case 3:
                v = static_cast<Real>(rng() % 1000) / static_cast<Real>(rng() % 997 + 3);
                break;
            default:
                v = static_cast<Real>(rng() % 1000000000000000ULL) *
                    std::pow(10.0L, static_cast<Real>(static_cast<int>(rng() % 600) - 300));
                break;
            }
            if (n % 7 == 0)
                v = -v;
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%.15Lg", v);
            r.texts.emplace_back(buffer);
            r.values.push_back(std::strtold(buffer, nullptr));
        }
        return r;
    }();
    return in;
}

void textToReal(benchmark::State& state)
{
    numtext::setDecimalSeparator('.');
    const auto& texts = inputs().texts;
    for (auto _ : state)
        for (const auto& t : texts)
            benchmark::DoNotOptimize(numtext::textToReal(t));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}

void strtoldReference(benchmark::State& state)
{
    const auto& texts = inputs().texts;
    for (auto _ : state)
        for (const auto& t : texts)
            benchmark::DoNotOptimize(std::strtold(t.c_str(), nullptr));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}

void realToText(benchmark::State& state)
{
    numtext::setDecimalSeparator('.');
    const auto& values = inputs().values;
    for (auto _ : state)
        for (const Real v : values)
            benchmark::DoNotOptimize(numtext::realToText(v));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

void snprintfReference(benchmark::State& state)
{
    const auto& values = inputs().values;
    char buffer[64];
    for (auto _ : state) {
        for (const Real v : values) {
            benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%.15Lg", v));
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

// The same, returning a std::string as realToText does.
void snprintfToString(benchmark::State& state)
{
    const auto& values = inputs().values;
    char buffer[64];
    for (auto _ : state) {
        for (const Real v : values) {
            const int n = std::snprintf(buffer, sizeof buffer, "%.15Lg", v);
            benchmark::DoNotOptimize(std::string(buffer, static_cast<std::size_t>(n)));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

} // namespace

BENCHMARK(textToReal);
BENCHMARK(strtoldReference);
BENCHMARK(realToText);
BENCHMARK(snprintfReference);
BENCHMARK(snprintfToString);

BENCHMARK_MAIN();
