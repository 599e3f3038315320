// cli_waterfall.cpp - merivac-cli waterfall on a 10-minute JT9-10 recording
// (28.8 million samples at 48 kHz: 54 spectrum lines of 131 072 points)
// from reading the file to writing the picture. Target: at most 3 s.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <sstream>
#include <vector>

#include "WaterfallCommand.h"
#include "audio/BandSimulator.h"
#include "audio/WavFile.h"
#include "common/DateTime.h"
#include "common/Mode.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

// A JT9-10 cycle of noise with one transmission, as the sound card records it.
std::string WriteRecording(const testing::TempDir& dir) {
  BandScenario scenario;
  BandSignal signal;
  signal.mode = 10;
  signal.freq = 320;
  signal.snrDb = -15;
  for (size_t i = 0; i < signal.symbols.size(); ++i) signal.symbols[i] = i % 9;
  scenario.transmissions.push_back(signal);
  BandSynth synth(scenario);
  const std::string path = (dir.Path() / "jt9-10.wav").string();
  WavWriter writer;
  std::string error;
  if (!writer.Create(path, error)) return {};
  const int64_t first = UtcSampleNumber(EncodeDateTime(2026, 12, 9, 19, 40));
  std::vector<int16_t> block(kSoundCardRate);
  for (int64_t done = 0; done < 600LL * kSoundCardRate; done += kSoundCardRate) {
    synth.Produce(block.data(), kSoundCardRate, first + done);
    writer.Append(block.data(), kSoundCardRate);
  }
  writer.Close();
  return path;
}

void BM_WaterfallTenMinutesJt9Ten(benchmark::State& state) {
  testing::TempDir dir;
  cli::WaterfallOptions o;
  o.mode = 10;
  o.low = 200;
  o.high = 500;
  o.utc = "261209_1940";
  o.in = WriteRecording(dir);
  o.out = (dir.Path() / "waterfall.png").string();
  for (auto _ : state) {
    std::ostringstream out, err;
    if (cli::WaterfallCommand(o, out, err) != 0) state.SkipWithError(err.str().c_str());
  }
}

BENCHMARK(BM_WaterfallTenMinutesJt9Ten)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace merivac

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
