// SpottedSenderTest.cpp - which decoded messages name a station for PSK
// Reporter: exactly three words after trimming the blanks, a valid callsign
// second and a valid 4- or 6-character grid third.
#include <gtest/gtest.h>

#include "codec/DecoderBridge.h"

namespace merivac {
namespace {

TEST(SpottedSenderTest, ThreeWordsWithCallAndGrid) {
  const struct {
    const char* message;
    const char* call;  // nullptr: nothing to spot
    const char* grid;
  } cases[] = {
      {"CQ K1ABC FN42", "K1ABC", "FN42"},
      {"K1ABC W9XYZ EN37QX", "W9XYZ", "EN37QX"},    // a reply names its sender too
      {"CQ K1ABC FN42         ", "K1ABC", "FN42"},  // jt9's padding blanks
      {"  QRZ DL1ABC JO62", "DL1ABC", "JO62"},
      {"CQ DX W9XYZ EN37", nullptr, nullptr},  // four words
      {"W9XYZ K1ABC -15", nullptr, nullptr},   // a report, no grid
      {"W9XYZ K1ABC R-15", nullptr, nullptr},
      {"CQ K1ABC fn42", nullptr, nullptr},  // grids are upper case
      {"CQ K1ABC FN4", nullptr, nullptr},
      {"CQ K1 FN42", nullptr, nullptr},      // no valid callsign
      {"CQ  K1ABC FN42", nullptr, nullptr},  // two blanks make an empty word
      {"K1ABC FN42", nullptr, nullptr},
      {"", nullptr, nullptr},
  };
  for (const auto& c : cases) {
    const auto sender = SpottedSender(c.message);
    if (c.call == nullptr) {
      EXPECT_FALSE(sender) << c.message;
    } else {
      ASSERT_TRUE(sender) << c.message;
      EXPECT_EQ(sender->call, c.call);
      EXPECT_EQ(sender->grid, c.grid);
    }
  }
}

}  // namespace
}  // namespace merivac
