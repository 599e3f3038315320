// ToneOutput.h - transmit and tune audio on the output channel.
//
// Turns channel symbols into tones (tone t at t T 12000 / S + F Hz, plus LO
// when the front end mixer is on), synthesises one symbol at a time into a
// fixed buffer with a phase that runs on for the whole program, and keeps
// about 2.5 s (240 000 bytes) queued ahead. Also the tune sweep, discarding
// the queue, and the output level from the PWR track bar.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "audio/AudioChannels.h"
#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/Settings.h"
#include "common/UiServices.h"

namespace merivac {

class ToneOutput {
 public:
  static constexpr uint32_t kQueueTarget = 240000;       // bytes = 2.5 s
  static constexpr int32_t kToneBufferSamples = 331776;  // 4 x the longest symbol

  // output: the current output channel, nullptr when there is none.
  // setLevel: sets the global output level 0..1 (the device layer keeps it
  // for every output it opens later).
  // lastTickTime: the tick's start time (day count) for the "(X ms)" figures.
  ToneOutput(std::function<OutputChannel*()> output, std::function<void(double)> setLevel,
             Settings& settings, DebugLog& log, const Clock& clock, const double& lastTickTime,
             UiServices& ui);

  // The frequency of tone number t (0..8 for symbols, -1..9 for tuning).
  double ToneFrequency(int t) const;

  // Adds whole symbols until 240 000 bytes are queued or all 85 are handed
  // over. txSymbols[0] is symbol 1; symbolIndex runs from 1 to 86.
  void FillTxOutput(const std::array<uint8_t, 85>& txSymbols, uint8_t& symbolIndex);
  // Keeps the tune sweep queued.
  void FillTuneOutput();
  // The sweep starts at tone 0, going up.
  void StartTune();

  // Discards everything queued.
  void ClearOutput();
  // Bytes still queued; kAudioError without an output channel.
  uint32_t QueuedBytes();
  bool HasChannel() const { return Channel() != nullptr; }
  // Clamps to 0..1 and sets the global output level (also for audio
  // already queued, and for any output opened later).
  void SetOutputLevel(double level);

  // PWR track bar handlers. Change stores PWR, updates a shown hint and sets
  // the level; it returns the hint text PWR + "%". Enter shows the hint at
  // the track bar (screen position from the main window's and the bar's).
  std::string PwrTrackBarChange(int position);
  void PwrTrackBarMouseEnter(int mainLeft, int mainTop, int barLeft, int barTop);
  void PwrTrackBarMouseLeave();

  double TxPhase() const { return txPhase_; }
  int8_t TuneTone() const { return tuneTone_; }
  int8_t TuneStep() const { return tuneStep_; }
  const int16_t* ToneBuffer() const { return toneBuffer_->data(); }

 private:
  OutputChannel* Channel() const { return output_ ? output_() : nullptr; }
  std::string Ms() const;
  bool PushTone(uint32_t bytes);
  std::string PwrText() const { return std::to_string(settings_.pwr) + "%"; }

  std::function<OutputChannel*()> output_;
  std::function<void(double)> setLevel_;
  Settings& settings_;
  DebugLog& log_;
  const Clock& clock_;
  const double& lastTickTime_;
  UiServices& ui_;

  std::unique_ptr<std::array<int16_t, kToneBufferSamples>> toneBuffer_;
  double txPhase_ = 0;  // TxPhase: never reset, never wrapped
  int8_t tuneTone_ = 0;
  int8_t tuneStep_ = 1;
  bool hintShown_ = false;
  int hintX_ = 0;
  int hintY_ = 0;
};

}  // namespace merivac
