// Loopback.h - the loopback pair: a simulated cable between stations.
//
// A LoopbackBus joins the stations of one process that share a Clock. What
// a station plays on its "Loopback" output, every other station records on
// its "Loopback" input, summed, with white Gaussian noise of the given rms
// added (0 = none). A bus with a single station lets that station hear its
// own output. Samples move in step with the clock: each poll of any end
// brings the whole bus up to the clock's time, 48 samples per millisecond,
// so a queued output drains and the inputs fill at the sound-card rate.
//
//   ManualClock clock;
//   LoopbackBus bus(clock, 100.0);
//   AudioDeviceOptions a, b;  a.loopback = &bus;  b.loopback = &bus;
//   auto stationA = CreateAudioDevices(settingsA, clock, nullptr, a);
//   auto stationB = CreateAudioDevices(settingsB, clock, nullptr, b);
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "audio/AudioChannels.h"
#include "audio/AudioDevices.h"
#include "audio/RingBuffer.h"
#include "audio/Simulated.h"
#include "common/Clock.h"

namespace merivac {

class LoopbackBus {
 public:
  explicit LoopbackBus(const Clock& clock, double noiseRms = 0.0, uint64_t seed = 1);
  ~LoopbackBus();
  LoopbackBus(const LoopbackBus&) = delete;
  LoopbackBus& operator=(const LoopbackBus&) = delete;

  // Adds a station; returns its number (0, 1, ...).
  int AddStation();
  int StationCount() const { return static_cast<int>(stations_.size()); }
  void SetNoiseRms(double rms) { noiseRms_ = rms; }
  double NoiseRms() const { return noiseRms_; }

  // The two channel ends of a station. An end takes part only while open:
  // a closed input records nothing, a closed output plays nothing.
  InputChannel* OpenInput(int station);
  OutputChannel* OpenOutput(int station);
  void CloseInput(int station);
  void CloseOutput(int station);

  // The list entries for a station (named "Loopback").
  std::unique_ptr<AudioInputEndpoint> InputEndpoint(int station);
  std::unique_ptr<AudioOutputEndpoint> OutputEndpoint(int station);

  // Moves the bus up to the clock's time (every poll of an end does this).
  void Advance();
  // Input samples lost because an input's 5 s buffer was full.
  uint64_t Overruns(int station) const;

 private:
  struct Station;
  class In;
  class Out;
  void Step(int32_t n);

  SampleClock sampleClock_;
  double noiseRms_;
  std::mt19937_64 random_;
  std::normal_distribution<double> normal_{0.0, 1.0};
  std::vector<std::unique_ptr<Station>> stations_;
  int64_t done_ = 0;
};

}  // namespace merivac
