// WavRecorder.cpp - the transmit audio written to WAV files instead of a
// sound card.
#include "audio/WavRecorder.h"

#include <filesystem>

#include "common/DateTime.h"

namespace merivac {

WavRecorder::WavRecorder(const Clock& clock, std::string folder, const double& utcOffsetHours)
    : clock_(clock), folder_(std::move(folder)), utcOffsetHours_(utcOffsetHours), channel_(clock, *this) {}

bool WavRecorder::Open(std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  if (!std::filesystem::is_directory(folder_, ec)) {
    error = "WAV recorder: folder " + folder_ + " cannot be created";
    return false;
  }
  files_.clear();
  lastError_.clear();
  open_ = true;
  return true;
}

OutputChannel* WavRecorder::Start(std::string& error) {
  if (!open_) {
    error = "WAV recorder: not open";
    return nullptr;
  }
  channel_.Restart();
  return &channel_;
}

void WavRecorder::Stop() {
  channel_.Discard();
  writer_.Close();
}

void WavRecorder::Close() {
  writer_.Close();
  open_ = false;
}

std::string WavRecorder::NextFileName() const {
  const double utc = clock_.Now() - utcOffsetHours_ / 24.0;
  const std::string stem = (std::filesystem::path(folder_) / ("tx-" + FormatDateTime("yymmdd_hhnnss", utc))).string();
  std::string name = stem + ".wav";
  for (int k = 2; std::filesystem::exists(name); ++k) name = stem + "-" + std::to_string(k) + ".wav";
  return name;
}

void WavRecorder::Write(const int16_t* samples, int32_t n) {
  if (!open_) return;
  if (!writer_.IsOpen()) {
    std::string error;
    const std::string name = NextFileName();
    if (!writer_.Create(name, error)) {
      lastError_ = error;
      return;
    }
    files_.push_back(name);
  }
  if (!writer_.Append(samples, n)) {
    lastError_ = "WAV file " + writer_.Path() + ": cannot be written";
    writer_.Close();
  }
}

void WavRecorder::Channel::Played(const int16_t* samples, int32_t n, int64_t) { owner_.Write(samples, n); }

void WavRecorder::Channel::Silence(int64_t, int64_t) { owner_.writer_.Close(); }

}  // namespace merivac
