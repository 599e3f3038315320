// Simulated.h - the common machinery of the simulated audio devices.
//
// A simulated input produces samples as the Clock advances: whenever it is
// polled it makes the samples of the time passed since it last looked
// (48 per millisecond) and keeps them in a 5 s buffer, like a sound card's
// recording buffer; while paused that time passes without input. A
// simulated output drains its 5 s queue at the same pace, scaled by the
// output level as samples leave, and hands them to whatever it feeds.
// Nothing runs on another thread: all work happens inside the polls.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/AudioChannels.h"
#include "audio/RingBuffer.h"
#include "common/Clock.h"

namespace merivac {

// Counts sound-card samples from a start point on a Clock's stopwatch.
class SampleClock {
 public:
  explicit SampleClock(const Clock& clock) : clock_(clock) {}
  void Restart() { start_ = clock_.Elapsed(); }
  // Whole samples since Restart.
  int64_t Now() const;
  const Clock& GetClock() const { return clock_; }

 private:
  const Clock& clock_;
  double start_ = 0;
};

// An input that makes its samples on demand. Subclasses fill Produce().
class ClockedInput : public InputChannel {
 public:
  explicit ClockedInput(const Clock& clock);
  uint32_t WaitingBytes() override;
  uint32_t Read(int16_t* dest, uint32_t bytes) override;
  bool Pause() override;
  bool Resume() override;

  // Starts the stream afresh: empty buffer, not paused, time from now.
  void Restart();
  // Samples lost because the buffer was full.
  uint64_t Overruns() const { return overruns_; }
  // Brings the buffer up to the clock.
  void Advance();

 protected:
  // Writes n samples of stream sample numbers first .. first + n - 1.
  virtual void Produce(int16_t* out, int32_t n, int64_t first) = 0;
  // Told of stream samples that pass unheard (paused or buffer full).
  virtual void Skip(int64_t /*first*/, int64_t /*n*/) {}

 private:
  SampleClock sampleClock_;
  RingBuffer<int16_t> ring_{kDeviceBufferSamples};
  std::vector<int16_t> chunk_;
  int64_t done_ = 0;
  bool paused_ = false;
  uint64_t overruns_ = 0;
};

// An output whose queue drains in step with the clock.
class ClockedOutput : public OutputChannel {
 public:
  explicit ClockedOutput(const Clock& clock);
  uint32_t QueuedBytes() override;
  bool Push(const int16_t* samples, uint32_t bytes) override;
  bool Discard() override;
  void SetLevel(double level) override;

  void Restart();
  void Advance();
  double Level() const { return level_; }

 protected:
  // The samples that left the queue, level applied; n > 0. `first` is the
  // stream sample number of out[0].
  virtual void Played(const int16_t* samples, int32_t n, int64_t first) = 0;
  // Stream time passed with the queue empty (the device plays silence).
  virtual void Silence(int64_t /*first*/, int64_t /*n*/) {}

 private:
  SampleClock sampleClock_;
  RingBuffer<int16_t> ring_{kOutputQueueSamples};
  std::vector<int16_t> chunk_;
  int64_t done_ = 0;
  double level_ = 1.0;
};

// Scales one sample by an output level, rounding and clipping.
int16_t ScaleSample(int16_t s, double level);

}  // namespace merivac
