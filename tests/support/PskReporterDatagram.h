// PskReporterDatagram.h - the PSK Reporter view of an IPFIX message for
// tests: the receiving station and the heard stations, read by their
// information elements (enterprise 30351, flowStartSeconds 150).
#pragma once

#include <string>
#include <vector>

#include "support/IpfixParser.h"

namespace merivac::testing {

constexpr uint32_t kPskEnterprise = 30351;

struct HeardStation {
  std::string call;
  uint64_t frequency = 0;
  int64_t snr = 0;
  std::string mode;
  std::string locator;
  uint64_t source = 0;
  uint64_t time = 0;
};

struct PskDatagram {
  ipfix::Message message;
  bool hasTemplates = false;
  std::string receiverCall, receiverLocator, software;
  int receiverRecords = 0;
  std::vector<HeardStation> heard;
};

// Parses bytes with the collector (which keeps templates between calls) and
// sorts its records into receiver and heard stations.
inline bool ReadPskDatagram(ipfix::Collector& collector, const std::string& bytes, PskDatagram& out,
                            std::string& error) {
  out = PskDatagram{};
  if (!collector.Parse(bytes, out.message)) {
    error = collector.Error();
    return false;
  }
  out.hasTemplates = !out.message.templates.empty();
  for (const ipfix::DataRecord& r : out.message.records) {
    if (r.Find(2, kPskEnterprise) != nullptr) {
      ++out.receiverRecords;
      out.receiverCall = r.String(2, kPskEnterprise).value_or("");
      out.receiverLocator = r.String(4, kPskEnterprise).value_or("");
      out.software = r.String(8, kPskEnterprise).value_or("");
      continue;
    }
    HeardStation h;
    h.call = r.String(1, kPskEnterprise).value_or("");
    h.frequency = r.Unsigned(5, kPskEnterprise).value_or(0);
    h.snr = r.Signed(6, kPskEnterprise).value_or(-999);
    h.mode = r.String(10, kPskEnterprise).value_or("");
    h.locator = r.String(3, kPskEnterprise).value_or("");
    h.source = r.Unsigned(11, kPskEnterprise).value_or(0);
    h.time = r.Unsigned(150, 0).value_or(0);
    out.heard.push_back(h);
  }
  return true;
}

}  // namespace merivac::testing
