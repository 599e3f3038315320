// FemDialogTest.cpp - the Front End Mixer dialog's field rule, OK and
// Cancel, and the follow-up that restarts the mixer and colours DialLabel.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "Rig.h"
#include "audio/MixerSetup.h"
#include "audio/ui/FemDialog.h"

namespace merivac {
namespace {

TEST(FemText, ValidFrom200To19999AndEmptyChangesNothing) {
  struct Case {
    const char* text;
    FemTextState state;
  };
  const Case cases[] = {
      {"", FemTextState::Unchanged},    {"199", FemTextState::Invalid},
      {"200", FemTextState::Valid},     {"19999", FemTextState::Valid},
      {"20000", FemTextState::Invalid}, {"0", FemTextState::Invalid},
      {"12a", FemTextState::Invalid},  // unreadable counts as 25000
  };
  for (const auto& c : cases) EXPECT_EQ(CheckFemText(c.text), c.state) << c.text;
  EXPECT_EQ(ReadFemLo("1500"), 1500);
  EXPECT_EQ(ReadFemLo("x"), 0);
  EXPECT_EQ(ReadFemLo(""), 0);
}

TEST(TFemForm, ShowsTheSettingsColoursTheFieldAndStoresOnOk) {
  Settings settings;
  settings.mixerLo = 1000;
  settings.mixerEnabled = false;
  TFemForm form(settings);
  form.FormActivate();
  EXPECT_EQ(form.FemEdit()->text(), "1000");
  EXPECT_FALSE(form.FemBox()->isChecked());
  EXPECT_EQ(form.FemEdit()->maxLength(), 5);
  EXPECT_EQ(form.FemEdit()->toolTip(), "200 .. 20000");

  form.FemEdit()->setText("150");
  EXPECT_FALSE(form.OkButton()->isEnabled());
  EXPECT_TRUE(form.FemEdit()->styleSheet().contains("rgb(255, 0, 0)"));
  form.FemEdit()->setText("");  // empty: colour and OK stay
  EXPECT_FALSE(form.OkButton()->isEnabled());
  form.FemEdit()->setText("2500");
  EXPECT_TRUE(form.OkButton()->isEnabled());
  EXPECT_TRUE(form.FemEdit()->styleSheet().contains("rgb(255, 255, 225)"));

  form.FemBox()->setChecked(true);
  form.CancelButton()->click();
  EXPECT_EQ(settings.mixerLo, 1000);
  EXPECT_FALSE(settings.mixerEnabled);
  EXPECT_EQ(form.result(), QDialog::Rejected);

  form.FemEdit()->setText("2500");
  form.FemBox()->setChecked(true);
  form.OkButton()->click();
  EXPECT_EQ(settings.mixerLo, 2500);
  EXPECT_TRUE(settings.mixerEnabled);
  EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST(FrontEndMixerFollowUp, RestartsTheMixerAndColoursTheDialLabel) {
  testing::CaptureRig rig;
  MainControls controls;
  rig.settings.mixerEnabled = true;
  rig.settings.mixerLo = 2500;
  ApplyFrontEndMixer(rig.settings, rig.chain, controls);
  EXPECT_EQ(rig.chain.Mixer().Lo(), 2500);
  EXPECT_TRUE(rig.chain.Mixer().FirstBlock());
  EXPECT_EQ(controls.Get(Ctl::DialLabel).fontColor, colors::kRed);
  rig.settings.mixerEnabled = false;
  rig.settings.mixerLo = 4000;
  ApplyFrontEndMixer(rig.settings, rig.chain, controls);
  EXPECT_EQ(rig.chain.Mixer().Lo(), 2500);
  EXPECT_EQ(controls.Get(Ctl::DialLabel).fontColor, colors::kBlack);
}

}  // namespace
}  // namespace merivac
