// UdpBroadcast.cpp - the datagrams, the address rule and the broadcaster.
#include "reporting/UdpBroadcast.h"

#include <arpa/inet.h>

#include <cctype>

#include "common/DebugLog.h"

namespace merivac {

namespace {

std::string PadLeft(const std::string& text, size_t width, char fill) {
  return text.size() >= width ? text : std::string(width - text.size(), fill) + text;
}

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace

bool IsValidIpText(const std::string& text) {
  if (text.size() < 7 || text.size() > 15 || text[0] == '.') return false;
  int separators = 0;
  int groupValue = 0;
  int groupDigits = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.') {
      if (i + 1 >= text.size() || !IsDigit(text[i + 1])) return false;
      ++separators;
      groupValue = 0;
      groupDigits = 0;
    } else if (IsDigit(c)) {
      groupValue = groupValue * 10 + (c - '0');
      if (++groupDigits > 3 || groupValue > 255) return false;
    } else {
      return false;
    }
  }
  return separators >= 3;
}

bool IsLoopbackAddress(const std::string& text) {
  in_addr a{};
  if (::inet_pton(AF_INET, text.c_str(), &a) != 1) return false;
  return (ntohl(a.s_addr) >> 24) == 127;
}

std::string StateDatagram(const std::string& version, char kind) {
  return "Merivac|" + version + "|" + kind + "|";
}

std::string DecodeDatagram(const std::string& version, const std::string& flags,
                           const std::string& time, const std::string& snr,
                           const std::string& frequency, const std::string& modeChar,
                           const std::string& message) {
  return StateDatagram(version, 'M') + flags + "|" + time + "|" + PadLeft(snr, 3, ' ') + "|" +
         PadLeft(frequency, 9, '0') + "|" + modeChar + "|" + message + "|";
}

UdpBroadcaster::UdpBroadcaster(DatagramSocket& socket, std::string broadcastAddress,
                               std::string version, DebugLog* log)
    : socket_(socket),
      broadcastAddress_(std::move(broadcastAddress)),
      version_(std::move(version)),
      log_(log) {}

bool UdpBroadcaster::OpenUdp(const std::string& address, int32_t port) {
  if (socket_.IsOpen()) return true;
  in_addr parsed{};
  if (port < 1 || port > 65535 || ::inet_pton(AF_INET, address.c_str(), &parsed) != 1) {
    return false;
  }
  if (!socket_.Open()) return false;
  destination_ = IsLoopbackAddress(address) ? address : broadcastAddress_;
  port_ = static_cast<uint16_t>(port);
  return true;
}

void UdpBroadcaster::CloseUdp() {
  if (socket_.IsOpen()) socket_.Close();
  udpActive_ = false;
}

void UdpBroadcaster::SendDatagram(const std::string& text) {
  if (!socket_.IsOpen() || text.empty()) return;
  if (socket_.SendTo(destination_, port_, text) == SendResult::Broken) {
    if (log_ != nullptr) log_->Write("UDP socket error: broadcasting closed");
    CloseUdp();
  }
}

void UdpBroadcaster::SendDecodeDatagram(const std::string& flags, const std::string& time,
                                        const std::string& snr, const std::string& frequency,
                                        const std::string& modeChar, const std::string& message) {
  SendDatagram(DecodeDatagram(version_, flags, time, snr, frequency, modeChar, message));
}

}  // namespace merivac
