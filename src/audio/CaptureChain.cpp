// CaptureChain.cpp - receive, idle and flush stages of the capture chain.
#include "audio/CaptureChain.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "common/Level.h"

namespace merivac {

namespace {

constexpr uint32_t kBufferBytes = CaptureChain::kCaptureBuffer * 2;

int16_t PeakOf(const int16_t* samples, uint32_t count, int16_t peak) {
  int32_t m = peak;
  for (uint32_t i = 0; i < count; ++i) m = std::max(m, std::abs(static_cast<int32_t>(samples[i])));
  return static_cast<int16_t>(std::min(m, 32767));
}

}  // namespace

CaptureChain::CaptureChain(std::function<InputChannel*()> input, bool& inputDeviceChanged,
                           SpectrumSink& spectrum, CycleRecording& recording,
                           const Settings& settings, DebugLog& log)
    : input_(std::move(input)),
      inputDeviceChanged_(inputDeviceChanged),
      spectrum_(spectrum),
      recording_(recording),
      settings_(settings),
      log_(log),
      resampler_(recording),
      capture_(kCaptureBuffer, 0),
      presampled_(kCaptureBuffer / 4 + 1, 0) {}

uint32_t CaptureChain::Waiting() {
  InputChannel* channel = input_ ? input_() : nullptr;
  return channel != nullptr ? channel->WaitingBytes() : kAudioError;
}

uint32_t CaptureChain::ReadInto(uint32_t bytes) {
  InputChannel* channel = input_ ? input_() : nullptr;
  if (channel == nullptr) return 0;
  bytes = std::min(bytes, kBufferBytes) & ~1u;
  const uint32_t got = std::min(channel->Read(capture_.data(), bytes), bytes) / 2;
  // A short read leaves silence, not the previous block's samples.
  std::fill(capture_.begin() + got, capture_.begin() + bytes / 2, 0);
  return got;
}

int16_t CaptureChain::Drain(uint32_t bytes) {
  int16_t peak = 0;
  while (bytes >= 2) {
    const uint32_t piece = std::min(bytes, kBufferBytes) & ~1u;
    const uint32_t got = ReadInto(piece);
    peak = PeakOf(capture_.data(), got, peak);
    if (got == 0) break;
    bytes -= piece;
  }
  return peak;
}

void CaptureChain::RaiseInputPeak(const int16_t* samples, uint32_t count) {
  inputPeak_ = PeakOf(samples, count, inputPeak_);
}

void CaptureChain::MixBlock(int16_t* x, int32_t n) {
  if (!settings_.mixerEnabled) return;
  mixer_.MixBlock(x, n);
}

uint32_t CaptureChain::FlushInput() {
  const uint32_t waiting = Waiting();
  lastFlushPeak_ = waiting != kAudioError ? Drain(waiting) : 0;
  return waiting;
}

bool CaptureChain::ProcessReceiveInput() {
  uint32_t waiting = Waiting();
  log_.Write("Checking soundcard (" + std::to_string(waiting) + " bytes available) [RX]");
  if (inputDeviceChanged_) {
    log_.Write("Audio input device changed, buffer cleared, capturing disabled [RX]");
    inputDeviceChanged_ = false;
    if (waiting != kAudioError) Drain(waiting);
    return false;
  }
  while (waiting > kCaptureBlock && waiting != kAudioError) {
    ProcessReceiveBlock(waiting);
    waiting = Waiting();
  }
  return true;
}

void CaptureChain::ProcessReceiveBlock(uint32_t waiting) {
  constexpr int32_t n = kCaptureBlock / 2;
  log_.Write("Reading soundcard data (" + std::to_string(kCaptureBlock) + " of " +
             std::to_string(waiting) + " bytes) [RX]");
  ReadInto(kCaptureBlock);
  log_.Write("Mixing [RX]");
  MixBlock(capture_.data(), n);
  log_.Write("Presampling [RX]");
  Presample(capture_.data(), n, presampled_.data());
  log_.Write("Add FFT array [RX]");
  spectrum_.UpdateSpectrum(presampled_.data(), kPresampledBlock);
  log_.Write("Resampling started [RX]");
  Resample();
  log_.Write("Resampling done [RX]");
  RaiseInputPeak(capture_.data(), n);
  log_.Write("Determine audio input peak value (" + std::to_string(LevelDb(inputPeak_)) +
             "dB) [RX]");
}

void CaptureChain::Resample() {
  const uint32_t mode = settings_.mode;
  const int16_t* p = presampled_.data();
  const bool tables = resampler_.Tables().Built();
  if (mode == 1) {
    resampler_.BlockAverage(p, mode);
  } else if (mode == 2 && tables) {
    log_.Write("9/20 Windowed Sinc Interpolation Resampling [RX]");
    resampler_.Sinc920(p);
  } else if (mode == 5 && tables) {
    log_.Write("3/8 followed by 9/20 Windowed Sinc Interpolation Resampling [RX]");
    resampler_.Sinc38920(p);
  } else if (mode == 10) {
    log_.Write("1/12 Windowed Sinc Interpolation Resampling [RX]");
    resampler_.Fir112Decimate(p);
  } else {
    // Other modes, and JT9-2/JT9-5 before the tables are built.
    log_.Write("Block Average Resampling [RX]");
    resampler_.BlockAverage(p, mode);
  }
}

void CaptureChain::ProcessIdleInput() {
  const uint32_t waiting = Waiting();
  const bool changed = inputDeviceChanged_;
  const std::string cleared = "Audio input buffer cleared (" + std::to_string(waiting) + ") [Idle]";
  if (waiting == kAudioError) {
    log_.Write(cleared);
    if (changed) inputDeviceChanged_ = false;
    return;
  }
  uint32_t left = waiting & ~1u;
  do {
    // Normally all of it fits at once; after a stall it comes in pieces.
    const uint32_t piece = std::min(left, kBufferBytes);
    const auto n = static_cast<int32_t>(piece / 2);
    const uint32_t got = ReadInto(piece);
    log_.Write("Mixing [Idle]");
    MixBlock(capture_.data(), n);
    log_.Write("Presampling [Idle]");
    Presample(capture_.data(), n, presampled_.data());
    // A channel that delivers less than it reported ends the loop.
    left = got == static_cast<uint32_t>(n) ? left - piece : 0;
    if (left == 0) {
      log_.Write(cleared);
      if (changed) inputDeviceChanged_ = false;
    }
    if (!changed && n > 0) {
      log_.Write("Add FFT array [Idle]");
      spectrum_.UpdateSpectrum(presampled_.data(), n / 4);
      RaiseInputPeak(capture_.data(), static_cast<uint32_t>(n));
    }
  } while (left > 0);
}

void CaptureChain::StartCycleCapture() { resampler_.StartCycle(settings_.mode); }

}  // namespace merivac
