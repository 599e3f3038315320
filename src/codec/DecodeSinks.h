// DecodeSinks.h - where an accepted decode goes beyond the two windows and
// the decoded-messages file: the alert check, the alert output line, UDP
// broadcasting and PSK Reporter spotting.
//
// Each belongs to another subsystem; the composition root hands the decoder
// bridge an implementation that forwards to them. The defaults do nothing:
// no alert ("ooooooo"), no alert line, broadcasting and spotting inactive.
#pragma once

#include <string>

namespace merivac {

constexpr const char* kNoAlertFlags = "ooooooo";

class DecodeSinks {
 public:
  virtual ~DecodeSinks() = default;
  // Seven 'o'/'x' flags for a message; "ooooooo" means nothing to signal.
  virtual std::string CheckAlerts(const std::string& msgText) {
    (void)msgText;
    return kNoAlertFlags;
  }
  // Switches the configured alert output line on.
  virtual void SwitchAlertLineOn() {}
  virtual bool UdpActive() const { return false; }
  // One decode datagram; all values as text, as the datagram carries them.
  virtual void BroadcastDecode(const std::string& flags, const std::string& hhnn,
                               const std::string& snr, const std::string& msgText,
                               const std::string& modeChar, const std::string& rfFreq) {
    (void)flags, (void)hhnn, (void)snr, (void)msgText, (void)modeChar, (void)rfFreq;
  }
  virtual bool PskActive() const { return false; }
  // One spot of a station heard with its grid.
  virtual void SpotDecode(const std::string& call, const std::string& modeChar,
                          const std::string& rfFreq, const std::string& grid,
                          const std::string& snr) {
    (void)call, (void)modeChar, (void)rfFreq, (void)grid, (void)snr;
  }
};

}  // namespace merivac
