// ProgramFolderTest.cpp - the program folder's sub-folders and log files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/Clock.h"
#include "shell/ProgramFolder.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;

TEST(ProgramFolder, CreatesFoldersAndLogFiles) {
  TempDir dir;
  ManualClock clock;
  bool enabled = true;
  DebugLog log(clock, enabled);
  ProgramFolder folder;
  ASSERT_TRUE(folder.Setup(log, dir.Str())) << folder.Error();
  EXPECT_EQ(folder.Path(), fs::canonical(dir.Path()).string());
  EXPECT_TRUE(fs::is_directory(dir.Path() / "save"));
  EXPECT_TRUE(fs::is_directory(dir.Path() / "extra"));
  EXPECT_TRUE(fs::exists(dir.Path() / "extra/decoded.txt"));
  EXPECT_TRUE(fs::exists(dir.Path() / "extra/debug.txt"));
  ASSERT_NE(folder.DecodedFile(), nullptr);
  log.Write("hello");
  EXPECT_NE(ReadFile(dir.Path() / "extra/debug.txt").find(" : hello\r\n"), std::string::npos);
}

TEST(ProgramFolder, AppendsToDecodedAndEmptiesDebug) {
  TempDir dir;
  fs::create_directories(dir.Path() / "extra");
  std::ofstream(dir.Path() / "extra/decoded.txt") << "old decode\r\n";
  std::ofstream(dir.Path() / "extra/debug.txt") << "old entry\r\n";
  ManualClock clock;
  bool enabled = false;
  DebugLog log(clock, enabled);
  ProgramFolder folder;
  ASSERT_TRUE(folder.Setup(log, dir.Str()));
  std::fputs("new decode\r\n", folder.DecodedFile());
  folder.Close();
  EXPECT_EQ(ReadFile(dir.Path() / "extra/decoded.txt"), "old decode\r\nnew decode\r\n");
  EXPECT_EQ(ReadFile(dir.Path() / "extra/debug.txt"), "");
}

TEST(ProgramFolder, FailureIsReportedNotFatal) {
  TempDir dir;
  // A file where the extra folder should be: neither folder nor log files work.
  std::ofstream(dir.Path() / "extra") << "in the way";
  ManualClock clock;
  bool enabled = true;
  DebugLog log(clock, enabled);
  ProgramFolder folder;
  EXPECT_FALSE(folder.Setup(log, dir.Str()));
  EXPECT_NE(folder.Error().find("extra"), std::string::npos);
  EXPECT_NE(folder.Error().find("debug"), std::string::npos);
  EXPECT_EQ(folder.DecodedFile(), nullptr);
  EXPECT_TRUE(fs::is_directory(dir.Path() / "save"));
  log.Write("lost");  // no file: the entry is lost, nothing breaks
}

}  // namespace
}  // namespace merivac
