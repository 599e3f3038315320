// AlertWindowTest.cpp - alerts through the real tick and the main window: a
// station with a logbook and real tables receives whole cycles whose
// decoder output is scripted. Two alerting decodes in one cycle raise the
// alert line once and turn the clock label red; a click on the label lowers
// both; an exclude call cancels the my-call alert; a US station logged with
// the window's Log button makes its state no longer new.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "qso/DecodeWindows.h"
#include "shell/endtoend/StationRig.h"
#include "shell/ui/MainForm.h"
#include "shell/ui/QtEditFocus.h"

namespace merivac {
namespace {

using endtoend::SimTime;
using endtoend::StationRig;

constexpr const char* kRealCty = "/usr/share/wsjtx/cty.dat";

// One line as jt9 prints it: time, SNR, DT, frequency, '@', message.
std::string Jt9Line(int freq, const std::string& message) {
  char line[128];
  std::snprintf(line, sizeof line, "0000 -12  0.3 %4d @  %s", freq, message.c_str());
  return line;
}

class AlertWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kRealCty)) GTEST_SKIP() << kRealCty << " is not installed";
    namespace fs = std::filesystem;
    const fs::path folder = rig.Dir().Path();
    fs::create_directories(folder / "tables");
    fs::copy_file(kRealCty, folder / "tables/cty.dat");
    std::ofstream(folder / "tables/was.dat") << "NY K2ABC\nCA W6XYZ\nCA W6ABC\n";
    // No band chosen at start-up (dial 0): a record without band is taken.
    std::ofstream(folder / "log.adi") << "<CALL:5>K2ABC<MODE:3>JT9<EOR>\n";
    // The decoder prints whatever the test put in wsjt/decodes.txt (it runs in wsjt/).
    fs::remove(folder / "wsjt/jt9_copy");
    std::ofstream(folder / "wsjt/jt9_copy")
        << "#!/bin/sh\ncat decodes.txt\necho '<DecodeFinished>   0   1        0'\n";
    fs::permissions(folder / "wsjt/jt9_copy", fs::perms::owner_all);

    Settings& s = rig.S().GetSettings();
    s.logbookPath = (folder / "log.adi").string();
    s.alertLine = 2;  // RTS; PTT is on DTR
    s.alertMyCall = s.alertNewState = true;
    s.alertExclude = true;
    s.alertExcludeCalls = "G3EXC";
    endtoend::StationSetup setup;
    setup.call = "DL1ABC";
    setup.grid = "JO62";
    setup.input = setup.output = "Loopback";
    rig.Start(setup);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(rig.S().Data().Worked().LogbookLoaded());
    ASSERT_EQ(rig.S().Data().Worked().WorkedStates()[0], "NY");

    form = std::make_unique<TMainForm>(rig.S().Controls(), rig.S().BandMemo(), rig.S().RxMemo(),
                                       rig.S().Hooks());
    focus = std::make_unique<QtEditFocus>(*form);
    rig.S().AttachEditFocus(focus.get());
    form->show();
    form->SyncFromModel();
  }
  void TearDown() override {
    if (form) rig.S().AttachEditFocus(nullptr);
  }

  void Decodes(const std::vector<std::string>& lines) {
    std::ofstream out(rig.Dir().Path() / "wsjt/decodes.txt");
    for (const std::string& l : lines) out << l << "\n";
  }
  // Ticks through the next cycle until it has been decoded.
  void RunCycle() {
    cycleStart += 60.0 / kSecondsPerDay;
    const double decodeAt = cycleStart + (DecodeStartSeconds(1) + 0.2) / kSecondsPerDay;
    while (time.Now() < decodeAt) {
      time.Step();
      rig.S().Tick();
    }
    ASSERT_FALSE(rig.S().GetEngine().Flags().capturing) << "the cycle was not decoded";
    form->SyncFromModel();
  }
  // The background of the Band Activity line that ends with the message.
  std::optional<Rgb> Background(const std::string& message) {
    const MemoModel& memo = rig.S().BandMemo();
    for (size_t i = memo.LineCount(); i-- > 0;) {
      const std::string& t = memo.Line(i).text;
      if (t.size() >= message.size() &&
          t.compare(t.size() - message.size(), message.size(), message) == 0) {
        return memo.Line(i).background;
      }
    }
    ADD_FAILURE() << message << " not shown";
    return std::nullopt;
  }
  QColor TimeLabelColour() {
    return form->Widget(Ctl::TimeLabel)->palette().color(QPalette::Window);
  }
  size_t AlertEdges() { return rig.Serial().rtsEdges.size(); }

  ManualClock clock;
  double cycleStart = EncodeDateTime(2026, 3, 1, 12, 0) - 60.0 / kSecondsPerDay;
  SimTime time{clock, cycleStart + 59.013 / kSecondsPerDay};
  StationRig rig{clock, [] {
                   AudioDeviceOptions audio;
                   audio.soundCards = false;
                   return audio;
                 }()};
  std::unique_ptr<TMainForm> form;
  std::unique_ptr<QtEditFocus> focus;
};

