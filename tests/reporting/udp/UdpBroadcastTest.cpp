// UdpBroadcastTest.cpp - the UDP datagrams and where they go: the texts
// with their padding, the dialog's address rule, a loopback address that
// gets the datagrams itself while any other address stands for the
// broadcast address (here a second loopback address), address and port
// fixed while open, no empty datagram, and a broken socket that closes.
#include <gtest/gtest.h>

#include <string>

#include "reporting/UdpBroadcast.h"
#include "support/LoopbackReceiver.h"

namespace merivac {
namespace {

using testing::LoopbackReceiver;

constexpr const char* kVersion = "0.1.0.0.";

TEST(UdpDatagramTest, StateDatagrams) {
  EXPECT_EQ(StateDatagram(kVersion, 'O'), "Merivac|0.1.0.0.|O|");
  EXPECT_EQ(StateDatagram(kVersion, 'C'), "Merivac|0.1.0.0.|C|");
  EXPECT_EQ(StateDatagram(kVersion, 'H'), "Merivac|0.1.0.0.|H|");
}

TEST(UdpDatagramTest, DecodeDatagramPadsSnrAndFrequency) {
  const struct {
    const char* snr;
    const char* freq;
    const char* snrField;
    const char* freqField;
  } cases[] = {
      {"-7", "475700", " -7", "000475700"},       {"12", "475700", " 12", "000475700"},
      {"-15", "137512", "-15", "000137512"},      {"5", "1838000", "  5", "001838000"},
      {"-25", "1296000000", "-25", "1296000000"},  // ten digits stay ten
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeDatagram(kVersion, "oxooooo", "1228", c.snr, c.freq, "X", "CQ K1ABC FN42"),
              std::string("Merivac|0.1.0.0.|M|oxooooo|1228|") + c.snrField + "|" + c.freqField +
                  "|X|CQ K1ABC FN42|")
        << c.snr << " " << c.freq;
  }
}

TEST(UdpDatagramTest, IpTextRule) {
  const struct {
    const char* text;
    bool valid;
  } cases[] = {
      {"127.0.0.1", true},
      {"192.168.1.255", true},
      {"1.2.3.4", true},
      {"1.2.3.4.5", true},
      {"255.255.255.255", true},
      {"0.0.0.0", true},
      {"1.2.3", false},       // too short
      {"1..2.3.4", false},    // empty group
      {".1.2.3.4", false},    // leading dot
      {"1.2.3.4.", false},    // trailing dot
      {"256.1.1.1", false},   // group above 255
      {"1.2.3.0004", false},  // four digits in a group
      {"1.2.3.4a", false},
      {"1.2.3 .4", false},
      {"", false},
      {"1234.1.1.1.1", false},      // four digits in a group
      {"100.100.100.1000", false},  // 16 characters
      {"10.0.0", false},            // two dots
      {"10.0.0.1234", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidIpText(c.text), c.valid) << c.text;
}

TEST(UdpDatagramTest, LoopbackAddresses) {
  EXPECT_TRUE(IsLoopbackAddress("127.0.0.1"));
  EXPECT_TRUE(IsLoopbackAddress("127.10.20.30"));
  EXPECT_FALSE(IsLoopbackAddress("128.0.0.1"));
  EXPECT_FALSE(IsLoopbackAddress("192.168.1.255"));
  EXPECT_FALSE(IsLoopbackAddress("1.2.3.4.5"));
  EXPECT_FALSE(IsLoopbackAddress(""));
}

// The broadcast address is a parameter: here 127.0.0.2, so that nothing
// leaves the machine.
class UdpBroadcasterTest : public ::testing::Test {
 protected:
  PosixDatagramSocket socket;
  UdpBroadcaster udp{socket, "127.0.0.2", kVersion};
  LoopbackReceiver configured{"127.0.0.1"};
  LoopbackReceiver broadcast{"127.0.0.2"};
};

TEST_F(UdpBroadcasterTest, LoopbackAddressGetsTheDatagramsItself) {
  ASSERT_TRUE(configured.Ok());
  ASSERT_TRUE(udp.OpenUdp("127.0.0.1", configured.Port()));
  EXPECT_EQ(udp.DestinationAddress(), "127.0.0.1");
  udp.SendOpen();
  const auto got = configured.Receive();
  ASSERT_TRUE(got);
  EXPECT_EQ(got->bytes, "Merivac|0.1.0.0.|O|");
}

TEST_F(UdpBroadcasterTest, AnyOtherAddressMeansTheBroadcastAddress) {
  ASSERT_TRUE(broadcast.Ok());
  for (const char* address : {"192.168.1.255", "10.1.2.3", "255.255.255.255"}) {
    ASSERT_TRUE(udp.OpenUdp(address, broadcast.Port())) << address;
    EXPECT_EQ(udp.DestinationAddress(), "127.0.0.2") << address;
    udp.SendDecodeDatagram("ooooooo", "1200", "-7", "475700", "1", "CQ K1ABC FN42");
    const auto got = broadcast.Receive();
    ASSERT_TRUE(got) << address;
    EXPECT_EQ(got->bytes, "Merivac|0.1.0.0.|M|ooooooo|1200| -7|000475700|1|CQ K1ABC FN42|");
    udp.CloseUdp();
  }
}

TEST_F(UdpBroadcasterTest, UnusableAddressOrPortDoesNotOpen) {
  for (const auto& [address, port] : std::initializer_list<std::pair<const char*, int>>{
           {"", 2239}, {"1.2.3.4.5", 2239}, {"127.0.0.1", 0}, {"127.0.0.1", 70000}}) {
    EXPECT_FALSE(udp.OpenUdp(address, port)) << address << ":" << port;
    EXPECT_FALSE(udp.Connected());
  }
}

TEST_F(UdpBroadcasterTest, OpenKeepsItsAddressAndPortUntilClosed) {
  LoopbackReceiver second{"127.0.0.1"};
  ASSERT_TRUE(udp.OpenUdp("127.0.0.1", configured.Port()));
  EXPECT_TRUE(udp.OpenUdp("127.0.0.1", second.Port()));  // already open: unchanged
  udp.SendHeartbeat();
  EXPECT_TRUE(configured.Receive(1000));
  EXPECT_FALSE(second.Receive(100));
  udp.CloseUdp();
  ASSERT_TRUE(udp.OpenUdp("127.0.0.1", second.Port()));
  udp.SendHeartbeat();
  EXPECT_TRUE(second.Receive(1000));
}

TEST_F(UdpBroadcasterTest, NothingEmptyAndNothingWhileClosed) {
  ASSERT_TRUE(udp.OpenUdp("127.0.0.1", configured.Port()));
  udp.SendDatagram("");
  EXPECT_FALSE(configured.Receive(100));
  udp.SetUdpActive(true);
  udp.CloseUdp();
  EXPECT_FALSE(udp.UdpActive());
  udp.SendHeartbeat();
  EXPECT_FALSE(configured.Receive(100));
}

TEST(UdpBrokenSocketTest, ABrokenSocketClosesBroadcasting) {
  struct BrokenSocket final : DatagramSocket {
    bool Open() override { return open = true; }
    bool IsOpen() const override { return open; }
    SendResult SendTo(const std::string&, uint16_t, std::string_view) override {
      ++sends;
      return result;
    }
    void Close() override { open = false; }
    bool open = false;
    int sends = 0;
    SendResult result = SendResult::Failed;
  } socket;
  UdpBroadcaster udp(socket, "127.0.0.2", kVersion);
  ASSERT_TRUE(udp.OpenUdp("127.0.0.1", 2239));
  udp.SetUdpActive(true);
  udp.SendHeartbeat();  // a lost datagram alone changes nothing
  EXPECT_TRUE(udp.UdpActive());
  socket.result = SendResult::Broken;
  udp.SendHeartbeat();
  EXPECT_FALSE(udp.UdpActive());
  EXPECT_FALSE(udp.Connected());
  udp.SendHeartbeat();
  EXPECT_EQ(socket.sends, 2);
}

}  // namespace
}  // namespace merivac
