// MainFormTest.cpp - the main window offscreen: layout, tab order, mirroring
// of the control model and the decode windows, and the event hooks.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QSlider>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "common/Notice.h"
#include "shell/Version.h"
#include "shell/ui/MainForm.h"
#include "shell/ui/QtEditFocus.h"

namespace merivac {
namespace {

class MainFormTest : public ::testing::Test {
 protected:
  MainControls controls;
  MemoModel band, rx;
  MainHooks hooks;
  TMainForm form{controls, band, rx, hooks};

  QWidget* W(Ctl c) { return form.Widget(c); }
  QString Caption(Ctl c) {
    if (auto* label = qobject_cast<QLabel*>(W(c))) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(W(c))) return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(W(c))) return edit->text();
    return QString();
  }
};

TEST_F(MainFormTest, ClientAreaIsFixed686x457) {
  EXPECT_EQ(form.Client()->size(), QSize(686, 457));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
  form.show();
  EXPECT_EQ(form.centralWidget(), form.Client());
  EXPECT_EQ(form.Client()->size(), QSize(686, 457));
}

TEST_F(MainFormTest, ControlsAtTheirPlacesWithTheirCaptions) {
  struct Row {
    Ctl c;
    QRect place;
    const char* caption;  // nullptr: not checked
  };
  const Row rows[] = {
      {Ctl::Label3, {8, 8, 331, 16}, "Band Activity"},
      {Ctl::Label1, {11, 32, 328, 23}, "UTC   dB  DT  Freq M  Message"},
      {Ctl::Label2, {8, 32, 3, 23}, ""},
      {Ctl::BandMemo, {8, 55, 331, 176}, nullptr},
      {Ctl::Label6, {347, 8, 331, 15}, "RX Frequency"},
      {Ctl::Label4, {350, 32, 328, 23}, "UTC   dB  DT  Freq M  Message"},
      {Ctl::RxMemo, {347, 55, 331, 176}, nullptr},
      {Ctl::EraseButton, {44, 239, 90, 23}, "Erase"},
      {Ctl::EnableTxButton, {142, 239, 90, 23}, "Enable TX"},
      {Ctl::EnableTxShape, {142, 239, 90, 23}, nullptr},
      {Ctl::EnableTxLabel, {142, 239, 90, 23}, "Enable TX"},
      {Ctl::HaltTxButton, {241, 239, 90, 23}, "Halt TX"},
      {Ctl::TuneButton, {340, 239, 90, 23}, "Tune"},
      {Ctl::TuneLabel, {340, 239, 90, 23}, "Tune"},
      {Ctl::LevelBar, {14, 239, 16, 178}, nullptr},
      {Ctl::Label14, {44, 270, 74, 23}, "DX Call"},
      {Ctl::DxCallEdit, {44, 301, 74, 23}, ""},
      {Ctl::DxLabel, {44, 332, 74, 23}, ""},
      {Ctl::DxccLabel, {126, 332, 58, 23}, ""},
      {Ctl::LogButton, {192, 332, 42, 23}, "Log"},
      {Ctl::DialLabel, {44, 363, 74, 23}, "Dial (Hz)"},
      {Ctl::QrgEdit, {44, 394, 74, 23}, ""},
      {Ctl::TxFirstBox, {126, 270, 108, 23}, "TX 1st cycle"},
      {Ctl::HoldTxBox, {126, 301, 108, 23}, "Hold TX Freq"},
      {Ctl::TimeLabel, {126, 363, 148, 54}, nullptr},
      {Ctl::CurrentCycleLabel, {242, 270, 188, 23}, "Current cycle: 1st"},
      {Ctl::Label11, {242, 301, 54, 23}, "TX (Hz)"},
      {Ctl::TxEdit, {304, 301, 40, 23}, ""},
      {Ctl::TxUpDown, {344, 301, 18, 23}, nullptr},
      {Ctl::Label12, {242, 332, 54, 23}, "RX (Hz)"},
      {Ctl::RxEdit, {304, 332, 40, 23}, ""},
      {Ctl::RxUpDown, {344, 332, 18, 23}, nullptr},
      {Ctl::TxRxButton, {370, 301, 60, 23}, "TX\u2190RX"},
      {Ctl::RxTxButton, {370, 332, 60, 23}, "RX\u2190TX"},
      {Ctl::Label13, {278, 363, 84, 23}, "Report (dB)"},
      {Ctl::dBEdit, {370, 363, 42, 23}, ""},
      {Ctl::dBUpDown, {412, 363, 18, 23}, nullptr},
      {Ctl::ShortQSOBox, {304, 394, 134, 23}, "Short QSO format"},
      {Ctl::QSOPanel, {438, 239, 204, 198}, nullptr},
      {Ctl::Label8, {8, 8, 90, 23}, "Call CQ"},
      {Ctl::Label10, {98, 8, 8, 23}, ""},
      {Ctl::Label9, {106, 8, 90, 23}, "Answer CQ"},
      {Ctl::CqS1Button, {8, 39, 73, 23}, "CQ"},
      {Ctl::CqUpDown, {81, 39, 17, 23}, nullptr},
      {Ctl::CqS2Button, {8, 70, 90, 23}, "dB / R+dB"},
      {Ctl::CqS3Button, {8, 101, 90, 23}, "RRR / 73"},
      {Ctl::AnS1Button, {106, 39, 90, 23}, "Grid /dB"},
      {Ctl::AnS2Button, {106, 70, 90, 23}, "R+dB / RRR"},
      {Ctl::AnS3Button, {106, 101, 90, 23}, "73"},
      {Ctl::GenMsgEdit, {8, 132, 136, 23}, ""},
      {Ctl::FreeMsgEdit, {8, 163, 136, 23}, ""},
      {Ctl::PwrTrackBar, {650, 239, 28, 178}, nullptr},
      {Ctl::LeveldBLabel, {8, 425, 28, 23}, nullptr},
      {Ctl::ModePanel, {44, 425, 50, 23}, nullptr},
      {Ctl::BusyPanel, {102, 424, 29, 23}, nullptr},
      {Ctl::CycleBgLabel, {139, 425, 233, 23}, nullptr},
      {Ctl::CycleTextLabel, {139, 425, 233, 23}, nullptr},
      {Ctl::WDPanel, {380, 425, 50, 23}, nullptr},
      {Ctl::DefocusEdit, {612, 5, 0, 23}, ""},
  };
  for (const Row& r : rows) {
    QWidget* w = W(r.c);
    ASSERT_NE(w, nullptr) << ControlName(r.c);
    EXPECT_EQ(w->objectName(), QString(ControlName(r.c)));
    EXPECT_EQ(w->geometry(), r.place) << ControlName(r.c);
    if (r.caption != nullptr) {
      EXPECT_EQ(Caption(r.c), QString(r.caption)) << ControlName(r.c);
    }
  }
  EXPECT_EQ(W(Ctl::Label8)->parentWidget(), W(Ctl::QSOPanel));
  EXPECT_EQ(W(Ctl::GenMsgButton)->geometry().topLeft(), QPoint(152, 132));
  EXPECT_EQ(W(Ctl::FreeMsgButton)->geometry().topLeft(), QPoint(152, 163));
  EXPECT_EQ(W(Ctl::Label7)->geometry().topLeft(), QPoint(650, 425));
  EXPECT_EQ(Caption(Ctl::GenMsgButton), "Gen");
  EXPECT_EQ(Caption(Ctl::FreeMsgButton), "Free");
  EXPECT_EQ(Caption(Ctl::Label7), "PWR");
  EXPECT_EQ(W(Ctl::EraseButton)->toolTip(),
            "Click to clear RX Frequency window\nDouble-click to clear Band Activity window");
  EXPECT_FALSE(W(Ctl::LogButton)->isEnabled());
  EXPECT_EQ(static_cast<QLineEdit*>(W(Ctl::FreeMsgEdit))->maxLength(), 13);
  EXPECT_EQ(static_cast<QLineEdit*>(W(Ctl::TxEdit))->maxLength(), 4);
}

