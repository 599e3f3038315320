// WavRecorder.h - the "WAV recorder" output device: writes what would be
// transmitted to WAV files (48000 Hz mono 16-bit) in a folder, normally
// extra/. Its queue drains in step with the Clock at the output level, like
// a sound card. Each stretch of audio gets its own file, named by the UTC
// time its first sample left the queue, "tx-yymmdd_hhnnss.wav"; a file
// ends when the queue runs empty.
#pragma once

#include <string>
#include <vector>

#include "audio/AudioDevices.h"
#include "audio/Simulated.h"
#include "audio/WavFile.h"

namespace merivac {

class WavRecorder final : public AudioOutputEndpoint {
 public:
  // utcOffsetHours: the TIME setting (UTC = local - TIME / 24), read when a
  // file is named.
  WavRecorder(const Clock& clock, std::string folder, const double& utcOffsetHours);
  std::string Name() const override { return "WAV recorder"; }
  bool Open(std::string& error) override;
  OutputChannel* Start(std::string& error) override;
  void Stop() override;
  void Close() override;

  // The files written since the device was opened, oldest first.
  const std::vector<std::string>& Files() const { return files_; }
  // The reason the last file could not be written, empty when none.
  const std::string& LastError() const { return lastError_; }

 private:
  class Channel final : public ClockedOutput {
   public:
    Channel(const Clock& clock, WavRecorder& owner) : ClockedOutput(clock), owner_(owner) {}

   protected:
    void Played(const int16_t* samples, int32_t n, int64_t first) override;
    void Silence(int64_t first, int64_t n) override;

   private:
    WavRecorder& owner_;
  };

  void Write(const int16_t* samples, int32_t n);
  std::string NextFileName() const;

  const Clock& clock_;
  std::string folder_;
  const double& utcOffsetHours_;
  Channel channel_;
  WavWriter writer_;
  std::vector<std::string> files_;
  std::string lastError_;
  bool open_ = false;
};

}  // namespace merivac
