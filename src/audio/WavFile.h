// WavFile.h - reading and writing 48000 Hz mono 16-bit PCM WAV files, the
// format of the WAV-file input and the WAV recorder.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace merivac {

// Reads the samples of a 48000 Hz mono 16-bit PCM WAV file, a block at a
// time, without loading the whole file.
class WavReader {
 public:
  WavReader() = default;
  ~WavReader();
  WavReader(const WavReader&) = delete;
  WavReader& operator=(const WavReader&) = delete;

  // Opens the file and checks its format; on failure false with a sentence
  // naming the file and what is wrong in error.
  bool Open(const std::string& path, std::string& error);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  int64_t SampleCount() const { return samples_; }
  // Reads up to n samples from sample number `first`; returns how many.
  int32_t ReadAt(int64_t first, int16_t* out, int32_t n);

 private:
  std::FILE* file_ = nullptr;
  long dataOffset_ = 0;
  int64_t samples_ = 0;
  int64_t position_ = -1;  // sample number the file is positioned at
};

// Writes a 48000 Hz mono 16-bit PCM WAV file. The header's sizes are
// brought up to date after every Append, so the file is valid at any time.
class WavWriter {
 public:
  WavWriter() = default;
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  bool Create(const std::string& path, std::string& error);
  bool Append(const int16_t* samples, int32_t n);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  int64_t SampleCount() const { return samples_; }
  const std::string& Path() const { return path_; }

 private:
  bool WriteSizes();
  std::FILE* file_ = nullptr;
  std::string path_;
  int64_t samples_ = 0;
};

}  // namespace merivac
