// WavFileInput.h - the "WAV file" input device: replays a 48000 Hz mono
// 16-bit recording in real time, in step with the Clock, from its first
// sample at the moment recording starts; after the last sample it records
// silence. A file in another format refuses to open with a clear reason.
#pragma once

#include <string>

#include "audio/AudioDevices.h"
#include "audio/Simulated.h"
#include "audio/WavFile.h"

namespace merivac {

class WavFileInput final : public AudioInputEndpoint {
 public:
  WavFileInput(const Clock& clock, std::string path);
  std::string Name() const override { return "WAV file"; }
  bool Open(std::string& error) override;
  InputChannel* Start(std::string& error) override;
  void Stop() override { running_ = false; }
  void Close() override;
  const std::string& Path() const { return path_; }

 private:
  class Channel final : public ClockedInput {
   public:
    Channel(const Clock& clock, WavReader& reader) : ClockedInput(clock), reader_(reader) {}

   protected:
    void Produce(int16_t* out, int32_t n, int64_t first) override;

   private:
    WavReader& reader_;
  };

  std::string path_;
  WavReader reader_;
  Channel channel_;
  bool running_ = false;
};

}  // namespace merivac
