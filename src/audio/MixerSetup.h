// MixerSetup.h - the rules around the front end mixer's settings: the
// Front End Mixer dialog's field check and OK value, and the follow-up that
// start-up and the menu run after it (restart the mixer, colour the dial
// label while the mixer is on).
#pragma once

#include <cstdint>
#include <string>

#include "audio/CaptureChain.h"
#include "common/MainControls.h"
#include "common/Settings.h"

namespace merivac {

constexpr int32_t kFemLoMin = 200;
constexpr int32_t kFemLoMax = 19999;

enum class FemTextState { Unchanged, Valid, Invalid };

// The field rule: an empty text changes nothing; otherwise the text read as
// an integer (25000 when unreadable) is valid from 200 to 19999.
FemTextState CheckFemText(const std::string& text);

// The LO that OK stores: the text as an integer, 0 when unreadable.
int32_t ReadFemLo(const std::string& text);

// After the dialog (and at start-up): when the mixer is enabled, restart it
// at the stored LO and show DialLabel's caption in red; otherwise black.
void ApplyFrontEndMixer(const Settings& settings, CaptureChain& capture, MainControls& controls);

}  // namespace merivac
