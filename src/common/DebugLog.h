// DebugLog.h - the debug log, extra/debug.txt below the program folder.
//
// Each entry is "yy-mm-dd hh:nn:ss:zzz : text" and is flushed at once, so
// the file is complete up to the last entry even if the program is killed.
// Entries are written only while "Save debug information" is on. A caller
// may pass a line limit: once more entries than that have been written since
// the file was last started, the file starts afresh with this entry.
#pragma once

#include <cstdio>
#include <string>

#include "common/Clock.h"

namespace merivac {

class DebugLog {
 public:
  DebugLog(const Clock& clock, const bool& enabled) : clock_(clock), enabled_(enabled) {}
  ~DebugLog();
  DebugLog(const DebugLog&) = delete;
  DebugLog& operator=(const DebugLog&) = delete;

  // Creates the file empty (an old one is overwritten) and keeps it open.
  // Returns false when it cannot be created; entries are then lost.
  bool Open(const std::string& path);
  void Close();

  void Write(const std::string& text, int maxLines = 0);
  // Whether entries are written now; callers may skip building their text.
  bool Enabled() const { return enabled_; }

  const std::string& Path() const { return path_; }
  int EntriesSinceStart() const { return counter_; }

 private:
  const Clock& clock_;
  const bool& enabled_;
  std::FILE* file_ = nullptr;
  std::string path_;
  int counter_ = 0;
};

}  // namespace merivac
