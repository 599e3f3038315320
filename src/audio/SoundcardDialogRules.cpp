// SoundcardDialogRules.cpp - the Audio dialog's behaviour without widgets.
#include "audio/SoundcardDialogRules.h"

#include <vector>

#include "common/DebugLog.h"
#include "common/MainControls.h"

namespace merivac {

SoundcardLayout WidenSoundcardLayout(const SoundcardLayout& design, int widestName) {
  SoundcardLayout l = design;
  const int width = widestName + 28;
  if (width <= design.listWidth) return l;
  l.listWidth = width;
  l.boxWidth = l.listLeft + width + 13;
  l.formWidth = l.boxWidth + 16;
  const int gap = (l.formWidth - l.okWidth - l.cancelWidth) / 3;
  l.okLeft = gap;
  l.cancelLeft = l.formWidth - gap - l.cancelWidth;
  return l;
}

void SoundcardDialogRules::Activate() {
  devices_.InputDeviceChanged() = false;
  pendingInput_ = devices_.GetSettings().inputDevice;
  pendingOutput_ = devices_.GetSettings().outputDevice;
}

std::string SoundcardDialogRules::InBoxText() const {
  const int32_t d = devices_.GetSettings().inputDevice;
  return d < 0 ? kNotSelected : devices_.InputName(d);
}

std::string SoundcardDialogRules::OutBoxText() const {
  const int32_t d = devices_.GetSettings().outputDevice;
  return d < 0 ? kNotSelected : devices_.OutputName(d);
}

bool SoundcardDialogRules::OkButtonClick() {
  Settings& s = devices_.GetSettings();
  lastReports_.clear();
  lastStatus_ = 0;
  if (pendingInput_ == s.inputDevice && pendingOutput_ == s.outputDevice) return false;
  if (InputChannel* in = devices_.Input()) {
    const uint32_t waiting = in->WaitingBytes();
    if (waiting != kAudioError && waiting > 0) {
      std::vector<int16_t> drop(waiting / 2);
      in->Read(drop.data(), waiting);
    }
  }
  devices_.StopInput();
  s.inputDevice = pendingInput_;
  if (OutputChannel* out = devices_.Output()) out->Discard();
  devices_.StopOutput();
  s.outputDevice = pendingOutput_;
  lastStatus_ = devices_.OpenAudioDevices();
  lastReports_ = ApplyAudioStatus(lastStatus_, s);
  if (DebugLog* log = devices_.Log()) {
    for (const std::string& line : lastReports_) log->Write(line);
  }
  devices_.InputDeviceChanged() = true;
  return true;
}

void AudioMenuFollowUp(const Settings& settings, MainControls& controls, DebugLog* log) {
  if (settings.inputDevice < 0 && log != nullptr) log->Write("No soundcard input selected");
  if (settings.outputDevice < 0) {
    if (log != nullptr) log->Write("No soundcard output selected");
    SetTransmitControlsEnabled(controls, false);
  } else {
    SetTransmitControlsEnabled(controls, true);
  }
}

}  // namespace merivac
