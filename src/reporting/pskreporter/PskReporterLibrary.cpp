// PskReporterLibrary.cpp - the six entry points of libpskreporter.so.
//
// One session per initialisation, with one UDP socket for the whole run so
// that the collector sees one source port. The destination comes from the
// arguments of ReporterInitialize; with a null host it is the environment's
// MERIVAC_PSKREPORTER=HOST:PORT when set (the collector's test port, or a
// loopback receiver in tests), else the PSK Reporter collector itself.
// Nothing here throws across the C interface: every failure is a non-zero
// result.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "reporting/pskreporter/PskReporterApi.h"
#include "reporting/pskreporter/RecordText.h"
#include "reporting/pskreporter/ReporterSession.h"

#define PSKREPORTER_EXPORT extern "C" __attribute__((visibility("default")))

namespace merivac::pskreporter {
namespace {

constexpr const char* kProductionHost = "report.pskreporter.info";
constexpr const char* kProductionPort = "4739";
constexpr const char* kDestinationVariable = "MERIVAC_PSKREPORTER";

enum Result : int {
  kOk = 0,
  kNotInitialised = 1,
  kBadRecord = 2,
  kBadDestination = 3,
  kNoSocket = 4,
  kBufferTooSmall = 5,
  kInternalError = 6,
};

struct Library {
  int socket = -1;
  sockaddr_in destination{};
  std::string destinationText;
  std::unique_ptr<ReporterSession> session;
};

Library& State() {
  static Library library;
  return library;
}

int64_t UnixNowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// "HOST:PORT", split at the last colon.
bool SplitHostPort(const std::string& text, std::string& host, std::string& port) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return false;
  host = text.substr(0, colon);
  port = text.substr(colon + 1);
  return true;
}

bool Resolve(const std::string& host, const std::string& port, sockaddr_in& out) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr) {
    return false;
  }
  out = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  ::freeaddrinfo(found);
  return out.sin_port != 0;
}

bool SendTo(const Library& lib, std::span<const uint8_t> bytes) {
  const ssize_t n =
      ::sendto(lib.socket, bytes.data(), bytes.size(), MSG_NOSIGNAL,
               reinterpret_cast<const sockaddr*>(&lib.destination), sizeof(lib.destination));
  return n == static_cast<ssize_t>(bytes.size());
}

int Initialize(const char16_t* hostname, const char16_t* port) {
  Library& lib = State();
  if (lib.session) return kOk;
  std::string host = kProductionHost;
  std::string service = kProductionPort;
  if (hostname != nullptr) {
    host = Utf8FromUtf16(hostname);
    if (port != nullptr) service = Utf8FromUtf16(port);
  } else if (const char* v = std::getenv(kDestinationVariable); v != nullptr && *v != 0) {
    if (!SplitHostPort(v, host, service)) return kBadDestination;
  }
  sockaddr_in destination{};
  if (!Resolve(host, service, destination)) return kBadDestination;
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return kNoSocket;
  lib.socket = fd;
  lib.destination = destination;
  lib.destinationText = host + ":" + service;
  std::random_device seed;
  lib.session = std::make_unique<ReporterSession>(
      UnixNowMs, [&lib](std::span<const uint8_t> bytes) { return SendTo(lib, bytes); }, seed());
  return kOk;
}

int SeenCallsign(const char16_t* remote, const char16_t* local, unsigned int flags) {
  Library& lib = State();
  if (!lib.session) return kNotInitialised;
  const std::optional<Record> remoteRecord = ParseRecordText(remote);
  const std::optional<Record> localRecord = ParseRecordText(local);
  if (!remoteRecord || !localRecord) return kBadRecord;
  const std::optional<ReceiverInfo> receiver = ReceiverFromRecord(*localRecord);
  std::optional<SenderRecord> sender =
      SenderFromRecord(*remoteRecord, static_cast<uint8_t>(flags & 0xFF));
  if (!receiver || !sender) return kBadRecord;
  // A repeat within five minutes is not an error; it is simply not sent again.
  lib.session->SeenCallsign(*receiver, std::move(*sender));
  return kOk;
}

int Tickle() {
  Library& lib = State();
  if (!lib.session) return kNotInitialised;
  lib.session->Tickle();
  return kOk;
}

int Uninitialize() {
  Library& lib = State();
  if (!lib.session) return kNotInitialised;
  lib.session->Flush();
  lib.session.reset();
  ::close(lib.socket);
  lib = Library{};
  return kOk;
}

int WriteText(const std::string& text, char16_t* buffer, unsigned int size) {
  const std::u16string wide = Utf16FromUtf8(text);
  if (buffer == nullptr || size < wide.size() + 1) return kBufferTooSmall;
  std::copy(wide.begin(), wide.end(), buffer);
  buffer[wide.size()] = 0;
  return kOk;
}

int GetInformation(char16_t* buffer, unsigned int size) {
  const Library& lib = State();
  std::string text = "Merivac PSK Reporter library (IPFIX over UDP)";
  text += lib.session ? ", sending to " + lib.destinationText : ", not initialised";
  return WriteText(text, buffer, size);
}

int GetStatistics(char16_t* buffer, unsigned int size) {
  const Library& lib = State();
  if (!lib.session) return kNotInitialised;
  const SessionStatistics& s = lib.session->Statistics();
  const std::string text =
      std::to_string(s.spotsQueued) + " spots queued, " + std::to_string(s.repeatsDropped) +
      " repeats dropped, " + std::to_string(s.spotsSent) + " spots sent in " +
      std::to_string(s.datagramsSent) + " datagrams, " + std::to_string(s.sendFailures) +
      " datagrams failed, " + std::to_string(lib.session->Queued()) + " waiting";
  return WriteText(text, buffer, size);
}

template <typename F>
int Guarded(F&& f) {
  try {
    return f();
  } catch (...) {
    return kInternalError;
  }
}

}  // namespace
}  // namespace merivac::pskreporter

using namespace merivac::pskreporter;

PSKREPORTER_EXPORT int ReporterInitialize(const char16_t* hostname, const char16_t* port) {
  return Guarded([&] { return Initialize(hostname, port); });
}

PSKREPORTER_EXPORT int ReporterSeenCallsign(const char16_t* remoteInformation,
                                            const char16_t* localInformation, unsigned int flags) {
  return Guarded([&] { return SeenCallsign(remoteInformation, localInformation, flags); });
}

PSKREPORTER_EXPORT int ReporterTickle(void) {
  return Guarded([] { return Tickle(); });
}

PSKREPORTER_EXPORT int ReporterUninitialize(void) {
  return Guarded([] { return Uninitialize(); });
}

PSKREPORTER_EXPORT int ReporterGetInformation(char16_t* buffer, unsigned int size) {
  return Guarded([&] { return GetInformation(buffer, size); });
}

PSKREPORTER_EXPORT int ReporterGetStatistics(char16_t* buffer, unsigned int size) {
  return Guarded([&] { return GetStatistics(buffer, size); });
}
