// Reporting.cpp - spotting and broadcasting through the program's life.
#include "reporting/Reporting.h"

#include <cstdlib>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/Settings.h"
#include "common/UiServices.h"

namespace merivac {

namespace {

constexpr const char* kPskFailed = "PSK Reporter initialisation failed";
constexpr const char* kUdpFailed = "UDP initialisation failed";

}  // namespace

ReportingOptions ReportingOptionsFromEnvironment() {
  ReportingOptions o;
  if (const char* v = std::getenv("MERIVAC_UDP_BROADCAST"); v != nullptr && *v != 0) {
    o.broadcastAddress = v;
  }
  return o;
}

Reporting::Reporting(Settings& settings, const Clock& clock, DebugLog& log, UiServices& ui,
                     std::string version, const ReportingOptions& options)
    : settings_(settings),
      clock_(clock),
      log_(log),
      ui_(ui),
      version_(std::move(version)),
      ownLibrary_(options.library != nullptr
                      ? nullptr
                      : std::make_unique<SharedReporterLibrary>(options.libraryName)),
      ownSocket_(options.socket != nullptr ? nullptr : std::make_unique<PosixDatagramSocket>()),
      psk_(options.library != nullptr ? *options.library : *ownLibrary_, clock, &log),
      udp_(options.socket != nullptr ? *options.socket : *ownSocket_, options.broadcastAddress,
           version_, &log) {}

void Reporting::SetProgramFolder(const std::string& folder) {
  if (ownLibrary_) ownLibrary_->SetFolder(folder);
}

void Reporting::StartUp(std::string& report, std::vector<std::string>& errors) {
  if (settings_.pskEnabled) {
    const bool ok = psk_.StartReporter();
    psk_.SetPskActive(ok);
    report += ok ? "PSKreporter initialisation OK\r\n" : "PSKreporter initialisation failed\r\n";
    if (!ok) errors.push_back(std::string(kPskFailed) + ".");
  }
  ChooseReportedStation();
  if (settings_.udpEnabled) {
    const bool ok = udp_.OpenUdp(settings_.udpAddress, settings_.udpPort);
    udp_.SetUdpActive(ok);
    if (ok) {
      udp_.SendOpen();
    } else {
      report += std::string(kUdpFailed) + "\r\n";
      errors.push_back(std::string(kUdpFailed) + ".");
    }
  }
  udp_.SetLastHeartbeat(clock_.Now());
}

void Reporting::ChooseReportedStation() { psk_.ChooseReportedStation(settings_, version_); }

void Reporting::DialogClosed() {
  if (settings_.pskEnabled && !psk_.PskActive()) {
    const bool ok = psk_.StartReporter();
    psk_.SetPskActive(ok);
    if (!ok) {
      settings_.pskEnabled = false;
      log_.Write(kPskFailed);
      ui_.ShowMessageDialog(kPskFailed, NoticeKind::Warning);
    }
  }
  ChooseReportedStation();
  if (settings_.udpEnabled) {
    // An open socket stays as it is, even when address or port were edited.
    if (!udp_.Connected()) OpenUdpAfterDialog();
  } else if (udp_.Connected()) {
    udp_.SendClose();
    udp_.CloseUdp();
  }
}

void Reporting::OpenUdpAfterDialog() {
  if (udp_.OpenUdp(settings_.udpAddress, settings_.udpPort)) {
    udp_.SetUdpActive(true);
    udp_.SendOpen();
    return;
  }
  settings_.udpEnabled = false;
  log_.Write(kUdpFailed);
  ui_.ShowMessageDialog(kUdpFailed, NoticeKind::Warning);
}

void Reporting::CloseQuery() {
  if (!udp_.UdpActive()) return;
  udp_.SendClose();
  ui_.ProcessEvents();
  udp_.CloseUdp();
}

void Reporting::Shutdown() {
  if (udp_.Connected()) {
    udp_.SendClose();
    udp_.CloseUdp();
  }
  psk_.ShutdownReporter();
}

void Reporting::BroadcastDecode(const std::string& flags, const std::string& hhnn,
                                const std::string& snr, const std::string& msgText,
                                const std::string& modeChar, const std::string& rfFreq) {
  if (udp_.UdpActive()) udp_.SendDecodeDatagram(flags, hhnn, snr, rfFreq, modeChar, msgText);
}

void Reporting::SpotDecode(const std::string& call, const std::string& modeChar,
                           const std::string& rfFreq, const std::string& grid,
                           const std::string& snr) {
  if (psk_.PskActive()) psk_.SpotDecode(call, modeChar, rfFreq, snr, grid);
}

}  // namespace merivac