TEST_F(MainFormTest, FontsAndColours) {
  EXPECT_EQ(form.MainFont().family(), "Liberation Mono");
  EXPECT_EQ(form.MainFont().pixelSize(), 11);
  EXPECT_EQ(W(Ctl::Label3)->font().family(), "Liberation Mono");
  const QFont time = W(Ctl::TimeLabel)->font();
  EXPECT_EQ(time.pixelSize(), 19);
  EXPECT_TRUE(time.bold());
  EXPECT_EQ(W(Ctl::TimeLabel)->palette().color(QPalette::WindowText), QColor(Qt::yellow));
  EXPECT_EQ(W(Ctl::TimeLabel)->palette().color(QPalette::Window), QColor(Qt::black));
  EXPECT_EQ(static_cast<QLabel*>(W(Ctl::TimeLabel))->alignment(), Qt::AlignCenter);
  EXPECT_EQ(static_cast<QLabel*>(W(Ctl::TimeLabel))->text().count('\n'), 1);
  EXPECT_EQ(W(Ctl::TuneLabel)->font().pixelSize(), 13);
  EXPECT_EQ(W(Ctl::ModePanel)->palette().color(QPalette::Window), QColor(192, 220, 192));
  EXPECT_EQ(W(Ctl::CycleLabel)->palette().color(QPalette::Window), QColor(241, 239, 141));

  auto* level = static_cast<QProgressBar*>(W(Ctl::LevelBar));
  EXPECT_EQ(level->orientation(), Qt::Vertical);
  EXPECT_EQ(level->maximum(), 90);
  auto* pwr = static_cast<QSlider*>(W(Ctl::PwrTrackBar));
  EXPECT_EQ(pwr->orientation(), Qt::Vertical);
  EXPECT_EQ(pwr->maximum(), 100);
  EXPECT_FALSE(pwr->invertedAppearance());  // maximum at the top
  EXPECT_EQ(pwr->tickPosition(), QSlider::NoTicks);
}

