#include "common/DateTime.h"

#include <gtest/gtest.h>

namespace merivac {
namespace {

TEST(DateTime, EpochAndKnownDays) {
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime(1970, 1, 1), 25569.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime(2026, 12, 9, 12), 46365.5);
}

TEST(DateTime, RoundTripsToTheMillisecond) {
  const double t = EncodeDateTime(2026, 12, 9, 19, 40, 59, 999);
  const CivilTime c = DecodeDateTime(t);
  EXPECT_EQ(c.year, 2026);
  EXPECT_EQ(c.month, 12);
  EXPECT_EQ(c.day, 9);
  EXPECT_EQ(c.hour, 19);
  EXPECT_EQ(c.minute, 40);
  EXPECT_EQ(c.second, 59);
  EXPECT_EQ(c.msec, 999);
}

TEST(DateTime, Formats) {
  const double t = EncodeDateTime(2026, 12, 9, 20, 1, 10, 123);
  EXPECT_EQ(FormatDateTime("yy-mm-dd hh:nn:ss:zzz", t), "26-12-09 20:01:10:123");
  EXPECT_EQ(FormatDateTime("yymmdd_hhnn", EncodeDateTime(2026, 12, 9, 19, 40)), "261209_1940");
  EXPECT_EQ(FormatDateTime("yyyy mmm dd", t), "2026 Dec 09");
  EXPECT_EQ(FormatDateTime("hhnn", t), "2001");
}

TEST(DateTime, JustBeforeMidnightDoesNotRollOver) {
  const double t = EncodeDateTime(2026, 12, 31, 23, 59, 59, 900);
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", t), "2026-12-31 23:59:59");
}

}  // namespace
}  // namespace merivac
