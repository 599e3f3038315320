// SpectrumMenu.h - the "Spectrum" menu entry, which opens the spectrum and
// waterfall window beside the main window.
#pragma once

#include <functional>

namespace merivac {

class Station;
class TMainForm;
class TSpectrumForm;

// SpectrumItemClick: the main timer is stopped while showWindow places and
// shows the window, then the view takes lines ("Spectrum view window
// opened", the "Spectrum" entry disabled until the window closes, the
// sample buffer emptied). A click that arrives inside a running tick (its
// decoding lets the window process events) opens the window at once: the
// tick has stopped the timer itself and starts it again when it ends.
void SpectrumItemClick(Station& station, const std::function<void()>& showWindow);

// Assigns the "Spectrum" entry of the main window's menu to
// SpectrumItemClick with the spectrum window, and lets the main window
// mirror what the spectrum window's handlers change (the frequency fields,
// the menu entry).
void ConnectSpectrumMenu(Station& station, TMainForm& mainForm, TSpectrumForm& spectrumForm);

}  // namespace merivac
