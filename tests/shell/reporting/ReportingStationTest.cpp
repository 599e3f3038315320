// ReportingStationTest.cpp - spotting and broadcasting on a whole station:
// start-up with its report lines and warnings, the keep-alives of the tick,
// the Reporting dialog with its follow-up (the real dialog, offscreen), an
// edited port that counts only after off and on, the Station dialog's new
// identity, and the closing datagram of the close query.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "reporting/ui/PskDialog.h"
#include "shell/Station.h"
#include "shell/Version.h"
#include "support/LoopbackReceiver.h"
#include "support/PskReporterDatagram.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::LoopbackReceiver;
using testing::ReadFile;
using testing::TempDir;

const std::string kOpen = "Merivac|0.1.0.0.|O|";
const std::string kHeartbeat = "Merivac|0.1.0.0.|H|";
const std::string kClose = "Merivac|0.1.0.0.|C|";

struct RecordingUi final : NullUiServices {
  void ShowMessageDialog(const std::string& text, NoticeKind kind) override {
    shown.push_back(text);
    kinds.push_back(kind);
  }
  std::vector<std::string> shown;
  std::vector<NoticeKind> kinds;
};

class ReportingStationTest : public ::testing::Test {
 protected:
  ReportingStationTest() { ::setenv("MERIVAC_PSKREPORTER", psk.HostPort().c_str(), 1); }
  ~ReportingStationTest() override {
    if (station) station->AttachUi(nullptr);
    station.reset();
    ::setenv("MERIVAC_PSKREPORTER", "127.0.0.1:9", 1);
  }

  // A station in dir; the library is in the folder unless told otherwise.
  void Make(bool withLibrary = true) {
    if (withLibrary) {
      std::filesystem::copy_file(std::string(MERIVAC_BINARY_DIR) + "/lib/libpskreporter.so",
                                 dir.Path() / "libpskreporter.so");
    }
    StationOptions o;
    o.clock = &clock;
    o.audio.soundCards = false;
    o.reporting.broadcastAddress = "127.0.0.2";
    // Not on the search path either, so that a missing library stays missing.
    if (!withLibrary) o.reporting.libraryName = "libpskreporter-absent.so";
    station = std::make_unique<Station>(o);
    ASSERT_TRUE(station->Create(dir.Str())) << station->FolderError();
    station->AttachUi(&ui);
    Settings& s = S();
    s.saveDebug = true;
    s.call = "DL1ABC";
    s.grid = "JO62";
  }
  Settings& S() { return station->GetSettings(); }
  std::string Log() { return ReadFile(dir.Path() / "extra/debug.txt"); }
  void TickFor(double seconds) {
    for (double t = 0; t < seconds; t += 0.05) {
      clock.AdvanceSeconds(0.05);
      station->Tick();
    }
  }
  // The Reporting dialog as the menu runs it: opened at the window's
  // corner, the operator's actions, then the follow-up.
  void ReportingDialog(const std::function<void(TPskForm&)>& actions) {
    TPskForm form(S(), QString::fromStdString(DialogCaption("")));
    QTimer::singleShot(0, &form, [&] {
      actions(form);
      form.findChild<QPushButton*>("OkButton")->click();
    });
    form.ShowModal(QPoint(0, 0));
    station->GetReporting().DialogClosed();
  }
  static void SetEdit(TPskForm& f, const char* name, const std::string& text) {
    f.findChild<QLineEdit*>(name)->setText(QString::fromStdString(text));
  }
  static void Click(TPskForm& f, const char* name) { f.findChild<QCheckBox*>(name)->click(); }

  TempDir dir;
  ManualClock clock{EncodeDateTime(2026, 3, 1, 12, 0, 5)};
  LoopbackReceiver psk;
  LoopbackReceiver udp{"127.0.0.1", 20000, 32000};
  RecordingUi ui;
  std::unique_ptr<Station> station;
};

