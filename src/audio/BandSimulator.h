// BandSimulator.h - the "Band simulator" input device.
//
// It records a simulated band: white Gaussian noise with JT9 transmissions
// of any sub-mode, audio frequency and SNR, each starting (normally) 1 s
// into the cycles it is told, in step with the Clock's UTC time. A
// transmission is 85 symbols of 4 x SamplesPerSymbol samples at 48000 per
// second; symbol value t is a sine at f + t x 12000 / SamplesPerSymbol Hz
// made by the program's own tone synthesis, phase-continuous across the
// symbols. The SNR is that of the sine's power A^2 / 2 against the noise
// power in 2500 Hz, which for white noise of variance s^2 at 48000 samples
// per second is s^2 x 2500 / 24000. The plain-text scenario format is
// described in docs/band-simulator.md.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "audio/AudioDevices.h"
#include "audio/Simulated.h"

namespace merivac {

// Turns a message text into its 85 channel symbols; nullopt when it cannot.
using SymbolEncoder = std::function<std::optional<std::array<uint8_t, 85>>(const std::string&)>;

struct BandSignal {
  enum class Cycles { All, First, Second, At };
  uint32_t mode = 1;        // 1, 2, 5 or 10
  double freq = 0;          // Hz of tone 0
  double snrDb = 0;         // dB in 2500 Hz
  double dt = 1.0;          // seconds from the cycle start to the first symbol
  Cycles cycles = Cycles::All;
  std::vector<int64_t> cycleStarts;  // Cycles::At: UTC sample numbers of the cycle starts
  std::string message;      // when given as text
  std::array<uint8_t, 85> symbols{};
  int line = 0;             // scenario line
};

struct BandScenario {
  double noiseRms = 1000.0;  // standard deviation of the noise, sample units
  uint64_t seed = 1;
  std::vector<BandSignal> transmissions;
};

// Parses a scenario. On error false and "line N: ..." in error.
bool ParseBandScenario(const std::string& text, const SymbolEncoder& encoder, BandScenario& out,
                       std::string& error);

// The sine amplitude that gives snrDb in 2500 Hz against noise of noiseRms.
double SignalAmplitude(double snrDb, double noiseRms);

// UTC sample number (48000 per second since 1899-12-30 00:00 UTC) of a day count.
int64_t UtcSampleNumber(double utcDays);

// Makes the band's samples for UTC sample numbers first .. first + n - 1.
class BandSynth {
 public:
  explicit BandSynth(const BandScenario& scenario);
  void Produce(int16_t* out, int32_t n, int64_t first);

 private:
  struct Tx {
    const BandSignal* signal;
    int64_t cycleLen, symLen, txLen, offset;
    double amplitude, spacing;
    std::array<double, 85> phase;
  };
  void AddSignal(const Tx& tx, int64_t first, int32_t n);
  bool Active(const Tx& tx, int64_t cycle) const;

  BandScenario scenario_;
  std::vector<Tx> txs_;
  std::mt19937_64 random_;
  std::normal_distribution<double> normal_{0.0, 1.0};
  std::vector<double> mix_;
  std::vector<int16_t> tone_;
};

// A scenario is a few lines of text; anything larger is not one.
constexpr size_t kMaxScenarioBytes = 1024 * 1024;

class BandSimulator final : public AudioInputEndpoint {
 public:
  // utcOffsetHours: the TIME setting (UTC = local - TIME / 24).
  BandSimulator(const Clock& clock, std::string scenarioPath, const double& utcOffsetHours,
                SymbolEncoder encoder = {});
  ~BandSimulator() override;
  std::string Name() const override { return "Band simulator"; }
  // Reads and checks the scenario file.
  bool Open(std::string& error) override;
  InputChannel* Start(std::string& error) override;
  void Stop() override {}
  void Close() override;
  const std::string& ScenarioPath() const { return path_; }

 private:
  class Channel;
  const Clock& clock_;
  std::string path_;
  const double& utcOffsetHours_;
  SymbolEncoder encoder_;
  std::optional<BandScenario> scenario_;
  std::unique_ptr<Channel> channel_;
};

}  // namespace merivac
