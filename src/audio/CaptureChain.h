// CaptureChain.h - the receive path from the recording channel to the cycle
// recording.
//
// Called from the main tick. In a receive cycle every complete 0.2 s block
// (19200 bytes) of input is mixed (front end mixer, when enabled),
// presampled 4:1 to 12 kHz, handed to the spectrum view, resampled for the
// mode and appended to the cycle recording; the input peak for the level
// bar is raised from the mixed samples. Outside receive cycles the chain
// keeps only the spectrum and the level meter going, or discards input.
//
// Input that piled up during a long stall is read in pieces that fit
// CaptureBuffer (32 000 samples), so all of it is used and nothing overruns.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "audio/AudioChannels.h"
#include "audio/Mixer.h"
#include "audio/Resampler.h"
#include "common/DebugLog.h"
#include "common/Recording.h"
#include "common/Settings.h"

namespace merivac {

// Where the presampled 12 kHz blocks go (the spectrum view).
class SpectrumSink {
 public:
  virtual ~SpectrumSink() = default;
  virtual void UpdateSpectrum(const int16_t* samples, int count) {
    (void)samples;
    (void)count;
  }
};

class CaptureChain {
 public:
  static constexpr uint32_t kCaptureBlock = 19200;  // bytes = 9600 samples = 0.2 s
  static constexpr int32_t kCaptureBuffer = 32000;  // samples

  // input: the current recording channel, nullptr when there is none.
  // inputDeviceChanged: set by the device layer when it reopened the devices.
  CaptureChain(std::function<InputChannel*()> input, bool& inputDeviceChanged,
               SpectrumSink& spectrum, CycleRecording& recording, const Settings& settings,
               DebugLog& log);

  // Reads and drops all waiting input; returns the waiting byte count that
  // was found (kAudioError on error). The peak of the dropped samples is
  // kept as LastFlushPeak().
  uint32_t FlushInput();

  // The receive stage: processes every complete block while more than one
  // block is waiting. Returns false when it dropped the input because the
  // input device changed; the caller then clears Capturing.
  bool ProcessReceiveInput();

  // The idle stage: reads all waiting input, mixes and presamples it, feeds
  // the spectrum and raises the input peak.
  void ProcessIdleInput();

  // At each new cycle: recording length, ResamplePos, history.
  void StartCycleCapture();

  // The front end mixer (re)start at the given LO in Hz.
  void StartMixer(int32_t lo) { mixer_.Start(lo); }

  // Fills the two sinc tables; called once at start-up.
  void BuildSincTables() { resampler_.BuildTables(); }

  int16_t InputPeak() const { return inputPeak_; }
  void ResetInputPeak() { inputPeak_ = 0; }
  void RaiseInputPeak(const int16_t* samples, uint32_t count);
  // Largest absolute value among the samples the last FlushInput dropped.
  int16_t LastFlushPeak() const { return lastFlushPeak_; }

  // Mixes n samples of x in place when the mixer is enabled.
  void MixBlock(int16_t* x, int32_t n);

  const FrontEndMixer& Mixer() const { return mixer_; }
  const Resampler& Resampling() const { return resampler_; }
  uint32_t ResamplePos() const { return resampler_.ResamplePos(); }
  const int16_t* CaptureBuffer() const { return capture_.data(); }
  const int16_t* PresampledBlock() const { return presampled_.data(); }

 private:
  uint32_t Waiting();
  // Reads up to `bytes` (even) into CaptureBuffer; returns the samples read.
  uint32_t ReadInto(uint32_t bytes);
  // Reads and drops `bytes`, in pieces; returns the peak of what it read.
  int16_t Drain(uint32_t bytes);
  void ProcessReceiveBlock(uint32_t waiting);
  void Resample();

  std::function<InputChannel*()> input_;
  bool& inputDeviceChanged_;
  SpectrumSink& spectrum_;
  CycleRecording& recording_;
  const Settings& settings_;
  DebugLog& log_;

  FrontEndMixer mixer_;
  Resampler resampler_;
  std::vector<int16_t> capture_;     // CaptureBuffer
  std::vector<int16_t> presampled_;  // PresampledBlock (+1 zero for the block average)
  int16_t inputPeak_ = 0;
  int16_t lastFlushPeak_ = 0;
};

}  // namespace merivac