TEST_F(ReportingStationTest, StartUpKeepAlivesAndClose) {
  Make();
  S().pskEnabled = true;
  S().udpEnabled = true;
  S().udpAddress = "127.0.0.1";
  S().udpPort = udp.Port();
  station->Activate();
  EXPECT_NE(Log().find("\r\nPSKreporter initialisation OK\r\n"), std::string::npos) << Log();
  EXPECT_TRUE(station->GetReporting().PskActive());
  EXPECT_EQ(station->GetReporting().Psk().LocalInformation(),
            StationRecord("DL1ABC", "JO62", kVersionText));
  auto first = udp.Receive();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->bytes, kOpen);

  // The library is tickled at the first tick (no tickle yet), then every
  // ten seconds; the heartbeat comes ten seconds after the start.
  const auto tickles = [this] {
    size_t n = 0;
    const std::string log = Log();
    for (size_t at = log.find("PSK Reporter tickle OK"); at != std::string::npos;
         at = log.find("PSK Reporter tickle OK", at + 1)) {
      ++n;
    }
    return n;
  };
  TickFor(9.9);
  EXPECT_FALSE(udp.Receive(100));
  EXPECT_EQ(tickles(), 1u);
  TickFor(0.3);
  auto heartbeat = udp.Receive();
  ASSERT_TRUE(heartbeat);
  EXPECT_EQ(heartbeat->bytes, kHeartbeat);
  EXPECT_EQ(tickles(), 2u);
  TickFor(9.5);
  EXPECT_FALSE(udp.Receive(100)) << "the next one ten seconds later";
  EXPECT_EQ(tickles(), 2u);

  // The close query sends the closing datagram, then nothing more goes out.
  station->SaveSettingsOnClose(0, 0);
  auto closing = udp.Receive();
  ASSERT_TRUE(closing);
  EXPECT_EQ(closing->bytes, kClose);
  station->Close();
  EXPECT_FALSE(udp.Receive(100));
  EXPECT_FALSE(psk.Receive(100)) << "no spots: nothing to send at shutdown";
}

TEST_F(ReportingStationTest, StartUpFailuresGoToTheReportAndTheWarning) {
  Make(false);
  S().pskEnabled = true;
  S().udpEnabled = true;
  S().udpAddress = "";  // rejected by the dialog earlier
  station->Activate();
  EXPECT_NE(Log().find("\r\nPSKreporter initialisation failed\r\n"), std::string::npos) << Log();
  EXPECT_NE(Log().find("\r\nUDP initialisation failed\r\n"), std::string::npos) << Log();
  EXPECT_NE(Log().find("PSK Reporter library not loaded"), std::string::npos);
  EXPECT_NE(Log().find("libpskreporter-absent.so: cannot open shared object file"),
            std::string::npos);
  EXPECT_FALSE(station->GetReporting().PskActive());
  EXPECT_FALSE(station->GetReporting().UdpActive());
  // The settings stay as they are for the next start.
  EXPECT_TRUE(S().pskEnabled);
  EXPECT_TRUE(S().udpEnabled);
  // The reported station is chosen all the same.
  EXPECT_FALSE(station->GetReporting().Psk().LocalInformation().empty());
  station->Tick();
  const std::string notice = station->Controls().Text(Ctl::MessageLabel);
  const size_t pskAt = notice.find("PSK Reporter initialisation failed.");
  const size_t udpAt = notice.find("UDP initialisation failed.");
  const size_t firstLaunch = notice.find("This warning will always occur");
  ASSERT_NE(pskAt, std::string::npos) << notice;
  ASSERT_NE(udpAt, std::string::npos) << notice;
  ASSERT_NE(firstLaunch, std::string::npos) << notice;
  EXPECT_LT(pskAt, udpAt);
  EXPECT_LT(udpAt, firstLaunch);
  EXPECT_FALSE(udp.Receive(100));
}

