// StationDialogTest.cpp - the Station dialog's field rules, offscreen.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "qso/ui/StationDialog.h"

namespace merivac {
namespace {

const QColor kRedBase(255, 0, 0);

struct Dialog {
  explicit Dialog(const char* call, const char* grid, double hours = 0) {
    settings.call = call;
    settings.grid = grid;
    settings.utcOffsetHours = hours;
    form.FormActivate();
  }
  QLineEdit* Edit(const char* name) { return form.findChild<QLineEdit*>(name); }
  QPushButton* Ok() { return form.findChild<QPushButton*>("OkButton"); }
  QComboBox* Zones() { return form.findChild<QComboBox*>("UtcDifBox"); }
  bool Red(QLineEdit* e) { return e->palette().color(QPalette::Base) == kRedBase; }

  Settings settings;
  TStationForm form{settings, "Merivac  vTEST"};
};

TEST(StationDialog, OpensWithTheCurrentValuesAndMarksInvalidOnes) {
  Dialog d("K1ABC", "");
  EXPECT_EQ(d.form.windowTitle(), "Merivac  vTEST  :  Station");
  EXPECT_EQ(d.Edit("CallEdit")->text(), "K1ABC");
  EXPECT_FALSE(d.Red(d.Edit("CallEdit")));
  EXPECT_TRUE(d.Red(d.Edit("GridEdit")));
  EXPECT_FALSE(d.Ok()->isEnabled());
  EXPECT_EQ(d.Zones()->count(), 39);
  EXPECT_EQ(d.Zones()->currentText(), "UTC");
  EXPECT_EQ(d.Edit("GridEdit")->toolTip(), "4 or 6 character grid");
  EXPECT_EQ(d.Edit("CallEdit")->maxLength(), 6);
}

TEST(StationDialog, TypingCleansTheFieldAndKeepsTheCaret) {
  Dialog d("", "FN42");
  QLineEdit* call = d.Edit("CallEdit");
  EXPECT_TRUE(d.Red(call));
  QTest::keyClicks(call, "k1 abc");
  EXPECT_EQ(call->text(), "K1ABC");
  EXPECT_FALSE(d.Red(call));
  EXPECT_TRUE(d.Ok()->isEnabled());
  call->setCursorPosition(2);
  QTest::keyClick(call, Qt::Key_Space);  // the blank goes, the caret stays where it was put
  EXPECT_EQ(call->text(), "K1ABC");
  EXPECT_EQ(call->cursorPosition(), 3);

  QLineEdit* grid = d.Edit("GridEdit");
  grid->selectAll();
  QTest::keyClick(grid, Qt::Key_Delete);
  EXPECT_TRUE(d.Red(grid));
  EXPECT_FALSE(d.Ok()->isEnabled());
  QTest::keyClicks(grid, "fn42ab");
  EXPECT_EQ(grid->text(), "FN42AB");
  EXPECT_TRUE(d.Ok()->isEnabled());
  d.Ok()->click();
  EXPECT_EQ(d.settings.call, "K1ABC");
  EXPECT_EQ(d.settings.grid, "FN42AB");
  EXPECT_EQ(d.form.result(), QDialog::Accepted);
}

TEST(StationDialog, OkStoresOnlyValidFieldsAndClosesOnlyWhenBothAre) {
  Settings s;
  s.call = "OLD1";
  s.grid = "JO62";
  StationDialogRules rules(s);
  rules.Open();
  rules.CallEditChange("dl1abc", 6);
  rules.GridEditChange("JO6", 3);
  EXPECT_FALSE(rules.OkEnabled());
  EXPECT_FALSE(rules.OkButtonClick());
  EXPECT_EQ(s.call, "DL1ABC");
  EXPECT_EQ(s.grid, "JO62");
}

TEST(StationDialog, TimeZoneIsTakenAtOnceAndCancelKeepsIt) {
  Dialog d("K1ABC", "FN42");
  QComboBox* zones = d.Zones();
  const int index = zones->findText("UTC+5:45");
  ASSERT_GE(index, 0);
  emit zones->activated(index);
  EXPECT_DOUBLE_EQ(d.settings.utcOffsetHours, 5.75);
  d.form.findChild<QPushButton*>("CancelButton")->click();
  EXPECT_DOUBLE_EQ(d.settings.utcOffsetHours, 5.75);

  Dialog odd("K1ABC", "FN42", 1.25);  // not a choice of the list
  EXPECT_EQ(odd.Zones()->currentIndex(), -1);
  EXPECT_DOUBLE_EQ(odd.settings.utcOffsetHours, 1.25);
}

TEST(StationDialog, FollowUpEnablesTxAndQsoPanelForACompleteStation) {
  Settings s;
  MainControls c;
  StationDialogFollowUp(s, c);
  EXPECT_FALSE(c.Enabled(Ctl::EnableTxButton));
  EXPECT_FALSE(c.Enabled(Ctl::QSOPanel));
  s.call = "K1ABC";
  s.grid = "FN42AB";
  StationDialogFollowUp(s, c);
  EXPECT_TRUE(c.Enabled(Ctl::EnableTxButton));
  EXPECT_TRUE(c.Enabled(Ctl::QSOPanel));
}

}  // namespace
}  // namespace merivac
