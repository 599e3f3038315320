#include "common/Notice.h"

#include <gtest/gtest.h>

#include "common/Level.h"

namespace merivac {
namespace {

TEST(Notice, ShowsHeaderTextAndClosingLineUntilClicked) {
  MainControls c;
  EXPECT_FALSE(c.Visible(Ctl::MessagePanel));
  ShowNotice(c, "No soundcard input selected.\r\n", 1);
  EXPECT_TRUE(c.Visible(Ctl::MessagePanel));
  EXPECT_EQ(c.Text(Ctl::MessageLabel),
            "ERROR\r\n\r\nNo soundcard input selected.\r\n\r\n\r\nCLICK ANYWHERE ON THIS MESSAGE TO "
            "CLOSE IT");
  EXPECT_EQ(c.Get(Ctl::MessagePanel).color, (Rgb{242, 163, 157}));
  MessagePanelClick(c);
  EXPECT_FALSE(c.Visible(Ctl::MessagePanel));
}

TEST(Notice, UnknownKindKeepsTheLastHeaderAndColour) {
  MainControls c;
  ShowNotice(c, "first", 2);
  ShowNotice(c, "second", 7);
  EXPECT_EQ(c.Text(Ctl::MessageLabel),
            "INFORMATION\r\n\r\nsecond\r\n\r\nCLICK ANYWHERE ON THIS MESSAGE TO CLOSE IT");
  EXPECT_EQ(c.Get(Ctl::MessagePanel).color, (Rgb{242, 249, 139}));
}

TEST(Level, ThresholdsOfTheLevelBar) {
  struct Case {
    int16_t peak;
    int level;
  };
  for (const Case& k : {Case{0, 0}, Case{1, 0}, Case{19, 25}, Case{20, 26}, Case{3093, 69},
                        Case{3094, 70}, Case{32767, 90}}) {
    EXPECT_EQ(LevelDb(k.peak), k.level) << k.peak;
  }
}

}  // namespace
}  // namespace merivac
