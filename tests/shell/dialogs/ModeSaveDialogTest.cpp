// ModeSaveDialogTest.cpp - the Mode and Save dialogs on the offscreen
// display: design names and captions, what an opening shows, typing into
// the tone spacing, OK storing and Cancel closing without storing.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "shell/Version.h"
#include "shell/ui/ModeDialog.h"
#include "shell/ui/SaveDialog.h"

namespace merivac {
namespace {

const QString kPrefix = QString("Merivac  v") + kVersionText;

template <typename T>
T* Child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name;
  return c;
}

TEST(ModeDialogTest, OpeningShowsTheSettings) {
  Settings s;
  s.mode = 5;
  s.toneSpacing = 12;
  s.showTxMessages = true;
  s.multiDecode = true;
  TModeForm form(s, kPrefix);
  EXPECT_EQ(form.windowTitle().toStdString(), DialogCaption("  :  Mode"));
  form.FormActivate();
  EXPECT_TRUE(Child<QRadioButton>(form, "M5Button")->isChecked());
  EXPECT_FALSE(Child<QRadioButton>(form, "M1Button")->isChecked());
  EXPECT_EQ(Child<QRadioButton>(form, "M10Button")->text(), "JT9-10");
  EXPECT_EQ(Child<QLineEdit>(form, "ToneSpacingEdit")->text(), "12");
  EXPECT_FALSE(Child<QCheckBox>(form, "EnableTxBox")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>(form, "ShowMsgBox")->isChecked());
  EXPECT_FALSE(Child<QCheckBox>(form, "AudioTxBox")->isChecked());
  EXPECT_FALSE(Child<QCheckBox>(form, "AudioRxBox")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>(form, "MultiDecBox")->isChecked());
}

TEST(ModeDialogTest, OkStoresWhatTheOperatorChose) {
  Settings s;
  TModeForm form(s, kPrefix);
  form.show();
  form.FormActivate();
  Child<QRadioButton>(form, "M10Button")->click();
  auto* spacing = Child<QLineEdit>(form, "ToneSpacingEdit");
  spacing->selectAll();
  QTest::keyClicks(spacing, "2x34567");
  EXPECT_EQ(spacing->text(), "2345");
  Child<QCheckBox>(form, "AudioRxBox")->click();
  Child<QCheckBox>(form, "EnableTxBox")->click();
  EXPECT_EQ(s.mode, 1u);  // nothing stored before OK
  Child<QPushButton>(form, "OkButton")->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(s.mode, 10u);
  EXPECT_EQ(s.toneSpacing, 2345u);
  EXPECT_TRUE(s.discardRxLimits);
  EXPECT_TRUE(s.enableTxAfterSelect);
  EXPECT_FALSE(s.discardTxLimits);
}

TEST(ModeDialogTest, ModalRunPlacedAtTheCornerAndCancelStoresNothing) {
  Settings s;
  s.mode = 2;
  TModeForm form(s, kPrefix);
  QPoint shownAt;
  QTimer::singleShot(0, &form, [&] {
    shownAt = form.pos();
    Child<QRadioButton>(form, "M1Button")->click();
    Child<QLineEdit>(form, "ToneSpacingEdit")->clear();
    Child<QPushButton>(form, "CancelButton")->click();
  });
  EXPECT_EQ(form.ShowModal(QPoint(100, 80)), QDialog::Rejected);
  EXPECT_EQ(shownAt, QPoint(130, 110));
  EXPECT_EQ(s.mode, 2u);
  EXPECT_EQ(s.toneSpacing, 1u);
  // The next opening loads the settings again.
  form.FormActivate();
  EXPECT_TRUE(Child<QRadioButton>(form, "M2Button")->isChecked());
  EXPECT_EQ(Child<QLineEdit>(form, "ToneSpacingEdit")->text(), "1");
}

TEST(ModeDialogTest, EmptyToneSpacingStoresOne) {
  Settings s;
  s.toneSpacing = 40;
  TModeForm form(s, kPrefix);
  form.show();
  form.FormActivate();
  auto* spacing = Child<QLineEdit>(form, "ToneSpacingEdit");
  spacing->selectAll();
  QTest::keyClick(spacing, Qt::Key_Backspace);
  EXPECT_EQ(spacing->text(), "");
  Child<QPushButton>(form, "OkButton")->click();
  EXPECT_EQ(s.toneSpacing, 1u);
}

TEST(SaveDialogTest, OkStoresTheBoxesCancelDoesNot) {
  Settings s;
  s.saveDecoded = true;
  TSaveForm form(s, kPrefix);
  EXPECT_EQ(form.windowTitle().toStdString(), DialogCaption("  :  Save"));
  QTimer::singleShot(0, &form, [&] {
    EXPECT_TRUE(Child<QCheckBox>(form, "DecodedBox")->isChecked());
    Child<QCheckBox>(form, "DebugBox")->click();
    Child<QPushButton>(form, "CancelButton")->click();
  });
  EXPECT_EQ(form.ShowModal(QPoint(0, 0)), QDialog::Rejected);
  EXPECT_FALSE(s.saveDebug);

  form.show();
  form.FormActivate();
  EXPECT_FALSE(Child<QCheckBox>(form, "DebugBox")->isChecked());
  EXPECT_EQ(Child<QCheckBox>(form, "DebugBox")->text(), "Save debug information");
  Child<QCheckBox>(form, "DebugBox")->click();
  Child<QCheckBox>(form, "WavBox")->click();
  Child<QCheckBox>(form, "DecodedBox")->click();
  Child<QPushButton>(form, "OkButton")->click();
  EXPECT_TRUE(s.saveDebug);
  EXPECT_TRUE(s.saveWav);
  EXPECT_FALSE(s.saveDecoded);
}

}  // namespace
}  // namespace merivac
