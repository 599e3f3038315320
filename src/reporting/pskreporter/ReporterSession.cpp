// ReporterSession.cpp - queueing heard stations and sending them on time.
#include "reporting/pskreporter/ReporterSession.h"

#include <array>

namespace merivac::pskreporter {

namespace {

struct Band {
  uint32_t low, high;  // Hz, inclusive
};

// The amateur bands (widest allocations of the three regions).
constexpr std::array<Band, 16> kBands = {{
    {135700, 137800},        // 2200 m
    {472000, 479000},        // 630 m
    {1800000, 2000000},      // 160 m
    {3500000, 4000000},      // 80 m
    {5060000, 5450000},      // 60 m
    {7000000, 7300000},      // 40 m
    {10100000, 10150000},    // 30 m
    {14000000, 14350000},    // 20 m
    {18068000, 18168000},    // 17 m
    {21000000, 21450000},    // 15 m
    {24890000, 24990000},    // 12 m
    {28000000, 29700000},    // 10 m
    {50000000, 54000000},    // 6 m
    {70000000, 70500000},    // 4 m
    {144000000, 148000000},  // 2 m
    {420000000, 450000000},  // 70 cm
}};

}  // namespace

int BandOf(uint32_t hz) {
  for (size_t i = 0; i < kBands.size(); ++i) {
    if (hz >= kBands[i].low && hz <= kBands[i].high) return static_cast<int>(i);
  }
  // Outside the bands: numbers that no band index takes.
  if (hz < 1000000) return 100 + static_cast<int>(hz / 100000);
  return 1000 + static_cast<int>(hz / 1000000);
}

ReporterSession::ReporterSession(NowMsFn now, SendFn send, uint32_t seed)
    : now_(std::move(now)), send_(std::move(send)), random_(seed), domain_(random_()) {
  ScheduleNext(now_());
}

void ReporterSession::ScheduleNext(int64_t from) {
  std::uniform_int_distribution<int64_t> extra(0, kIntervalJitterMs);
  nextSendMs_ = from + kSendIntervalMs + extra(random_);
}

bool ReporterSession::SeenCallsign(const ReceiverInfo& receiver, SenderRecord record) {
  const int64_t now = now_();
  if (record.flowStartSeconds == 0) record.flowStartSeconds = static_cast<uint32_t>(now / 1000);
  const int64_t heard = static_cast<int64_t>(record.flowStartSeconds) * 1000;
  const auto key = std::make_pair(record.callsign, BandOf(record.frequencyHz));
  const auto it = lastQueued_.find(key);
  if (it != lastQueued_.end() && heard - it->second < kRepeatWindowMs &&
      it->second - heard < kRepeatWindowMs) {
    ++stats_.repeatsDropped;
    return false;
  }
  lastQueued_[key] = heard;
  if (lastQueued_.size() > kMaxQueued) ForgetOldRepeats(heard);

  if (!receiver_ || !(*receiver_ == receiver)) {
    receiver_ = std::make_shared<const ReceiverInfo>(receiver);
  }
  if (queue_.size() >= kMaxQueued) queue_.erase(queue_.begin());
  queue_.push_back({receiver_, std::move(record)});
  ++stats_.spotsQueued;
  return true;
}

void ReporterSession::ForgetOldRepeats(int64_t newestMs) {
  for (auto it = lastQueued_.begin(); it != lastQueued_.end();) {
    it = newestMs - it->second >= kRepeatWindowMs ? lastQueued_.erase(it) : std::next(it);
  }
  // More distinct stations within five minutes than any band holds: start
  // afresh rather than search the whole table on every spot.
  if (lastQueued_.size() > kMaxQueued) lastQueued_.clear();
}

void ReporterSession::Tickle() {
  const int64_t now = now_();
  if (now < nextSendMs_) {
    Send(false);
    return;
  }
  Send(true);
  // From now rather than from the due time: a late tickle never brings two
  // datagrams closer together than the interval.
  ScheduleNext(now);
}

void ReporterSession::Flush() { Send(true); }

bool ReporterSession::TemplatesDue(int64_t now) const {
  return datagramsWithTemplates_ < kTemplateStartDatagrams ||
         now - lastTemplatesMs_ >= kTemplateRepeatMs;
}

size_t ReporterSession::FittingSpots(bool withTemplates, bool* more) const {
  const std::shared_ptr<const ReceiverInfo>& receiver = queue_.front().receiver;
  size_t bytes = 0;
  size_t n = 0;
  *more = false;
  for (const Spot& spot : queue_) {
    if (spot.receiver != receiver) break;
    const size_t b = SenderRecordBytes(spot.record);
    if (n > 0 && MessageBytes(withTemplates, *receiver, bytes + b) >= kMaxDatagramBytes) {
      *more = true;
      break;
    }
    bytes += b;
    ++n;
  }
  return n;
}

void ReporterSession::Send(bool all) {
  const int64_t now = now_();
  while (!queue_.empty()) {
    const bool withTemplates = TemplatesDue(now);
    bool more = false;
    const size_t n = FittingSpots(withTemplates, &more);
    if (!all && !more) return;  // not full: it waits for the interval
    SendDatagram(n, withTemplates, now);
  }
}

void ReporterSession::SendDatagram(size_t count, bool withTemplates, int64_t now) {
  const std::shared_ptr<const ReceiverInfo> receiver = queue_.front().receiver;
  batch_.clear();
  for (size_t i = 0; i < count; ++i) batch_.push_back(std::move(queue_[i].record));
  queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(count));

  const MessageHeader header{static_cast<uint32_t>(now / 1000), sequence_, domain_};
  WriteMessage(header, withTemplates, *receiver, batch_, datagram_);
  if (!send_(datagram_)) {
    // A datagram lost on the way is lost too; keeping it would only let
    // the queue grow while the network is away.
    ++stats_.sendFailures;
    return;
  }
  sequence_ += static_cast<uint32_t>(1 + count);  // the receiver's record and the spots
  ++stats_.datagramsSent;
  stats_.spotsSent += count;
  if (withTemplates) {
    ++datagramsWithTemplates_;
    lastTemplatesMs_ = now;
  }
}

}  // namespace merivac::pskreporter
