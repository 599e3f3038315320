// StartupOutput.h - where a start-up step says what it does.
//
// Each step announces itself and its outcome as progress lines in the Band
// Activity window (black, a failure in red), adds its outcome to the
// start-up report (one debug-log entry at the end of start-up) and each
// failure as a sentence to the start-up error text (the first tick's
// WARNING notice). The station supplies the three; tests collect them.
#pragma once

#include <string>

namespace merivac {

class StartupOutput {
 public:
  virtual ~StartupOutput() = default;
  virtual void Show(const std::string& line, bool failed = false) = 0;
  virtual void Report(const std::string& line) = 0;
  virtual void Error(const std::string& sentence) = 0;
};

}  // namespace merivac
