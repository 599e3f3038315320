// Recording.h - the recording of one receive cycle (the RecordingBuffer).
//
// 720 000 signed 16-bit samples at 12000 per second: one minute on the
// recording's time scale, in which every sub-mode lies compressed in time
// like JT9-1. The capture chain appends to it during the cycle; the decoder
// bridge writes it out as WAV files and zeroes it when decoding ends.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace merivac {

constexpr uint32_t kRecordingSamples = 720000;

struct CycleRecording {
  std::array<int16_t, kRecordingSamples> samples{};
  uint32_t length = 0;  // RecordingLength: samples appended in this cycle

  void Clear() {
    samples.fill(0);
    length = 0;
  }
};

}  // namespace merivac
