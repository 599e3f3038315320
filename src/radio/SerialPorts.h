// SerialPorts.h - the list of serial ports the Radio dialog offers.
//
// Linux lists its serial ports as the entries of /sys/class/tty that have a
// "device" link (ttyS0, ttyUSB0, ttyACM0 ...). Legacy 8250 entries with no
// UART behind them (their "type" attribute reads 0) are left out, so they do
// not crowd real adapters out of the 32 places.
#pragma once

#include <array>
#include <string>

namespace merivac {

constexpr int kMaxSerialPorts = 32;

// The names of the serial ports, index 0..31; entries without a port are empty.
using TPortList = std::array<std::string, kMaxSerialPorts>;

// Fills list with the ports found below sysRoot ("/sys" on a real system),
// in natural order (ttyS2 before ttyS10, ttyACM before ttyS before ttyUSB),
// at most 32 of them; the rest of the list is emptied.
void ListSerialPorts(TPortList& list, const std::string& sysRoot = "/sys");

// Orders names as people read them: runs of digits compare by value.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace merivac
