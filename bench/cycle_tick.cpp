// cycle_tick.cpp - the cost of one main tick: idle (input read for the
// spectrum only) and receiving (4800 bytes of input per tick, 50 ms of
// sound card audio, through a trivial capture chain), with the debug log
// off and, for the receive tick, on; and the program's default capture
// chain, which reads and drops the input and keeps its peak.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Settings.h"
#include "common/UiServices.h"
#include "cycle/Engine.h"

namespace merivac {
namespace {

constexpr uint32_t kBytesPerTick = 4800;  // 50 ms at 48000 samples per second

// An input that has exactly one tick's worth of audio waiting per tick.
class TickInput final : public InputChannel {
 public:
  TickInput() {
    for (size_t i = 0; i < audio_.size(); ++i) audio_[i] = static_cast<int16_t>((i * 37) & 0x3FF);
  }
  uint32_t WaitingBytes() override { return pending; }
  uint32_t Read(int16_t* dest, uint32_t bytes) override {
    const uint32_t n = std::min(bytes, pending) & ~1u;
    std::memcpy(dest, audio_.data(), n);
    pending -= n;
    return n;
  }
  bool Pause() override { return true; }
  bool Resume() override { return true; }
  uint32_t pending = 0;

 private:
  std::array<int16_t, kBytesPerTick / 2> audio_{};
};

// A capture chain that only reads the waiting input into its block buffer.
class TrivialCapture final : public CaptureStage {
 public:
  explicit TrivialCapture(InputChannel& in) : in_(in) {}
  uint32_t FlushInput() override { return Read(); }
  std::span<const int16_t> FlushedSamples() const override { return {block_.data(), held_}; }
  bool ProcessReceiveInput() override {
    Read();
    return true;
  }
  void ProcessIdleInput() override { Read(); }
  void StartCycleCapture() override {}
  int16_t InputPeak() const override { return 0; }
  void ResetInputPeak() override {}
  void RaiseInputPeak(const int16_t*, size_t) override {}

 private:
  uint32_t Read() {
    const uint32_t n = in_.WaitingBytes();
    held_ = in_.Read(block_.data(), std::min<uint32_t>(n, sizeof block_)) / 2;
    return n;
  }
  InputChannel& in_;
  std::array<int16_t, 32000> block_{};
  size_t held_ = 0;
};

struct Bench {
  explicit Bench(uint32_t mode, bool logging) : logOn(logging) {
    settings.mode = mode;
    if (logging) log.Open("/tmp/merivac-bench-cycle-debug.txt");
    engine.StartCycleClock(clock.Now());
    engine.StartTimer();
  }
  ManualClock clock{EncodeDateTime(2026, 3, 2, 10, 0, 1)};
  Settings settings;
  MainControls controls;
  bool logOn;
  DebugLog log{clock, logOn};
  NullUiServices ui;
  TickInput input;
  FixedRecordInput record{&input};
  TrivialCapture capture{input};
  Engine engine{clock, settings, controls, log, ui, EngineServices{&record, &capture}};
};

void RunTicks(benchmark::State& state, Bench& b, bool capturing) {
  const double base = b.clock.Now();
  int64_t i = 0;
  for (auto _ : state) {
    // 10000 ticks (500 s) stay inside one JT9-10 receive cycle.
    b.clock.Set(base + static_cast<double>(i++ % 10000) * 0.05 / kSecondsPerDay);
    b.input.pending = kBytesPerTick;
    b.engine.Flags().capturing = capturing;
    b.engine.TimerTimer();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_IdleTick(benchmark::State& state) {
  Bench b(10, false);
  RunTicks(state, b, false);
}

void BM_ReceiveTick(benchmark::State& state) {
  Bench b(10, false);
  RunTicks(state, b, true);
}

void BM_ReceiveTickWithDebugLog(benchmark::State& state) {
  Bench b(10, true);
  RunTicks(state, b, true);
  std::remove("/tmp/merivac-bench-cycle-debug.txt");
}

void BM_ReceiveTickDefaultCapture(benchmark::State& state) {
  Bench b(10, false);
  DiscardingCaptureStage discarding(b.record);
  b.engine.SetServices(EngineServices{&b.record, &discarding});
  RunTicks(state, b, true);
}

BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReceiveTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReceiveTickWithDebugLog)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReceiveTickDefaultCapture)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace merivac

BENCHMARK_MAIN();
