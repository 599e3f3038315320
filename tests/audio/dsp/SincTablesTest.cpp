// SincTablesTest.cpp - the resampler tables' parameters and landmarks.
#include <gtest/gtest.h>

#include <numeric>

#include "audio/SincTables.h"

namespace merivac {
namespace {

TEST(SincTables, ParametersAndLandmarks) {
  SincTables tables;
  EXPECT_FALSE(tables.Built());
  BuildSincTables(tables);
  ASSERT_TRUE(tables.Built());
  const auto& a = tables.table920;
  EXPECT_EQ(a.lastRow, 8);
  EXPECT_EQ(a.lastTap, 39);
  EXPECT_EQ(a.offset, 19);
  EXPECT_EQ(a.step, 20);
  EXPECT_DOUBLE_EQ(static_cast<double>(a.gain), 0.468);
  EXPECT_EQ(a.rows[0][11], 1.0L);
  EXPECT_EQ(a.rows[0][23], 0.0L);  // beyond 11 taps of the centre
  EXPECT_NE(a.rows[0][22], 0.0L);
  const auto& b = tables.table38;
  EXPECT_EQ(b.lastRow, 2);
  EXPECT_EQ(b.lastTap, 31);
  EXPECT_EQ(b.offset, 16);
  EXPECT_EQ(b.step, 8);
  EXPECT_DOUBLE_EQ(static_cast<double>(b.gain), 0.353);
  EXPECT_EQ(b.rows[0][13], 1.0L);
  EXPECT_EQ(b.rows[2][4], 0.0L);  // row 2 centres at 18.33: taps 5..31
  EXPECT_NE(b.rows[2][5], 0.0L);
  // Each stage has about unit gain; Fir112 has none applied (sum ~ 11.994).
  for (const auto& row : a.rows) {
    EXPECT_NEAR(static_cast<double>(a.gain * std::accumulate(row.begin(), row.end(), 0.0L)), 1.0,
                0.05);
  }
  for (const auto& row : b.rows) {
    EXPECT_NEAR(static_cast<double>(b.gain * std::accumulate(row.begin(), row.end(), 0.0L)), 1.0,
                0.1);
  }
  const auto& f = Fir112();
  EXPECT_NEAR(static_cast<double>(std::accumulate(f.begin(), f.end(), 0.0L)), 11.994, 0.001);
  EXPECT_EQ(f[0], 0.0L);
  EXPECT_EQ(f[120], 0.0L);
  EXPECT_EQ(f[60], 1.0L);
}

}  // namespace
}  // namespace merivac
