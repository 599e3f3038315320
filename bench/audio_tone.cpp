// audio_tone.cpp - synthesising one JT9-10 symbol (331 776 samples at
// 48 kHz), the largest piece of work of the transmit path per tick.
#include <benchmark/benchmark.h>

#include <vector>

#include "audio/ToneSynth.h"

namespace merivac {
namespace {

void Jt910Symbol(benchmark::State& state) {
  std::vector<int16_t> buffer(331776);
  double phase = 1.0e6;  // a phase well into a long run
  for (auto _ : state) {
    phase = SynthesizeTone(buffer.data(), 331776, phase, 1513.9);
    benchmark::DoNotOptimize(buffer.data());
  }
}

BENCHMARK(Jt910Symbol)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace merivac

BENCHMARK_MAIN();
