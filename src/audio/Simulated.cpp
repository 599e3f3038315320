// Simulated.cpp - clock-driven input and output streams for the simulated
// audio devices.
#include "audio/Simulated.h"

#include <algorithm>
#include <cmath>

#include "common/Mode.h"

namespace merivac {

namespace {
constexpr int32_t kChunk = 4800;  // samples made or drained per step (0.1 s)
}

int64_t SampleClock::Now() const {
  // Rounded, not cut: a clock counting days carries about a microsecond of
  // rounding error, which must not cost a whole sample at an exact time.
  return std::llround((clock_.Elapsed() - start_) * kSoundCardRate);
}

int16_t ScaleSample(int16_t s, double level) {
  const double v = std::round(s * level);
  return static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0));
}

ClockedInput::ClockedInput(const Clock& clock) : sampleClock_(clock), chunk_(kChunk) {
  sampleClock_.Restart();
}

void ClockedInput::Restart() {
  sampleClock_.Restart();
  ring_.DropWaiting();
  done_ = 0;
  paused_ = false;
  overruns_ = 0;
}

void ClockedInput::Advance() {
  const int64_t target = sampleClock_.Now();
  if (target <= done_) return;
  if (paused_) {
    Skip(done_, target - done_);
    done_ = target;
    return;
  }
  // Only what fits is made; the rest of the time passes unheard, as when a
  // sound card's recording buffer is full.
  const int64_t room = static_cast<int64_t>(ring_.Free());
  const int64_t make = std::min(room, target - done_);
  int64_t left = make;
  while (left > 0) {
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(kChunk, left));
    Produce(chunk_.data(), n, done_);
    ring_.Write(chunk_.data(), static_cast<size_t>(n));
    done_ += n;
    left -= n;
  }
  if (done_ < target) {
    overruns_ += static_cast<uint64_t>(target - done_);
    Skip(done_, target - done_);
    done_ = target;
  }
}

uint32_t ClockedInput::WaitingBytes() {
  Advance();
  return static_cast<uint32_t>(ring_.Size() * 2);
}

uint32_t ClockedInput::Read(int16_t* dest, uint32_t bytes) {
  Advance();
  return static_cast<uint32_t>(ring_.Read(dest, bytes / 2) * 2);
}

bool ClockedInput::Pause() {
  Advance();
  paused_ = true;
  return true;
}

bool ClockedInput::Resume() {
  Advance();
  paused_ = false;
  return true;
}

ClockedOutput::ClockedOutput(const Clock& clock) : sampleClock_(clock), chunk_(kChunk) {
  sampleClock_.Restart();
}

void ClockedOutput::Restart() {
  sampleClock_.Restart();
  ring_.DiscardQueued();
  done_ = 0;
}

void ClockedOutput::Advance() {
  const int64_t target = sampleClock_.Now();
  while (done_ < target) {
    const int32_t want = static_cast<int32_t>(std::min<int64_t>(kChunk, target - done_));
    const int32_t got = static_cast<int32_t>(ring_.Read(chunk_.data(), static_cast<size_t>(want)));
    if (got == 0) {
      Silence(done_, target - done_);
      done_ = target;
      return;
    }
    for (int32_t k = 0; k < got; ++k) chunk_[static_cast<size_t>(k)] = ScaleSample(chunk_[static_cast<size_t>(k)], level_);
    Played(chunk_.data(), got, done_);
    done_ += got;
  }
}

uint32_t ClockedOutput::QueuedBytes() {
  Advance();
  return static_cast<uint32_t>(ring_.Size() * 2);
}

bool ClockedOutput::Push(const int16_t* samples, uint32_t bytes) {
  Advance();
  return ring_.WriteAll(samples, bytes / 2);
}

bool ClockedOutput::Discard() {
  Advance();
  ring_.DiscardQueued();
  return true;
}

void ClockedOutput::SetLevel(double level) {
  Advance();
  level_ = std::clamp(level, 0.0, 1.0);
}

}  // namespace merivac
