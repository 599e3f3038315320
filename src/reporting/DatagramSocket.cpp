// DatagramSocket.cpp - the POSIX UDP socket of UDP broadcasting.
#include "reporting/DatagramSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace merivac {

bool PosixDatagramSocket::Open() {
  if (fd_ >= 0) return true;
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  const int on = 1;
  if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on)) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

SendResult PosixDatagramSocket::SendTo(const std::string& address, uint16_t port,
                                       std::string_view bytes) {
  if (fd_ < 0) return SendResult::Broken;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  if (::inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) return SendResult::Failed;
  const ssize_t n = ::sendto(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                             reinterpret_cast<const sockaddr*>(&to), sizeof(to));
  if (n == static_cast<ssize_t>(bytes.size())) return SendResult::Sent;
  // Only a socket that is gone counts as an error of the socket; a missing
  // route or a full buffer loses this datagram alone.
  return (errno == EBADF || errno == ENOTSOCK) ? SendResult::Broken : SendResult::Failed;
}

void PosixDatagramSocket::Close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

}  // namespace merivac
