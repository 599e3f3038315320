// spectrum_line.cpp - one spectrum line in the open window: the transform of
// FftLength samples with the Hamming window, the levels of the displayed
// bins, the trace, the column colours, one waterfall row and the repaint of
// the whole offscreen window. Targets: JT9-10 (131 072 points) at most
// 10 ms, JT9-1 (16 384 points) at most 2 ms. The display range is the
// default 300 .. 1400 Hz and, for comparison, the widest 0 .. 5000 Hz.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <random>
#include <vector>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Settings.h"
#include "spectrum/SpectrumLayout.h"
#include "spectrum/SpectrumView.h"
#include "spectrum/ui/SpectrumForm.h"

namespace merivac {
namespace {

void BM_SpectrumLine(benchmark::State& state) {
  ManualClock clock;
  Settings settings;
  settings.mode = static_cast<uint32_t>(state.range(0));
  settings.spectrumLow = static_cast<int32_t>(state.range(1));
  settings.spectrumHigh = static_cast<int32_t>(state.range(2));
  const bool logOff = false;
  DebugLog log(clock, logOff);
  MainControls controls;
  bool timeMarkDue = false;
  SpectrumView view(settings, controls, log, clock, timeMarkDue);
  TSpectrumForm form(view, "Merivac", SpectrumWindowFont());
  form.show();
  view.Opened();
  QApplication::processEvents();

  // Noise with a tone, as a line of band audio.
  const int32_t n = FftLengthOf(settings.mode);
  std::vector<int16_t> samples(static_cast<size_t>(n));
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0, 300);
  for (int32_t i = 0; i < n; ++i) {
    samples[static_cast<size_t>(i)] =
        static_cast<int16_t>(std::lround(noise(random) + 400 * std::sin(0.5 * i)));
  }
  view.UpdateSpectrum(samples.data(), n);  // the transform's tables for this length
  for (auto _ : state) {
    view.UpdateSpectrum(samples.data(), n);
    form.repaint();
  }
  state.counters["lines"] = static_cast<double>(view.LinesDrawn());
}

BENCHMARK(BM_SpectrumLine)
    ->ArgNames({"mode", "fslo", "fshi"})
    ->Args({10, 300, 1400})
    ->Args({10, 0, 5000})
    ->Args({1, 300, 1400})
    ->Args({1, 0, 5000})
    ->Unit(benchmark::kMillisecond);

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
