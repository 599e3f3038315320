// main.cpp - Merivac's program: the application, the composition root
// Station, the main window on Station's models, and the 50 ms main timer.
//
// The program works in the current directory (the program folder). Without
// a display it says so and ends instead of letting the toolkit abort.
// MERIVAC_DEBUG=1 switches "Save debug information" on from the start.

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "audio/MixerSetup.h"
#include "audio/SoundcardDialogRules.h"
#include "audio/ui/FemDialog.h"
#include "audio/ui/SoundcardDialog.h"
#include "logbook/ui/LogDialog.h"
#include "qso/StationDialogRules.h"
#include "qso/ui/StationDialog.h"
#include "radio/PttSafety.h"
#include "radio/RadioDialogModel.h"
#include "radio/SerialPorts.h"
#include "radio/ui/RadioDialog.h"
#include "reporting/ui/PskDialog.h"
#include "shell/CloseSignals.h"
#include "shell/ModeSaveDialogs.h"
#include "shell/Station.h"
#include "shell/Version.h"
#include "shell/ui/MainForm.h"
#include "shell/ui/ModeDialog.h"
#include "shell/ui/QtEditFocus.h"
#include "shell/ui/QtUiServices.h"
#include "shell/ui/SaveDialog.h"
#include "shell/ui/SpectrumMenu.h"
#include "spectrum/ui/SpectrumForm.h"
#include "stationdata/ui/AlertDialog.h"

namespace {

bool DisplayAvailable() {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0';
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
  if (!DisplayAvailable()) {
    std::fprintf(stderr,
                 "merivac: no display available (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                 "Start it from a desktop session, or set QT_QPA_PLATFORM (e.g. offscreen).\n");
    return 2;
  }
  // PTT and the alert line fall on every way out, fatal errors included;
  // SIGINT, SIGTERM and SIGHUP close the program as described below.
  merivac::InstallPttSafetyHandlers();
  const int closeSignalFd = merivac::InstallCloseSignals();
  QApplication app(argc, argv);
  QApplication::setApplicationName("Merivac");
  // Numbers are written and read with '.' whatever the regional settings
  // (QApplication has just taken the user's locale for everything).
  std::setlocale(LC_NUMERIC, "C");

  merivac::Station station;
  const char* debug = std::getenv("MERIVAC_DEBUG");
  if (debug != nullptr && std::string(debug) == "1") station.GetSettings().saveDebug = true;
  const bool folderOk = station.Create();
  if (!folderOk) std::fprintf(stderr, "merivac: %s", station.FolderError().c_str());

  merivac::TMainForm form(station.Controls(), station.BandMemo(), station.RxMemo(),
                          station.Hooks());
  merivac::QtUiServices ui(form);
  station.AttachUi(&ui);
  merivac::QtEditFocus editFocus(form);
  station.AttachEditFocus(&editFocus);
  merivac::PttSafetyGuard pttGuard(&station.Radio());

  // The settings dialogs of the menu, each followed by what its change needs.
  const std::string prefix = std::string("Merivac  v") + merivac::kVersionText;
  merivac::Settings& s = station.GetSettings();
  merivac::MainControls& controls = station.Controls();
  auto corner = [&form] { return form.pos() + QPoint(30, 30); };
  merivac::TStationForm stationForm(s, QString::fromStdString(prefix), &form);
  station.Hooks().OnMenu(merivac::MenuItem::SettingsStation, [&] {
    stationForm.ShowModal(form.pos());
    merivac::StationDialogFollowUp(s, controls);
    if (s.outputDevice < 0) merivac::SetTransmitControlsEnabled(controls, false);
    station.GetReporting().ChooseReportedStation();
  });
  merivac::TPortList ports;
  merivac::ListSerialPorts(ports);
  merivac::RadioDialogModel radioModel;
  radioModel.Create(s, ports);
  merivac::TRadioForm radioForm(
      radioModel, s, station.Radio(), station.Log(),
      [&station] { station.GetEngine().Tx().watchdogExpiry = 0; }, QString::fromStdString(prefix),
      &form);
  station.Hooks().OnMenu(merivac::MenuItem::SettingsRadio, [&] {
    radioForm.ShowModal(&form);
    merivac::RadioMenuFollowUp(s, controls, [&station](uint16_t seconds) {
      station.GetEngine().ShowWatchdog(seconds);
    });
  });
  merivac::TSoundcardForm soundcardForm(station.Audio(), prefix, &ui, &form);
  station.Hooks().OnMenu(merivac::MenuItem::SettingsAudio, [&] {
    soundcardForm.move(corner());
    soundcardForm.exec();
    station.AudioMenuFollowUp();
  });
  merivac::TFemForm femForm(s, &form);
  station.Hooks().OnMenu(merivac::MenuItem::SettingsFem, [&] {
    const QPoint at = corner();
    femForm.Run(prefix, at.x(), at.y());
    merivac::ApplyFrontEndMixer(s, station.Capture(), controls);
  });
  merivac::TModeForm modeForm(s, QString::fromStdString(prefix), &form);
  station.Hooks().OnMenu(merivac::MenuItem::SettingsMode, [&] {
    const uint32_t modeBefore = s.mode;
    modeForm.ShowModal(form.pos());
    merivac::ModeMenuFollowUp(modeBefore, station);
  });
  merivac::TSaveForm saveForm(s, QString::fromStdString(prefix), &form);
  station.Hooks().OnMenu(merivac::MenuItem::SettingsSave, [&] {
    saveForm.ShowModal(form.pos());
    merivac::SaveMenuFollowUp();
  });
  merivac::TPskForm pskForm(s, QString::fromStdString(prefix), &form);
  station.Hooks().OnMenu(merivac::MenuItem::SettingsRep, [&] {
    pskForm.ShowModal(form.pos());
    station.GetReporting().DialogClosed();
  });
  merivac::TAlertForm alertForm(s, station.Data(), QString::fromStdString(prefix), &form);
  station.Hooks().OnMenu(merivac::MenuItem::SettingsAlert,
                         [&] { alertForm.ShowModal(form.pos()); });
  // The Logbook dialog of start-up, beside the window at its saved place
  // (the settings have been read by then).
  merivac::TLogForm logForm(s, QString::fromStdString(prefix), &form);
  merivac::DialogLogbookPrompt logbookPrompt(logForm, [&] {
    if (s.windowPlaced) form.move(s.windowLeft, s.windowTop);
    return form.pos();
  });
  station.AttachLogbookPrompt(&logbookPrompt);
  // "Spectrum": the spectrum and waterfall window, not modal.
  merivac::TSpectrumForm spectrumForm(station.Spectrum(), prefix, form.MainFont(), &form);
  merivac::ConnectSpectrumMenu(station, form, spectrumForm);
  // "Help": the help page with the desktop's handler; nothing happens when that fails.
  station.Hooks().OnMenu(merivac::MenuItem::Help, [&station] {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(station.HelpPagePath())));
  });

