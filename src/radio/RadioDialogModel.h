// RadioDialogModel.h - the rules of the Radio dialog (TRadioForm), in plain
// C++: which boxes are ticked and enabled, the checks of the two edits, and
// what OK stores. The Qt dialog shows this state and forwards the
// operator's clicks and typing; tests drive the model directly.
//
// One line carries either PTT or the alert, never both; at most one PTT line
// and one alert line are ticked; with no PTT line ticked VOX is ticked.
// A box changed by a rule runs its own rule too, as a click would.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Rgb.h"
#include "common/Settings.h"
#include "radio/RadioControl.h"
#include "radio/SerialPorts.h"

namespace merivac {

enum class RadioBox : uint8_t { VoxBox, DtrPttBox, RtsPttBox, DtrAlertBox, RtsAlertBox, Count };

struct BoxState {
  bool checked = false;
  bool enabled = true;
};

struct EditState {
  std::string text;
  Rgb color = colors::kInfoBackground;
  bool enabled = true;
};

class RadioDialogModel {
 public:
  static constexpr size_t kTxDelayMaxLength = 3;
  static constexpr size_t kWdtMaxLength = 2;
  static constexpr int kMaxTxDelayMs = 999;
  static constexpr int kMaxWatchdogMinutes = 99;

  // Creation at program start: the radio settings start as VOX, no alert,
  // no watchdog, no TX delay, no port; PortBox gets "none" and then every
  // listed port in order.
  void Create(Settings& settings, const TPortList& portNames);

  // Each opening loads every box, the enables, the port selection and both
  // edits from the settings (a box left ticked by a cancelled session is
  // unticked again).
  void Open(const Settings& settings);

  // The operator ticks or unticks a box.
  void ClickBox(RadioBox box, bool checked);
  // The operator chooses PortBox entry index (0 = "none").
  void SelectPort(int index);
  // The operator changes an edit's text (cut to its maximum length).
  void EditTxDelay(const std::string& text);
  void EditWdt(const std::string& text);

  // OK: stores the settings, (re)initialises the port when an entry is
  // selected, writes "Radio settings changed: ..." to the debug log and
  // returns that text. clearWatchdogExpiry stops the running watchdog.
  std::string OkButtonClick(Settings& settings, RadioControl& radio, DebugLog& log,
                            const std::function<void()>& clearWatchdogExpiry);

  const BoxState& Box(RadioBox box) const { return boxes_[Index(box)]; }
  const EditState& TxDelayEdit() const { return txDelay_; }
  const EditState& WdtEdit() const { return wdt_; }
  bool OkEnabled() const { return okEnabled_; }
  const std::vector<std::string>& PortItems() const { return portItems_; }
  int SelectedPort() const { return selectedPort_; }  // -1 = no entry selected

 private:
  static size_t Index(RadioBox box) { return static_cast<size_t>(box); }
  BoxState& B(RadioBox box) { return boxes_[Index(box)]; }
  // Sets a box; when that changes it, runs the box's rule.
  void SetChecked(RadioBox box, bool checked);
  void ApplyBoxRule(RadioBox box);
  void ApplyPortRule();
  void CheckEdit(EditState& edit, int maxValue, int unreadableValue);
  void UpdateOk();

  std::array<BoxState, static_cast<size_t>(RadioBox::Count)> boxes_{};
  EditState txDelay_;
  EditState wdt_;
  bool okEnabled_ = true;
  std::vector<std::string> portItems_{"none"};
  int selectedPort_ = -1;
};

// The edit's value as OK reads it: a decimal number, 0 when empty or not a
// number (digits only; a sign or other characters make it unreadable).
int EditValue(const std::string& text, int unreadable);

// What the Settings menu's Radio entry does after the dialog has closed,
// whichever button closed it: shows the full watchdog time
// (showWatchdog(WDT x 60), the cycle engine's ShowWatchdog) and enables
// WDPanel exactly when the watchdog is on.
void RadioMenuFollowUp(const Settings& settings, MainControls& controls,
                       const std::function<void(uint16_t)>& showWatchdog);

}  // namespace merivac
