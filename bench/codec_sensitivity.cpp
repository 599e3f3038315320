// codec_sensitivity.cpp - how weak a JT9 signal the whole receive path still
// decodes.
//
// For each sub-mode, recordings of 12 stations (distinct messages, spread
// over the mode's RX band) are made with the band simulator's signal
// generator at 48 kHz, run through the capture chain (4:1 presampling and
// the mode's resampler, exactly as a receive cycle does) and decoded by the
// real jt9 through the decoder bridge. SNR steps of 1 dB (in 2500 Hz,
// against white noise) walk down from a level where nearly everything
// decodes; each step has 24 transmissions. The reported threshold is the SNR
// at which half of them decode, interpolated between steps. For reference,
// the same is measured for jt9 alone on ideal JT9-1 signals written
// straight at 12000 samples per second.
//
// Long-running (minutes): run bench_codec_sensitivity by hand; set
// MERIVAC_BENCH_MODES=1 (or "1,10", ...) to measure fewer sub-modes.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "audio/BandSimulator.h"
#include "audio/CaptureChain.h"
#include "codec/CycleWav.h"
#include "codec/DecoderBridge.h"
#include "codec/EncoderBridge.h"
#include "codec/ProcessRunner.h"
#include "common/DateTime.h"
#include "common/Mode.h"
#include "qso/Frequencies.h"

namespace merivac {
namespace {

constexpr int kStations = 12;
constexpr int kRecordingsPerStep = 2;
constexpr double kNoiseRms = 1000.0;

// A program folder with the real tools, removed at the end.
struct Folder {
  Folder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "merivac-bench-XXXXXX").string();
    path = ::mkdtemp(pattern.data());
    std::filesystem::create_directories(path / "save");
    std::filesystem::create_directories(path / "wsjt");
    std::filesystem::create_symlink(std::string(MERIVAC_WSJT_BIN) + "/jt9", path / "wsjt/jt9_copy");
    std::filesystem::create_symlink(std::string(MERIVAC_WSJT_BIN) + "/jt9code",
                                    path / "wsjt/jt9code_copy");
  }
  ~Folder() { std::filesystem::remove_all(path); }
  std::filesystem::path path;
};

Folder& TheFolder() {
  static Folder folder;
  return folder;
}

std::string Message(int i) {
  static const char* calls[kStations] = {"K1ABC", "K2ABC", "K3ABC", "K4ABC", "K5ABC", "K6ABC",
                                         "K7ABC", "K8ABC", "K9ABC", "W1ABC", "W2ABC", "W3ABC"};
  return std::string("CQ ") + calls[i] + " FN42";
}

const TxSymbolArray& Symbols(int i) {
  static std::map<int, TxSymbolArray> cache;
  auto it = cache.find(i);
  if (it == cache.end()) {
    PosixProcessRunner runner;
    it = cache.emplace(i, RunEncoder(runner, TheFolder().path.string(), Message(i)).value()).first;
  }
  return it->second;
}

// Station frequencies: spread over the RX band of the mode.
double StationFreq(uint32_t mode, int i) {
  const FrequencyLimits l = ComputeFreqLimits(mode, false, false);
  const double span = l.rxHigh - l.rxLow;
  return l.rxLow + span * (i + 0.5) / kStations - span / (2.5 * kStations);
}

// Serves a buffer of sound-card input to the capture chain, tick by tick.
class BufferInput final : public InputChannel {
 public:
  explicit BufferInput(const std::vector<int16_t>& s) : s_(s) {}
  void MakeAvailable(size_t n) { available_ = std::min(n, s_.size()); }
  uint32_t WaitingBytes() override { return static_cast<uint32_t>((available_ - read_) * 2); }
  uint32_t Read(int16_t* dest, uint32_t bytes) override {
    const size_t n = std::min<size_t>(bytes / 2, available_ - read_);
    std::copy(s_.begin() + static_cast<long>(read_), s_.begin() + static_cast<long>(read_ + n),
              dest);
    read_ += n;
    return static_cast<uint32_t>(n * 2);
  }
  bool Pause() override { return true; }
  bool Resume() override { return true; }

 private:
  const std::vector<int16_t>& s_;
  size_t available_ = 0, read_ = 0;
};

// Decodes found among the stations of one recording.
int DecodedStations(const CycleRecording& rec, uint32_t mode) {
  const std::string folder = TheFolder().path.string();
  if (!WriteCycleWav(rec, folder + "/save", "bench.wav", 0.0)) return 0;
  PosixProcessRunner runner;
  SystemClock clock;
  const bool stop = false;
  const FrequencyLimits l = ComputeFreqLimits(mode, false, false);
  const auto lines =
      RunDecoder(runner, clock, folder, folder + "/save/bench.wav",
                 DecoderBand(mode, {l.rxLow, l.rxHigh}, false), clock.Now() + 60.0 / kSecondsPerDay,
                 stop);
  int found = 0;
  const auto decodes = ParseDecodes(lines, mode);
  for (int i = 0; i < kStations; ++i) {
    for (const auto& d : decodes) {
      if (d.MsgText.rfind(Message(i), 0) == 0 && std::abs(d.AudioFreq - StationFreq(mode, i)) < 3) {
        ++found;
        break;
      }
    }
  }
  return found;
}

