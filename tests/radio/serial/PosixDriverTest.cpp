// PosixDriverTest.cpp - the real line driver's failure paths: a device that
// does not exist, devices that are not terminals, and a pseudo-terminal,
// which opens but has no modem lines. No real serial port is touched.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "SerialFakes.h"
#include "radio/PttSafety.h"
#include "radio/RadioControl.h"
#include "radio/SerialLineDriver.h"

namespace merivac {
namespace {

using testing::RecordingUi;
using testing::ShownDialog;
using testing::TempDir;
using testing::TestLog;

// A pseudo-terminal pair; Name() is the slave's name below /dev ("pts/N").
class Pty {
 public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
      const char* path = ptsname(master_);
      if (path != nullptr) name_ = std::filesystem::path(path).lexically_relative("/dev").string();
    }
  }
  ~Pty() {
    if (master_ >= 0) close(master_);
  }
  bool Ok() const { return !name_.empty(); }
  const std::string& Name() const { return name_; }

 private:
  int master_ = -1;
  std::string name_;
};

bool IsOpenDescriptor(int fd) { return fcntl(fd, F_GETFD) != -1; }

TEST(PosixSerialLineDriver, RefusesWhatIsNotAnExistingTerminal) {
  TempDir dir;
  std::ofstream(dir.Path() / "ttyFILE") << "not a device";
  PosixSerialLineDriver inDev;
  PosixSerialLineDriver inTemp(dir.Str());
  EXPECT_FALSE(inDev.Open("ttyDOESNOTEXIST"));
  EXPECT_FALSE(inDev.Open(""));
  EXPECT_FALSE(inDev.Open("null"));           // a character device of another class
  EXPECT_FALSE(inDev.Open("../dev/null"));    // no way out of the device folder
  EXPECT_FALSE(inTemp.Open("ttyFILE"));       // a regular file
  EXPECT_FALSE(inDev.IsOpen());
  EXPECT_EQ(ArmedPttDescriptor(), -1);
  // Every line change fails without a port.
  EXPECT_FALSE(inDev.SetDtr(true));
  EXPECT_FALSE(inDev.SetRts(false));
  EXPECT_FALSE(inDev.SetBreak(true));
  EXPECT_TRUE(inDev.Close());
}

TEST(PosixSerialLineDriver, PseudoTerminalOpensButRefusesModemLines) {
  Pty pty;
  ASSERT_TRUE(pty.Ok());
  PosixSerialLineDriver driver;
  ASSERT_TRUE(driver.Open(pty.Name()));
  const int fd = driver.Descriptor();
  EXPECT_EQ(ArmedPttDescriptor(), fd);
  EXPECT_FALSE(driver.SetDtr(true));
  EXPECT_FALSE(driver.SetRts(false));
  EXPECT_TRUE(driver.Close());
  EXPECT_FALSE(IsOpenDescriptor(fd));
  EXPECT_EQ(ArmedPttDescriptor(), -1);
}

TEST(PosixSerialLineDriver, InitOnMissingPortOrPtyFallsBackToVox) {
  Pty pty;
  ASSERT_TRUE(pty.Ok());
  for (const std::string& port : {std::string("ttyDOESNOTEXIST"), pty.Name()}) {
    SCOPED_TRACE(port);
    Settings settings;
    settings.port = port;
    settings.pttMethod = 2;
    settings.alertLine = 1;
    PosixSerialLineDriver driver;
    RecordingUi ui;
    TestLog log;
    RadioControl radio(settings, driver, ui, log.Log());
    EXPECT_FALSE(radio.InitSerialPort());
    EXPECT_EQ(ui.dialogs, (std::vector<ShownDialog>{
                              {"Failed to access " + port + ", VOX enabled", NoticeKind::Error}}));
    EXPECT_EQ(settings.port, "");
    EXPECT_EQ(settings.pttMethod, 0);
    EXPECT_EQ(settings.alertLine, 1);
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(ArmedPttDescriptor(), -1);
    // Now without a port: the WARNING, still VOX.
    EXPECT_FALSE(radio.InitSerialPort());
    ASSERT_EQ(ui.dialogs.size(), 2u);
    EXPECT_EQ(ui.dialogs[1],
              (ShownDialog{"No serial port selected, VOX enabled", NoticeKind::Warning}));
  }
}

}  // namespace
}  // namespace merivac