  // The main timer follows the engine's enabled flag; the tick stops it while
  // it runs, so ticks never overlap and a long stage only delays the next.
  QTimer timer;
  timer.setInterval(50);
  station.GetEngine().SetTimerListener([&timer](bool on) {
    if (on) {
      timer.start();
    } else {
      timer.stop();
    }
  });
  QObject::connect(&timer, &QTimer::timeout, [&] {
    station.Tick();
    form.SyncFromModel();
  });

  // A close signal leaves every event loop, modal dialogs included (their
  // follow-ups see no further dialog: each exec returns at once), and the
  // program then closes below without asking anyone anything.
  bool closeBySignal = false;
  std::unique_ptr<QSocketNotifier> signalNotifier;
  if (closeSignalFd >= 0) {
    signalNotifier = std::make_unique<QSocketNotifier>(closeSignalFd, QSocketNotifier::Read);
    QObject::connect(signalNotifier.get(), &QSocketNotifier::activated, [&closeBySignal] {
      if (merivac::TakeCloseSignal() == 0) return;
      closeBySignal = true;
      QCoreApplication::exit(0);
    });
  }

  // The close query writes the settings with the window's real position.
  station.Hooks().formCloseQuery = [&station, &form] {
    station.SaveSettingsOnClose(form.x(), form.y());
    return true;
  };

  // Shown centred on the screen; the activation reads the settings, which
  // move the window to where it was when it last closed.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    form.move(area.center() - QPoint(form.width() / 2, form.height() / 2));
  }
  form.show();
  station.Activate();
  const merivac::Settings& settings = station.GetSettings();
  if (settings.windowPlaced) form.move(settings.windowLeft, settings.windowTop);
  form.SyncFromModel();
  if (!folderOk) ui.ShowMessageDialog(station.FolderError(), merivac::NoticeKind::Error);

  // A signal during start-up (the Logbook dialog, say) ends it at once.
  const int rc = closeBySignal ? 0 : app.exec();
  if (!station.SettingsSaveAttempted()) {
    // Closed by a signal: the close query and the close, with no dialog.
    if (!station.SaveSettingsOnClose(form.x(), form.y(), false)) {
      std::fprintf(stderr, "merivac: Failed to save the settings to %s\n",
                   station.SettingsPath().c_str());
    }
    form.hide();
    station.Close();
  }
  // The timer and the services go before Station: it must no longer reach them.
  station.GetEngine().SetTimerListener(nullptr);
  station.AttachUi(nullptr);
  station.AttachEditFocus(nullptr);
  station.AttachLogbookPrompt(nullptr);
  return rc;
}
