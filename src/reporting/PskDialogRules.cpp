// PskDialogRules.cpp - the Reporting dialog's rules.
#include "reporting/PskDialogRules.h"

#include <charconv>

#include "reporting/UdpBroadcast.h"

namespace merivac {

int32_t PortNumber(const std::string& text) {
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || p != end || value < 0) return 0;
  return value;
}

void PskDialogRules::FormActivate() {
  enabled_[Index(PskControl::PskBox)] = true;
  enabled_[Index(PskControl::UdpBox)] = true;
  IdEditChange(settings_.pskId);
  IpEditChange(settings_.udpAddress);
  PortEditChange(settings_.udpPort == 0 ? std::string() : std::to_string(settings_.udpPort));
  // The SWL box first: the PSK box then leaves the ID usable only with both.
  SwlBoxChange(settings_.pskSwl);
  PskBoxChange(settings_.pskEnabled);
  UdpBoxChange(settings_.udpEnabled);
}

void PskDialogRules::PskBoxChange(bool checked) {
  checked_[Index(PskControl::PskBox)] = checked;
  enabled_[Index(PskControl::SwlBox)] = checked;
  const bool id = checked && Checked(PskControl::SwlBox);
  enabled_[Index(PskControl::IdEdit)] = id;
  enabled_[Index(PskControl::PskLabel)] = id;
}

void PskDialogRules::SwlBoxChange(bool checked) {
  checked_[Index(PskControl::SwlBox)] = checked;
  enabled_[Index(PskControl::IdEdit)] = checked;
  enabled_[Index(PskControl::PskLabel)] = checked;
}

void PskDialogRules::UdpBoxChange(bool checked) {
  checked_[Index(PskControl::UdpBox)] = checked;
  for (PskControl c :
       {PskControl::IpLabel, PskControl::IpEdit, PskControl::PortLabel, PskControl::PortEdit}) {
    enabled_[Index(c)] = checked;
  }
}

void PskDialogRules::SetText(PskControl edit, const std::string& text) {
  text_[Index(edit)] = text.substr(0, kPskEditMaxLength);
}

void PskDialogRules::IdEditChange(const std::string& text) {
  SetText(PskControl::IdEdit, text);
  invalid_[Index(PskControl::IdEdit)] = Text(PskControl::IdEdit).size() < 3;
}

void PskDialogRules::IpEditChange(const std::string& text) {
  SetText(PskControl::IpEdit, text);
  invalid_[Index(PskControl::IpEdit)] = !IsValidIpText(Text(PskControl::IpEdit));
}

void PskDialogRules::PortEditChange(const std::string& text) {
  SetText(PskControl::PortEdit, text);
  const int32_t port = PortNumber(Text(PskControl::PortEdit));
  invalid_[Index(PskControl::PortEdit)] = port < kLowestUdpPort || port > kHighestUdpPort;
}

void PskDialogRules::OkButtonClick() {
  settings_.pskEnabled = Checked(PskControl::PskBox);
  settings_.pskSwl = Checked(PskControl::SwlBox);
  settings_.pskId = Invalid(PskControl::IdEdit) ? std::string() : Text(PskControl::IdEdit);
  settings_.udpEnabled = Checked(PskControl::UdpBox);
  settings_.udpAddress = Invalid(PskControl::IpEdit) ? std::string() : Text(PskControl::IpEdit);
  settings_.udpPort = Invalid(PskControl::PortEdit) ? 0 : PortNumber(Text(PskControl::PortEdit));
}

}  // namespace merivac
