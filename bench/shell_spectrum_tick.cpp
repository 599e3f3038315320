// shell_spectrum_tick.cpp - the main tick's busy measure over a JT9-10
// receive cycle with the spectrum window open (and, for comparison,
// closed): a whole station records the band simulator from the cycle's
// start up to the decoding threshold in simulated 50 ms ticks; each tick is
// timed on the real clock and its busy value taken as the engine takes it
// (half the tick's milliseconds). The window's repaints, which run after
// the tick in the event loop, are timed apart. Target: the busy value
// below 10 % on average over the cycle.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>

#include "common/Mode.h"
#include "shell/Station.h"
#include "shell/ui/SpectrumMenu.h"
#include "spectrum/SpectrumLayout.h"
#include "spectrum/ui/SpectrumForm.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

double MsSince(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

void BM_Jt9TenReceiveCycle(benchmark::State& state) {
  const bool open = state.range(0) != 0;
  testing::TempDir dir;
  std::ofstream(dir.Path() / "band.txt")
      << "noise 1000\nseed 3\nsignal mode=10 freq=320 snr=-15 symbols="
      << "0123456780123456780123456780123456780123456780123456780123456780123456780123456780123"
      << "\n";
  const double boundary = EncodeDateTime(2026, 3, 1, 12, 0);
  ManualClock clock(boundary - 0.987 / kSecondsPerDay);
  StationOptions options;
  options.clock = &clock;
  options.audio.soundCards = false;
  options.audio.bandScenarioPath = (dir.Path() / "band.txt").string();
  Station station(options);
  station.Create(dir.Str());
  Settings& s = station.GetSettings();
  s.mode = 10;
  s.inputDevice = station.Audio().FindInput("Band simulator");
  station.Activate();
  TSpectrumForm form(station.Spectrum(), "Merivac", SpectrumWindowFont());
  if (open) SpectrumItemClick(station, [&form] { form.show(); });
  QApplication::processEvents();

  const double decodeAt = boundary + (DecodeStartSeconds(10) - 0.5) / kSecondsPerDay;
  double busySum = 0, busyMax = 0, paintSum = 0, tickSum = 0;
  long ticks = 0;
  for (auto _ : state) {
    for (long n = 1; clock.Now() < decodeAt; ++n) {
      clock.Set(boundary - 0.987 / kSecondsPerDay + n * 0.05 / kSecondsPerDay);
      const auto t0 = std::chrono::steady_clock::now();
      station.Tick();
      const double ms = MsSince(t0);
      const auto t1 = std::chrono::steady_clock::now();
      QApplication::processEvents();
      const double paint = MsSince(t1);
      if (!station.GetEngine().Flags().capturing) continue;  // before the cycle starts
      const double busy = std::round(ms * 0.5);
      busySum += busy;
      busyMax = std::max(busyMax, busy);
      tickSum += ms;
      paintSum += paint;
      ++ticks;
    }
  }
  state.counters["ticks"] = static_cast<double>(ticks);
  state.counters["lines"] = static_cast<double>(station.Spectrum().LinesDrawn());
  state.counters["busy_mean_pct"] = busySum / std::max(ticks, 1L);
  state.counters["busy_max_pct"] = busyMax;
  state.counters["tick_mean_ms"] = tickSum / std::max(ticks, 1L);
  state.counters["paint_mean_ms"] = paintSum / std::max(ticks, 1L);
}

BENCHMARK(BM_Jt9TenReceiveCycle)
    ->ArgName("window_open")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace merivac

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
