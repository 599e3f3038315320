#include "common/DebugLog.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::ReadFile;
using testing::TempDir;

TEST(DebugLog, WritesStampedFlushedEntriesOnlyWhenEnabled) {
  TempDir dir;
  ManualClock clock(EncodeDateTime(2026, 12, 9, 20, 1, 10, 123));
  bool enabled = false;
  DebugLog log(clock, enabled);
  const auto path = dir.Path() / "debug.txt";
  ASSERT_TRUE(log.Open(path.string()));
  log.Write("not written");
  EXPECT_EQ(ReadFile(path), "");
  enabled = true;
  log.Write("Spectrum view window opened");
  EXPECT_EQ(ReadFile(path), "26-12-09 20:01:10:123 : Spectrum view window opened\r\n");
}

TEST(DebugLog, RestartsOnlyAtALimitedEntryPastTheLimit) {
  TempDir dir;
  ManualClock clock;
  bool enabled = true;
  DebugLog log(clock, enabled);
  const auto path = dir.Path() / "debug.txt";
  ASSERT_TRUE(log.Open(path.string()));
  for (int i = 0; i < 201; ++i) log.Write("entry");
  // The 201st entry has no limit: the file keeps growing.
  EXPECT_EQ(log.EntriesSinceStart(), 201);
  log.Write("New cycle started", 200);
  const std::string text = ReadFile(path);
  EXPECT_EQ(text.find("entry"), std::string::npos);
  EXPECT_NE(text.find(" : New cycle started\r\n"), std::string::npos);
  EXPECT_EQ(log.EntriesSinceStart(), 0);
}

TEST(DebugLog, LimitedEntryBelowTheLimitDoesNotRestart) {
  TempDir dir;
  ManualClock clock;
  bool enabled = true;
  DebugLog log(clock, enabled);
  const auto path = dir.Path() / "debug.txt";
  ASSERT_TRUE(log.Open(path.string()));
  for (int i = 0; i < 199; ++i) log.Write("entry");
  log.Write("New cycle started", 200);
  EXPECT_NE(ReadFile(path).find("entry"), std::string::npos);
}

}  // namespace
}  // namespace merivac
