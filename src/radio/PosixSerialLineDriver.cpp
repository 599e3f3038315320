// PosixSerialLineDriver.cpp - DTR, RTS and break of a serial port through
// the Linux terminal ioctls.
//
// The port is opened with O_NOCTTY (it never becomes the controlling
// terminal) and non-blocking (a port waiting for carrier does not hang the
// open); no termios call is made, so speed and framing stay as they are.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>

#include "radio/PttSafety.h"
#include "radio/SerialLineDriver.h"

namespace merivac {

PosixSerialLineDriver::PosixSerialLineDriver(std::string devRoot, std::string sysRoot)
    : devRoot_(std::move(devRoot)), sysRoot_(std::move(sysRoot)) {}

PosixSerialLineDriver::~PosixSerialLineDriver() { Close(); }

bool PosixSerialLineDriver::MayOpen(const std::string& path) const {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
  // A character device that sysfs knows must belong to the tty class;
  // pseudo-terminals (/dev/pts/N) have no sysfs entry and are allowed.
  const std::string entry = sysRoot_ + "/dev/char/" + std::to_string(major(st.st_rdev)) + ":" +
                            std::to_string(minor(st.st_rdev));
  std::error_code ec;
  if (!std::filesystem::exists(entry, ec)) return true;
  const auto subsystem = std::filesystem::canonical(entry + "/subsystem", ec);
  return !ec && subsystem.filename() == "tty";
}

bool PosixSerialLineDriver::Open(const std::string& name) {
  Close();
  if (name.empty()) return false;
  for (const auto& part : std::filesystem::path(name)) {
    if (part == "..") return false;
  }
  const std::string path = devRoot_ + "/" + name;
  if (!MayOpen(path)) return false;
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  if (!::isatty(fd)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  ArmPttSafety(fd_);
  return true;
}

bool PosixSerialLineDriver::Close() {
  if (fd_ < 0) return true;
  const int fd = fd_;
  fd_ = -1;
  // When the emergency release has already closed the descriptor, its
  // number may since belong to another file: do not close it again.
  if (!DisarmPttSafety(fd)) return true;
  // Whoever closes the port, its lines go idle first: a port without HUPCL
  // keeps DTR and RTS as they were after close.
  return (ReleaseSerialDescriptor(fd) & kReleasedClosed) != 0;
}

bool PosixSerialLineDriver::SetModemBits(int bits, bool asserted) {
  if (fd_ < 0) return false;
  return ::ioctl(fd_, asserted ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

bool PosixSerialLineDriver::SetDtr(bool asserted) { return SetModemBits(TIOCM_DTR, asserted); }

bool PosixSerialLineDriver::SetRts(bool asserted) { return SetModemBits(TIOCM_RTS, asserted); }

bool PosixSerialLineDriver::SetBreak(bool on) {
  if (fd_ < 0) return false;
  return ::ioctl(fd_, on ? TIOCSBRK : TIOCCBRK) == 0;
}

}  // namespace merivac
