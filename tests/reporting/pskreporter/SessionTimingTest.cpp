// SessionTimingTest.cpp - when the spotting library sends, in simulated
// time: nothing before the five-minute interval (randomised), datagrams at
// least five minutes apart, full ones early, the templates in the first
// three datagrams and then hourly, a call at most once per five minutes per
// band, sequence numbers that count data records, and everything queued
// going out at shutdown.
#include <gtest/gtest.h>

#include <set>

#include "reporting/pskreporter/ReporterSession.h"
#include "support/IpfixParser.h"
#include "support/PskReporterDatagram.h"

namespace merivac::pskreporter {
namespace {

using testing::PskDatagram;
using testing::ReadPskDatagram;

constexpr int64_t kStartMs = 1781000000000;  // a Unix time in ms
constexpr int64_t kMinute = 60 * 1000;

const ReceiverInfo kReceiver{"DL1ABC", "JO62", "Merivac 0.1.0.0."};

struct Sent {
  int64_t atMs;
  std::string bytes;
};

// A session on a manual clock that keeps what it sends.
class SessionRig {
 public:
  explicit SessionRig(uint32_t seed = 1)
      : session_([this] { return now_; },
                 [this](std::span<const uint8_t> b) {
                   if (failures > 0) {
                     --failures;
                     return false;
                   }
                   sent.push_back({now_, std::string(b.begin(), b.end())});
                   return true;
                 },
                 seed) {}
  ReporterSession& S() { return session_; }
  void Advance(int64_t ms) { now_ += ms; }
  int64_t Now() const { return now_; }
  // Tickles every 10 s for the given time.
  void TickleFor(int64_t ms) {
    for (int64_t end = now_ + ms; now_ < end;) {
      Advance(10000);
      session_.Tickle();
    }
  }
  bool Spot(const std::string& call, uint32_t hz = 475700) {
    return session_.SeenCallsign(kReceiver, {call, hz, -20, "JT9", "FN42", 1, 0});
  }
  // Every datagram read back in order by one collector.
  std::vector<PskDatagram> Read() {
    std::vector<PskDatagram> out;
    testing::ipfix::Collector collector;
    for (const Sent& s : sent) {
      PskDatagram d;
      std::string error;
      EXPECT_TRUE(ReadPskDatagram(collector, s.bytes, d, error)) << error;
      out.push_back(d);
    }
    return out;
  }

  std::vector<Sent> sent;
  int failures = 0;  // sends still to refuse

