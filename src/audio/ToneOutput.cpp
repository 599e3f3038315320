// ToneOutput.cpp - symbol and tune fills, the queue, and the PWR level.
#include "audio/ToneOutput.h"

#include <algorithm>
#include <cmath>

#include "audio/ToneSynth.h"
#include "common/Mode.h"

namespace merivac {

ToneOutput::ToneOutput(std::function<OutputChannel*()> output, std::function<void(double)> setLevel,
                       Settings& settings, DebugLog& log, const Clock& clock,
                       const double& lastTickTime, UiServices& ui)
    : output_(std::move(output)),
      setLevel_(std::move(setLevel)),
      settings_(settings),
      log_(log),
      clock_(clock),
      lastTickTime_(lastTickTime),
      ui_(ui),
      toneBuffer_(std::make_unique<std::array<int16_t, kToneBufferSamples>>()) {}

double ToneOutput::ToneFrequency(int t) const {
  const int32_t s = SamplesPerSymbol(settings_.mode);
  if (s == 0) return settings_.txFreq;
  const int64_t product = static_cast<int64_t>(t) * settings_.toneSpacing * 12000;
  long double f = static_cast<long double>(product) / s + settings_.txFreq;
  if (settings_.mixerEnabled) f += settings_.mixerLo;
  return static_cast<double>(f);
}

std::string ToneOutput::Ms() const {
  return std::to_string(std::llround((clock_.Now() - lastTickTime_) * 86400000.0));
}

uint32_t ToneOutput::QueuedBytes() {
  OutputChannel* channel = Channel();
  return channel != nullptr ? channel->QueuedBytes() : kAudioError;
}

bool ToneOutput::PushTone(uint32_t bytes) {
  OutputChannel* channel = Channel();
  return channel != nullptr && channel->Push(toneBuffer_->data(), bytes);
}

void ToneOutput::ClearOutput() {
  if (OutputChannel* channel = Channel()) channel->Discard();
}

void ToneOutput::SetOutputLevel(double level) {
  if (setLevel_) setLevel_(std::clamp(level, 0.0, 1.0));
}

void ToneOutput::FillTxOutput(const std::array<uint8_t, 85>& txSymbols, uint8_t& symbolIndex) {
  const int32_t s = SamplesPerSymbol(settings_.mode);
  if (s == 0) return;
  uint32_t queued = QueuedBytes();
  while (queued < kQueueTarget && symbolIndex >= 1 && symbolIndex <= 85) {
    const double f = ToneFrequency(txSymbols[symbolIndex - 1]);
    txPhase_ = SynthesizeTone(toneBuffer_->data(), 4 * s, txPhase_, f);
    const bool pushed = PushTone(8 * static_cast<uint32_t>(s));
    log_.Write("Tone " + std::to_string(symbolIndex) + " added to audio output buffer [TX] (" +
               Ms() + "ms)");
    queued = QueuedBytes();
    symbolIndex += 1;
    if (!pushed) break;  // a channel that takes nothing must not loop us
  }
}

void ToneOutput::StartTune() {
  tuneTone_ = 0;
  tuneStep_ = 1;
}

void ToneOutput::FillTuneOutput() {
  const int32_t s = SamplesPerSymbol(settings_.mode);
  uint32_t queued = QueuedBytes();
  log_.Write("Audio output buffer = " + std::to_string(queued) + " bytes [Tuning]");
  if (s == 0) return;
  while (queued < kQueueTarget) {
    const double f = ToneFrequency(tuneTone_);
    txPhase_ = SynthesizeTone(toneBuffer_->data(), 4 * s, txPhase_, f);
    tuneTone_ = static_cast<int8_t>(tuneTone_ + tuneStep_);
    if (tuneTone_ > 8) tuneStep_ = -1;
    if (tuneTone_ < 0) tuneStep_ = 1;
    const bool pushed = PushTone(8 * static_cast<uint32_t>(s));
    queued = QueuedBytes();
    log_.Write("Next tone added to audio output buffer [Tuning]");
    if (!pushed) break;
  }
}

std::string ToneOutput::PwrTrackBarChange(int position) {
  settings_.pwr = static_cast<uint8_t>(std::clamp(position, 0, 100));
  const std::string text = PwrText();
  if (hintShown_) ui_.ShowHintText(text, hintX_, hintY_, "100%");
  SetOutputLevel(settings_.pwr / 100.0);
  return text;
}

void ToneOutput::PwrTrackBarMouseEnter(int mainLeft, int mainTop, int barLeft, int barTop) {
  hintX_ = mainLeft + barLeft;
  hintY_ = mainTop + barTop + 25;
  hintShown_ = true;
  ui_.ShowHintText(PwrText(), hintX_, hintY_, "100%");
}

void ToneOutput::PwrTrackBarMouseLeave() {
  hintShown_ = false;
  ui_.HideHintText();
}

}  // namespace merivac
