// ReporterSession.h - what the PSK Reporter library does between its
// initialisation and its shutdown: queue the heard stations and send them
// as IPFIX datagrams on the network's terms.
//
// - A datagram goes out at most every five minutes (the interval runs from
//   the start of the session, with a random extra of up to a minute, so that
//   stations do not send in step with the clock), earlier only when the
//   queue holds more than one datagram can carry.
// - Every datagram stays below 1400 bytes and carries the receiving station.
// - The templates go with each of the first three datagrams and then again
//   once an hour.
// - A callsign is queued at most once per five minutes on each band.
// Sending happens only in Tickle and Flush, so the library needs no thread.
// Time and the socket are passed in, so tests run a session in simulated time.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "reporting/pskreporter/Ipfix.h"

namespace merivac::pskreporter {

// Milliseconds since the Unix epoch.
using NowMsFn = std::function<int64_t()>;
// Sends one datagram; true when it went out.
using SendFn = std::function<bool(std::span<const uint8_t>)>;

struct SessionStatistics {
  uint64_t spotsQueued = 0;
  uint64_t repeatsDropped = 0;  // the same call on the same band within 5 minutes
  uint64_t spotsSent = 0;
  uint64_t datagramsSent = 0;
  uint64_t sendFailures = 0;  // datagrams the socket refused (their spots are dropped)
};

// The band of a frequency, for the repeat rule: an amateur band from 2200 m
// up to 70 cm, else each whole MHz (each 100 kHz below 1 MHz) on its own.
int BandOf(uint32_t frequencyHz);

class ReporterSession {
 public:
  static constexpr int64_t kSendIntervalMs = 5 * 60 * 1000;
  static constexpr int64_t kIntervalJitterMs = 60 * 1000;
  static constexpr int64_t kTemplateRepeatMs = 60 * 60 * 1000;
  static constexpr int kTemplateStartDatagrams = 3;
  static constexpr int64_t kRepeatWindowMs = 5 * 60 * 1000;
  // A bound for a queue that is never sent (a socket that always fails
  // drops its spots, so this is only a guard).
  static constexpr size_t kMaxQueued = 4096;

  // seed: for the observation domain and the interval's random extra.
  ReporterSession(NowMsFn now, SendFn send, uint32_t seed);

  // Queues a heard station (flowStartSeconds 0: heard now). False when the
  // same callsign was queued on the same band less than five minutes before.
  bool SeenCallsign(const ReceiverInfo& receiver, SenderRecord record);
  // Sends the datagrams that are due: full ones at once, and everything
  // queued once the interval has passed.
  void Tickle();
  // Sends everything still queued (shutdown).
  void Flush();

  size_t Queued() const { return queue_.size(); }
  int64_t NextSendMs() const { return nextSendMs_; }
  uint32_t ObservationDomain() const { return domain_; }
  const SessionStatistics& Statistics() const { return stats_; }

 private:
  struct Spot {
    std::shared_ptr<const ReceiverInfo> receiver;
    SenderRecord record;
  };
  // Sends datagrams from the front of the queue: all of it, or only while
  // the front holds more than one datagram can carry.
  void Send(bool all);
  bool TemplatesDue(int64_t now) const;
  // How many spots from the front fit into one datagram with the front's
  // receiver (at least one); *more: the front run of that receiver goes on.
  size_t FittingSpots(bool withTemplates, bool* more) const;
  void SendDatagram(size_t count, bool withTemplates, int64_t now);
  void ScheduleNext(int64_t from);
  void ForgetOldRepeats(int64_t newestMs);

  NowMsFn now_;
  SendFn send_;
  std::mt19937 random_;
  uint32_t domain_;
  int64_t nextSendMs_ = 0;
  uint32_t sequence_ = 0;
  int datagramsWithTemplates_ = 0;
  int64_t lastTemplatesMs_ = 0;
  std::shared_ptr<const ReceiverInfo> receiver_;
  std::vector<Spot> queue_;
  std::map<std::pair<std::string, int>, int64_t> lastQueued_;  // (call, band) -> heard ms
  std::vector<SenderRecord> batch_;
  std::vector<uint8_t> datagram_;
  SessionStatistics stats_;
};

}  // namespace merivac::pskreporter