TEST_F(MainFormTest, TabOrderRule) {
  const Ctl outOfTabOrder[] = {
      Ctl::EraseButton, Ctl::EnableTxButton, Ctl::TuneButton, Ctl::CqS1Button,  Ctl::AnS3Button,
      Ctl::TxEdit,      Ctl::RxEdit,         Ctl::QrgEdit,    Ctl::DxCallEdit,  Ctl::FreeMsgEdit,
      Ctl::GenMsgEdit,  Ctl::dBEdit,         Ctl::TxFirstBox, Ctl::ShortQSOBox, Ctl::PwrTrackBar};
  for (Ctl c : outOfTabOrder) {
    EXPECT_FALSE(W(c)->focusPolicy() & Qt::TabFocus) << ControlName(c);
  }
  const Ctl tabStops[] = {Ctl::LogButton,    Ctl::DefocusEdit,   Ctl::BandMemo, Ctl::RxMemo,
                          Ctl::GenMsgButton, Ctl::FreeMsgButton, Ctl::TxUpDown, Ctl::RxUpDown,
                          Ctl::dBUpDown,     Ctl::CqUpDown};
  for (Ctl c : tabStops) EXPECT_TRUE(W(c)->focusPolicy() & Qt::TabFocus) << ControlName(c);
}

