// DatagramSocket.h - the socket that UDP broadcasting sends through: a
// POSIX UDP socket that may send to a broadcast address. Nothing is
// received. Tests may hand the broadcaster another DatagramSocket.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace merivac {

enum class SendResult {
  Sent,
  Failed,  // this datagram did not go out (no route, buffer full ...)
  Broken,  // the socket itself is unusable
};

class DatagramSocket {
 public:
  virtual ~DatagramSocket() = default;
  // Creates the socket with broadcasting allowed; true when it is open.
  virtual bool Open() = 0;
  virtual bool IsOpen() const = 0;
  // Sends one datagram to a dotted IPv4 address and a port.
  virtual SendResult SendTo(const std::string& address, uint16_t port, std::string_view bytes) = 0;
  virtual void Close() = 0;
};

class PosixDatagramSocket final : public DatagramSocket {
 public:
  PosixDatagramSocket() = default;
  ~PosixDatagramSocket() override { Close(); }
  PosixDatagramSocket(const PosixDatagramSocket&) = delete;
  PosixDatagramSocket& operator=(const PosixDatagramSocket&) = delete;

  bool Open() override;
  bool IsOpen() const override { return fd_ >= 0; }
  SendResult SendTo(const std::string& address, uint16_t port, std::string_view bytes) override;
  void Close() override;

 private:
  int fd_ = -1;
};

}  // namespace merivac
