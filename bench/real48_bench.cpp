#include <benchmark/benchmark.h>

#include "model/real48.h"

// Every value the engine stores passes through Real48::round.
static void BM_Real48Round(benchmark::State& state) {
  long double x = 1234.56789L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(pelmar::Real48::round(x));
    x += 0.0001L;
  }
}
BENCHMARK(BM_Real48Round);