TEST_F(MainFormTest, MenuEntries) {
  QMenuBar* bar = form.menuBar();
  QStringList top;
  for (QAction* a : bar->actions()) top << a->text();
  EXPECT_EQ(top, QStringList({"Settings", "Spectrum", "Must read", "Help"}));
  QStringList settings;
  for (QAction* a : bar->actions().first()->menu()->actions()) settings << a->text();
  EXPECT_EQ(settings, QStringList({"Station", "Radio", "Audio", "Mode", "Save", "Reporting",
                                   "Alert", "Front End Mixer"}));
  int fired = -1;
  hooks.OnMenu(MenuItem::SettingsRep, [&] { fired = 1; });
  form.MenuAction(MenuItem::SettingsRep)->trigger();
  EXPECT_EQ(fired, 1);
  form.MenuAction(MenuItem::Help)->trigger();  // unassigned: nothing happens

  controls.SetEnabled(Ctl::SettingsItem, false);
  form.SyncFromModel();
  EXPECT_FALSE(bar->actions().first()->isEnabled());
}

TEST_F(MainFormTest, NoticePanelHiddenUntilShownThenAtTopLeft) {
  form.show();
  QWidget* panel = W(Ctl::MessagePanel);
  EXPECT_FALSE(panel->isVisible());
  EXPECT_EQ(panel->geometry().topLeft(), QPoint(249, 4));
  ShowNotice(controls, "Failed to read the settings.\r\nNo soundcard input selected.", 0);
  form.SyncFromModel();
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(panel->geometry().topLeft(), QPoint(16, 16));
  auto* label = static_cast<QLabel*>(W(Ctl::MessageLabel));
  EXPECT_TRUE(label->text().startsWith("WARNING\n\nFailed to read the settings.\n"));
  EXPECT_TRUE(label->wordWrap());
  EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(28, 175, 206));
  // The panel holds its label with the border around it and stays inside the window.
  EXPECT_TRUE(panel->rect().contains(label->geometry()));
  EXPECT_LE(panel->geometry().right(), 686);
  EXPECT_GE(label->height(), 6 * label->fontMetrics().lineSpacing() - 2);

  hooks.On(Ctl::MessageLabel, Ev::Click, [&](UiEvent&) { MessagePanelClick(controls); });
  QTest::mouseClick(label, Qt::LeftButton);
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(MainFormTest, MirrorsControlModel) {
  controls.SetText(Ctl::ModePanel, "JT9-2");
  controls.SetHint(Ctl::TxEdit, "300 .. 1500");
  controls.SetEnabled(Ctl::TuneButton, false);
  controls.SetVisible(Ctl::EnableTxShape, true);
  controls.SetChecked(Ctl::HoldTxBox, true);
  controls.SetBold(Ctl::CycleTextLabel, true);
  controls.SetColor(Ctl::RxEdit, colors::kRed);
  controls.SetFontColor(Ctl::DialLabel, colors::kRed);
  controls.SetWidth(Ctl::CycleLabel, 100);
  controls.SetPosition(Ctl::LevelBar, 45);
  controls.SetPosition(Ctl::PwrTrackBar, 70);
  controls.SetText(Ctl::TxEdit, "1500");
  controls.SetShowHint(Ctl::WDPanel, false);
  controls.SetText(Ctl::MainForm, MainCaption());
  bool fired = false;
  hooks.On(Ctl::PwrTrackBar, Ev::Change, [&](UiEvent&) { fired = true; });
  form.show();
  form.SyncFromModel();

  EXPECT_EQ(Caption(Ctl::ModePanel), "JT9-2");
  EXPECT_EQ(W(Ctl::TxEdit)->toolTip(), "300 .. 1500");
  EXPECT_FALSE(W(Ctl::TuneButton)->isEnabled());
  EXPECT_TRUE(W(Ctl::EnableTxShape)->isVisible());
  EXPECT_TRUE(static_cast<QAbstractButton*>(W(Ctl::HoldTxBox))->isChecked());
  EXPECT_TRUE(W(Ctl::CycleTextLabel)->font().bold());
  EXPECT_EQ(W(Ctl::RxEdit)->palette().color(QPalette::Base), QColor(255, 0, 0));
  EXPECT_EQ(W(Ctl::DialLabel)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(W(Ctl::CycleLabel)->width(), 100);
  EXPECT_EQ(static_cast<QProgressBar*>(W(Ctl::LevelBar))->value(), 45);
  EXPECT_EQ(static_cast<QSlider*>(W(Ctl::PwrTrackBar))->value(), 70);
  EXPECT_EQ(Caption(Ctl::TxEdit), "1500");
  EXPECT_TRUE(W(Ctl::WDPanel)->toolTip().isEmpty());
  EXPECT_EQ(form.windowTitle().toStdString(), MainCaption());
  EXPECT_TRUE(form.windowTitle().startsWith(
      QString::fromStdString(std::string("Merivac  v") + kVersionText + " [")));
  EXPECT_FALSE(fired) << "what the mirror sets is no operator action";

  // Unsetting a colour returns to the design colour.
  controls.SetColor(Ctl::RxEdit, std::nullopt);
  controls.SetWidth(Ctl::CycleLabel, -1);
  form.SyncFromModel();
  EXPECT_EQ(W(Ctl::RxEdit)->palette().color(QPalette::Base), QColor(255, 255, 225));
  EXPECT_EQ(W(Ctl::CycleLabel)->width(), 233);
}

TEST_F(MainFormTest, MirrorsDecodeWindowsIncrementally) {
  QTextEdit* memo = form.Memo(Ctl::BandMemo);
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  band.AppendPlain("2000 -12  0.3 1225 1  CQ K1ABC FN42");
  band.Append(MemoLine{"2000 -20  0.1 1300 1  W1XYZ DL1ABC JO62", colors::kBlack, colors::kRed});
  form.SyncFromModel();
  ASSERT_EQ(memo->document()->blockCount(), 2);
  QTextBlock second = memo->document()->findBlock(0).next();
  EXPECT_EQ(second.text(), "2000 -20  0.1 1300 1  W1XYZ DL1ABC JO62");
  EXPECT_EQ(second.blockFormat().background().color(), QColor(255, 0, 0));
  EXPECT_EQ(second.begin().fragment().charFormat().foreground().color(), QColor(0, 0, 0));
  EXPECT_EQ(memo->document()->findBlock(0).blockFormat().background().style(), Qt::NoBrush);

  // Only the new line is added; earlier lines are not rebuilt.
  const QTextBlock first = memo->document()->findBlock(0);
  band.AppendPlain("2001 -15  0.2 1225 1  K1ABC DL1ABC -15");
  form.SyncFromModel();
  EXPECT_EQ(memo->document()->blockCount(), 3);
  EXPECT_EQ(memo->document()->findBlock(0), first);

  band.Clear();
  band.AppendPlain("after clear");
  form.SyncFromModel();
  EXPECT_EQ(memo->toPlainText(), "after clear");
  EXPECT_EQ(form.Memo(Ctl::RxMemo)->toPlainText(), "");
  rx.AppendPlain("rx line");
  form.SyncFromModel();
  EXPECT_EQ(form.Memo(Ctl::RxMemo)->toPlainText(), "rx line");
}

TEST_F(MainFormTest, ClickHookFires) {
  form.show();
  int clicks = 0;
  UiEvent seen;
  hooks.On(Ctl::EnableTxButton, Ev::Click, [&](UiEvent& ev) {
    ++clicks;
    seen = ev;
    controls.SetText(Ctl::CycleTextLabel, "clicked");  // the window shows it at once
  });
  QTest::mouseClick(W(Ctl::EnableTxButton), Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(seen.control, Ctl::EnableTxButton);
  EXPECT_EQ(seen.controlLeft, 142);
  EXPECT_EQ(seen.controlTop, 239);
  EXPECT_EQ(Caption(Ctl::CycleTextLabel), "clicked");
  QTest::mouseClick(W(Ctl::HaltTxButton), Qt::LeftButton);  // unassigned: nothing happens
}

TEST_F(MainFormTest, LabelDoubleClickDeliversItsClickFirst) {
  form.show();
  std::string order;
  hooks.On(Ctl::Label8, Ev::Click, [&](UiEvent&) { order += "c"; });
  hooks.On(Ctl::Label8, Ev::DblClick, [&](UiEvent&) { order += "d"; });
  // A real double-click: press, release, double-click, release.
  QTest::mouseClick(W(Ctl::Label8), Qt::LeftButton);
  QTest::mouseDClick(W(Ctl::Label8), Qt::LeftButton);
  QTest::mouseRelease(W(Ctl::Label8), Qt::LeftButton);
  EXPECT_EQ(order, "cd");
}

TEST_F(MainFormTest, EditChangeWritesTheModelFirst) {
  form.show();
  std::string textSeen;
  int changes = 0;
  hooks.On(Ctl::TxEdit, Ev::Change, [&](UiEvent&) {
    ++changes;
    textSeen = controls.Text(Ctl::TxEdit);
  });
  auto* edit = static_cast<QLineEdit*>(W(Ctl::TxEdit));
  edit->setFocus();
  QTest::keyClicks(edit, "1234");
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(textSeen, "1234");
  EXPECT_EQ(controls.Text(Ctl::TxEdit), "1234");

  bool checkedSeen = false;
  hooks.On(Ctl::TxFirstBox, Ev::Change,
           [&](UiEvent&) { checkedSeen = controls.Checked(Ctl::TxFirstBox); });
  QTest::mouseClick(W(Ctl::TxFirstBox), Qt::LeftButton);
  EXPECT_TRUE(checkedSeen);

  int position = -1;
  hooks.On(Ctl::PwrTrackBar, Ev::Change,
           [&](UiEvent&) { position = controls.Get(Ctl::PwrTrackBar).position; });
  static_cast<QSlider*>(W(Ctl::PwrTrackBar))->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(position, 10);
}

TEST_F(MainFormTest, KeyPressHookCanAlterOrDropKeys) {
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  // Upper case; everything but letters is dropped.
  hooks.On(Ctl::FreeMsgEdit, Ev::KeyPress, [](UiEvent& ev) {
    if (ev.key >= 'a' && ev.key <= 'z') {
      ev.key = static_cast<char>(ev.key - 'a' + 'A');
    } else if (!(ev.key >= 'A' && ev.key <= 'Z')) {
      ev.key = 0;
    }
  });
  auto* edit = static_cast<QLineEdit*>(W(Ctl::FreeMsgEdit));
  edit->setFocus();
  QTest::keyClicks(edit, "cq 1x");
  EXPECT_EQ(edit->text(), "CQX");
  EXPECT_EQ(controls.Text(Ctl::FreeMsgEdit), "CQX");

  int exits = 0;
  hooks.On(Ctl::FreeMsgEdit, Ev::Exit, [&](UiEvent&) { ++exits; });
  W(Ctl::DefocusEdit)->setFocus();
  EXPECT_EQ(exits, 1);
}

TEST_F(MainFormTest, FocusEnterExitAndTheQuietDefocus) {
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  std::string seen;
  hooks.On(Ctl::TxEdit, Ev::Enter, [&](UiEvent&) { seen += "enter "; });
  hooks.On(Ctl::TxEdit, Ev::Exit, [&](UiEvent&) { seen += "exit "; });
  W(Ctl::TxEdit)->setFocus();
  W(Ctl::RxEdit)->setFocus();
  W(Ctl::TxEdit)->setFocus();
  QtEditFocus focus(form);
  focus.MoveFocusToDefocusEdit();  // asked for by the rules: not forwarded
  EXPECT_EQ(seen, "enter exit enter ");
  EXPECT_TRUE(W(Ctl::DefocusEdit)->hasFocus());
  EXPECT_EQ(MainHooks::HandlerName(Ctl::TxEdit, Ev::Enter), "TxEditEnter");
  EXPECT_EQ(MainHooks::HandlerName(Ctl::BandMemo, Ev::DblClick), "BandMemoDblClick");
}

TEST_F(MainFormTest, UpDownPassesDirectionAndKeepsRange) {
  form.show();
  std::vector<int> seen;
  hooks.On(Ctl::CqUpDown, Ev::Click, [&](UiEvent& ev) {
    seen.push_back(ev.direction * 100 + controls.Get(Ctl::CqUpDown).position);
  });
  QWidget* arrows = W(Ctl::CqUpDown);
  auto buttons = arrows->findChildren<QAbstractButton*>();
  ASSERT_EQ(buttons.size(), 2);
  QTest::mouseClick(buttons[0], Qt::LeftButton);  // up at 7: stays 7
  QTest::mouseClick(buttons[1], Qt::LeftButton);  // down: 6
  EXPECT_EQ(seen, (std::vector<int>{107, -94}));
}

TEST_F(MainFormTest, MemoDoubleClickPassesWordAndLine) {
  form.show();
  band.AppendPlain("2000 -12  0.3 1225 1  CQ K1ABC FN42");
  band.AppendPlain("2001 -15  0.2 1225 1  K1ABC DL1ABC -15");
  form.SyncFromModel();
  std::string events;
  UiEvent dbl;
  hooks.On(Ctl::BandMemo, Ev::Click, [&](UiEvent&) { events += "c"; });
  hooks.On(Ctl::BandMemo, Ev::DblClick, [&](UiEvent& ev) {
    events += "d";
    dbl = ev;
  });
  QTextEdit* memo = form.Memo(Ctl::BandMemo);
  // Find the place of "DL1ABC" on the second line.
  QTextCursor cursor(memo->document()->findBlockByNumber(1));
  cursor.setPosition(cursor.position() + 30);
  const QPoint at = memo->cursorRect(cursor).center();
  QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseRelease(memo->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(events, "cd");
  EXPECT_EQ(dbl.line, 1);
  EXPECT_EQ(dbl.word, "DL1ABC");
  EXPECT_EQ(dbl.lineText, "2001 -15  0.2 1225 1  K1ABC DL1ABC -15");
}

TEST_F(MainFormTest, MouseEnterAndLeave) {
  form.show();
  band.AppendPlain("2000 -12  0.3 1225 1  CQ K1ABC FN42");
  form.SyncFromModel();
  std::string seen;
  for (Ctl c : {Ctl::BandMemo, Ctl::PwrTrackBar}) {
    hooks.On(c, Ev::MouseEnter, [&seen, c](UiEvent& ev) {
      seen += std::string(ControlName(c)) + "+" + std::to_string(ev.controlLeft) + " ";
    });
    hooks.On(c, Ev::MouseLeave,
             [&seen, c](UiEvent&) { seen += std::string(ControlName(c)) + "- "; });
  }
  QTextEdit* memo = form.Memo(Ctl::BandMemo);
  memo->selectAll();
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(memo, &enter);
  QApplication::sendEvent(memo, &leave);
  QApplication::sendEvent(W(Ctl::PwrTrackBar), &enter);
  QApplication::sendEvent(W(Ctl::PwrTrackBar), &leave);
  EXPECT_EQ(seen, "BandMemo+8 BandMemo- PwrTrackBar+650 PwrTrackBar- ");
  EXPECT_FALSE(memo->textCursor().hasSelection()) << "leaving a decode window drops its selection";
}

TEST_F(MainFormTest, CloseQueryCanKeepTheWindowOpen) {
  form.show();
  bool allow = false;
  int closes = 0;
  hooks.formCloseQuery = [&] { return allow; };
  hooks.formClose = [&] { ++closes; };
  EXPECT_FALSE(form.close());
  EXPECT_EQ(closes, 0);
  allow = true;
  EXPECT_TRUE(form.close());
  EXPECT_EQ(closes, 1);
}

}  // namespace
}  // namespace merivac
