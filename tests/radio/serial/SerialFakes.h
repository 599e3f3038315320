// SerialFakes.h - a fake line driver, a recording UiServices and a debug log
// in a temporary folder, shared by the radio tests.
#pragma once

#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/UiServices.h"
#include "radio/PttSafety.h"
#include "radio/SerialLineDriver.h"
#include "support/TempDir.h"

namespace merivac::testing {

// Records every call as a short text ("open ttyS1", "dtr 1", "rts 0",
// "break 0", "close"); with a record descriptor it also writes each call
// there as a line, and registers that descriptor with the PTT safety
// release while the port is open.
class FakeSerialLineDriver final : public SerialLineDriver {
 public:
  explicit FakeSerialLineDriver(int recordFd = -1) : recordFd_(recordFd) {}
  ~FakeSerialLineDriver() override {
    if (recordFd_ >= 0 && open_) DisarmPttSafety(recordFd_);
  }

  bool Open(const std::string& name) override {
    if (open_) Close();
    Record("open " + name);
    if (failOpen) return false;
    open_ = true;
    if (recordFd_ >= 0) ArmPttSafety(recordFd_);
    return true;
  }
  bool Close() override {
    if (!open_) return true;
    Record("close");
    open_ = false;
    if (recordFd_ >= 0) DisarmPttSafety(recordFd_);
    return true;
  }
  bool IsOpen() const override { return open_; }
  bool SetDtr(bool asserted) override { return Line("dtr", asserted, dtr); }
  bool SetRts(bool asserted) override { return Line("rts", asserted, rts); }
  bool SetBreak(bool on) override { return Line("break", on, brk); }

  std::vector<std::string> TakeCalls() { return std::exchange(calls_, {}); }

  bool failOpen = false;     // the port cannot be opened
  bool refuseLines = false;  // the port opens but refuses every line change
  bool dtr = false, rts = false, brk = false;

 private:
  bool Line(const char* what, bool on, bool& state) {
    Record(std::string(what) + (on ? " 1" : " 0"));
    if (!open_ || refuseLines) return false;
    state = on;
    return true;
  }
  void Record(const std::string& call) {
    calls_.push_back(call);
    if (recordFd_ >= 0) {
      const std::string line = call + "\n";
      [[maybe_unused]] ssize_t n = ::write(recordFd_, line.data(), line.size());
    }
  }
  int recordFd_;
  bool open_ = false;
  std::vector<std::string> calls_;
};

struct ShownDialog {
  std::string text;
  NoticeKind kind;
  friend bool operator==(const ShownDialog&, const ShownDialog&) = default;
};

class RecordingUi final : public UiServices {
 public:
  void ShowMessageDialog(const std::string& text, NoticeKind kind) override {
    dialogs.push_back({text, kind});
  }
  void ProcessEvents() override {}
  void ShowHintText(const std::string&, int, int, const std::string&) override {}
  void HideHintText() override {}
  std::vector<ShownDialog> dialogs;
};

// A debug log that is on and writes into a temporary folder.
class TestLog {
 public:
  TestLog() : log_(clock_, enabled_) { log_.Open((dir_.Path() / "debug.txt").string()); }
  DebugLog& Log() { return log_; }
  std::string Text() const { return ReadFile(dir_.Path() / "debug.txt"); }

 private:
  TempDir dir_;
  ManualClock clock_;
  bool enabled_ = true;
  DebugLog log_;
};

}  // namespace merivac::testing
