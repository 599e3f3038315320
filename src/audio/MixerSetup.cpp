// MixerSetup.cpp - front end mixer settings rules.
#include "audio/MixerSetup.h"

#include <charconv>

#include "common/Rgb.h"

namespace merivac {

namespace {

bool ReadInt(const std::string& text, int32_t& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end && !text.empty();
}

}  // namespace

FemTextState CheckFemText(const std::string& text) {
  if (text.empty()) return FemTextState::Unchanged;
  int32_t lo = 0;
  if (!ReadInt(text, lo)) lo = 25000;
  return lo >= kFemLoMin && lo <= kFemLoMax ? FemTextState::Valid : FemTextState::Invalid;
}

int32_t ReadFemLo(const std::string& text) {
  int32_t lo = 0;
  return ReadInt(text, lo) ? lo : 0;
}

void ApplyFrontEndMixer(const Settings& settings, CaptureChain& capture, MainControls& controls) {
  if (settings.mixerEnabled) {
    capture.StartMixer(settings.mixerLo);
    controls.SetFontColor(Ctl::DialLabel, colors::kRed);
  } else {
    controls.SetFontColor(Ctl::DialLabel, colors::kBlack);
  }
}

}  // namespace merivac
