// SerialLineDriver.h - the two modem-control output lines (DTR, RTS) and the
// break state of one serial port, and nothing else.
//
// The program keys the transmitter and drives the alert output through these
// lines; it never sends or receives data and leaves the line settings (speed,
// framing) as they are. The rules in RadioControl talk to this interface only,
// so tests run them against a fake and never key real hardware.
#pragma once

#include <string>

namespace merivac {

class SerialLineDriver {
 public:
  virtual ~SerialLineDriver() = default;
  // Opens the port by its listed name (e.g. "ttyUSB0"); a port already open
  // is closed first. True when the port is open afterwards.
  virtual bool Open(const std::string& name) = 0;
  // Closes the port; true also when nothing was open, false when closing
  // failed. The real driver clears DTR, RTS and the break state first.
  virtual bool Close() = 0;
  virtual bool IsOpen() const = 0;
  // Each returns false when no port is open or the system refuses the change.
  virtual bool SetDtr(bool asserted) = 0;
  virtual bool SetRts(bool asserted) = 0;
  virtual bool SetBreak(bool on) = 0;
};

// The real driver: /dev/NAME opened with open(O_RDWR | O_NOCTTY | O_NONBLOCK)
// and switched with ioctl TIOCMBIS/TIOCMBIC and TIOCSBRK/TIOCCBRK.
//
// Only terminal devices are opened: a name with a ".." part, a path that is
// not a character device, or a device that sysfs files under another class
// than tty is refused before open(), because merely opening some devices
// (a hardware watchdog, for one) has effects of its own. The open descriptor
// is registered with the PTT safety release (PttSafety.h), so that a signal
// or a fatal error drops the lines before the process ends. Only one port is
// open at a time in the program, so only one driver should be open at once.
class PosixSerialLineDriver final : public SerialLineDriver {
 public:
  explicit PosixSerialLineDriver(std::string devRoot = "/dev", std::string sysRoot = "/sys");
  ~PosixSerialLineDriver() override;
  PosixSerialLineDriver(const PosixSerialLineDriver&) = delete;
  PosixSerialLineDriver& operator=(const PosixSerialLineDriver&) = delete;

  bool Open(const std::string& name) override;
  bool Close() override;
  bool IsOpen() const override { return fd_ >= 0; }
  bool SetDtr(bool asserted) override;
  bool SetRts(bool asserted) override;
  bool SetBreak(bool on) override;

  int Descriptor() const { return fd_; }

 private:
  bool MayOpen(const std::string& path) const;
  bool SetModemBits(int bits, bool asserted);

  std::string devRoot_;
  std::string sysRoot_;
  int fd_ = -1;
};

}  // namespace merivac
