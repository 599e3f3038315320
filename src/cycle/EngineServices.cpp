// EngineServices.cpp - the default capture chain: reads and drops the input
// so that the channel never overflows, and keeps the input peak.
#include "cycle/EngineServices.h"

#include <algorithm>

namespace merivac {

uint32_t DiscardingCaptureStage::Drain(bool raisePeak) {
  held_ = 0;
  InputChannel* in = input_->RecordChannel();
  if (in == nullptr) return kAudioError;
  const uint32_t waiting = in->WaitingBytes();
  if (waiting == kAudioError) return kAudioError;
  uint32_t left = waiting & ~1u;  // whole samples only
  while (left > 0) {
    const uint32_t want =
        std::min<uint32_t>(left, static_cast<uint32_t>(buffer_.size() * sizeof(int16_t)));
    const uint32_t got = in->Read(buffer_.data(), want);
    held_ = got / sizeof(int16_t);
    if (raisePeak) RaiseInputPeak(buffer_.data(), held_);
    if (got == 0) break;
    left -= std::min(left, got);
  }
  return waiting;
}

uint32_t DiscardingCaptureStage::FlushInput() { return Drain(false); }

bool DiscardingCaptureStage::ProcessReceiveInput() {
  Drain(true);
  return true;
}

void DiscardingCaptureStage::ProcessIdleInput() { Drain(true); }

void DiscardingCaptureStage::RaiseInputPeak(const int16_t* samples, size_t count) {
  int m = peak_;
  for (size_t i = 0; i < count; ++i) {
    const int v = samples[i];
    const int a = v < 0 ? -v : v;
    m = a > m ? a : m;
  }
  // |-32768| does not fit a 16-bit value; it counts as full scale.
  peak_ = static_cast<int16_t>(std::min(m, 32767));
}

}  // namespace merivac
