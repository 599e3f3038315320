// SoundcardDialogTest.cpp - the Audio dialog's widgets over fake devices:
// caption, lists, "not selected", widening, the version message, OK/Cancel.
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "audio/ui/SoundcardDialog.h"
#include "FakeEndpoints.h"

namespace merivac {
namespace {

using testing::FakeRig;

struct RecordingUi : NullUiServices {
  std::vector<std::string> messages;
  void ShowMessageDialog(const std::string& text, NoticeKind) override { messages.push_back(text); }
};

TEST(SoundcardDialogTest, ShowsDevicesAndNotSelected) {
  Settings s;
  s.inputDevice = 1;
  s.outputDevice = -1;
  FakeRig rig(s, nullptr);
  RecordingUi ui;
  TSoundcardForm form(*rig.devices, "Merivac  vTEST", &ui);
  EXPECT_EQ(form.windowTitle().toStdString(), "Merivac  vTEST  :  Audio");
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(form.InBox()->count(), 2);
  EXPECT_EQ(form.InBox()->itemText(1).toStdString(), "Line*");
  form.FormActivate();
  EXPECT_EQ(form.InBox()->currentText().toStdString(), "Line*");
  EXPECT_EQ(form.OutBox()->currentIndex(), -1);
  EXPECT_EQ(form.OutBox()->placeholderText().toStdString(), kNotSelected);
  EXPECT_EQ(form.width(), SoundcardLayout{}.formWidth);  // short names: design size
}

TEST(SoundcardDialogTest, WrongLibraryVersionShowsTheMessageAndCarriesOn) {
  Settings s;
  FakeRig rig(s, nullptr, /*versionOk=*/false);
  RecordingUi ui;
  TSoundcardForm form(*rig.devices, "Merivac  vTEST", &ui);
  EXPECT_EQ(ui.messages, std::vector<std::string>{"An incorrect version of the audio library was loaded."});
  EXPECT_EQ(form.OutBox()->count(), 2);
}

TEST(SoundcardDialogTest, LongNamesWidenTheDialog) {
  Settings s;
  InputEndpoints inputs;
  inputs.push_back(std::make_unique<testing::FakeInput>(std::string(80, 'W')));
  AudioDevices devices(s, nullptr, std::move(inputs), OutputEndpoints{});
  TSoundcardForm form(devices, "Merivac  vTEST", nullptr);
  const int widest = QFontMetrics(form.InBox()->font()).horizontalAdvance(QString(80, 'W'));
  EXPECT_EQ(form.InBox()->width(), widest + 28);
  EXPECT_EQ(form.OutBox()->width(), widest + 28);
  EXPECT_EQ(form.width(), form.SoundcardBox()->width() + 16);
  const int gap = form.OkButton()->x();
  EXPECT_EQ(form.width() - form.CancelButton()->geometry().right() - 1, gap);
}

TEST(SoundcardDialogTest, OkReopensWithTheChosenDevicesAndCancelDoesNot) {
  Settings s;
  s.inputDevice = 0;
  s.outputDevice = 0;
  FakeRig rig(s, nullptr);
  rig.devices->OpenAudioDevices();
  RecordingUi ui;
  TSoundcardForm form(*rig.devices, "Merivac  vTEST", &ui);
  form.FormActivate();
  emit form.OutBox()->activated(1);
  form.CancelButton()->click();
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(s.outputDevice, 0);
  form.FormActivate();
  rig.out[1]->failOpen = true;
  emit form.OutBox()->activated(1);
  form.OkButton()->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(s.outputDevice, -1);
  EXPECT_TRUE(rig.devices->InputDeviceChanged());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Phones cannot be opened"});
  form.FormActivate();
  EXPECT_EQ(form.OutBox()->currentIndex(), -1);
}

}  // namespace
}  // namespace merivac
