// SpectrumRig.h - a spectrum view with the frequency rules it works with
// (whose DrawMarkers it is), a manual clock, a debug log in a temporary
// folder and the cycle clock's time-mark flag: what the program wires
// around the spectrum window, without the rest of the station.
#pragma once

#include <string>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Settings.h"
#include "common/UiServices.h"
#include "qso/Frequencies.h"
#include "qso/QsoServices.h"
#include "spectrum/SpectrumView.h"
#include "support/SpectrumProbe.h"
#include "support/TempDir.h"

namespace merivac::testing {

struct SpectrumRig {
  TempDir dir;
  ManualClock clock{EncodeDateTime(2026, 12, 9, 20, 1, 10)};
  Settings settings;
  bool logOn = true;
  DebugLog log{clock, logOn};
  MainControls controls;
  NullUiServices ui;
  SimpleCycleControl cycle;
  NullEditFocus focus;
  NullStationLookup stations;
  bool timeMarkDue = false;
  SpectrumView view{settings, controls, log, clock, timeMarkDue};
  Frequencies freqs{QsoContext{settings, controls, clock, log, ui, cycle, view, focus, stations}};

  // The window created and activated; open when `open`.
  explicit SpectrumRig(bool open = true) {
    log.Open((dir.Path() / "debug.txt").string());
    view.AttachFrequencies(&freqs);
    view.FormCreate(SpectrumTestFont());
    freqs.ApplyFreqLimits();
    view.FormActivate();
    if (open) view.Opened();
  }

  std::string Log() const { return ReadFile(dir.Path() / "debug.txt"); }
  void Feed(const std::vector<int16_t>& samples) {
    view.UpdateSpectrum(samples.data(), static_cast<int>(samples.size()));
  }
  int X(double f) const {
    return FreqToX(f, DisplayRange{settings.spectrumLow, settings.spectrumHigh});
  }
};

}  // namespace merivac::testing
