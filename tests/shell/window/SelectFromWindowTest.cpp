// SelectFromWindowTest.cpp - a decode double-clicked in the real Band
// Activity window selects the DX station through the station's wiring: the
// word and line the window takes from its own double-click reach the QSO
// rules, and the fields they fill show in the window.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "common/Mode.h"
#include "qso/DecodeWindows.h"
#include "shell/Station.h"
#include "shell/ui/MainForm.h"
#include "shell/ui/QtEditFocus.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

class SelectFromWindowTest : public ::testing::Test {
 protected:
  SelectFromWindowTest() {
    StationOptions o;
    o.clock = &clock;
    o.audio.soundCards = false;
    station = std::make_unique<Station>(o);
    Settings& s = station->GetSettings();
    s.call = "DL1ABC";
    s.grid = "JO62";
    s.rxFreq = 1000;
    s.txFreq = 1000;
    EXPECT_TRUE(station->Create(dir.Str()));
    form = std::make_unique<TMainForm>(station->Controls(), station->BandMemo(),
                                       station->RxMemo(), station->Hooks());
    focus = std::make_unique<QtEditFocus>(*form);
    station->AttachEditFocus(focus.get());
    form->show();
    station->Activate();
    form->SyncFromModel();
  }
  ~SelectFromWindowTest() override { station->AttachEditFocus(nullptr); }

  // Double-clicks the word that starts at column `column` of memo line `line`.
  void DoubleClick(int line, int column) {
    QTextEdit* memo = form->Memo(Ctl::BandMemo);
    QTextCursor cursor(memo->document()->findBlockByNumber(line));
    cursor.setPosition(cursor.position() + column + 1);
    const QPoint at = memo->cursorRect(cursor).center();
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(memo->viewport(), Qt::LeftButton, {}, at);
    form->SyncFromModel();
  }

  std::string Shown(Ctl c) {
    return static_cast<QLineEdit*>(form->Widget(c))->text().toStdString();
  }

  testing::TempDir dir;
  ManualClock clock{EncodeDateTime(2026, 12, 9, 20, 1, 10)};
  std::unique_ptr<Station> station;
  std::unique_ptr<TMainForm> form;
  std::unique_ptr<QtEditFocus> focus;
};

TEST_F(SelectFromWindowTest, DoubleClickOnACqCallAnswersWithTheGrid) {
  tJT9_Msg cq;
  // As jt9 prints it, on the recording's scale; the display columns are
  // rewritten from the record.
  cq.RawLine = "2000 -12  0.3 1230 @  CQ K1ABC FN42";
  cq.UtcText = "2000";
  cq.Snr = -12;
  cq.AudioFreq = 1230;
  cq.ModeChar = '1';
  cq.MsgText = "CQ K1ABC FN42";
  station->BandMemo().Clear();
  station->Windows().AddDecodeLine(station->BandMemo(), FormatDecodeLine(cq), false);
  form->SyncFromModel();
  const std::string line = station->BandMemo().Line(0).text;
  const size_t column = line.find("K1ABC");
  ASSERT_NE(column, std::string::npos) << line;

  DoubleClick(0, static_cast<int>(column));

  EXPECT_EQ(Shown(Ctl::DxCallEdit), "K1ABC");
  EXPECT_EQ(Shown(Ctl::GenMsgEdit), "K1ABC DL1ABC JO62");
  EXPECT_EQ(Shown(Ctl::RxEdit), "1230");
  EXPECT_EQ(station->Controls().Text(Ctl::dBEdit), "-12");
  EXPECT_EQ(station->Controls().Text(Ctl::DxLabel).rfind("\u2248", 0), 0u)
      << station->Controls().Text(Ctl::DxLabel);
  // A CQ sent in a first cycle (minute 00) is answered in second cycles.
  EXPECT_FALSE(station->GetSettings().txFirst);
}

}  // namespace
}  // namespace merivac