// One recording through band signal, capture chain and jt9.
int ThroughCaptureChain(uint32_t mode, double snr, uint64_t seed) {
  BandScenario scenario;
  scenario.noiseRms = kNoiseRms;
  scenario.seed = seed;
  for (int i = 0; i < kStations; ++i) {
    BandSignal s;
    s.mode = mode;
    s.freq = StationFreq(mode, i);
    s.snrDb = snr;
    s.message = Message(i);
    s.symbols = Symbols(i);
    scenario.transmissions.push_back(s);
  }
  BandSynth synth(scenario);
  const size_t total = static_cast<size_t>((DecodeStartSeconds(mode) + 0.2) * kSoundCardRate);
  std::vector<int16_t> input(total);
  synth.Produce(input.data(), static_cast<int32_t>(total),
                UtcSampleNumber(EncodeDateTime(2026, 12, 9, 19, 40)));

  Settings settings;
  settings.mode = mode;
  SystemClock clock;
  const bool logOff = false;
  DebugLog log(clock, logOff);
  bool changed = false;
  SpectrumSink spectrum;
  auto rec = std::make_unique<CycleRecording>();
  BufferInput feed(input);
  CaptureChain chain([&]() -> InputChannel* { return &feed; }, changed, spectrum, *rec, settings,
                     log);
  chain.BuildSincTables();
  chain.StartCycleCapture();
  for (size_t have = 2400; have / static_cast<double>(kSoundCardRate) <= DecodeStartSeconds(mode);
       have += 2400) {
    feed.MakeAvailable(have);
    chain.ProcessReceiveInput();
  }
  return DecodedStations(*rec, mode);
}

// One ideal JT9-1 recording written straight at 12000 samples per second.
int IdealJt9One(double snr, uint64_t seed) {
  auto rec = std::make_unique<CycleRecording>();
  std::mt19937_64 gen(seed);
  std::normal_distribution<double> noise(0.0, kNoiseRms);
  std::vector<double> x(kRecordingSamples);
  for (auto& v : x) v = noise(gen);
  const double a =
      std::sqrt(2.0 * std::pow(10.0, snr / 10.0) * kNoiseRms * kNoiseRms * 2500.0 / 6000.0);
  for (int i = 0; i < kStations; ++i) {
    double phase = 0;
    size_t n = 12000;
    for (uint8_t s : Symbols(i)) {
      const double step = 2 * M_PI * (StationFreq(1, i) + s * 12000.0 / 6912.0) / 12000.0;
      for (int k = 0; k < 6912; ++k, ++n) {
        x[n] += a * std::sin(phase);
        phase += step;
      }
    }
  }
  for (size_t n = 0; n < kRecordingSamples; ++n) {
    rec->samples[n] = static_cast<int16_t>(std::clamp(std::lround(x[n]), -32768L, 32767L));
  }
  return DecodedStations(*rec, 1);
}

// Walks 1 dB steps down from `start` until few decode; returns the SNR of
// 50 % decodes, and reports each step's fraction as a counter.
template <typename F>
double Threshold(benchmark::State& state, double start, F&& fractionAt) {
  double prevSnr = 0, prevFrac = -1;
  for (double snr = start; snr > start - 15; snr -= 1) {
    const double frac = fractionAt(snr);
    std::ostringstream name;
    name << "at" << snr;
    state.counters[name.str()] = frac;
    if (frac < 0.5) {
      if (prevFrac < 0) return snr;  // already below half at the start
      return prevSnr - (prevFrac - 0.5) / (prevFrac - frac) * (prevSnr - snr);
    }
    prevSnr = snr;
    prevFrac = frac;
  }
  return start - 15;
}

bool ModeWanted(uint32_t mode) {
  const char* env = std::getenv("MERIVAC_BENCH_MODES");
  if (env == nullptr) return true;
  std::stringstream list(env);
  for (std::string item; std::getline(list, item, ',');) {
    if (item == std::to_string(mode)) return true;
  }
  return false;
}

void BM_CaptureChainThreshold(benchmark::State& state) {
  const auto mode = static_cast<uint32_t>(state.range(0));
  if (!ModeWanted(mode)) {
    state.SkipWithError("not selected by MERIVAC_BENCH_MODES");
    return;
  }
  const std::map<uint32_t, double> start = {{1, -22}, {2, -25}, {5, -29}, {10, -32}};
  for (auto _ : state) {
    uint64_t seed = 1;
    const double t = Threshold(state, start.at(mode), [&](double snr) {
      int found = 0;
      for (int r = 0; r < kRecordingsPerStep; ++r) found += ThroughCaptureChain(mode, snr, seed++);
      return found / double(kStations * kRecordingsPerStep);
    });
    state.counters["snr50_dB"] = t;
  }
}
BENCHMARK(BM_CaptureChainThreshold)
    ->Arg(1)
    ->Arg(2)
    ->Arg(5)
    ->Arg(10)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

void BM_ReferenceJt9OneIdeal(benchmark::State& state) {
  for (auto _ : state) {
    uint64_t seed = 100;
    const double t = Threshold(state, -22, [&](double snr) {
      int found = 0;
      for (int r = 0; r < kRecordingsPerStep; ++r) found += IdealJt9One(snr, seed++);
      return found / double(kStations * kRecordingsPerStep);
    });
    state.counters["snr50_dB"] = t;
  }
}
BENCHMARK(BM_ReferenceJt9OneIdeal)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace merivac

BENCHMARK_MAIN();
