// audio_fft.cpp - one 131 072-point transform with the Hamming window, the
// spectrum view's line in JT9-10.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "audio/Fft.h"

namespace merivac {
namespace {

void Fft131072(benchmark::State& state) {
  constexpr int32_t n = 131072;
  std::vector<int16_t> input(n);
  for (int32_t i = 0; i < n; ++i)
    input[i] = static_cast<int16_t>(std::lround(5000 * std::sin(0.1 * i)));
  std::vector<double> re(n), im(n);
  Fft(n, kFftHamming, input.data(), re.data(), im.data());  // allocates once
  for (auto _ : state) {
    Fft(n, kFftHamming, input.data(), re.data(), im.data());
    benchmark::DoNotOptimize(re.data());
  }
}

BENCHMARK(Fft131072)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace merivac

BENCHMARK_MAIN();
