// SpectrumWindowTest.cpp - the spectrum window on a whole station: the
// "Spectrum" menu entry opens it above the main window and stays disabled
// until it closes; a band-simulator tone through the real tick lights its
// column in the open window, and a click on that column sets the RX
// frequency that the main window then shows; every redraw of the markers
// the station's rules ask for reaches the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <fstream>

#include "common/Mode.h"
#include "shell/ModeSaveDialogs.h"
#include "shell/Station.h"
#include "shell/ui/MainForm.h"
#include "shell/ui/SpectrumMenu.h"
#include "spectrum/ui/SpectrumForm.h"
#include "support/SpectrumProbe.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::BrightestColumn;
using testing::RampValue;
using testing::ReadFile;

constexpr double kToneHz = 1000;

class SpectrumWindowTest : public ::testing::Test {
 protected:
  SpectrumWindowTest() {
    // A steady tone: 85 symbols of value 0 from 1 s into every JT9-1 cycle.
    std::ofstream(dir.Path() / "band.txt") << "noise 300\nsignal mode=1 freq=" << kToneHz
                                           << " snr=10 symbols=" << std::string(85, '0') << "\n";
    StationOptions o;
    o.clock = &clock;
    o.audio.soundCards = false;
    o.audio.bandScenarioPath = (dir.Path() / "band.txt").string();
    station = std::make_unique<Station>(o);
    Settings& s = station->GetSettings();
    s.saveDebug = true;
    EXPECT_TRUE(station->Create(dir.Str()));
    s.inputDevice = station->Audio().FindInput("Band simulator");
    s.outputDevice = station->Audio().FindOutput("WAV recorder");
    form = std::make_unique<TMainForm>(station->Controls(), station->BandMemo(), station->RxMemo(),
                                       station->Hooks());
    spectrum = std::make_unique<TSpectrumForm>(station->Spectrum(), "Merivac  v0.1",
                                               form->MainFont(), form.get());
    ConnectSpectrumMenu(*station, *form, *spectrum);
    form->move(200, 500);
    form->show();
    station->Activate();
    form->SyncFromModel();
  }

  // Ticks every 50 ms of simulated time for `seconds`.
  void Run(double seconds) {
    for (int i = 0; i < std::lround(seconds / 0.05); ++i) {
      clock.AdvanceSeconds(0.05);
      station->Tick();
      form->SyncFromModel();
    }
    QApplication::processEvents();
  }

  std::string Log() { return ReadFile(dir.Path() / "extra/debug.txt"); }
  Settings& S() { return station->GetSettings(); }
  SpectrumView& View() { return station->Spectrum(); }
  int X(double f) { return FreqToX(f, DisplayRange{S().spectrumLow, S().spectrumHigh}); }

  testing::TempDir dir;
  // Just under a second before a cycle boundary.
  ManualClock clock{EncodeDateTime(2026, 12, 9, 19, 59, 59) + 0.013 / kSecondsPerDay};
  std::unique_ptr<Station> station;
  std::unique_ptr<TMainForm> form;
  std::unique_ptr<TSpectrumForm> spectrum;
};

TEST_F(SpectrumWindowTest, MenuEntryOpensTheWindowAboveTheMainWindowOnce) {
  QAction* entry = form->MenuAction(MenuItem::Spectrum);
  ASSERT_TRUE(entry->isEnabled());
  bool timerStopped = false;
  station->GetEngine().SetTimerListener([&](bool on) { timerStopped = timerStopped || !on; });
  entry->trigger();
  EXPECT_TRUE(timerStopped) << "the timer stops while the window opens";
  EXPECT_TRUE(station->GetEngine().TimerEnabled());
  EXPECT_TRUE(spectrum->isVisible());
  EXPECT_EQ(spectrum->windowTitle(), "Merivac  v0.1  :  Spectrum view");
  const QRect main = form->frameGeometry();
  EXPECT_EQ(spectrum->frameGeometry().left(), main.left());
  EXPECT_EQ(spectrum->frameGeometry().top(),
            std::max(0, main.top() - spectrum->frameGeometry().height() - 50));
  EXPECT_TRUE(View().SpectrumOpen());
  EXPECT_FALSE(entry->isEnabled()) << "it cannot be opened twice";
  EXPECT_TRUE(form->MenuAction(MenuItem::Help)->isEnabled());
  EXPECT_NE(Log().find(" : Spectrum view window opened\r\n"), std::string::npos);

  spectrum->close();
  EXPECT_TRUE(entry->isEnabled());
  EXPECT_FALSE(View().SpectrumOpen());
  EXPECT_NE(Log().find(" : Spectrum view window closed\r\n"), std::string::npos);
  station->GetEngine().SetTimerListener(nullptr);
}

TEST_F(SpectrumWindowTest, OpenedFromAMainWindowNearTheTopSitsAtTopZero) {
  form->move(40, 30);
  form->MenuAction(MenuItem::Spectrum)->trigger();
  EXPECT_EQ(spectrum->frameGeometry().topLeft(), QPoint(form->frameGeometry().left(), 0));
}

