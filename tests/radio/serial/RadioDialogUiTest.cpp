// RadioDialogUiTest.cpp - the Qt Radio dialog mirrors the model and forwards
// clicks, typing, OK and Cancel (offscreen).
#include "radio/ui/RadioDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "SerialFakes.h"

namespace merivac {
namespace {

using testing::FakeSerialLineDriver;
using testing::RecordingUi;
using testing::TestLog;

class RadioDialogUiTest : public ::testing::Test {
 protected:
  RadioDialogUiTest() {
    TPortList ports;
    ports[0] = "ttyS0";
    ports[1] = "ttyUSB0";
    model.Create(settings, ports);
    settings.port = "ttyUSB0";
    settings.txDelayMs = 50;
    settings.watchdogMinutes = 5;
  }
  Settings settings;
  FakeSerialLineDriver driver;
  RecordingUi ui;
  TestLog log;
  RadioControl radio{settings, driver, ui, log.Log()};
  RadioDialogModel model;
  int watchdogCleared = 0;
  TRadioForm form{model, settings, radio, log.Log(), [this] { ++watchdogCleared; },
                  "Merivac  vTEST"};
};

TEST_F(RadioDialogUiTest, ShowsTheSettingsAndFollowsTheRules) {
  EXPECT_EQ(form.windowTitle(), "Merivac  vTEST  :  Radio");
  form.LoadFromSettings();
  EXPECT_EQ(form.PortBox->count(), 3);
  EXPECT_EQ(form.PortBox->currentText(), "ttyUSB0");
  EXPECT_TRUE(form.VoxBox->isChecked());
  EXPECT_FALSE(form.VoxBox->isEnabled());
  EXPECT_FALSE(form.TxDelayEdit->isEnabled());
  EXPECT_EQ(form.TxDelayEdit->text(), "50");
  EXPECT_EQ(form.WDTEdit->text(), "5");
  EXPECT_EQ(form.TxDelayEdit->maxLength(), 3);
  EXPECT_EQ(form.WDTEdit->maxLength(), 2);

  form.DtrPttBox->click();
  EXPECT_FALSE(form.VoxBox->isChecked());
  EXPECT_TRUE(form.VoxBox->isEnabled());
  EXPECT_TRUE(form.TxDelayEdit->isEnabled());
  form.DtrAlertBox->click();  // the PTT line: back to VOX
  EXPECT_TRUE(form.VoxBox->isChecked());
  EXPECT_FALSE(form.DtrPttBox->isChecked());
  EXPECT_TRUE(form.DtrAlertBox->isChecked());

  form.PortBox->setCurrentIndex(0);
  emit form.PortBox->activated(0);
  EXPECT_FALSE(form.DtrAlertBox->isChecked());
  EXPECT_FALSE(form.DtrAlertBox->isEnabled());
  EXPECT_FALSE(form.RtsPttBox->isEnabled());
}

TEST_F(RadioDialogUiTest, TypingChecksTheEditsAndOkStores) {
  form.LoadFromSettings();
  form.RtsPttBox->click();
  form.TxDelayEdit->clear();
  QTest::keyClicks(form.TxDelayEdit, "2x");
  EXPECT_FALSE(form.OkButton->isEnabled());
  EXPECT_EQ(form.TxDelayEdit->palette().color(QPalette::Base), QColor(255, 0, 0));
  QTest::keyClick(form.TxDelayEdit, Qt::Key_Backspace);
  QTest::keyClicks(form.TxDelayEdit, "00");
  EXPECT_EQ(form.TxDelayEdit->text(), "200");
  EXPECT_TRUE(form.OkButton->isEnabled());
  EXPECT_EQ(form.TxDelayEdit->palette().color(QPalette::Base), QColor(255, 255, 225));
  form.OkButton->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(settings.pttMethod, 2);
  EXPECT_EQ(settings.txDelayMs, 200);
  EXPECT_EQ(watchdogCleared, 1);
  EXPECT_TRUE(radio.PortOpen());
  EXPECT_NE(log.Text().find("Radio settings changed: port = ttyUSB0, PTT = RTS, TX delay = 200 ms, "
                            "WDT = 5 minutes"),
            std::string::npos);
}

TEST_F(RadioDialogUiTest, ModalCancelIsPlacedBesideTheMainWindowAndChangesNothing) {
  QWidget mainWindow;
  mainWindow.move(120, 80);
  QTimer::singleShot(0, &form, [this] {
    form.DtrPttBox->click();
    form.CancelButton->click();
  });
  EXPECT_EQ(form.ShowModal(&mainWindow), QDialog::Rejected);
  EXPECT_EQ(form.pos(), QPoint(150, 110));
  EXPECT_EQ(settings.pttMethod, 0);
  EXPECT_EQ(watchdogCleared, 0);
  EXPECT_FALSE(radio.PortOpen());
}

}  // namespace
}  // namespace merivac
