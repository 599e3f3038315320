// AlertDialogTest.cpp - the Alert dialog: its rules (opening, digit-only
// distances, OK storing and rebuilding the lists, Cancel storing nothing)
// and the dialog itself on the offscreen display.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "stationdata/StationData.h"
#include "stationdata/ui/AlertDialog.h"

namespace merivac {
namespace {

const QString kPrefix = "Merivac  v0.1.0.0.";

template <typename T>
T* Child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name;
  return c;
}

TEST(AlertDialogRules, DistancesAndValues) {
  const std::vector<std::pair<const char*, int32_t>> values = {
      {"", -1},           {"0", 0},   {"2500", 2500}, {"2147483647", 2147483647},
      {"2147483648", -1}, {"12a", -1}};
  for (const auto& [text, value] : values) EXPECT_EQ(DistanceValue(text), value) << text;
  EXPECT_EQ(DigitsOnly("1a2 3-4"), "1234");
}

TEST(AlertDialogRules, OpeningKeepsTheTextOfAnUnsetDistance) {
  Settings s;
  StationData data(s);
  AlertDialogRules rules(s, data);
  s.alertNewKm = 3000;
  rules.EditChange(AlertEdit::AnyDxEdit, "77");
  rules.FormActivate();
  EXPECT_EQ(rules.Text(AlertEdit::AnyDxEdit), "77");  // stored -1: the edit keeps its text
  EXPECT_EQ(rules.Text(AlertEdit::NewDxEdit), "3000");
  EXPECT_EQ(rules.EditChange(AlertEdit::NewDxEdit, "12x5"), "125");
  EXPECT_EQ(rules.EditChange(AlertEdit::IncludeEdit, "K1ABC, x"), "K1ABC, x");
}

TEST(AlertDialogRules, OkStoresEverythingAndRebuildsTheLists) {
  Settings s;
  StationData data(s);
  AlertDialogRules rules(s, data);
  rules.FormActivate();
  for (AlertBox b : {AlertBox::MyCallBox, AlertBox::StateBox, AlertBox::IncludeBox,
                     AlertBox::CtyBox, AlertBox::WasBox}) {
    rules.SetChecked(b, true);
  }
  rules.EditChange(AlertEdit::AnyDxEdit, "");
  rules.EditChange(AlertEdit::NewDxEdit, "4500");
  rules.EditChange(AlertEdit::IncludeEdit, "K1ABC,G3XYZ");
  rules.EditChange(AlertEdit::ExcludeEdit, " W1AW ");
  rules.EditChange(AlertEdit::WasUrlEdit, " http://127.0.0.1:8000/was.dat ");
  rules.OkButtonClick();
  EXPECT_TRUE(s.alertMyCall && s.alertNewState && s.alertInclude && s.updateCty && s.updateWas);
  EXPECT_FALSE(s.alertNewCall || s.alertNewEntity || s.alertAnyDistance || s.alertExclude);
  EXPECT_EQ(s.alertAnyKm, -1);
  EXPECT_EQ(s.alertNewKm, 4500);
  EXPECT_EQ(s.alertIncludeCalls, "K1ABC,G3XYZ");
  EXPECT_EQ(s.alertExcludeCalls, " W1AW ");  // stored as typed
  EXPECT_EQ(s.wasSourceUrl, "http://127.0.0.1:8000/was.dat");
  EXPECT_EQ(data.Lists().include[1], "G3XYZ");
  EXPECT_EQ(data.Lists().exclude[0], "W1AW");
}

TEST(AlertDialog, OpenedFromTheSettingsShowsThem) {
  Settings s;
  s.alertNewEntity = true;
  s.alertAnyKm = 1200;
  s.alertExcludeCalls = "W1AW";
  s.updateWas = true;
  StationData data(s);
  TAlertForm form(s, data, kPrefix);
  EXPECT_EQ(form.windowTitle(), kPrefix + "  :  Alert");
  form.FormActivate();
  EXPECT_TRUE(Child<QCheckBox>(form, "DxccBox")->isChecked());
  EXPECT_FALSE(Child<QCheckBox>(form, "MyCallBox")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>(form, "WasBox")->isChecked());
  EXPECT_EQ(Child<QCheckBox>(form, "CtyBox")->text(), "CTY.DAT (Amateur Radio Country Files)");
  EXPECT_EQ(Child<QCheckBox>(form, "AnyDxBox")->text(), "Any DX more than ");
  EXPECT_EQ(Child<QLineEdit>(form, "AnyDxEdit")->text(), "1200");
  EXPECT_EQ(Child<QLineEdit>(form, "NewDxEdit")->text(), "");
  EXPECT_EQ(Child<QLineEdit>(form, "ExcludeEdit")->text(), "W1AW");
  EXPECT_EQ(Child<QLineEdit>(form, "IncludeEdit")->toolTip(),
            "enter one or more calls (comma separated)");
  QStringList groups;
  for (QGroupBox* g : form.findChildren<QGroupBox*>()) groups << g->title();
  EXPECT_TRUE(groups.contains("Alert if : "));
  EXPECT_TRUE(groups.contains(" Update at startup : "));
}

TEST(AlertDialog, TypingAndOkStoreCancelDoesNot) {
  Settings s;
  s.alertInclude = true;
  StationData data(s);
  TAlertForm form(s, data, kPrefix);
  QPoint shownAt;
  QTimer::singleShot(0, &form, [&] {
    shownAt = form.pos();
    Child<QCheckBox>(form, "NewCallBox")->click();
    QTest::keyClicks(Child<QLineEdit>(form, "NewDxEdit"), "3x0y0");
    Child<QPushButton>(form, "CancelButton")->click();
  });
  EXPECT_EQ(form.ShowModal(QPoint(200, 100)), QDialog::Rejected);
  EXPECT_EQ(shownAt, QPoint(230, 130));
  EXPECT_FALSE(s.alertNewCall);
  EXPECT_EQ(s.alertNewKm, -1);

  QTimer::singleShot(0, &form, [&] {
    // The typed distance is still there: the stored value is -1.
    EXPECT_EQ(Child<QLineEdit>(form, "NewDxEdit")->text(), "300");
    Child<QCheckBox>(form, "NewDxBox")->click();
    Child<QCheckBox>(form, "IncludeBox")->click();
    QTest::keyClicks(Child<QLineEdit>(form, "ExcludeEdit"), "K1ABC,W1AW");
    Child<QPushButton>(form, "OkButton")->click();
  });
  EXPECT_EQ(form.ShowModal(QPoint(0, 0)), QDialog::Accepted);
  EXPECT_TRUE(s.alertNewDistance);
  EXPECT_FALSE(s.alertInclude);
  EXPECT_EQ(s.alertNewKm, 300);
  EXPECT_EQ(s.alertExcludeCalls, "K1ABC,W1AW");
  EXPECT_EQ(data.Lists().exclude[1], "W1AW");
}

}  // namespace
}  // namespace merivac