// A click while a tick runs (it arrives through the event processing of the
// decoding) opens the window without waiting for that tick, which keeps its
// timer stopped until it ends.
TEST_F(SpectrumWindowTest, OpeningInsideATickLeavesTheTimerToTheTick) {
  station->GetEngine().SetTimerEnabled(false);
  SpectrumItemClick(*station, [this] { spectrum->show(); });
  EXPECT_TRUE(View().SpectrumOpen());
  EXPECT_FALSE(station->GetEngine().TimerEnabled());
}

TEST_F(SpectrumWindowTest, ToneThroughTheTickLightsItsColumnAndAClickTakesIt) {
  form->MenuAction(MenuItem::Spectrum)->trigger();
  Run(0.5);  // idle: the idle stage feeds what it reads
  std::string log = Log();
  const size_t idle = log.find("Add FFT array [Idle]\r\n");
  ASSERT_NE(idle, std::string::npos) << log;
  EXPECT_EQ(log.find(" : Spectrum update started (600)\r\n", idle),
            log.find(" : Spectrum update", idle));
  Run(8.5);  // to the boundary, then a receive cycle with the tone from 1 s
  ASSERT_TRUE(station->GetEngine().Flags().capturing);
  ASSERT_GE(View().LinesDrawn(), 4);
  const Waterfall& w = View().WaterfallRing();
  const int x = X(kToneHz);
  for (int row : {0, 1}) {
    EXPECT_NEAR(BrightestColumn(w, row), x, 1) << "row " << row;
    EXPECT_GT(RampValue(w.PixelAt(x, row)), RampValue(w.PixelAt(x - 6, row)) + 200);
    EXPECT_GT(RampValue(w.PixelAt(x, row)), RampValue(w.PixelAt(x + 6, row)) + 200);
  }
  // The mark of the cycle start over the line that was newest at 20:00.
  int limeRows = 0;
  for (int row = 0; row < w.Rows(); ++row) limeRows += w.PixelAt(300, row) == spectrum::kLime;
  EXPECT_EQ(limeRows, 1);
  // What the window shows is the view's waterfall.
  const QImage shown = spectrum->WaterfallPanel()->grab().toImage();
  EXPECT_EQ(shown.pixelColor(x, 0), QColor(ToQRgb(w.PixelAt(x, 0))));

  QTest::mouseClick(spectrum->WaterfallPanel(), Qt::LeftButton, {}, QPoint(x, 20));
  EXPECT_NEAR(S().rxFreq, kToneHz, 1100.0 / 634 + 0.5);
  const auto rxShown = static_cast<QLineEdit*>(form->Widget(Ctl::RxEdit))->text();
  EXPECT_EQ(rxShown.toStdString(), std::to_string(S().rxFreq)) << "the main window follows";
  EXPECT_EQ(S().txFreq, 1225);
  QTest::mouseDClick(spectrum->WaterfallPanel(), Qt::LeftButton, {}, QPoint(x, 20));
  EXPECT_EQ(S().txFreq, S().rxFreq);

  log = Log();
  const size_t rx = log.find("Add FFT array [RX]\r\n");
  ASSERT_NE(rx, std::string::npos);
  EXPECT_EQ(log.find(" : Spectrum update started (2400)\r\n", rx),
            log.find(" : Spectrum update", rx));
  EXPECT_NE(log.find(" lines added)\r\n", rx), std::string::npos);
}

TEST_F(SpectrumWindowTest, ClosedWindowTakesNoLines) {
  Run(3.0);
  EXPECT_EQ(View().LinesDrawn(), 0);
  EXPECT_EQ(Log().find("Spectrum update started"), std::string::npos);
}

TEST_F(SpectrumWindowTest, MarkersFollowTheMainWindowAndTheModeDialog) {
  form->MenuAction(MenuItem::Spectrum)->trigger();
  auto markerAt = [this](double f, int row) {
    return FromQRgb(View().MarkerImage().pixel(X(f) + 1, row));
  };
  EXPECT_EQ(markerAt(1225, 5), colors::kBlue);
  for (int i = 0; i < 25; ++i) {
    UiEvent ev;
    ev.control = Ctl::RxUpDown;
    ev.event = Ev::Click;
    ev.direction = -1;
    station->Hooks().Fire(ev);
  }
  EXPECT_EQ(S().rxFreq, 1200);
  EXPECT_EQ(markerAt(1200, 5), colors::kBlue);
  EXPECT_EQ(markerAt(1225, 5), spectrum::kSilver);

  S().mode = 10;  // the Mode dialog's OK, then its follow-up
  ModeMenuFollowUp(1, *station);
  EXPECT_EQ(S().rxFreq, 415);
  EXPECT_EQ(markerAt(1000, 1), spectrum::kGrey);
  EXPECT_EQ(markerAt(1000, 5), spectrum::kGrey);
  const QImage shown = spectrum->grab().toImage();
  const QRect strip = spectrum->Layout().marker;
  EXPECT_EQ(shown.pixelColor(strip.left() + X(1000) + 1, strip.top() + 1), QColor(128, 128, 128));
}

}  // namespace
}  // namespace merivac
