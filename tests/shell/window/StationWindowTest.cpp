// StationWindowTest.cpp - operator actions in the real main window on a whole
// station: each click or key press goes through the window's own event,
// the station's wiring and the rules, and what they change shows in the
// window again.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include "shell/Station.h"
#include "shell/ui/MainForm.h"
#include "shell/ui/QtEditFocus.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

class StationWindowTest : public ::testing::Test {
 protected:
  StationWindowTest() {
    StationOptions o;
    o.clock = &clock;
    o.audio.soundCards = false;
    station = std::make_unique<Station>(o);
    Settings& s = station->GetSettings();
    s.call = "DL1ABC";
    s.grid = "JO62";
    EXPECT_TRUE(station->Create(dir.Str()));
    // Devices to receive and transmit with, so the QSO panel is usable.
    s.inputDevice = station->Audio().FindInput("Loopback");
    s.outputDevice = station->Audio().FindOutput("Loopback");
    form = std::make_unique<TMainForm>(station->Controls(), station->BandMemo(), station->RxMemo(),
                                       station->Hooks());
    focus = std::make_unique<QtEditFocus>(*form);
    station->AttachEditFocus(focus.get());
    form->show();
    station->Activate();
    form->SyncFromModel();
  }
  ~StationWindowTest() override { station->AttachEditFocus(nullptr); }

  QString Caption(Ctl c) { return qobject_cast<QAbstractButton*>(form->Widget(c))->text(); }
  QLineEdit* Edit(Ctl c) { return qobject_cast<QLineEdit*>(form->Widget(c)); }

  testing::TempDir dir;
  ManualClock clock{EncodeDateTime(2026, 12, 9, 20, 1, 10)};
  std::unique_ptr<Station> station;
  std::unique_ptr<TMainForm> form;
  std::unique_ptr<QtEditFocus> focus;
};

// One click on an arrow is one step through the CQ variants.
TEST_F(StationWindowTest, CqArrowsMoveOneVariantPerClick) {
  auto arrows = form->Widget(Ctl::CqUpDown)->findChildren<QAbstractButton*>();
  ASSERT_EQ(arrows.size(), 2);
  QAbstractButton* up = arrows[0];
  QAbstractButton* down = arrows[1];
  EXPECT_EQ(Caption(Ctl::CqS1Button), "CQ");
  ASSERT_TRUE(form->Widget(Ctl::CqUpDown)->isEnabled());
  const char* going[] = {"CQ DX", "CQ AF", "CQ AS", "CQ EU", "CQ NA", "CQ OC", "CQ SA", "CQ SA"};
  for (const char* caption : going) {
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(Caption(Ctl::CqS1Button), caption);
  }
  QTest::mouseClick(up, Qt::LeftButton);
  EXPECT_EQ(Caption(Ctl::CqS1Button), "CQ OC");
}

// Typing inside the DX call keeps the caret after the typed character,
// although the rules rewrite the text (upper case).
TEST_F(StationWindowTest, DxCallCaretStaysWhereTheOperatorTyped) {
  QLineEdit* call = Edit(Ctl::DxCallEdit);
  call->setFocus();
  QTest::keyClicks(call, "k1bc");
  EXPECT_EQ(call->text(), "K1BC");
  call->setCursorPosition(2);
  QTest::keyClicks(call, "a");
  EXPECT_EQ(call->text(), "K1ABC");
  EXPECT_EQ(call->cursorPosition(), 3);
}

// "TX 1st cycle" reaches the engine's transmit parity.
TEST_F(StationWindowTest, TxFirstBoxSetsTheTransmitParity) {
  auto* box = qobject_cast<QCheckBox*>(form->Widget(Ctl::TxFirstBox));
  ASSERT_FALSE(station->GetSettings().txFirst);
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_TRUE(station->GetEngine().TxFirst());
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_FALSE(station->GetEngine().TxFirst());
}

TEST(MainHooksTest, ASecondHandlerForTheSameEventIsAnError) {
  MainHooks hooks;
  hooks.On(Ctl::TxFirstBox, Ev::Change, [](UiEvent&) {});
  EXPECT_THROW(hooks.On(Ctl::TxFirstBox, Ev::Change, [](UiEvent&) {}), std::logic_error);
  hooks.On(Ctl::TxFirstBox, Ev::Click, [](UiEvent&) {});  // another event is fine
  hooks.OnMenu(MenuItem::Help, [] {});
  EXPECT_THROW(hooks.OnMenu(MenuItem::Help, [] {}), std::logic_error);
}

}  // namespace
}  // namespace merivac
