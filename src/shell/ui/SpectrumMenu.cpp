// SpectrumMenu.cpp - the "Spectrum" menu entry.
#include "shell/ui/SpectrumMenu.h"

#include "shell/Station.h"
#include "shell/ui/MainForm.h"
#include "spectrum/ui/SpectrumForm.h"

namespace merivac {

void SpectrumItemClick(Station& station, const std::function<void()>& showWindow) {
  Engine& engine = station.GetEngine();
  const bool stopTimer = engine.TimerEnabled();
  if (stopTimer) engine.SetTimerEnabled(false);
  showWindow();
  station.Spectrum().Opened();
  if (stopTimer) engine.SetTimerEnabled(true);
}

void ConnectSpectrumMenu(Station& station, TMainForm& mainForm, TSpectrumForm& spectrumForm) {
  station.Hooks().OnMenu(MenuItem::Spectrum, [&station, &mainForm, &spectrumForm] {
    SpectrumItemClick(
        station, [&mainForm, &spectrumForm] { spectrumForm.ShowAbove(mainForm.frameGeometry()); });
  });
  spectrumForm.afterEvent = [&mainForm] { mainForm.SyncFromModel(); };
}

}  // namespace merivac
