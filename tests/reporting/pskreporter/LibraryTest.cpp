// LibraryTest.cpp - libpskreporter.so as the program loads it: its six C
// entry points with UTF-16 records, sending to a loopback receiver named by
// MERIVAC_PSKREPORTER. Nothing goes out before the interval; uninitialising
// sends what is queued; one socket serves the whole run; bad calls and
// records give non-zero results.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "reporting/pskreporter/PskReporterApi.h"
#include "support/LoopbackReceiver.h"
#include "support/PskReporterDatagram.h"

namespace merivac {
namespace {

using testing::LoopbackReceiver;
using testing::PskDatagram;

const std::string kLibraryPath = std::string(MERIVAC_BINARY_DIR) + "/lib/libpskreporter.so";

std::u16string Record(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::u16string r;
  for (const auto& [key, value] : pairs) {
    r.append(key.begin(), key.end());
    r += u'\0';
    r.append(value.begin(), value.end());
    r += u'\0';
  }
  r += u'\0';
  return r;
}

const std::u16string kLocal = Record({{"STATION_CALLSIGN", "DL1ABC"},
                                      {"MY_GRIDSQUARE", "JO62QM"},
                                      {"PROGRAMID", "Merivac"},
                                      {"PROGRAMVERSION", "0.1.0.0."}});

std::u16string Spot(const std::string& call, const std::string& freq = "475700",
                    const std::string& snr = "-15", const std::string& mode = "JT9-10") {
  return Record(
      {{"CALL", call}, {"MODE", mode}, {"FREQ", freq}, {"SNR", snr}, {"GRIDSQUARE", "FN42"}});
}

int64_t UnixNow() {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(receiver.Ok());
    ::setenv("MERIVAC_PSKREPORTER", receiver.HostPort().c_str(), 1);
    handle = ::dlopen(kLibraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << ::dlerror();
    initialize = Resolve<ReporterInitializeFn>("ReporterInitialize");
    seen = Resolve<ReporterSeenCallsignFn>("ReporterSeenCallsign");
    tickle = Resolve<ReporterTickleFn>("ReporterTickle");
    uninitialize = Resolve<ReporterUninitializeFn>("ReporterUninitialize");
    information = Resolve<ReporterGetInformationFn>("ReporterGetInformation");
    statistics = Resolve<ReporterGetStatisticsFn>("ReporterGetStatistics");
  }
  void TearDown() override {
    if (uninitialize != nullptr) uninitialize();
    if (handle != nullptr) ::dlclose(handle);
    ::setenv("MERIVAC_PSKREPORTER", "127.0.0.1:9", 1);
  }
  template <typename F>
  F Resolve(const char* name) {
    auto f = reinterpret_cast<F>(::dlsym(handle, name));
    EXPECT_NE(f, nullptr) << name;
    return f;
  }
  std::vector<PskDatagram> ReadAll(std::set<uint16_t>* sourcePorts = nullptr) {
    std::vector<PskDatagram> out;
    for (const auto& d : receiver.ReceiveAll()) {
      PskDatagram p;
      std::string error;
      EXPECT_TRUE(testing::ReadPskDatagram(collector, d.bytes, p, error)) << error;
      EXPECT_LT(d.bytes.size(), 1400u);
      if (sourcePorts != nullptr) sourcePorts->insert(d.fromPort);
      out.push_back(p);
    }
    return out;
  }

  LoopbackReceiver receiver;
  testing::ipfix::Collector collector;
  void* handle = nullptr;
  ReporterInitializeFn initialize = nullptr;
  ReporterSeenCallsignFn seen = nullptr;
  ReporterTickleFn tickle = nullptr;
  ReporterUninitializeFn uninitialize = nullptr;
  ReporterGetInformationFn information = nullptr;
  ReporterGetStatisticsFn statistics = nullptr;
};

TEST_F(LibraryTest, UninitializeSendsWhatIsQueued) {
  ASSERT_EQ(initialize(nullptr, nullptr), 0);
  const int64_t before = UnixNow();
  ASSERT_EQ(seen(Spot("K1ABC").c_str(), kLocal.c_str(), 1), 0);
  ASSERT_EQ(tickle(), 0);
  EXPECT_FALSE(receiver.Receive(300)) << "nothing before the interval";

  ASSERT_EQ(uninitialize(), 0);
  const std::vector<PskDatagram> got = ReadAll();
  ASSERT_EQ(got.size(), 1u);
  const PskDatagram& d = got[0];
  EXPECT_TRUE(d.hasTemplates);
  EXPECT_EQ(d.receiverCall, "DL1ABC");
  EXPECT_EQ(d.receiverLocator, "JO62QM");
  EXPECT_EQ(d.software, "Merivac 0.1.0.0.");
  ASSERT_EQ(d.heard.size(), 1u);
  const testing::HeardStation& h = d.heard[0];
  EXPECT_EQ(h.call, "K1ABC");
  EXPECT_EQ(h.frequency, 475700u);
  EXPECT_EQ(h.snr, -15);
  EXPECT_EQ(h.mode, "JT9-10");
  EXPECT_EQ(h.locator, "FN42");
  EXPECT_EQ(h.source, 1u);
  EXPECT_GE(static_cast<int64_t>(h.time), before);
  EXPECT_LE(static_cast<int64_t>(h.time), UnixNow());
  EXPECT_EQ(d.message.sequence, 0u);
  EXPECT_NE(tickle(), 0) << "no longer initialised";
}

TEST_F(LibraryTest, TimeOfARecordingAndExplicitDestination) {
  LoopbackReceiver other;
  const std::u16string port = [&] {
    const std::string p = std::to_string(other.Port());
    return std::u16string(p.begin(), p.end());
  }();
  ASSERT_EQ(initialize(u"127.0.0.1", port.c_str()), 0) << "arguments win over the environment";
  const std::u16string spot = Record({{"CALL", "W9XYZ"},
                                      {"MODE", "JT9"},
                                      {"FREQ", "137500"},
                                      {"SNR", "3"},
                                      {"GRIDSQUARE", "EN37"},
                                      {"TIME", "1781000040"}});
  ASSERT_EQ(seen(spot.c_str(), kLocal.c_str(), 1), 0);
  ASSERT_EQ(uninitialize(), 0);
  EXPECT_FALSE(receiver.Receive(200));
  const auto datagram = other.Receive();
  ASSERT_TRUE(datagram);
  PskDatagram d;
  std::string error;
  ASSERT_TRUE(testing::ReadPskDatagram(collector, datagram->bytes, d, error)) << error;
  ASSERT_EQ(d.heard.size(), 1u);
  EXPECT_EQ(d.heard[0].time, 1781000040u);
  EXPECT_EQ(d.heard[0].snr, 3);
}

TEST_F(LibraryTest, OneSocketForTheRunAndFullDatagramsAtTheTickle) {
  ASSERT_EQ(initialize(nullptr, nullptr), 0);
  for (int i = 0; i < 120; ++i) {
    ASSERT_EQ(seen(Spot("K" + std::to_string(i) + "ABC").c_str(), kLocal.c_str(), 1), 0);
  }
  EXPECT_FALSE(receiver.Receive(200)) << "queueing sends nothing";
  ASSERT_EQ(tickle(), 0);
  std::set<uint16_t> ports;
  const size_t early = ReadAll(&ports).size();
  EXPECT_EQ(early, 2u) << "two full datagrams; the rest waits";
  ASSERT_EQ(uninitialize(), 0);
  const std::vector<PskDatagram> rest = ReadAll(&ports);
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(ports.size(), 1u) << "every datagram from the same source port";
}

TEST_F(LibraryTest, BadCallsAndRecordsAreRefused) {
  EXPECT_NE(seen(Spot("K1ABC").c_str(), kLocal.c_str(), 1), 0) << "before initialisation";
  EXPECT_NE(tickle(), 0);
  EXPECT_NE(uninitialize(), 0);
  ASSERT_EQ(initialize(nullptr, nullptr), 0);
  const std::u16string noCall =
      Record({{"MODE", "JT9"}, {"FREQ", "475700"}, {"SNR", "-1"}, {"GRIDSQUARE", "FN42"}});
  const std::u16string badFreq = Spot("K1ABC", "475.7k");
  const std::u16string badSnr = Spot("K1ABC", "475700", "weak");
  const std::u16string emptyMode = Spot("K1ABC", "475700", "-1", "");
  const std::u16string good = Spot("K1ABC");
  const std::u16string noStation = Record({{"MY_GRIDSQUARE", "JO62"}});
  const struct {
    const char* what;
    const char16_t* remote;
    const char16_t* local;
  } cases[] = {
      {"no CALL", noCall.c_str(), kLocal.c_str()},
      {"FREQ not a number", badFreq.c_str(), kLocal.c_str()},
      {"SNR not a number", badSnr.c_str(), kLocal.c_str()},
      {"empty MODE", emptyMode.c_str(), kLocal.c_str()},
      {"no station callsign", good.c_str(), noStation.c_str()},
      {"null remote", nullptr, kLocal.c_str()},
      {"null local", good.c_str(), nullptr},
  };
  for (const auto& c : cases) EXPECT_NE(seen(c.remote, c.local, 1), 0) << c.what;
  ASSERT_EQ(uninitialize(), 0);
  EXPECT_FALSE(receiver.Receive(200)) << "nothing was queued";
}

TEST_F(LibraryTest, InformationAndStatistics) {
  char16_t buffer[256];
  ASSERT_EQ(information(buffer, 256), 0);
  EXPECT_NE(std::u16string(buffer).find(u"not initialised"), std::u16string::npos);
  ASSERT_EQ(initialize(nullptr, nullptr), 0);
  ASSERT_EQ(information(buffer, 256), 0);
  const std::string hostPort = receiver.HostPort();
  EXPECT_NE(std::u16string(buffer).find(std::u16string(hostPort.begin(), hostPort.end())),
            std::u16string::npos);
  ASSERT_EQ(seen(Spot("K1ABC").c_str(), kLocal.c_str(), 1), 0);
  ASSERT_EQ(seen(Spot("K1ABC").c_str(), kLocal.c_str(), 1), 0) << "a repeat is no error";
  ASSERT_EQ(statistics(buffer, 256), 0);
  EXPECT_EQ(std::u16string(buffer).substr(0, 33), u"1 spots queued, 1 repeats dropped");
  EXPECT_NE(statistics(buffer, 10), 0) << "too small a buffer";
  EXPECT_NE(information(nullptr, 256), 0);
}

TEST_F(LibraryTest, UnusableDestinationFailsTheInitialisation) {
  for (const char* destination : {"no-port-here", ":4739", "127.0.0.1:", "127.0.0.1:notaport"}) {
    ::setenv("MERIVAC_PSKREPORTER", destination, 1);
    EXPECT_NE(initialize(nullptr, nullptr), 0) << destination;
  }
}

}  // namespace
}  // namespace merivac