TEST_F(ReportingStationTest, DialogFailuresShowWarningsAndSwitchOff) {
  Make(false);
  station->Activate();
  ReportingDialog([](TPskForm& f) {
    Click(f, "PskBox");
    Click(f, "UdpBox");
    SetEdit(f, "IpEdit", "1.2.3.4.5");  // passes the dialog, is no address
  });
  EXPECT_EQ(ui.shown, (std::vector<std::string>{"PSK Reporter initialisation failed",
                                                "UDP initialisation failed"}));
  EXPECT_EQ(ui.kinds, (std::vector<NoticeKind>{NoticeKind::Warning, NoticeKind::Warning}));
  EXPECT_FALSE(S().pskEnabled);
  EXPECT_FALSE(S().udpEnabled);
  EXPECT_FALSE(station->GetReporting().PskActive());
  EXPECT_NE(Log().find(" : UDP initialisation failed\r\n"), std::string::npos);
}

TEST_F(ReportingStationTest, EditedPortCountsOnlyAfterOffAndOn) {
  LoopbackReceiver other{"127.0.0.1", 20000, 32000};
  Make();
  S().udpEnabled = true;
  S().udpAddress = "127.0.0.1";
  S().udpPort = udp.Port();
  station->Activate();
  ASSERT_EQ(udp.Receive()->bytes, kOpen);

  ReportingDialog([&](TPskForm& f) { SetEdit(f, "PortEdit", std::to_string(other.Port())); });
  EXPECT_EQ(S().udpPort, other.Port());
  EXPECT_TRUE(ui.shown.empty());
  TickFor(10.2);
  auto heartbeat = udp.Receive();
  ASSERT_TRUE(heartbeat) << "still the old port";
  EXPECT_EQ(heartbeat->bytes, kHeartbeat);
  EXPECT_FALSE(other.Receive(100));

  ReportingDialog([](TPskForm& f) { Click(f, "UdpBox"); });
  ASSERT_EQ(udp.Receive()->bytes, kClose);
  EXPECT_FALSE(station->GetReporting().UdpActive());
  ReportingDialog([](TPskForm& f) { Click(f, "UdpBox"); });
  auto opened = other.Receive();
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->bytes, kOpen);
  EXPECT_FALSE(udp.Receive(100));
}

TEST_F(ReportingStationTest, SpottingFromTheDialogAndTheReportedStation) {
  Make();
  station->Activate();
  EXPECT_FALSE(station->GetReporting().PskActive());
  ReportingDialog([](TPskForm& f) { Click(f, "PskBox"); });
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_TRUE(station->GetReporting().PskActive());

  // Reporting as SWL under an ID of the dialog.
  ReportingDialog([](TPskForm& f) {
    Click(f, "SwlBox");
    SetEdit(f, "IdEdit", "DL-SWL-7");
  });
  EXPECT_EQ(station->GetReporting().Psk().LocalInformation(),
            StationRecord("DL-SWL-7", "JO62", kVersionText));

  // Clearing the box does not stop spotting during the run.
  ReportingDialog([](TPskForm& f) { Click(f, "PskBox"); });
  EXPECT_FALSE(S().pskEnabled);
  EXPECT_TRUE(station->GetReporting().PskActive());

  // The Station dialog's follow-up picks up a new identity.
  S().pskSwl = false;
  S().call = "DL2XYZ";
  S().grid = "JO62QM";
  station->GetReporting().ChooseReportedStation();
  EXPECT_EQ(station->GetReporting().Psk().LocalInformation(),
            StationRecord("DL2XYZ", "JO62QM", kVersionText));

  // A spot handed over now reaches the collector when the program ends.
  station->GetReporting().SpotDecode("K1ABC", "1", "475700", "FN42", "-12");
  station->Close();
  auto datagram = psk.Receive();
  ASSERT_TRUE(datagram);
  testing::ipfix::Collector collector;
  testing::PskDatagram d;
  std::string error;
  ASSERT_TRUE(testing::ReadPskDatagram(collector, datagram->bytes, d, error)) << error;
  EXPECT_EQ(d.receiverCall, "DL2XYZ");
  ASSERT_EQ(d.heard.size(), 1u);
  EXPECT_EQ(d.heard[0].call, "K1ABC");
  EXPECT_EQ(d.heard[0].snr, -12);
}

}  // namespace
}  // namespace merivac
