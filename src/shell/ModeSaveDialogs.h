// ModeSaveDialogs.h - the Mode and Save dialogs' rules without the dialogs,
// and what the "Settings" menu does after each of them closes.
//
// Each opening loads the controls from the settings; OK stores them, Cancel
// leaves the settings alone. After the Mode dialog closes (whichever
// button), a changed mode ends the cycle's capture, transmission or tuning
// and disarms TX; in every case the frequency limits follow the mode, both
// frequency fields are committed and the decode windows' hover hint follows
// "Allow multiple decoding". The Qt dialogs (shell/ui/ModeDialog.h,
// shell/ui/SaveDialog.h) only show this state.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/MainControls.h"
#include "common/Settings.h"

namespace merivac {

class DecodeWindows;
class Engine;
class Frequencies;
class Station;

// The Mode dialog's check boxes, in the dialog's order.
enum class ModeBox { EnableTxBox, ShowMsgBox, AudioTxBox, AudioRxBox, MultiDecBox };
constexpr int kModeBoxCount = 5;

// The mode of each radio button: M1Button, M2Button, M5Button, M10Button.
constexpr std::array<uint32_t, 4> kModeButtonModes = {1, 2, 5, 10};

// ToneSpacingEdit: digits only, at most 4 of them.
constexpr size_t kToneSpacingMaxLength = 4;

// The tone-spacing text as the dialog keeps it: the digits of text, at most
// the first four of them.
std::string CleanToneSpacingText(const std::string& text);
// The multiplier OK stores: the text read as an integer, 1 when it is empty
// or not a number (no other check; 0 .. 9999 are taken as they are).
uint32_t ToneSpacingValue(const std::string& text);

class ModeDialogRules {
 public:
  explicit ModeDialogRules(Settings& settings) : settings_(settings) {}

  // Loads the controls: the radio button of the mode (M1Button for any
  // mode other than 2, 5 and 10), the tone spacing as decimal text and the
  // five boxes from ENTX, TXMS, TXLM, RXLM and MDEC.
  void Open();

  // The operator picks a radio button by its mode (1, 2, 5 or 10; any
  // other value is ignored).
  void SelectMode(uint32_t mode);
  // ToneSpacingEdit changed (typing or paste): the text the field shows.
  const std::string& ToneSpacingEditChange(const std::string& text);
  void SetChecked(ModeBox box, bool checked);

  // Stores the mode, the tone spacing and the five boxes; the dialog closes.
  void OkButtonClick();
  // Closes without storing anything.
  void CancelButtonClick() {}

  uint32_t SelectedMode() const { return selectedMode_; }
  const std::string& ToneSpacingText() const { return toneSpacingText_; }
  bool Checked(ModeBox box) const { return checked_[static_cast<int>(box)]; }

 private:
  Settings& settings_;
  uint32_t selectedMode_ = 1;
  std::string toneSpacingText_ = "1";
  std::array<bool, kModeBoxCount> checked_{};
};

// The Save dialog's check boxes: SAVE, S_DC, S_DB.
enum class SaveBox { WavBox, DecodedBox, DebugBox };
constexpr int kSaveBoxCount = 3;

class SaveDialogRules {
 public:
  explicit SaveDialogRules(Settings& settings) : settings_(settings) {}

  // Ticks the three boxes from SAVE, S_DC and S_DB.
  void Open();
  void SetChecked(SaveBox box, bool checked) { checked_[static_cast<int>(box)] = checked; }
  // The three settings become the three boxes. S_DB switches the debug log
  // at once: DebugLog reads the setting on every entry.
  void OkButtonClick();
  void CancelButtonClick() {}

  bool Checked(SaveBox box) const { return checked_[static_cast<int>(box)]; }

 private:
  Settings& settings_;
  std::array<bool, kSaveBoxCount> checked_{};
};

// What the Mode dialog's follow-up works on.
struct ModeFollowUpTargets {
  Settings& settings;
  MainControls& controls;
  Engine& engine;
  Frequencies& freqs;
  DecodeWindows& windows;
};

// After the Mode dialog closed, whichever button closed it. modeBefore is
// the mode when the dialog opened. When the mode changed: the engine ends a
// transmission as Halt TX does, clears Capturing, Transmitting, Tuning and
// TxEnabled, shows EnableTxButton and logs "Mode changed to JT9-" + mode.
// Always: ModePanel shows the mode, ApplyFreqLimits, CommitTxFreq and
// CommitRxFreq (both draw the markers), TxEdit and RxEdit in the normal
// colour, and the hover hint from MDEC.
void ModeMenuFollowUp(uint32_t modeBefore, const ModeFollowUpTargets& t);
// The same on a station's objects.
void ModeMenuFollowUp(uint32_t modeBefore, Station& station);

// After the Save dialog closed: nothing is needed (the debug log and the
// decoded and WAV files read their settings when they write).
inline void SaveMenuFollowUp() {}

}  // namespace merivac