TEST_F(AlertWindowTest, AlertsRaiseTheLineOnceUntilTheClockLabelIsClicked) {
  Decodes({Jt9Line(900, "CQ W6XYZ CM87"),       // a new state: CA
           Jt9Line(1100, "DL1ABC K2ABC FN20"),  // my call (NY is worked)
           Jt9Line(1225, "DL1ABC G3EXC IO91"),  // my call, but an excluded station
           Jt9Line(1400, "CQ DL2XX JO62")});
  RunCycle();
  if (HasFatalFailure()) return;
  EXPECT_EQ(Background("CQ W6XYZ CM87"), decodecolors::kAlert);
  EXPECT_EQ(Background("DL1ABC K2ABC FN20"), decodecolors::kAlert);
  EXPECT_NE(Background("DL1ABC G3EXC IO91"), decodecolors::kAlert);
  EXPECT_NE(Background("CQ DL2XX JO62"), decodecolors::kAlert);
  // Two alerting decodes in one tick: the line is raised once.
  ASSERT_EQ(AlertEdges(), 1u);
  EXPECT_TRUE(rig.Serial().rtsEdges[0].asserted);
  EXPECT_TRUE(rig.Serial().dtrEdges.empty());  // PTT never moved
  EXPECT_EQ(TimeLabelColour(), QColor(255, 0, 0));

  // The line stays raised through the following ticks.
  for (int i = 0; i < 40; ++i) {
    time.Step();
    rig.S().Tick();
  }
  form->SyncFromModel();
  EXPECT_EQ(AlertEdges(), 1u);
  EXPECT_EQ(TimeLabelColour(), QColor(255, 0, 0));

  QTest::mouseClick(form->Widget(Ctl::TimeLabel), Qt::LeftButton);
  form->SyncFromModel();
  ASSERT_EQ(AlertEdges(), 2u);
  EXPECT_FALSE(rig.Serial().rtsEdges[1].asserted);
  EXPECT_EQ(TimeLabelColour(), QColor(0, 0, 0));
}

TEST_F(AlertWindowTest, ALoggedUsStationsStateNoLongerAlerts) {
  // The operator types the call into the DX call field and clicks Log.
  auto* dxCall = static_cast<QLineEdit*>(form->Widget(Ctl::DxCallEdit));
  dxCall->setFocus();
  QTest::keyClicks(dxCall, "w6xyz");
  form->SyncFromModel();
  EXPECT_EQ(dxCall->text(), "W6XYZ");
  EXPECT_EQ(static_cast<QLabel*>(form->Widget(Ctl::DxccLabel))->text(), "K");
  EXPECT_EQ(rig.S().Controls().Get(Ctl::DxccLabel).fontColor, colors::kBlack);  // K is worked
  EXPECT_EQ(rig.S().Controls().Get(Ctl::DxCallEdit).fontColor, colors::kRed);   // a new call
  auto* log = form->Widget(Ctl::LogButton);
  ASSERT_TRUE(log->isEnabled());
  QTest::mouseClick(log, Qt::LeftButton);
  form->SyncFromModel();
  EXPECT_EQ(dxCall->text(), "");
  EXPECT_FALSE(log->isEnabled());
  EXPECT_EQ(rig.S().Data().Worked().WorkedStates()[1], "CA");

  // Another Californian station, later: no state alert any more.
  Decodes({Jt9Line(1000, "CQ W6ABC CM87")});
  RunCycle();
  if (HasFatalFailure()) return;
  EXPECT_NE(Background("CQ W6ABC CM87"), decodecolors::kAlert);
  EXPECT_EQ(AlertEdges(), 0u);
  EXPECT_EQ(TimeLabelColour(), QColor(0, 0, 0));

  // A new entity shows red in the country label.
  dxCall->setFocus();
  QTest::keyClicks(dxCall, "JA1XYZ");
  form->SyncFromModel();
  EXPECT_EQ(static_cast<QLabel*>(form->Widget(Ctl::DxccLabel))->text(), "JA");
  EXPECT_EQ(rig.S().Controls().Get(Ctl::DxccLabel).fontColor, colors::kRed);
}

}  // namespace
}  // namespace merivac
