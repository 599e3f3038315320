// SerialPortsTest.cpp - ListSerialPorts over a made-up sysfs tree.
#include "radio/SerialPorts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

namespace merivac {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

class FakeSysfs {
 public:
  // A tty entry; withDevice gives it a device link (here a folder), uartType
  // writes the serial-core "type" attribute.
  void Add(const std::string& name, bool withDevice = true, int uartType = -1) {
    const fs::path entry = dir_.Path() / "class" / "tty" / name;
    fs::create_directories(entry);
    if (withDevice) fs::create_directories(entry / "device");
    if (uartType >= 0) std::ofstream(entry / "type") << uartType << "\n";
  }
  std::string Root() const { return dir_.Str(); }

 private:
  TempDir dir_;
};

std::vector<std::string> Listed(const TPortList& list) {
  std::vector<std::string> names;
  for (const auto& n : list) {
    if (!n.empty()) names.push_back(n);
  }
  return names;
}

TEST(ListSerialPorts, OnlyPortsWithADeviceInNaturalOrder) {
  FakeSysfs sys;
  for (const char* n : {"ttyUSB1", "ttyS10", "ttyS2", "ttyACM0", "ttyUSB0"}) sys.Add(n);
  sys.Add("tty0", false);      // virtual console: no device
  sys.Add("ptmx", false);
  sys.Add("ttyS3", true, 0);   // legacy port without a UART
  sys.Add("ttyS4", true, 4);   // a 16550A
  TPortList list;
  list.fill("stale");
  ListSerialPorts(list, sys.Root());
  EXPECT_EQ(Listed(list), (std::vector<std::string>{"ttyACM0", "ttyS2", "ttyS4", "ttyS10",
                                                     "ttyUSB0", "ttyUSB1"}));
  EXPECT_EQ(list[6], "");
  EXPECT_EQ(list[31], "");
}

TEST(ListSerialPorts, KeepsTheFirst32) {
  FakeSysfs sys;
  for (int i = 39; i >= 0; --i) sys.Add("ttyUSB" + std::to_string(i));
  TPortList list;
  ListSerialPorts(list, sys.Root());
  EXPECT_EQ(list[0], "ttyUSB0");
  EXPECT_EQ(list[9], "ttyUSB9");
  EXPECT_EQ(list[10], "ttyUSB10");
  EXPECT_EQ(list[31], "ttyUSB31");
}

TEST(ListSerialPorts, NoTtyClassGivesAnEmptyList) {
  TempDir dir;
  TPortList list;
  list.fill("stale");
  ListSerialPorts(list, dir.Str());
  EXPECT_TRUE(Listed(list).empty());
}

TEST(NaturalLess, DigitRunsByValue) {
  EXPECT_TRUE(NaturalLess("ttyS2", "ttyS10"));
  EXPECT_FALSE(NaturalLess("ttyS10", "ttyS2"));
  EXPECT_TRUE(NaturalLess("ttyS", "ttyS0"));
  EXPECT_TRUE(NaturalLess("ttyACM9", "ttyS0"));
  EXPECT_TRUE(NaturalLess("ttyS1", "ttyS01") != NaturalLess("ttyS01", "ttyS1"));
  EXPECT_FALSE(NaturalLess("ttyS1", "ttyS1"));
}

}  // namespace
}  // namespace merivac
