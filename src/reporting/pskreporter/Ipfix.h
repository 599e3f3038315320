// Ipfix.h - the PSK Reporter datagram: an IPFIX message (RFC 7011).
//
// A message is the 16-byte header followed by sets. The receiving station is
// described by an options template (set 3) and one record of it, the heard
// stations by a template (set 2) and one record each. The fields are the
// PSK Reporter network's own information elements (enterprise 30351), plus
// the standard flowStartSeconds for the time a station was heard. All numbers
// are big-endian; strings are one length byte and the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace merivac::pskreporter {

constexpr uint16_t kIpfixVersion = 10;
constexpr uint32_t kPskReporterEnterprise = 30351;
constexpr uint16_t kTemplateSetId = 2;
constexpr uint16_t kOptionsTemplateSetId = 3;
// Our template ids (any value from 256 up, fixed for the program).
constexpr uint16_t kReceiverTemplateId = 0x4D52;
constexpr uint16_t kSenderTemplateId = 0x4D53;
// The standard element for the start of a flow, in Unix seconds.
constexpr uint16_t kFlowStartSeconds = 150;
constexpr size_t kMessageHeaderBytes = 16;
// Every datagram stays below this size.
constexpr size_t kMaxDatagramBytes = 1400;
// Longer strings are cut: a one-byte length says at most 254.
constexpr size_t kMaxStringBytes = 254;

// The PSK Reporter elements we use (enterprise 30351).
namespace element {
constexpr uint16_t kSenderCallsign = 1;
constexpr uint16_t kReceiverCallsign = 2;
constexpr uint16_t kSenderLocator = 3;
constexpr uint16_t kReceiverLocator = 4;
constexpr uint16_t kFrequency = 5;
constexpr uint16_t kSnr = 6;
constexpr uint16_t kDecoderSoftware = 8;
constexpr uint16_t kMode = 10;
constexpr uint16_t kInformationSource = 11;
}  // namespace element

// The receiving station, one record of the options template per message.
struct ReceiverInfo {
  std::string callsign;
  std::string locator;
  std::string software;  // program name and version
  friend bool operator==(const ReceiverInfo&, const ReceiverInfo&) = default;
};

// One heard station, one record of the sender template.
struct SenderRecord {
  std::string callsign;
  uint32_t frequencyHz = 0;
  int8_t snr = 0;
  std::string mode;
  std::string locator;
  uint8_t informationSource = 1;  // 1 = decoded automatically
  uint32_t flowStartSeconds = 0;  // Unix time the station was heard
};

struct MessageHeader {
  uint32_t exportTime = 0;         // Unix seconds
  uint32_t sequence = 0;           // data records sent before this message
  uint32_t observationDomain = 0;  // random, constant for a run
};

// Bytes of one sender record.
size_t SenderRecordBytes(const SenderRecord& record);

// Bytes of a whole message: the templates when asked, the receiver's data
// set and a sender data set whose records take senderRecordBytes in all
// (no sender set when 0).
size_t MessageBytes(bool withTemplates, const ReceiverInfo& receiver, size_t senderRecordBytes);

// Writes one message into out (replacing its contents). The sequence number
// counts data records, so this message adds 1 + senders.size() to it.
void WriteMessage(const MessageHeader& header, bool withTemplates, const ReceiverInfo& receiver,
                  std::span<const SenderRecord> senders, std::vector<uint8_t>& out);

}  // namespace merivac::pskreporter
