// Station.h - the composition root: every program-wide object in one place.
//
// Station owns the settings, the clock, the debug log, the control model of
// the main window and its two decode windows, the window's event hooks, the
// program folder and the cycle engine, and connects the hooks to the
// engine's handlers. It knows no Qt: the program's main creates the window
// on Station's models, attaches its UiServices and drives Tick() from a
// 50 ms timer that follows Engine::TimerEnabled().
#pragma once

#include <memory>
#include <string>

#include "audio/AudioDevices.h"
#include "audio/AudioDevicesSetup.h"
#include "audio/CaptureChain.h"
#include "audio/ToneOutput.h"
#include "codec/DecoderBridge.h"
#include "codec/ProcessRunner.h"
#include "common/Clock.h"
#include "common/Recording.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/MemoModel.h"
#include "common/Settings.h"
#include "common/UiServices.h"
#include "cycle/Engine.h"
#include "logbook/LogDialogRules.h"
#include "qso/DecodeWindows.h"
#include "qso/QsoServices.h"
#include "qso/Sequencing.h"
#include "radio/RadioControl.h"
#include "radio/SerialLineDriver.h"
#include "reporting/Reporting.h"
#include "shell/EngineAdapters.h"
#include "shell/MainHooks.h"
#include "shell/ProgramFolder.h"
#include "shell/SettingsFile.h"
#include "spectrum/SpectrumView.h"
#include "stationdata/Download.h"
#include "stationdata/StationData.h"
#include "stationdata/TableStartup.h"

namespace merivac {

// Forwards to the interface attached later (the Qt services exist only
// once the window does); does nothing while none is attached.
class UiServicesProxy final : public UiServices {
 public:
  void Attach(UiServices* target) { target_ = target; }
  void ShowMessageDialog(const std::string& text, NoticeKind kind) override {
    if (target_ != nullptr) target_->ShowMessageDialog(text, kind);
  }
  void ProcessEvents() override {
    if (target_ != nullptr) target_->ProcessEvents();
  }
  void ShowHintText(const std::string& text, int x, int y, const std::string& sizeText) override {
    if (target_ != nullptr) target_->ShowHintText(text, x, y, sizeText);
  }
  void HideHintText() override {
    if (target_ != nullptr) target_->HideHintText();
  }

 private:
  UiServices* target_ = nullptr;
};

// What a station is built from. The defaults are the program's: the PC
// clock, the sound cards and simulated devices as the environment sets
// them, and the real serial ports. Tests pass a manual clock, a loopback bus
// and a fake line driver, and point reporting at loopback.
struct StationOptions {
  Clock* clock = nullptr;
  AudioDeviceOptions audio = AudioDeviceOptionsFromEnvironment();
  SerialLineDriver* serial = nullptr;
  ReportingOptions reporting = ReportingOptionsFromEnvironment();
  // Where start-up downloads CTY.DAT from (with UCTY), and how; null: libcurl.
  std::string countryFileUrl = kCountryFileUrl;
  Downloader* downloader = nullptr;
};

class Station {
 public:
  explicit Station(StationOptions options = {});
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;
  ~Station();

  // Window creation: the caption, the program folder below dir (the current
  // directory when empty) with save/, extra/, extra/decoded.txt and an empty
  // extra/debug.txt, and the hooks. Returns false when the folder could not
  // be set up; FolderError() then says why (the program goes on).
  bool Create(const std::string& dir = std::string());

  // The window's first activation: clears the design placeholders, starts
  // the cycle clock and the watchdog display, and finally the main timer.
  // Failures of Create are handed to the first tick as start-up errors.
  void Activate();

  // One tick of the 50 ms timer; does nothing while the engine keeps its
  // timer disabled.
  void Tick();

  // The close of the main window: the final log entry, the log files closed.
  void Close();

  // The close query: stops the timer and the audio channels, records the
  // window's screen position (left, top) and the three main-window check
  // boxes, and writes the settings file. A failure is logged and, when the
  // operator closed the window (showFailure), shown in the ERROR dialog; a
  // close from a signal must not wait for anyone to click OK. The window
  // closes anyway. Then UDP broadcasting sends its closing datagram and
  // closes. Returns whether the file was written; runs only once.
  bool SaveSettingsOnClose(int windowLeft, int windowTop, bool showFailure = true);
  bool SettingsSaveAttempted() const { return closeQueryDone_; }
  // The settings file of the program folder.
  std::string SettingsPath() const { return folder_.Below(kSettingsFileName); }

