// TestMain.cpp - the main of every test program. A QApplication exists for
// the whole run (offscreen) so that window tests can create widgets; rule
// tests simply ignore it. Spots and UDP broadcasts of a test that does not
// choose its own destination go to loopback (the discard port), never to
// the PSK Reporter collector or the network's broadcast address.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::setenv("MERIVAC_PSKREPORTER", "127.0.0.1:9", 1);
  ::setenv("MERIVAC_UDP_BROADCAST", "127.0.0.1", 1);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
