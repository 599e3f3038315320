// Station.cpp - creating, wiring and driving the program-wide objects.
#include "shell/Station.h"

#include "audio/Fft.h"
#include "audio/MixerSetup.h"
#include "audio/SoundcardDialogRules.h"
#include "codec/EncoderBridge.h"
#include "common/Notice.h"
#include "logbook/LogbookStartup.h"
#include "qso/CallRules.h"
#include "qso/MessageGen.h"
#include "radio/SerialLineDriver.h"
#include "shell/Version.h"

namespace merivac {

namespace {

// Message texts in a band-simulator scenario are encoded like a
// transmission, by the outside encoder of the program folder.
AudioDeviceOptions WithEncoder(AudioDeviceOptions options, ProcessRunner& runner,
                               const std::string& folder, DebugLog& log) {
  if (!options.encoder) {
    options.encoder = [&runner, &folder, &log](const std::string& message) {
      return RunEncoder(runner, folder, message, &log);
    };
  }
  return options;
}

std::unique_ptr<SerialLineDriver> RealDriverUnless(SerialLineDriver* given) {
  if (given != nullptr) return nullptr;
  return std::make_unique<PosixSerialLineDriver>();
}

}  // namespace

Station::Station(StationOptions options)
    : clock_(options.clock != nullptr ? options.clock : &systemClock_),
      log_(*clock_, settings_.saveDebug),
      engine_(std::make_unique<Engine>(*clock_, settings_, controls_, log_, ui_)),
      recording_(std::make_unique<CycleRecording>()),
      ownSerial_(RealDriverUnless(options.serial)),
      serial_(options.serial != nullptr ? *options.serial : *ownSerial_),
      radio_(settings_, serial_, ui_, log_),
      audio_(CreateAudioDevices(settings_, *clock_, &log_,
                                WithEncoder(options.audio, runner_, folderPath_, log_))),
      windows_(settings_, *clock_, ui_),
      spectrum_(settings_, controls_, log_, *clock_, engine_->Cycle().timeMarkDue),
      capture_([this] { return audio_->Input(); }, audio_->InputDeviceChanged(), spectrum_,
               *recording_, settings_, log_),
      tone_([this] { return audio_->Output(); },
            [this](double level) { audio_->SetOutputLevel(level); }, settings_, log_, *clock_,
            engine_->LastTickTime(), ui_),
      cycleControl_(*engine_, settings_),
      stationData_(settings_),
      downloader_(options.downloader != nullptr ? options.downloader : &curl_),
      countryFileUrl_(options.countryFileUrl),
      countdownPrompt_(settings_),
      qso_(QsoContext{settings_, controls_, *clock_, log_, ui_, cycleControl_, spectrum_,
                      editFocus_, stationData_}),
      sinks_(radio_, stationData_),
      reporting_(settings_, *clock_, log_, ui_, kVersionText, options.reporting),
      recordInput_(*audio_),
      captureStage_(capture_),
      toneStage_(tone_),
      bridgeEncoder_(runner_, folderPath_, log_),
      radioLines_(radio_),
      txLine_(windows_, *engine_, settings_),
      frequencyFields_(qso_.freqs),
      pskLink_(reporting_.Psk()),
      udpLink_(reporting_.Udp()) {
  EngineServices services;
  services.input = &recordInput_;
  services.capture = &captureStage_;
  services.output = &toneStage_;
  services.encoder = &bridgeEncoder_;
  services.radio = &radioLines_;
  services.txLine = &txLine_;
  services.frequencies = &frequencyFields_;
  services.pskReporter = &pskLink_;
  services.udp = &udpLink_;
  engine_->SetServices(services);
  sinks_.AttachReporting(&reporting_);
  spectrum_.AttachFrequencies(&qso_.freqs);
}

Station::~Station() { Close(); }

bool Station::Create(const std::string& dir) {
  controls_.SetText(Ctl::MainForm, MainCaption());
  const bool ok = folder_.Setup(log_, dir);
  folderPath_ = folder_.Path();
  reporting_.SetProgramFolder(folderPath_);
  windows_.OpenDecodedFile(folderPath_);
  decoder_ = std::make_unique<DecoderBridge>(DecoderBridge::Deps{
      settings_, *clock_, log_, controls_, ui_, *recording_, windows_, runner_, sinks_,
      [this] { return RxFreqLimits{qso_.freqs.RxLowLimit(), qso_.freqs.RxHighLimit()}; },
      folderPath_, &engine_->AlertRaised(), &engine_->Flags().capturing});
  bridgeDecoder_ = std::make_unique<BridgeDecoder>(*decoder_);
  EngineServices services = engine_->Services();
  services.decoder = bridgeDecoder_.get();
  engine_->SetServices(services);
  ConnectHooks();
  ConnectQsoHooks();
  return ok;
}

void Station::ConnectHooks() {
  Engine& e = *engine_;
  auto on = [this](Ctl c, Ev ev, std::function<void()> handler) {
    hooks_.On(c, ev, [handler = std::move(handler)](UiEvent&) { handler(); });
  };
  on(Ctl::EnableTxButton, Ev::Click, [&e] { e.EnableTxButtonClick(); });
  on(Ctl::EnableTxLabel, Ev::Click, [&e] { e.EnableTxLabelClick(); });
  on(Ctl::HaltTxButton, Ev::Click, [&e] { e.HaltTxButtonClick(); });
  on(Ctl::TuneButton, Ev::Click, [&e] { e.TuneButtonClick(); });
  on(Ctl::TuneLabel, Ev::Click, [&e] { e.TuneLabelClick(); });
  on(Ctl::TxFirstBox, Ev::Change, [&e] { e.TxFirstBoxChange(); });
  on(Ctl::HoldTxBox, Ev::Change,
     [this] { settings_.holdTxFreq = controls_.Checked(Ctl::HoldTxBox); });
  on(Ctl::WDPanel, Ev::Click, [&e] { e.WDPanelClick(); });
  on(Ctl::TimeLabel, Ev::Click, [&e] { e.TimeLabelClick(); });
  on(Ctl::MessagePanel, Ev::Click, [this] { MessagePanelClick(controls_); });
  on(Ctl::MessageLabel, Ev::Click, [this] { MessagePanelClick(controls_); });
  hooks_.OnMenu(MenuItem::MustRead, [this] { MustReadItemClick(); });
  hooks_.formClose = [this] { Close(); };
}

// The handlers of the QSO panel, the frequency block, the decode windows
// and the power control.
void Station::ConnectQsoHooks() {
  Frequencies& f = qso_.freqs;
  MessageGenerator& m = qso_.messages;
  Sequencer& q = qso_.sequencer;
  auto on = [this](Ctl c, Ev ev, std::function<void(UiEvent&)> handler) {
    hooks_.On(c, ev, std::move(handler));
  };
  auto text = [this](Ctl c) { return controls_.Text(c); };

  on(Ctl::TxEdit, Ev::Change, [&f, text](UiEvent&) { f.TxEditChange(text(Ctl::TxEdit)); });
  on(Ctl::RxEdit, Ev::Change, [&f, text](UiEvent&) { f.RxEditChange(text(Ctl::RxEdit)); });
  on(Ctl::QrgEdit, Ev::Change, [&f, text](UiEvent&) { f.QrgEditChange(text(Ctl::QrgEdit)); });
  on(Ctl::dBEdit, Ev::Change, [&f, text](UiEvent&) { f.dBEditChange(text(Ctl::dBEdit)); });
  on(Ctl::TxEdit, Ev::Enter, [&f](UiEvent&) { f.TxEditEnter(); });
  on(Ctl::RxEdit, Ev::Enter, [&f](UiEvent&) { f.RxEditEnter(); });
  on(Ctl::QrgEdit, Ev::Enter, [&f](UiEvent&) { f.QrgEditEnter(); });
  on(Ctl::TxEdit, Ev::Exit, [&f](UiEvent&) { f.TxEditExit(); });
  on(Ctl::RxEdit, Ev::Exit, [&f](UiEvent&) { f.RxEditExit(); });
  on(Ctl::QrgEdit, Ev::Exit, [&f](UiEvent&) { f.QrgEditExit(); });
  // Enter commits the field; other keys pass unchanged.
  auto onReturn = [&on](Ctl c, std::function<void()> commit) {
    on(c, Ev::KeyPress, [commit = std::move(commit)](UiEvent& ev) {
      if (ev.key == 13) commit();
    });
  };
  onReturn(Ctl::TxEdit, [&f] { f.TxEditReturn(); });
  onReturn(Ctl::RxEdit, [&f] { f.RxEditReturn(); });
  onReturn(Ctl::QrgEdit, [&f] { f.QrgEditReturn(); });
  on(Ctl::TxUpDown, Ev::Click, [&f](UiEvent& ev) { f.TxUpDownClick(ev.direction > 0); });
  on(Ctl::RxUpDown, Ev::Click, [&f](UiEvent& ev) { f.RxUpDownClick(ev.direction > 0); });
  on(Ctl::dBUpDown, Ev::Click, [&f](UiEvent& ev) { f.dBUpDownClick(ev.direction > 0); });
  on(Ctl::TxRxButton, Ev::Click, [&f](UiEvent&) { f.TxRxButtonClick(); });
  on(Ctl::RxTxButton, Ev::Click, [&f](UiEvent&) { f.RxTxButtonClick(); });

  for (Ctl button : {Ctl::CqS1Button, Ctl::CqS2Button, Ctl::CqS3Button, Ctl::AnS1Button,
                     Ctl::AnS2Button, Ctl::AnS3Button}) {
    on(button, Ev::Click, [&m, button](UiEvent&) { m.MessageButtonClick(button); });
  }
  on(Ctl::CqUpDown, Ev::Click, [&m](UiEvent&) { m.CqUpDownClick(); });
  on(Ctl::ShortQSOBox, Ev::Change,
     [&m, this](UiEvent&) { m.ShortQSOBoxChange(controls_.Checked(Ctl::ShortQSOBox)); });
  on(Ctl::FreeMsgEdit, Ev::KeyPress, [](UiEvent& ev) { ev.key = FreeMsgKeyFilter(ev.key); });
  on(Ctl::FreeMsgEdit, Ev::Change,
     [&m, text](UiEvent&) { m.FreeMsgEditChange(text(Ctl::FreeMsgEdit)); });
  on(Ctl::FreeMsgEdit, Ev::DblClick, [&m](UiEvent&) { m.FreeMsgEditDblClick(); });
  on(Ctl::GenMsgEdit, Ev::DblClick, [&m](UiEvent&) { m.GenMsgEditDblClick(); });
  on(Ctl::GenMsgButton, Ev::Click, [&m](UiEvent&) { m.GenMsgButtonClick(); });
  on(Ctl::FreeMsgButton, Ev::Click, [&m](UiEvent&) { m.FreeMsgButtonClick(); });
  on(Ctl::Label8, Ev::Click, [&m](UiEvent&) { m.Label8Click(); });
  on(Ctl::Label8, Ev::DblClick, [&m](UiEvent&) { m.Label8DblClick(); });
  on(Ctl::Label9, Ev::Click, [&m](UiEvent&) { m.Label9Click(); });
  on(Ctl::Label9, Ev::DblClick, [&m](UiEvent&) { m.Label9DblClick(); });

  for (Ctl memo : {Ctl::BandMemo, Ctl::RxMemo}) {
    on(memo, Ev::DblClick, [&q](UiEvent& ev) {
      q.SelectFromDecode(ev.word, ev.lineText,
                         HintAnchor{ev.formLeft + ev.controlLeft, ev.formTop + ev.controlTop});
    });
    on(memo, Ev::MouseEnter, [this](UiEvent& ev) {
      windows_.MemoMouseEnter(ev.formLeft, ev.formTop, ev.controlLeft, ev.controlTop);
    });
    on(memo, Ev::MouseLeave, [this](UiEvent&) { windows_.MemoMouseLeave(); });
  }
  on(Ctl::BandMemo, Ev::Click, [this](UiEvent&) { windows_.BandMemoClick(); });
  on(Ctl::RxMemo, Ev::Click, [this](UiEvent&) { windows_.RxMemoClick(); });
  // A second click within the double-click time clears Band Activity.
  on(Ctl::EraseButton, Ev::Click, [this](UiEvent&) { windows_.EraseButtonClick(); });
  on(Ctl::DxCallEdit, Ev::Change, [&q, text](UiEvent& ev) {
    const std::string t = text(Ctl::DxCallEdit);
    ev.caret = q.DxCallEditChange(t, ev.caret >= 0 ? ev.caret : static_cast<int>(t.size()));
  });
  on(Ctl::LogButton, Ev::Click, [&q](UiEvent&) { q.LogButtonClick(); });

  on(Ctl::PwrTrackBar, Ev::Change, [this](UiEvent&) {
    tone_.PwrTrackBarChange(controls_.Get(Ctl::PwrTrackBar).position);
  });
  on(Ctl::PwrTrackBar, Ev::MouseEnter, [this](UiEvent& ev) {
    tone_.PwrTrackBarMouseEnter(ev.formLeft, ev.formTop, ev.controlLeft, ev.controlTop);
  });
  on(Ctl::PwrTrackBar, Ev::MouseLeave, [this](UiEvent&) { tone_.PwrTrackBarMouseLeave(); });
}

void Station::AudioMenuFollowUp() {
  const bool reopened = audio_->InputDeviceChanged();
  merivac::AudioMenuFollowUp(settings_, controls_, &log_);
  engine_->AudioDevicesChanged(reopened);
}

void Station::MustReadItemClick() {
  static const char* const kText =
      "Merivac is a station program for the slow JT9 sub-modes on LF and MF.\r\n"
      "\r\n"
      "Acknowledgements:\r\n"
      "- The JT9 mode and the decoder jt9 and encoder jt9code used here come from WSJT-X by "
      "Joe Taylor, K1JT, and the WSJT development group.\r\n"
      "- Sound card input and output use the PortAudio library.\r\n"
      "- The spectrum is computed with the program's own FFT code.\r\n"
      "- Spotting uses the PSK Reporter service and its protocol by Philip Gladstone, N1DQ.\r\n"
      "- Countries are looked up in the CTY.DAT country file by Jim Reisert, AD1C.\r\n"
      "\r\n"
      "Terms of use: Merivac may be used, copied and passed on free of charge. Transmit only "
      "where your licence allows it, on the frequencies and with the power it allows.\r\n"
      "\r\n"
      "Disclaimer: Merivac comes without any warranty. You use it at your own risk; the authors "
      "are not liable for any damage to equipment, data or anything else.\r\n"
      "\r\n"
      "Contact: the Merivac team, through the project's issue tracker.";
  ui_.ShowMessageDialog(kText, NoticeKind::Information);
}

void Station::ClearPlaceholders() {
  windows_.BandMemo().Clear();
  windows_.RxMemo().Clear();
  for (Ctl c : {Ctl::LeveldBLabel, Ctl::ModePanel, Ctl::BusyPanel, Ctl::CycleTextLabel,
                Ctl::WDPanel, Ctl::DxLabel, Ctl::DxccLabel}) {
    controls_.SetText(c, "");
  }
  controls_.SetWidth(Ctl::CycleLabel, 0);
}

// A progress line of start-up in the Band Activity window.
void Station::ShowProgress(const std::string& text, bool failed) {
  AddColoredLine(windows_.BandMemo(), text, failed ? colors::kRed : colors::kBlack,
                 colors::kWhite);
}

// Start-up step 3: the settings file. A first start without a file counts
// as a failure. The three check boxes follow what was read.
void Station::StartupSettings(std::string& report) {
  ShowProgress("Reading settings ...");
  if (LoadSettings(settings_, SettingsPath())) {
    report += "Read settings ... OK\r\n";
    ShowProgress("... OK");
  } else {
    engine_->AppendStartupError("Failed to read the settings.");
    report += "Failed to read the settings.\r\n";
    ShowProgress("... failed", true);
  }
  controls_.SetChecked(Ctl::ShortQSOBox, settings_.shortQso);
  controls_.SetChecked(Ctl::TxFirstBox, settings_.txFirst);
  controls_.SetChecked(Ctl::HoldTxBox, settings_.holdTxFreq);
}

// Start-up steps 4 to 9: the Logbook dialog and the logbook, then the
// optional downloads and the reading of CTY.DAT and WAS.DAT, and the worked
// entities from the logbook's calls.
void Station::StartupLogbookAndTables(std::string& report) {
  class Output final : public StartupOutput {
   public:
    Output(Station& s, std::string& report) : s_(s), report_(report) {}
    void Show(const std::string& line, bool failed) override {
      s_.ShowProgress(line, failed);
      s_.ui_.ProcessEvents();  // a download may take a while: let the line show
    }
    void Report(const std::string& line) override { report_ += line + "\r\n"; }
    void Error(const std::string& sentence) override { s_.engine_->AppendStartupError(sentence); }

   private:
    Station& s_;
    std::string& report_;
  } out(*this, report);
  LogbookPrompt& prompt = logbookPrompt_ != nullptr ? *logbookPrompt_ : countdownPrompt_;
  const LogbookChoice choice = prompt.AskLogbook();
  RunLogbookStartup(choice, settings_.logbookPath, stationData_.Worked(), &log_, out);
  RunTableStartup(stationData_,
                  TableStartupInput{settings_, folderPath_, countryFileUrl_, *downloader_, &log_},
                  out);
}

void Station::StartupSerialPort(std::string& report) {
  if (settings_.port.empty()) return;
  ShowProgress("Serial port initialisation ...");
  report += "Serial port initialisation\r\n";
  radio_.InitSerialPort();
  if (settings_.port.empty()) {
    ShowProgress("... failed", true);
  } else {
    ShowProgress("... OK");
  }
}

void Station::StartupAudio(std::string& report) {
  ShowProgress("Sound card initialisation ...");
  report += "Sound card initialisation\r\n";
  const AudioStartupResult audio = OpenAudioDevicesAtStartup(*audio_, &controls_);
  for (const std::string& line : audio.report) report += line + "\r\n";
  for (const std::string& sentence : audio.errors) engine_->AppendStartupError(sentence);
  const bool ok = settings_.inputDevice >= 0 && settings_.outputDevice >= 0;
  ShowProgress(ok ? "... OK" : "... failed", !ok);
}

// The main window's first activation, with the main timer stopped: every
// outside resource is brought up in turn, each failure adds a sentence to
// the start-up error text that the first tick shows as a WARNING notice.
void Station::Activate() {
  if (activated_) return;
  engine_->SetTimerEnabled(false);
  const double t0 = clock_->Now();
  ClearPlaceholders();
  std::string report = "**********  Merivac launched  **********\r\nActivating application ...\r\n";
  ShowProgress("Activating application ...");
  StartupSettings(report);
  if (!folder_.Error().empty()) {
    // One sentence per line.
    std::string errors = folder_.Error();
    size_t start = 0;
    while (start < errors.size()) {
      size_t end = errors.find('\n', start);
      if (end == std::string::npos) end = errors.size();
      engine_->AppendStartupError(errors.substr(start, end - start));
      start = end + 1;
    }
  }
  StartupLogbookAndTables(report);
  StartupSerialPort(report);
  StartupAudio(report);
  engine_->StartCycleClock(t0);

  controls_.SetText(Ctl::TxEdit, std::to_string(settings_.txFreq));
  controls_.SetText(Ctl::RxEdit, std::to_string(settings_.rxFreq));
  controls_.SetPosition(Ctl::PwrTrackBar, settings_.pwr);
  tone_.SetOutputLevel(settings_.pwr / 100.0);
  controls_.SetColor(Ctl::QrgEdit, colors::kRed);
  if (settings_.dialFreq > 0) {
    controls_.SetText(Ctl::QrgEdit, std::to_string(settings_.dialFreq));
    controls_.SetColor(Ctl::QrgEdit, colors::kInfoBackground);
  }
  controls_.SetText(Ctl::ModePanel, ModeName(settings_.mode));
  engine_->ShowWatchdog(static_cast<uint16_t>(settings_.watchdogMinutes * 60));
  controls_.SetEnabled(Ctl::WDPanel, settings_.watchdogMinutes != 0);
  controls_.SetText(Ctl::CycleTextLabel, "");
  controls_.SetWidth(Ctl::CycleLabel, 0);

  activated_ = true;
  controls_.SetColor(Ctl::DxCallEdit, colors::kRed);
  controls_.SetColor(Ctl::dBEdit, colors::kRed);

  report += "Reading windowed sinc interpollation data\r\n";
  capture_.BuildSincTables();
  // The QSO panel and Enable TX need a valid call and locator, and an
  // output device to transmit on.
  qso_.StartUp();
  if (settings_.outputDevice < 0) SetTransmitControlsEnabled(controls_, false);
  ApplyFrontEndMixer(settings_, capture_, controls_);
  windows_.UpdateHoverHint();
  // PSK Reporter and UDP broadcasting; their failures join the warning.
  std::vector<std::string> reportingErrors;
  reporting_.StartUp(report, reportingErrors);
  for (const std::string& sentence : reportingErrors) engine_->AppendStartupError(sentence);
  if (!engine_->StartupErrorText().empty()) {
    engine_->SetStartupErrorText(
        engine_->StartupErrorText() +
        "This warning will always occur if the application is launched for the first time.\r\n"
        "Click on the \"Settings\" menu and enter the required information.\r\n"
        "This is a beta release of Merivac.\r\n"
        "It is recommended to save any work done on this computer before continuing.");
  }
  report += "Activating application done";
  log_.Write(report);
  stationData_.LoadAlertLists();
  engine_->StartTimer();
}

bool Station::SaveSettingsOnClose(int windowLeft, int windowTop, bool showFailure) {
  if (closeQueryDone_) return true;
  closeQueryDone_ = true;
  engine_->SetTimerEnabled(false);
  audio_->StopInput();
  audio_->StopOutput();
  settings_.windowLeft = windowLeft;
  settings_.windowTop = windowTop;
  settings_.windowPlaced = true;
  settings_.shortQso = controls_.Checked(Ctl::ShortQSOBox);
  settings_.txFirst = controls_.Checked(Ctl::TxFirstBox);
  settings_.holdTxFreq = controls_.Checked(Ctl::HoldTxBox);
  const bool saved = SaveSettings(settings_, SettingsPath());
  if (!saved) {
    log_.Write("Failed to save the settings to " + SettingsPath());
    if (showFailure) {
      ui_.ShowMessageDialog(
          "Failed to save the settings.\r\nIf the application is installed in a \"Program "
          "Files\" folder you might need to run it as administrator.",
          NoticeKind::Error);
    }
  }
  // The closing datagram goes out before the socket closes.
  reporting_.CloseQuery();
  return saved;
}

void Station::Tick() {
  if (!engine_->TimerEnabled()) return;
  engine_->TimerTimer();
}

// Shutdown: the timer and the audio channels stop, PTT and the alert line
// are released and the port closed, then the last log line and the files.
void Station::Close() {
  if (closed_) return;
  closed_ = true;
  engine_->SetTimerEnabled(false);
  audio_->StopInput();
  audio_->StopOutput();
  ReleaseFft();
  audio_->CloseAll();
  radio_.ReleaseAll();
  log_.Write("********** Merivac terminated **********");
  windows_.CloseDecodedFile();
  folder_.Close();
  log_.Close();
  // Released last: the library sends the spots it still holds.
  reporting_.Shutdown();
}

}  // namespace merivac
