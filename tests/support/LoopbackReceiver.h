// LoopbackReceiver.h - a UDP socket on a loopback address that tests send
// their datagrams to (spots, broadcasts), and read back with a timeout.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace merivac::testing {

struct ReceivedDatagram {
  std::string bytes;
  uint16_t fromPort = 0;  // the sender's source port
};

class LoopbackReceiver {
 public:
  // Binds a free port on address (any address of 127.0.0.0/8).
  explicit LoopbackReceiver(const char* address = "127.0.0.1") : address_(address) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    Bind(0);
  }
  // Binds a free port from low to high, for settings that take only those
  // (the Reporting dialog's 1024..49151, where the system's own free ports
  // often lie above).
  LoopbackReceiver(const char* address, uint16_t low, uint16_t high) : address_(address) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const uint32_t span = high - low + 1u;
    const uint32_t start = static_cast<uint32_t>(::getpid()) * 7919u % span;
    for (uint32_t i = 0; i < span && port_ == 0; i += 1) {
      Bind(static_cast<uint16_t>(low + (start + i) % span));
    }
  }
  ~LoopbackReceiver() {
    if (fd_ >= 0) ::close(fd_);
  }
  LoopbackReceiver(const LoopbackReceiver&) = delete;
  LoopbackReceiver& operator=(const LoopbackReceiver&) = delete;

  bool Ok() const { return port_ != 0; }
  uint16_t Port() const { return port_; }
  const std::string& Address() const { return address_; }
  // "127.0.0.1:PORT"
  std::string HostPort() const { return address_ + ":" + std::to_string(port_); }

  // The next datagram, or nothing after timeoutMs.
  std::optional<ReceivedDatagram> Receive(int timeoutMs = 2000) {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) != 1) return std::nullopt;
    char buffer[65536];
    sockaddr_in from{};
    socklen_t len = sizeof(from);
    const ssize_t n =
        ::recvfrom(fd_, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (n < 0) return std::nullopt;
    return ReceivedDatagram{std::string(buffer, static_cast<size_t>(n)), ntohs(from.sin_port)};
  }

  // Every datagram until none has come for quietMs.
  std::vector<ReceivedDatagram> ReceiveAll(int quietMs = 300) {
    std::vector<ReceivedDatagram> all;
    while (auto d = Receive(quietMs)) all.push_back(std::move(*d));
    return all;
  }

 private:
  void Bind(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    ::inet_pton(AF_INET, address_.c_str(), &a.sin_addr);
    if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0) {
      socklen_t len = sizeof(a);
      ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
      port_ = ntohs(a.sin_port);
    }
  }

  std::string address_;
  int fd_ = -1;
  uint16_t port_ = 0;
};

}  // namespace merivac::testing
