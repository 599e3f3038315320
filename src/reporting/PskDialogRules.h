// PskDialogRules.h - the Reporting dialog's rules without the dialog: PSK
// Reporter spotting and UDP broadcasting switched on and addressed.
//
// Opening loads the boxes and edits from the settings. An edit whose text is
// invalid shows red, else the info-background colour: the ID needs at least
// 3 characters, the address IsValidIpText, the port a number from 1024 to
// 49151. SwlBox is usable with PskBox, IdEdit and PskLabel with SwlBox (and
// thus PskBox), the UDP labels and edits with UdpBox. OK stores the boxes and
// the edits, an edit shown red as empty (or port 0); Cancel stores nothing.
// The Qt dialog (reporting/ui/PskDialog.h) only shows this state.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Rgb.h"
#include "common/Settings.h"

namespace merivac {

enum class PskControl : uint8_t {
  PskBox,
  SwlBox,
  PskLabel,
  IdEdit,
  UdpBox,
  IpLabel,
  IpEdit,
  PortLabel,
  PortEdit,
  Count
};
constexpr size_t kPskControlCount = static_cast<size_t>(PskControl::Count);

// Every edit takes at most this many characters.
constexpr size_t kPskEditMaxLength = 16;
constexpr int32_t kLowestUdpPort = 1024;
constexpr int32_t kHighestUdpPort = 49151;

// The port text as a number, 0 when it is not one.
int32_t PortNumber(const std::string& text);

class PskDialogRules {
 public:
  explicit PskDialogRules(Settings& settings) : settings_(settings) {}

  // Loads the controls from the settings (the port edit stays empty for
  // port 0) and applies the enabling rules and the edit colours.
  void FormActivate();

  void PskBoxChange(bool checked);
  void SwlBoxChange(bool checked);
  void UdpBoxChange(bool checked);
  // The edits' texts as typed (cut to 16 characters).
  void IdEditChange(const std::string& text);
  void IpEditChange(const std::string& text);
  void PortEditChange(const std::string& text);

  // Stores the three boxes and the three edits; the dialog closes.
  void OkButtonClick();
  void CancelButtonClick() {}

  bool Checked(PskControl box) const { return checked_[Index(box)]; }
  bool Enabled(PskControl c) const { return enabled_[Index(c)]; }
  const std::string& Text(PskControl edit) const { return text_[Index(edit)]; }
  // An edit shown red.
  bool Invalid(PskControl edit) const { return invalid_[Index(edit)]; }
  Rgb Color(PskControl edit) const {
    return Invalid(edit) ? colors::kRed : colors::kInfoBackground;
  }

 private:
  static size_t Index(PskControl c) { return static_cast<size_t>(c); }
  void SetText(PskControl edit, const std::string& text);

  Settings& settings_;
  std::array<bool, kPskControlCount> checked_{};
  std::array<bool, kPskControlCount> enabled_{};
  std::array<bool, kPskControlCount> invalid_{};
  std::array<std::string, kPskControlCount> text_{};
};

}  // namespace merivac
