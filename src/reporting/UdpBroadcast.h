// UdpBroadcast.h - decodes and the program's state as short UDP text
// datagrams for programs on the station's network or PC.
//
// Every datagram is "Merivac|" + version + "|" + kind + "|" and, for a
// decode, six fields each followed by '|':
//   open "O" when broadcasting starts, close "C" before it stops,
//   heartbeat "H" about every ten seconds, message "M" per decode with the
//   alert flags, the time "hhnn", the SNR (padded with spaces to three
//   characters), the radio frequency in Hz (padded with '0' to nine
//   digits), the mode mark and the message text.
// Nothing is received.
//
// Where they go: a loopback address (127.0.0.0/8) set by the operator gets
// the datagrams itself, on the set port; any other address stands for the
// limited broadcast, which goes to the broadcast address given to the
// broadcaster (255.255.255.255 in the program). A station PC without a
// network thus still reaches the programs on it, and the default address
// 127.0.0.1 no longer sprays the LAN. Address and port are taken when
// broadcasting opens; edits take effect after it was closed and opened again.
#pragma once

#include <cstdint>
#include <string>

#include "reporting/DatagramSocket.h"

namespace merivac {

class DebugLog;

constexpr const char* kLimitedBroadcast = "255.255.255.255";

// The address rule of the Reporting dialog: 7 to 15 characters of digits
// and dots, not starting with a dot, every dot followed by a digit, groups
// of at most three digits up to 255, at least three dots.
bool IsValidIpText(const std::string& text);

// A dotted IPv4 address in 127.0.0.0/8.
bool IsLoopbackAddress(const std::string& text);

// "Merivac|" + version + "|" + kind + "|".
std::string StateDatagram(const std::string& version, char kind);
// The message datagram of one decode.
std::string DecodeDatagram(const std::string& version, const std::string& flags,
                           const std::string& time, const std::string& snr,
                           const std::string& frequency, const std::string& modeChar,
                           const std::string& message);

class UdpBroadcaster {
 public:
  // broadcastAddress: where datagrams for a non-loopback address go.
  UdpBroadcaster(DatagramSocket& socket, std::string broadcastAddress, std::string version,
                 DebugLog* log = nullptr);

  // Opens the socket for address and port unless it is open; true when it is.
  // False for an address that is no IPv4 address, a port outside 1..65535,
  // or a socket that cannot be made.
  bool OpenUdp(const std::string& address, int32_t port);
  // Closes the socket when open; UdpActive is cleared.
  void CloseUdp();
  bool Connected() const { return socket_.IsOpen(); }

  // Sends a text that is not empty while the socket is open. A socket that
  // turns out to be unusable is closed, which stops broadcasting.
  void SendDatagram(const std::string& text);
  void SendDecodeDatagram(const std::string& flags, const std::string& time, const std::string& snr,
                          const std::string& frequency, const std::string& modeChar,
                          const std::string& message);
  void SendOpen() { SendDatagram(StateDatagram(version_, 'O')); }
  void SendClose() { SendDatagram(StateDatagram(version_, 'C')); }
  void SendHeartbeat() { SendDatagram(StateDatagram(version_, 'H')); }

  // UdpActive: decode and heartbeat datagrams are sent.
  bool UdpActive() const { return udpActive_; }
  void SetUdpActive(bool active) { udpActive_ = active; }
  double LastHeartbeat() const { return lastHeartbeat_; }
  void SetLastHeartbeat(double t) { lastHeartbeat_ = t; }

  // Where the datagrams go while open.
  const std::string& DestinationAddress() const { return destination_; }
  uint16_t DestinationPort() const { return port_; }

 private:
  DatagramSocket& socket_;
  std::string broadcastAddress_;
  std::string version_;
  DebugLog* log_;
  bool udpActive_ = false;
  double lastHeartbeat_ = 0;
  std::string destination_;
  uint16_t port_ = 0;
};

}  // namespace merivac
