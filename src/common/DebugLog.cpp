// DebugLog.cpp - time-stamped, flushed entries with the restart rule.
#include "common/DebugLog.h"

namespace merivac {

DebugLog::~DebugLog() { Close(); }

bool DebugLog::Open(const std::string& path) {
  Close();
  path_ = path;
  counter_ = 0;
  file_ = std::fopen(path.c_str(), "wb");
  return file_ != nullptr;
}

void DebugLog::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

void DebugLog::Write(const std::string& text, int maxLines) {
  if (!enabled_) return;
  counter_ += 1;
  if (maxLines != 0 && counter_ > maxLines && !path_.empty()) {
    Close();
    file_ = std::fopen(path_.c_str(), "wb");
    counter_ = 0;
  }
  if (file_ == nullptr) return;  // file errors are ignored; the entry is lost
  const std::string entry = FormatDateTime("yy-mm-dd hh:nn:ss:zzz", clock_.Now()) + " : " + text + "\r\n";
  std::fwrite(entry.data(), 1, entry.size(), file_);
  std::fflush(file_);
}

}  // namespace merivac
