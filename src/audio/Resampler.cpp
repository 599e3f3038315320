// Resampler.cpp - block averaging and windowed-sinc resampling into the
// cycle recording.
//
// Recorded values are rounded to the nearest integer (halves to even) and
// saturate at the 16-bit limits: JT9-10's low-pass has a gain of about 12,
// and a loud signal must clip, not wrap around to its low 16 bits. Appends
// past the end of the recording are dropped.
#include "audio/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "common/Mode.h"

namespace merivac {

namespace {

constexpr int32_t kCurrent = kPresampledBlock;       // first entry of the current block
constexpr int32_t kBlockEnd = 2 * kPresampledBlock;  // 4800

}  // namespace

void Presample(const int16_t* x, int32_t n, int16_t* out) {
  for (int32_t i = 0; i < n / 4; ++i) {
    const int32_t sum = x[4 * i] + x[4 * i + 1] + x[4 * i + 2] + x[4 * i + 3];
    out[i] = static_cast<int16_t>(sum / 4);
  }
}

Resampler::Resampler(CycleRecording& recording) : recording_(recording), history_(kHistory, 0) {}

void Resampler::StartCycle(uint32_t mode) {
  recording_.length = mode == 1 ? 0 : kPresampledBlock;
  pos_ = kPresampledBlock;
  std::fill(recording_.samples.begin(), recording_.samples.begin() + recording_.length + 1, 0);
  std::fill(history_.begin(), history_.end(), 0);
}

void Resampler::Append(long double v) {
  if (recording_.length >= kRecordingSamples) return;
  // Adding and removing 1.5 * 2^(digits - 1) rounds to the nearest integer,
  // halves to even, in the default rounding mode, without the cost of
  // nearbyint's floating-point environment handling.
  static const long double magic = std::ldexp(1.5L, std::numeric_limits<long double>::digits - 1);
  const long double clamped = std::clamp(v, -32768.0L, 32767.0L);
  recording_.samples[recording_.length] = static_cast<int16_t>((clamped + magic) - magic);
  recording_.length += 1;
}

void Resampler::BlockAverage(const int16_t* p, uint32_t mode) {
  const int32_t sps = SamplesPerSymbol(mode);
  if (sps == 0) return;
  const long double b = static_cast<long double>(sps) / 6912.0L;
  const int32_t count = 16588800 / sps;
  for (int32_t i = 0; i < count; ++i) {
    const long double s = i * b;
    const long double e = (i + 1) * b;
    const auto fs = static_cast<int32_t>(s);  // s, e >= 0: truncation is floor
    const auto fe = static_cast<int32_t>(e);
    long double sum = (1.0L - (s - fs)) * p[fs] + (e - fe) * p[fe];
    for (int32_t k = fs + 1; k < fe; ++k) sum += p[k];
    Append(sum / b);
  }
}

long double Resampler::Row920(int row, const long double* in) const {
  const auto& t = tables_.table920;
  long double sum = 0;
  for (int j = t.first[row]; j <= t.last[row]; ++j) sum += t.rows[row][j] * in[j];
  return t.gain * sum;
}

void Resampler::Sinc920(const int16_t* p) {
  const auto& t = tables_.table920;
  std::memcpy(history_.data() + kCurrent, p, kPresampledBlock * sizeof(int16_t));
  long double window[40];
  while (pos_ < static_cast<uint32_t>((2 * kBlockEnd - 19) / 2)) {
    const int16_t* in = history_.data() + pos_ - t.offset;
    for (int j = 0; j <= t.lastTap; ++j) window[j] = in[j];
    for (int row = 0; row <= t.lastRow; ++row) Append(Row920(row, window));
    pos_ += t.step;
  }
  pos_ -= kPresampledBlock;
  std::memcpy(history_.data(), p, kPresampledBlock * sizeof(int16_t));
}

void Resampler::Sinc38920(const int16_t* p) {
  const auto& t38 = tables_.table38;
  const auto& t920 = tables_.table920;
  std::memcpy(history_.data() + kCurrent, p, kPresampledBlock * sizeof(int16_t));
  for (int pass = 0; pass < 15; ++pass) {
    std::copy(intermediate_.begin() + 60, intermediate_.begin() + 120, intermediate_.begin());
    int k = 60;
    for (int group = 0; group < 20; ++group) {
      const int16_t* in = history_.data() + pos_ - t38.offset;
      for (int row = 0; row <= t38.lastRow; ++row) {
        long double sum = 0;
        for (int j = t38.first[row]; j <= t38.last[row]; ++j) sum += in[j] * t38.rows[row][j];
        intermediate_[k++] = t38.gain * sum;
      }
      pos_ += t38.step;
    }
    k = 60;
    for (int group = 0; group < 3; ++group) {
      for (int row = 0; row <= t920.lastRow; ++row) {
        Append(Row920(row, intermediate_.data() + k - t920.offset));
      }
      k += t920.step;
    }
  }
  pos_ -= kPresampledBlock;
  std::memcpy(history_.data(), p, kPresampledBlock * sizeof(int16_t));
}

void Resampler::Fir112Decimate(const int16_t* p) {
  const auto& f = Fir112();
  std::memcpy(history_.data() + kCurrent, p, kPresampledBlock * sizeof(int16_t));
  while (pos_ < static_cast<uint32_t>((2 * kBlockEnd - 60) / 2)) {
    const int16_t* in = history_.data() + pos_ - kFir112Half;
    long double sum = 0;
    for (int k = 0; k <= 2 * kFir112Half; ++k) sum += in[k] * f[k];
    Append(sum);
    pos_ += 12;
  }
  pos_ -= kPresampledBlock;
  std::memcpy(history_.data(), p, kPresampledBlock * sizeof(int16_t));
}

}  // namespace merivac
