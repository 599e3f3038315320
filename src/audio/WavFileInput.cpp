// WavFileInput.cpp - replay of a WAV recording as a recording device.
#include "audio/WavFileInput.h"

#include <algorithm>

namespace merivac {

WavFileInput::WavFileInput(const Clock& clock, std::string path)
    : path_(std::move(path)), channel_(clock, reader_) {}

bool WavFileInput::Open(std::string& error) {
  if (path_.empty()) {
    error = "WAV file input: no file given (set MERIVAC_WAV_INPUT)";
    return false;
  }
  return reader_.Open(path_, error);
}

InputChannel* WavFileInput::Start(std::string& error) {
  if (!reader_.IsOpen()) {
    error = "WAV file input: not open";
    return nullptr;
  }
  channel_.Restart();
  running_ = true;
  return &channel_;
}

void WavFileInput::Close() {
  running_ = false;
  reader_.Close();
}

void WavFileInput::Channel::Produce(int16_t* out, int32_t n, int64_t first) {
  const int32_t got = reader_.ReadAt(first, out, n);
  std::fill(out + std::max(got, 0), out + n, int16_t{0});
}

}  // namespace merivac
