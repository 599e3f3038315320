// Station.h - the composition root: every program-wide object in one place.
//
// Station owns the settings, the clock, the debug log, the control model of
// the main window and its two decode windows, the window's event hooks, the
// program folder and the cycle engine, and connects the hooks to the
// engine's handlers. It knows no Qt: the program's main creates the window
// on Station's models, attaches its UiServices and drives Tick() from a
// 50 ms timer that follows Engine::TimerEnabled().
#pragma once

#include <memory>
#include <string>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/MemoModel.h"
#include "common/Settings.h"
#include "common/UiServices.h"
#include "cycle/Engine.h"
#include "shell/MainHooks.h"
#include "shell/ProgramFolder.h"

namespace merivac {

// Forwards to the interface attached later (the Qt services exist only
// once the window does); does nothing while none is attached.
class UiServicesProxy final : public UiServices {
 public:
  void Attach(UiServices* target) { target_ = target; }
  void ShowMessageDialog(const std::string& text, NoticeKind kind) override {
    if (target_ != nullptr) target_->ShowMessageDialog(text, kind);
  }
  void ProcessEvents() override {
    if (target_ != nullptr) target_->ProcessEvents();
  }
  void ShowHintText(const std::string& text, int x, int y, const std::string& sizeText) override {
    if (target_ != nullptr) target_->ShowHintText(text, x, y, sizeText);
  }
  void HideHintText() override {
    if (target_ != nullptr) target_->HideHintText();
  }

 private:
  UiServices* target_ = nullptr;
};

class Station {
 public:
  // clock: the clock to use; nullptr takes the PC clock.
  explicit Station(Clock* clock = nullptr);
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;
  ~Station();

  // Window creation: the caption, the program folder below dir (the current
  // directory when empty) with save/, extra/, extra/decoded.txt and an empty
  // extra/debug.txt, and the hooks. Returns false when the folder could not
  // be set up; FolderError() then says why (the program goes on).
  bool Create(const std::string& dir = std::string());

  // The window's first activation: clears the design placeholders, starts
  // the cycle clock and the watchdog display, and finally the main timer.
  // Failures of Create are handed to the first tick as start-up errors.
  void Activate();

  // One tick of the 50 ms timer; does nothing while the engine keeps its
  // timer disabled.
  void Tick();

  // The close of the main window: the final log entry, the log files closed.
  void Close();

  void AttachUi(UiServices* ui) { ui_.Attach(ui); }

  // "Must read": the acknowledgements, terms of use and disclaimer.
  void MustReadItemClick();
  // The help page below the program folder, opened by the "Help" entry.
  std::string HelpPagePath() const { return folder_.Below("help/Merivac.html"); }

  Settings& GetSettings() { return settings_; }
  Clock& GetClock() { return *clock_; }
  DebugLog& Log() { return log_; }
  MainControls& Controls() { return controls_; }
  MemoModel& BandMemo() { return bandMemo_; }
  MemoModel& RxMemo() { return rxMemo_; }
  MainHooks& Hooks() { return hooks_; }
  ProgramFolder& Folder() { return folder_; }
  Engine& GetEngine() { return *engine_; }
  UiServices& Ui() { return ui_; }
  const std::string& FolderError() const { return folder_.Error(); }

 private:
  void ConnectHooks();
  void ClearPlaceholders();

  SystemClock systemClock_;
  Clock* clock_;
  Settings settings_;
  DebugLog log_;
  MainControls controls_;
  MemoModel bandMemo_;
  MemoModel rxMemo_;
  MainHooks hooks_;
  ProgramFolder folder_;
  UiServicesProxy ui_;
  std::unique_ptr<Engine> engine_;
  bool activated_ = false;
  bool closed_ = false;
};

}  // namespace merivac