  void AttachUi(UiServices* ui) { ui_.Attach(ui); }

  // After the Audio dialog closed (either button): the menu's follow-up on
  // the main window, then the engine learns whether the devices were
  // reopened (a transmission loses its stream) and whether an output is left.
  void AudioMenuFollowUp();
  // The Logbook dialog of start-up; without one (null) the logbook choices
  // are those the dialog takes when left alone.
  void AttachLogbookPrompt(LogbookPrompt* prompt) { logbookPrompt_ = prompt; }

  // "Must read": the acknowledgements, terms of use and disclaimer.
  void MustReadItemClick();
  // The help page below the program folder, opened by the "Help" entry.
  std::string HelpPagePath() const { return folder_.Below("help/Merivac.html"); }

  Settings& GetSettings() { return settings_; }
  Clock& GetClock() { return *clock_; }
  DebugLog& Log() { return log_; }
  MainControls& Controls() { return controls_; }
  MemoModel& BandMemo() { return windows_.BandMemo(); }
  MemoModel& RxMemo() { return windows_.RxMemo(); }
  DecodeWindows& Windows() { return windows_; }
  AudioDevices& Audio() { return *audio_; }
  CaptureChain& Capture() { return capture_; }
  ToneOutput& Tone() { return tone_; }
  QsoOperation& Qso() { return qso_; }
  RadioControl& Radio() { return radio_; }
  Reporting& GetReporting() { return reporting_; }
  // Country and state tables, worked lists and alert lists.
  StationData& Data() { return stationData_; }
  DecoderBridge& Decoder() { return *decoder_; }
  CycleRecording& Recording() { return *recording_; }
  SpectrumView& Spectrum() { return spectrum_; }
  // The window's focus handling for the frequency fields.
  void AttachEditFocus(EditFocus* focus) { editFocus_.Attach(focus); }
  MainHooks& Hooks() { return hooks_; }
  ProgramFolder& Folder() { return folder_; }
  Engine& GetEngine() { return *engine_; }
  UiServices& Ui() { return ui_; }
  const std::string& FolderError() const { return folder_.Error(); }

 private:
  void ConnectHooks();
  void ConnectQsoHooks();
  void ClearPlaceholders();
  void ShowProgress(const std::string& text, bool failed = false);
  void StartupSettings(std::string& report);
  void StartupSerialPort(std::string& report);
  void StartupAudio(std::string& report);
  void StartupLogbookAndTables(std::string& report);

  SystemClock systemClock_;
  Clock* clock_;
  Settings settings_;
  DebugLog log_;
  MainControls controls_;
  MainHooks hooks_;
  ProgramFolder folder_;
  std::string folderPath_;  // the program folder, for the outside tools
  UiServicesProxy ui_;
  std::unique_ptr<Engine> engine_;

  // The subsystems, in the order they depend on each other.
  PosixProcessRunner runner_;
  std::unique_ptr<CycleRecording> recording_;
  std::unique_ptr<SerialLineDriver> ownSerial_;
  SerialLineDriver& serial_;
  RadioControl radio_;
  std::unique_ptr<AudioDevices> audio_;
  DecodeWindows windows_;
  SpectrumView spectrum_;  // also the markers the frequency rules redraw
  CaptureChain capture_;
  ToneOutput tone_;
  EngineCycleControl cycleControl_;
  EditFocusProxy editFocus_;
  StationData stationData_;
  CurlDownloader curl_;
  Downloader* downloader_;
  std::string countryFileUrl_;
  CountdownLogbookPrompt countdownPrompt_;
  LogbookPrompt* logbookPrompt_ = nullptr;
  QsoOperation qso_;
  StationDecodeSinks sinks_;
  Reporting reporting_;
  std::unique_ptr<DecoderBridge> decoder_;  // made by Create, which knows the folder

  // The engine's view of them.
  DeviceRecordInput recordInput_;
  CaptureChainStage captureStage_;
  ToneOutputStage toneStage_;
  std::unique_ptr<BridgeDecoder> bridgeDecoder_;
  BridgeEncoder bridgeEncoder_;
  SerialRadioLines radioLines_;
  WindowTxLine txLine_;
  QsoFrequencyFields frequencyFields_;
  PskReporterLink pskLink_;
  UdpHeartbeatLink udpLink_;
  bool activated_ = false;
  bool closeQueryDone_ = false;
  bool closed_ = false;
};

}  // namespace merivac
