// ModeSaveRulesTest.cpp - the Mode and Save dialogs' rules: what an opening
// shows, what OK stores and that Cancel stores nothing.
#include <gtest/gtest.h>

#include "shell/ModeSaveDialogs.h"

namespace merivac {
namespace {

TEST(ModeDialogRulesTest, OpeningSelectsTheRadioButtonOfTheMode) {
  // Any mode other than 2, 5 and 10 selects M1Button.
  const struct {
    uint32_t mode;
    uint32_t selected;
  } cases[] = {{1, 1}, {2, 2}, {5, 5}, {10, 10}, {3, 1}, {0, 1}, {20, 1}};
  for (const auto& c : cases) {
    Settings s;
    s.mode = c.mode;
    ModeDialogRules rules(s);
    rules.Open();
    EXPECT_EQ(rules.SelectedMode(), c.selected) << "mode " << c.mode;
  }
}

TEST(ModeDialogRulesTest, OkStoresTheSelectedButtonsMode) {
  for (uint32_t mode : kModeButtonModes) {
    Settings s;
    s.mode = 5;
    ModeDialogRules rules(s);
    rules.Open();
    rules.SelectMode(mode);
    rules.OkButtonClick();
    EXPECT_EQ(s.mode, mode);
  }
  // A value no button stands for leaves the selection as it was.
  Settings s;
  s.mode = 2;
  ModeDialogRules rules(s);
  rules.Open();
  rules.SelectMode(7);
  rules.OkButtonClick();
  EXPECT_EQ(s.mode, 2u);
}

TEST(ModeDialogRulesTest, ToneSpacingKeepsAtMostFourDigits) {
  const struct {
    const char* typed;
    const char* shown;
    uint32_t stored;
  } cases[] = {
      {"3", "3", 3},      {"12", "12", 12}, {"9999", "9999", 9999}, {"12345", "1234", 1234},
      {"a1b2", "12", 12}, {"", "", 1},      {"x", "", 1},           {"0", "0", 0},
      {" 7 ", "7", 7},    {"-5", "5", 5},   {"0042", "0042", 42},
  };
  for (const auto& c : cases) {
    Settings s;
    s.toneSpacing = 8;
    ModeDialogRules rules(s);
    rules.Open();
    EXPECT_EQ(rules.ToneSpacingText(), "8");
    EXPECT_EQ(rules.ToneSpacingEditChange(c.typed), c.shown) << "typed '" << c.typed << "'";
    rules.OkButtonClick();
    EXPECT_EQ(s.toneSpacing, c.stored) << "typed '" << c.typed << "'";
  }
}

TEST(ModeDialogRulesTest, ToneSpacingValueOfUnreadableTextIsOne) {
  EXPECT_EQ(ToneSpacingValue(""), 1u);
  EXPECT_EQ(ToneSpacingValue("12a"), 1u);
  EXPECT_EQ(ToneSpacingValue("99999999999"), 1u);
  EXPECT_EQ(ToneSpacingValue("250"), 250u);
}

// Each box loads from and stores into its own setting, and only that one.
TEST(ModeDialogRulesTest, EachBoxLoadsAndStoresItsSetting) {
  const struct {
    ModeBox box;
    bool Settings::*field;
  } cases[] = {
      {ModeBox::EnableTxBox, &Settings::enableTxAfterSelect},
      {ModeBox::ShowMsgBox, &Settings::showTxMessages},
      {ModeBox::AudioTxBox, &Settings::discardTxLimits},
      {ModeBox::AudioRxBox, &Settings::discardRxLimits},
      {ModeBox::MultiDecBox, &Settings::multiDecode},
  };
  for (const auto& c : cases) {
    Settings s;
    s.*c.field = true;
    ModeDialogRules rules(s);
    rules.Open();
    for (const auto& other : cases) {
      EXPECT_EQ(rules.Checked(other.box), other.field == c.field);
    }
    rules.SetChecked(c.box, false);
    rules.OkButtonClick();
    EXPECT_FALSE(s.*c.field);

    Settings t;
    ModeDialogRules turnOn(t);
    turnOn.Open();
    turnOn.SetChecked(c.box, true);
    turnOn.OkButtonClick();
    for (const auto& other : cases) EXPECT_EQ(t.*other.field, other.field == c.field);
  }
}

TEST(ModeDialogRulesTest, CancelChangesNoSetting) {
  Settings s;
  s.mode = 2;
  s.toneSpacing = 3;
  s.multiDecode = true;
  const Settings before = s;
  ModeDialogRules rules(s);
  rules.Open();
  rules.SelectMode(10);
  rules.ToneSpacingEditChange("77");
  rules.SetChecked(ModeBox::MultiDecBox, false);
  rules.SetChecked(ModeBox::AudioRxBox, true);
  rules.CancelButtonClick();
  EXPECT_EQ(s.mode, before.mode);
  EXPECT_EQ(s.toneSpacing, before.toneSpacing);
  EXPECT_EQ(s.multiDecode, before.multiDecode);
  EXPECT_EQ(s.discardRxLimits, before.discardRxLimits);
  // The next opening shows the settings again, not what was cancelled.
  rules.Open();
  EXPECT_EQ(rules.SelectedMode(), 2u);
  EXPECT_EQ(rules.ToneSpacingText(), "3");
  EXPECT_TRUE(rules.Checked(ModeBox::MultiDecBox));
  EXPECT_FALSE(rules.Checked(ModeBox::AudioRxBox));
}

TEST(SaveDialogRulesTest, BoxesLoadAndStoreTheirSettings) {
  const struct {
    SaveBox box;
    bool Settings::*field;
  } cases[] = {
      {SaveBox::WavBox, &Settings::saveWav},
      {SaveBox::DecodedBox, &Settings::saveDecoded},
      {SaveBox::DebugBox, &Settings::saveDebug},
  };
  for (const auto& c : cases) {
    Settings s;
    s.*c.field = true;
    SaveDialogRules rules(s);
    rules.Open();
    for (const auto& other : cases) EXPECT_EQ(rules.Checked(other.box), other.field == c.field);
    // Cancel keeps the setting, OK stores the box.
    rules.SetChecked(c.box, false);
    rules.CancelButtonClick();
    EXPECT_TRUE(s.*c.field);
    rules.OkButtonClick();
    EXPECT_FALSE(s.*c.field);
    for (const auto& other : cases) EXPECT_FALSE(s.*other.field);
  }
}

}  // namespace
}  // namespace merivac
