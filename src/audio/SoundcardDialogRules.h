// SoundcardDialogRules.h - what the Audio dialog (TSoundcardForm) does,
// kept apart from its widgets: the widening for long device names, the
// selections before OK, the reopening of both devices on OK, and the Audio
// menu's follow-up on the main window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/AudioDevices.h"

namespace merivac {

class DebugLog;
class MainControls;

constexpr const char* kNotSelected = "not selected";

// Geometry of the dialog in pixels.
struct SoundcardLayout {
  int listLeft = 16;     // InBox and OutBox, inside SoundcardBox
  int listWidth = 209;
  int boxLeft = 8;       // SoundcardBox
  int boxWidth = 238;
  int formWidth = 262;   // client width of the dialog
  int okLeft = 47;
  int cancelLeft = 140;
  int okWidth = 75;
  int cancelWidth = 75;
};

// When the widest name plus 28 pixels is wider than the lists, widens both
// lists to it, the group box to list left + width + 13 and the dialog to
// the group box width + 16, and spaces the buttons evenly (a third of the
// free width from each edge and between them).
SoundcardLayout WidenSoundcardLayout(const SoundcardLayout& design, int widestName);

class SoundcardDialogRules {
 public:
  explicit SoundcardDialogRules(AudioDevices& devices) : devices_(devices) {}

  // Activation: clears InputDeviceChanged; the pending selections take the
  // current devices.
  void Activate();
  // What InBox and OutBox show: the device's name, or "not selected".
  std::string InBoxText() const;
  std::string OutBoxText() const;
  int32_t PendingInput() const { return pendingInput_; }
  int32_t PendingOutput() const { return pendingOutput_; }

  void InBoxChange(int32_t itemIndex) { pendingInput_ = itemIndex; }
  void OutBoxChange(int32_t itemIndex) { pendingOutput_ = itemIndex; }

  // OK. Without a change nothing is touched and false is returned. Otherwise
  // the waiting input is dropped, both channels are stopped, the pending
  // devices become the current ones and are opened, the status reports go
  // to the debug log (and are kept in LastReports) and InputDeviceChanged
  // is set; returns true.
  bool OkButtonClick();
  const std::vector<std::string>& LastReports() const { return lastReports_; }
  uint8_t LastStatus() const { return lastStatus_; }

 private:
  AudioDevices& devices_;
  int32_t pendingInput_ = -1;
  int32_t pendingOutput_ = -1;
  std::vector<std::string> lastReports_;
  uint8_t lastStatus_ = 0;
};

// The Audio menu item's follow-up after the dialog closes: logs "No
// soundcard input selected" without an input, and without an output logs
// "No soundcard output selected" and disables EnableTxButton, TuneButton,
// HaltTxButton and QSOPanel; with an output it enables them.
void AudioMenuFollowUp(const Settings& settings, MainControls& controls, DebugLog* log);

}  // namespace merivac
