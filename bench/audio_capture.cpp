// audio_capture.cpp - cost of one 0.2 s receive block (19 200 bytes) through
// the capture chain, by mode, with the front end mixer off and on.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "audio/CaptureChain.h"

namespace merivac {
namespace {

// An input that always has two blocks of a steady tone waiting.
class EndlessInput : public InputChannel {
 public:
  EndlessInput() : tone_(2 * 9600) {
    for (size_t n = 0; n < tone_.size(); ++n) {
      tone_[n] = static_cast<int16_t>(
          std::lround(8000 * std::cos(2 * 3.14159265358979 * 1500 * n / 48000.0)));
    }
  }
  uint32_t WaitingBytes() override { return budget_ > 0 ? 2 * 19200 : 0; }
  uint32_t Read(int16_t* dest, uint32_t bytes) override {
    std::copy(tone_.begin(), tone_.begin() + bytes / 2, dest);
    budget_ -= 1;
    return bytes;
  }
  bool Pause() override { return true; }
  bool Resume() override { return true; }
  int budget_ = 0;  // blocks still to deliver

 private:
  std::vector<int16_t> tone_;
};

void ReceiveBlock(benchmark::State& state) {
  const auto mode = static_cast<uint32_t>(state.range(0));
  const bool mixer = state.range(1) != 0;
  ManualClock clock;
  bool logOn = false;
  DebugLog log(clock, logOn);
  Settings settings;
  settings.mode = mode;
  settings.mixerEnabled = mixer;
  EndlessInput input;
  bool changed = false;
  SpectrumSink spectrum;
  auto recording = std::make_unique<CycleRecording>();
  CaptureChain chain([&] { return &input; }, changed, spectrum, *recording, settings, log);
  chain.BuildSincTables();
  chain.StartMixer(1000);
  chain.StartCycleCapture();
  int blocks = 0;
  for (auto _ : state) {
    if (++blocks == 200) {  // stay inside one recording
      state.PauseTiming();
      chain.StartCycleCapture();
      blocks = 0;
      state.ResumeTiming();
    }
    input.budget_ = 1;
    chain.ProcessReceiveInput();
  }
  state.SetLabel(std::string("JT9-") + std::to_string(mode) + (mixer ? " mixer on" : " mixer off"));
}

BENCHMARK(ReceiveBlock)
    ->ArgsProduct({{1, 2, 5, 10}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace merivac

BENCHMARK_MAIN();
