// AudioChannels.h - the two audio channels the engine works with.
//
// The recording channel delivers the sound card's input and the output
// channel is a push stream to its output, both 48000 samples per second,
// mono, signed 16-bit little-endian. Byte counts are what the engine polls:
// waiting input, queued output. The all-ones value reports an error.
// Sound cards (PortAudio), the band simulator, WAV-file replay, the WAV
// recorder and the loopback pair all implement these.
#pragma once

#include <cstdint>

namespace merivac {

constexpr uint32_t kAudioError = 0xFFFFFFFFu;

class InputChannel {
 public:
  virtual ~InputChannel() = default;
  // Bytes recorded and waiting to be read; kAudioError on error.
  virtual uint32_t WaitingBytes() = 0;
  // Moves up to `bytes` waiting bytes (a whole number of samples) to dest;
  // returns the bytes moved.
  virtual uint32_t Read(int16_t* dest, uint32_t bytes) = 0;
  // While paused no new input arrives.
  virtual bool Pause() = 0;
  virtual bool Resume() = 0;
};

class OutputChannel {
 public:
  virtual ~OutputChannel() = default;
  // Bytes still queued to be played; kAudioError on error.
  virtual uint32_t QueuedBytes() = 0;
  // Appends samples to the queue.
  virtual bool Push(const int16_t* samples, uint32_t bytes) = 0;
  // Discards everything queued.
  virtual bool Discard() = 0;
  // The global output level 0..1; it also scales audio already queued.
  virtual void SetLevel(double level) = 0;
};

}  // namespace merivac
