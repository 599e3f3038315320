// ContactTest.cpp - both sides of a whole contact on paper: each station
// double-clicks the other's last message and must generate the next message
// of the sequence, in the other cycle of the pair, until 73.
#include <gtest/gtest.h>

#include "qso/rules/QsoFixture.h"

namespace merivac {
namespace {

using testing::DecodeLine;
using testing::Station;

struct Step {
  const char* message;  // what the sending station has generated
  int snr;              // as the receiving station measures it
};

// The caller sends in first cycles (even minutes in JT9-1), the answering
// station in second cycles; station `from` sends steps[i] in minute i.
void PlayContact(bool shortFormat, const std::vector<Step>& steps) {
  Station caller("K1ABC", "FN42");
  Station answerer("W9XYZ", "EN52");
  caller.settings.txFreq = caller.settings.rxFreq = 1210;
  caller.qso.freqs.ApplyFreqLimits();
  for (Station* st : {&caller, &answerer}) st->qso.messages.ShortQSOBoxChange(shortFormat);

  caller.qso.messages.CqS1ButtonClick();
  ASSERT_EQ(caller.Generated(), steps[0].message);
  for (size_t i = 0; i + 1 < steps.size(); ++i) {
    Station& from = i % 2 == 0 ? caller : answerer;
    Station& to = i % 2 == 0 ? answerer : caller;
    const std::string utc = (i < 10 ? "120" : "12") + std::to_string(i);
    const std::string line =
        DecodeLine(utc, steps[i + 1].snr, from.settings.txFreq, '1', from.Generated());
    SCOPED_TRACE(line);
    to.qso.sequencer.SelectFromDecode(from.settings.call, line, {});
    EXPECT_EQ(to.Generated(), steps[i + 1].message);
    EXPECT_EQ(to.Text(Ctl::DxCallEdit), from.settings.call);
    EXPECT_EQ(to.ui.hint, "");
    // The reply goes out in the cycle after the one heard, on its frequency.
    EXPECT_EQ(to.cycle.txFirst, &to == &caller);
    EXPECT_EQ(to.settings.txFreq, from.settings.txFreq);
    EXPECT_TRUE(to.ui.dialogs.empty());
  }
}

TEST(Contact, NormalFormatFromCqTo73) {
  PlayContact(false, {{"CQ K1ABC FN42", 0},
                      {"K1ABC W9XYZ EN52", -10},
                      {"W9XYZ K1ABC -14", -14},
                      {"K1ABC W9XYZ R-11", -11},
                      {"W9XYZ K1ABC RRR", -13},
                      {"K1ABC W9XYZ 73", -9},
                      {"W9XYZ K1ABC 73", -12}});
}

TEST(Contact, ShortFormatFromCqTo73) {
  PlayContact(true, {{"CQ K1ABC FN42", 0},
                     {"K1ABC W9XYZ -10", -10},
                     {"W9XYZ K1ABC R-14", -14},
                     {"K1ABC W9XYZ RRR", -11},
                     {"W9XYZ K1ABC 73", -13},
                     {"K1ABC W9XYZ 73", -9}});
}

}  // namespace
}  // namespace merivac
