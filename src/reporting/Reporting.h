// Reporting.h - PSK Reporter spotting and UDP broadcasting for the station:
// what start-up, the Reporting dialog, the Station dialog, every decode and
// the close of the program do with them.
//
// Start-up: with spotting enabled the library is started ("PSKreporter
// initialisation OK" or "... failed" in the start-up report); the reported
// station is chosen whether or not; with broadcasting enabled the socket is
// opened and the open datagram sent; the heartbeat time starts now.
// After the Reporting dialog (whichever button closed it): spotting that is
// enabled but not running is started, on failure switched off with the
// WARNING "PSK Reporter initialisation failed"; the station is chosen again;
// broadcasting that is enabled but closed is opened (on failure switched off
// with the WARNING "UDP initialisation failed"), broadcasting that is
// disabled but open sends its close datagram and closes. Clearing the
// spotting box does not stop spotting during the run.
// At the close query the close datagram goes out before the socket closes;
// at the very end the library sends what it still holds and is released.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "reporting/DatagramSocket.h"
#include "reporting/PskReporter.h"
#include "reporting/ReporterLibrary.h"
#include "reporting/UdpBroadcast.h"

namespace merivac {

class Clock;
class DebugLog;
class UiServices;
struct Settings;

// Where spots and datagrams go. The program's values are the described
// ones; MERIVAC_UDP_BROADCAST may name another address for the limited
// broadcast (tests point it at loopback).
struct ReportingOptions {
  std::string libraryName = kReporterLibraryName;
  std::string broadcastAddress = kLimitedBroadcast;
  // Other library and socket (tests); null: the real ones.
  ReporterLibrary* library = nullptr;
  DatagramSocket* socket = nullptr;
};
ReportingOptions ReportingOptionsFromEnvironment();

class Reporting {
 public:
  Reporting(Settings& settings, const Clock& clock, DebugLog& log, UiServices& ui,
            std::string version,
            const ReportingOptions& options = ReportingOptionsFromEnvironment());

  // The program folder, where the library is looked for first.
  void SetProgramFolder(const std::string& folder);

  // Start-up: report lines go to report (each ended by CR LF), sentences
  // for the start-up warning to errors.
  void StartUp(std::string& report, std::vector<std::string>& errors);
  // The reported station from the settings (start-up, Station and
  // Reporting dialogs).
  void ChooseReportedStation();
  // The follow-up of the Reporting dialog.
  void DialogClosed();
  // The close query: the close datagram, pending events once, the socket closed.
  void CloseQuery();
  // The end of the program: a socket still open sends its close datagram
  // and closes, then the library flushes and is released.
  void Shutdown();

  // Per decode, from the decoder bridge's dispatch.
  bool UdpActive() const { return udp_.UdpActive(); }
  void BroadcastDecode(const std::string& flags, const std::string& hhnn, const std::string& snr,
                       const std::string& msgText, const std::string& modeChar,
                       const std::string& rfFreq);
  bool PskActive() const { return psk_.PskActive(); }
  void SpotDecode(const std::string& call, const std::string& modeChar, const std::string& rfFreq,
                  const std::string& grid, const std::string& snr);

  PskReporter& Psk() { return psk_; }
  UdpBroadcaster& Udp() { return udp_; }

 private:
  void OpenUdpAfterDialog();

  Settings& settings_;
  const Clock& clock_;
  DebugLog& log_;
  UiServices& ui_;
  std::string version_;
  std::unique_ptr<SharedReporterLibrary> ownLibrary_;
  std::unique_ptr<PosixDatagramSocket> ownSocket_;
  PskReporter psk_;
  UdpBroadcaster udp_;
};

}  // namespace merivac