 private:
  int64_t now_ = kStartMs;
  ReporterSession session_;
};

std::string Call(int n) { return "K" + std::to_string(n) + "ABC"; }

TEST(SessionTimingTest, NothingBeforeTheRandomisedInterval) {
  std::set<int64_t> firstAfter;
  for (uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
    SessionRig rig(seed);
    ASSERT_TRUE(rig.Spot("K1ABC"));
    rig.TickleFor(10 * kMinute);
    ASSERT_FALSE(rig.sent.empty()) << "seed " << seed;
    const int64_t after = rig.sent[0].atMs - kStartMs;
    EXPECT_GE(after, 5 * kMinute) << "seed " << seed;
    EXPECT_LE(after, 6 * kMinute + 10000) << "seed " << seed;
    EXPECT_EQ(rig.sent.size(), 1u) << "one spot, one datagram";
    firstAfter.insert(rig.S().NextSendMs() - rig.sent[0].atMs);
  }
  // Not aligned to anything: the sessions choose different intervals.
  EXPECT_GT(firstAfter.size(), 1u);
}

TEST(SessionTimingTest, DatagramsAtLeastFiveMinutesApartAndSpotsSentOnce) {
  SessionRig rig;
  int queued = 0;
  for (int i = 0; i < 240; ++i) {  // a new call every 10 s for 40 minutes
    if (rig.Spot(Call(i))) ++queued;
    rig.Advance(10000);
    rig.S().Tickle();
  }
  rig.S().Flush();
  ASSERT_GE(rig.sent.size(), 6u);
  for (size_t i = 1; i + 1 < rig.sent.size(); ++i) {  // the last one is the flush
    EXPECT_GE(rig.sent[i].atMs - rig.sent[i - 1].atMs, 5 * kMinute) << i;
  }
  std::multiset<std::string> calls;
  for (const PskDatagram& d : rig.Read()) {
    for (const auto& h : d.heard) calls.insert(h.call);
  }
  EXPECT_EQ(calls.size(), static_cast<size_t>(queued));
  for (int i = 0; i < 240; ++i) EXPECT_EQ(calls.count(Call(i)), 1u) << Call(i);
}

TEST(SessionTimingTest, TemplatesInTheFirstThreeDatagramsThenHourly) {
  SessionRig rig;
  for (int i = 0; i < 3 * 60 * 6 + 180; ++i) {  // three and a half hours, a call every 10 s
    rig.Spot(Call(i));
    rig.Advance(10000);
    rig.S().Tickle();
  }
  const std::vector<PskDatagram> read = rig.Read();
  ASSERT_GE(read.size(), 20u);
  int64_t lastTemplates = 0;
  for (size_t i = 0; i < read.size(); ++i) {
    const int64_t at = rig.sent[i].atMs;
    const bool expected = i < 3 || at - lastTemplates >= 60 * kMinute;
    EXPECT_EQ(read[i].hasTemplates, expected) << "datagram " << i;
    if (read[i].hasTemplates) lastTemplates = at;
    EXPECT_EQ(read[i].receiverRecords, 1) << "the receiver goes with every datagram";
  }
  size_t withTemplates = 0;
  for (const PskDatagram& d : read) withTemplates += d.hasTemplates ? 1 : 0;
  // Three at the start (by about 18 minutes), then one an hour later each.
  EXPECT_GE(withTemplates, 5u);
  EXPECT_LE(withTemplates, 6u);
}

TEST(SessionTimingTest, ACallOncePerFiveMinutesOnEachBand) {
  struct Step {
    int64_t atMinute;
    const char* call;
    uint32_t hz;
    bool queued;
  };
  const Step steps[] = {
      {0, "K1ABC", 475700, true},   // 630 m
      {1, "K1ABC", 475900, false},  // the same band a minute later
      {1, "K1ABC", 137500, true},   // 2200 m: another band
      {2, "W9XYZ", 475700, true},   // another call
      {4, "K1ABC", 476000, false},  // still within five minutes
      {5, "K1ABC", 475700, true},   // five minutes after the first
      {9, "K1ABC", 1838000, true},  // 160 m
  };
  SessionRig rig;
  int64_t minute = 0;
  for (const Step& s : steps) {
    rig.Advance((s.atMinute - minute) * kMinute);
    minute = s.atMinute;
    EXPECT_EQ(rig.Spot(s.call, s.hz), s.queued) << s.call << " " << s.hz << " at " << s.atMinute;
  }
  EXPECT_EQ(rig.S().Statistics().repeatsDropped, 2u);
}

TEST(SessionTimingTest, AFullDatagramGoesEarlyAndTheRestWaits) {
  SessionRig rig;
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(rig.Spot(Call(i)));
  EXPECT_TRUE(rig.sent.empty()) << "queueing never sends";
  rig.Advance(10000);
  rig.S().Tickle();
  ASSERT_GE(rig.sent.size(), 1u) << "more than a datagram holds is sent at once";
  const size_t early = rig.sent.size();
  const size_t waiting = rig.S().Queued();
  EXPECT_GT(waiting, 0u) << "a part that fits into one datagram waits for the interval";
  for (const Sent& s : rig.sent) EXPECT_LT(s.bytes.size(), 1400u);
  // The early datagrams were full: the next spot would not have fitted.
  for (const Sent& s : rig.sent) EXPECT_GT(s.bytes.size(), 1400u - 40u);

  rig.TickleFor(4 * kMinute);
  EXPECT_EQ(rig.sent.size(), early);
  rig.TickleFor(3 * kMinute);
  EXPECT_EQ(rig.sent.size(), early + 1);
  EXPECT_EQ(rig.S().Queued(), 0u);
  std::set<std::string> calls;
  for (const PskDatagram& d : rig.Read()) {
    for (const auto& h : d.heard) EXPECT_TRUE(calls.insert(h.call).second) << h.call;
  }
  EXPECT_EQ(calls.size(), 100u);
}

TEST(SessionTimingTest, FlushSendsEverythingAtOnce) {
  SessionRig rig;
  for (int i = 0; i < 70; ++i) rig.Spot(Call(i));
  rig.S().Flush();
  EXPECT_EQ(rig.S().Queued(), 0u);
  size_t heard = 0;
  for (const PskDatagram& d : rig.Read()) heard += d.heard.size();
  EXPECT_EQ(heard, 70u);
  EXPECT_EQ(rig.sent.size(), 2u);
}

TEST(SessionTimingTest, SequenceNumbersCountTheDataRecordsSent) {
  SessionRig rig;
  for (int i = 0; i < 120; ++i) rig.Spot(Call(i));
  rig.failures = 1;  // the first datagram is lost: its records were not sent
  rig.Advance(10000);
  rig.S().Tickle();
  EXPECT_EQ(rig.S().Statistics().sendFailures, 1u);
  rig.S().Flush();
  const std::vector<PskDatagram> read = rig.Read();
  ASSERT_GE(read.size(), 2u);
  uint32_t expected = 0;
  for (const PskDatagram& d : read) {
    EXPECT_EQ(d.message.sequence, expected);
    EXPECT_EQ(d.message.domain, rig.S().ObservationDomain());
    EXPECT_EQ(d.message.exportTime, static_cast<uint32_t>(rig.Now() / 1000));
    expected += static_cast<uint32_t>(d.message.records.size());
  }
  // The lost datagram's spots are gone, not sent twice.
  EXPECT_LT(rig.S().Statistics().spotsSent, 120u);
  EXPECT_TRUE(read[0].hasTemplates) << "templates count only once they went out";
}

TEST(SessionTimingTest, SpotsGoWithTheStationThatHeardThem) {
  SessionRig rig;
  rig.Spot("K1ABC");
  const ReceiverInfo swl{"DL-SWL-1", "JO62", "Merivac 0.1.0.0."};
  rig.S().SeenCallsign(swl, {"W9XYZ", 475700, -20, "JT9", "EN37", 1, 0});
  rig.S().Flush();
  const std::vector<PskDatagram> read = rig.Read();
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].receiverCall, "DL1ABC");
  ASSERT_EQ(read[0].heard.size(), 1u);
  EXPECT_EQ(read[0].heard[0].call, "K1ABC");
  EXPECT_EQ(read[1].receiverCall, "DL-SWL-1");
  ASSERT_EQ(read[1].heard.size(), 1u);
  EXPECT_EQ(read[1].heard[0].call, "W9XYZ");
  EXPECT_EQ(read[1].heard[0].time, static_cast<uint64_t>(kStartMs / 1000));
}

}  // namespace
}  // namespace merivac::pskreporter
