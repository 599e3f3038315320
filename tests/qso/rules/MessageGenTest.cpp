// MessageGenTest.cpp - the message forms, the six buttons in both formats,
// the failure texts and their order, CQ variants and the free message.
#include <gtest/gtest.h>

#include "qso/MessageGen.h"
#include "qso/rules/QsoFixture.h"

namespace merivac {
namespace {

using testing::Station;

struct ButtonCase {
  bool shortFormat;
  Ctl button;
  const char* call;
  const char* grid;
  const char* dx;
  const char* report;
  std::string expected;  // the generated message, or the failure text
};

TEST(MessageGen, EveryButtonInBothFormats) {
  const std::string callF(kCallFailure), gridF(kGridFailure), dxF(kDxCallFailure),
      rptF(kReportFailure);
  const ButtonCase cases[] = {
      // normal format
      {false, Ctl::CqS1Button, "K1ABC", "FN42", "W9XYZ", "-15", "CQ K1ABC FN42"},
      {false, Ctl::CqS1Button, "K1ABC", "FN42AB", "", "", "CQ K1ABC FN42"},
      {false, Ctl::CqS2Button, "K1ABC", "FN42", "W9XYZ", "-15", "W9XYZ K1ABC -15"},
      {false, Ctl::CqS3Button, "K1ABC", "FN42", "W9XYZ", "-15", "W9XYZ K1ABC RRR"},
      {false, Ctl::AnS1Button, "K1ABC", "FN42", "W9XYZ", "-15", "W9XYZ K1ABC FN42"},
      {false, Ctl::AnS2Button, "K1ABC", "FN42", "W9XYZ", "-15", "W9XYZ K1ABC R-15"},
      {false, Ctl::AnS3Button, "K1ABC", "FN42", "W9XYZ", "-15", "W9XYZ K1ABC 73"},
      {false, Ctl::CqS2Button, "K1ABC", "FN42", "W9XYZ", "7", "W9XYZ K1ABC 7"},
      {false, Ctl::AnS2Button, "K1ABC", "FN42", "W9XYZ", "7", "W9XYZ K1ABC R7"},
      {false, Ctl::AnS2Button, "K1ABC", "FN42", "W9XYZ", "-50", "W9XYZ K1ABC R-50"},
      {false, Ctl::AnS1Button, "K1ABC", "FN42", " W9XYZ\t", "", "W9XYZ K1ABC FN42"},
      // short format
      {true, Ctl::CqS1Button, "K1ABC", "FN42", "W9XYZ", "-15", "CQ K1ABC FN42"},
      {true, Ctl::CqS2Button, "K1ABC", "FN42", "W9XYZ", "-15", "W9XYZ K1ABC R-15"},
      {true, Ctl::CqS3Button, "K1ABC", "FN42", "W9XYZ", "-15", "W9XYZ K1ABC 73"},
      {true, Ctl::AnS1Button, "K1ABC", "FN42", "W9XYZ", "-15", "W9XYZ K1ABC -15"},
      {true, Ctl::AnS2Button, "K1ABC", "FN42", "W9XYZ", "-15", "W9XYZ K1ABC RRR"},
      // station failures come first, callsign before grid, for every form
      {false, Ctl::CqS1Button, "K1ABC/P", "FN42", "W9XYZ", "-15", callF},
      {false, Ctl::CqS1Button, "", "", "W9XYZ", "-15", callF},
      {false, Ctl::CqS1Button, "K1ABC", "FN4", "W9XYZ", "-15", gridF},
      {true, Ctl::AnS2Button, "K1ABC", "fn42", "W9XYZ", "-15", gridF},
      {true, Ctl::AnS1Button, "K1ABC", "", "", "", gridF},
      // DX call and report
      {false, Ctl::AnS1Button, "K1ABC", "FN42", "W9XYZ/P", "-15", dxF},
      {false, Ctl::AnS3Button, "K1ABC", "FN42", "", "-15", dxF},
      {false, Ctl::CqS2Button, "K1ABC", "FN42", "W9XYZ", "", rptF},
      {false, Ctl::CqS2Button, "K1ABC", "FN42", "W9XYZ", "50", rptF},
      {false, Ctl::CqS2Button, "K1ABC", "FN42", "", "-15", dxF},
      {false, Ctl::CqS2Button, "K1ABC", "FN42", "", "", rptF},  // report failure wins
      {true, Ctl::CqS2Button, "K1ABC", "FN42", "W9XYZ/P", "-51", rptF},
      {false, Ctl::AnS1Button, "K1ABC", "FN42", "W9XYZ", "", "W9XYZ K1ABC FN42"},
      {false, Ctl::CqS3Button, "K1ABC", "FN42", "W9XYZ", "", "W9XYZ K1ABC RRR"},
      {false, Ctl::AnS3Button, "K1ABC", "FN42", "W9XYZ", "", "W9XYZ K1ABC 73"},
  };
  for (const ButtonCase& c : cases) {
    Station st(c.call, c.grid);
    st.qso.messages.ShortQSOBoxChange(c.shortFormat);
    st.controls.SetText(Ctl::DxCallEdit, c.dx);
    st.controls.SetText(Ctl::dBEdit, c.report);
    st.controls.SetText(Ctl::GenMsgEdit, "OLD");
    st.qso.messages.MessageButtonClick(c.button);
    const bool failure = c.expected.rfind("Could not", 0) == 0;
    SCOPED_TRACE(std::string(ControlName(c.button)) + (c.shortFormat ? " short" : " normal") +
                 " dx '" + c.dx + "' report '" + c.report + "'");
    if (failure) {
      EXPECT_EQ(st.Generated(), "OLD");
      ASSERT_EQ(st.ui.dialogs.size(), 1u);
      EXPECT_EQ(st.ui.dialogs[0].first, c.expected);
      EXPECT_EQ(st.ui.dialogs[0].second, NoticeKind::Warning);
      EXPECT_EQ(st.LogText().find("created"), std::string::npos);
    } else {
      EXPECT_EQ(st.Generated(), c.expected);
      EXPECT_TRUE(st.ui.dialogs.empty());
      EXPECT_TRUE(st.controls.Checked(Ctl::GenMsgButton));
      EXPECT_FALSE(st.controls.Checked(Ctl::FreeMsgButton));
      EXPECT_NE(st.LogText().find(" : Message \"" + c.expected + "\" created\r\n"),
                std::string::npos);
    }
  }
}

TEST(MessageGen, CaptionsAndHiddenButtonFollowTheFormat) {
  Station st;
  MessageGenerator& m = st.qso.messages;
  const Ctl buttons[] = {Ctl::CqS1Button, Ctl::CqS2Button, Ctl::CqS3Button,
                         Ctl::AnS1Button, Ctl::AnS2Button, Ctl::AnS3Button};
  const char* normal[] = {"CQ", "dB", "RRR", "Grid", "R+dB", "73"};
  const char* shortCaptions[] = {"CQ", "R+dB", "73", "dB", "RRR"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(st.Text(buttons[i]), normal[i]);
  EXPECT_TRUE(st.controls.Visible(Ctl::AnS3Button));
  m.ShortQSOBoxChange(true);
  EXPECT_TRUE(st.settings.shortQso);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(st.Text(buttons[i]), shortCaptions[i]);
  EXPECT_FALSE(st.controls.Visible(Ctl::AnS3Button));
  EXPECT_EQ(m.ButtonIndex(Ctl::AnS3Button), -1);
  st.controls.SetText(Ctl::DxCallEdit, "W9XYZ");
  m.AnS3ButtonClick();  // hidden: builds nothing
  EXPECT_EQ(st.Generated(), "");
  m.ShortQSOBoxChange(false);
  EXPECT_TRUE(st.controls.Visible(Ctl::AnS3Button));
  EXPECT_EQ(st.Text(Ctl::AnS3Button), "73");
}

TEST(MessageGen, CqArrowsChooseTheVariantWithoutBuilding) {
  Station st;
  MessageGenerator& m = st.qso.messages;
  // The arrows move their own position (0..7) before the click handler runs.
  auto arrowTo = [&](int position) {
    st.controls.SetPosition(Ctl::CqUpDown, position);
    m.CqUpDownClick();
  };
  arrowTo(7);  // already at the top
  EXPECT_EQ(st.Text(Ctl::CqS1Button), "CQ");
  const char* down[] = {"CQ DX", "CQ AF", "CQ AS", "CQ EU", "CQ NA", "CQ OC", "CQ SA"};
  for (int i = 0; i < 7; ++i) {
    arrowTo(6 - i);
    EXPECT_EQ(st.Text(Ctl::CqS1Button), down[i]);
  }
  EXPECT_EQ(st.Generated(), "");
  arrowTo(3);
  EXPECT_EQ(st.Text(Ctl::CqS1Button), "CQ EU");
  m.CqS1ButtonClick();
  EXPECT_EQ(st.Generated(), "CQ EU K1ABC FN42");
  m.ShortQSOBoxChange(true);  // the variant survives a format change
  EXPECT_EQ(st.Text(Ctl::CqS1Button), "CQ EU");
}

TEST(MessageGen, SuccessRestartsTheWatchdogOnlyWithTxEnabledAndAWatchdog) {
  struct Case {
    bool txEnabled;
    uint16_t watchdog;
    const char* dx;
    int resets;
  };
  for (const Case& c : {Case{true, 6, "W9XYZ", 1}, Case{false, 6, "W9XYZ", 0},
                        Case{true, 0, "W9XYZ", 0}, Case{true, 6, "", 0}}) {
    Station st;
    st.cycle.txEnabled = c.txEnabled;
    st.settings.watchdogMinutes = c.watchdog;
    st.controls.SetText(Ctl::DxCallEdit, c.dx);
    st.qso.messages.AnS1ButtonClick();
    EXPECT_EQ(st.cycle.watchdogResets, c.resets) << c.txEnabled << " " << c.watchdog << c.dx;
  }
}

TEST(MessageGen, FailureKeepsTheSelectedMessage) {
  Station st;
  st.controls.SetText(Ctl::DxCallEdit, "W9XYZ");
  st.qso.messages.AnS1ButtonClick();
  st.qso.messages.FreeMsgButtonClick();
  st.qso.messages.CqS2ButtonClick();  // no report: fails
  EXPECT_EQ(st.Generated(), "W9XYZ K1ABC FN42");
  EXPECT_TRUE(st.controls.Checked(Ctl::FreeMsgButton));
  st.qso.messages.GenMsgButtonClick();
  EXPECT_EQ(st.qso.messages.SelectedTxMessage(), "W9XYZ K1ABC FN42");
  st.qso.messages.GenMsgEditDblClick();
  EXPECT_EQ(st.qso.messages.SelectedTxMessage(), "");
}

TEST(MessageGen, FreeMessageFilterAndLimit) {
  std::string typed;
  for (char key : std::string("cq test?!,")) {
    if (char c = FreeMsgKeyFilter(key)) typed.push_back(c);
  }
  EXPECT_EQ(typed, "CQ TEST?");
  EXPECT_EQ(FreeMsgKeyFilter('\b'), '\b');
  for (char ok : std::string("-+<>./@#")) EXPECT_EQ(FreeMsgKeyFilter(ok), ok);
  for (char bad : std::string("!,;:\"'*_=")) EXPECT_EQ(FreeMsgKeyFilter(bad), 0) << bad;
  EXPECT_EQ(FilterFreeMessage("tnx 73 gl de k1abc"), "TNX 73 GL DE ");

  Station st;
  st.qso.messages.FreeMsgEditChange("hello, world 12345");
  EXPECT_EQ(st.Text(Ctl::FreeMsgEdit), "HELLO WORLD 1");
  st.qso.messages.FreeMsgButtonClick();
  EXPECT_EQ(st.qso.messages.SelectedTxMessage(), "HELLO WORLD 1");
  st.qso.messages.FreeMsgEditDblClick();
  EXPECT_EQ(st.Text(Ctl::FreeMsgEdit), "");
}

TEST(MessageGen, LabelCounterIsTheWindowCaption) {
  Station st;
  MessageGenerator& m = st.qso.messages;
  m.Label8Click();
  EXPECT_EQ(st.Text(Ctl::MainForm), "101");
  m.Label8Click();
  m.Label8DblClick();  // a double-click: click first, then +9
  EXPECT_EQ(st.Text(Ctl::MainForm), "111");
  m.Label9Click();
  m.Label9DblClick();
  EXPECT_EQ(m.CaptionCounter(), 101);
}

TEST(MessageGen, AvailabilityNeedsCallAndFourCharacterGrid) {
  struct Case {
    const char* call;
    const char* grid;
    bool enabled;
  };
  for (const Case& c :
       {Case{"K1ABC", "FN42", true}, Case{"K1ABC", "FN42AB", true}, Case{"K1ABC", "FN4", false},
        Case{"", "FN42", false}, Case{"K1ABC", "", false}, Case{"k1abc", "FN42", false}}) {
    Settings s;
    s.call = c.call;
    s.grid = c.grid;
    MainControls controls;
    UpdateQsoAvailability(s, controls);
    EXPECT_EQ(controls.Enabled(Ctl::QSOPanel), c.enabled) << c.call << " " << c.grid;
    EXPECT_EQ(controls.Enabled(Ctl::EnableTxButton), c.enabled);
  }
}

}  // namespace
}  // namespace merivac
