// Ipfix.cpp - writing the PSK Reporter datagram as an IPFIX message.
#include "reporting/pskreporter/Ipfix.h"

#include <algorithm>
#include <array>

namespace merivac::pskreporter {

namespace {

constexpr uint16_t kVariableLength = 0xFFFF;
constexpr uint16_t kEnterpriseBit = 0x8000;

struct Field {
  uint16_t id;
  uint16_t length;  // kVariableLength for strings
  bool enterprise;  // a PSK Reporter element (30351) rather than a standard one
};

// The receiver's callsign is the scope of the options template.
constexpr std::array<Field, 3> kReceiverFields = {{
    {element::kReceiverCallsign, kVariableLength, true},
    {element::kReceiverLocator, kVariableLength, true},
    {element::kDecoderSoftware, kVariableLength, true},
}};
constexpr uint16_t kReceiverScopeFields = 1;

constexpr std::array<Field, 7> kSenderFields = {{
    {element::kSenderCallsign, kVariableLength, true},
    {element::kFrequency, 4, true},
    {element::kSnr, 1, true},
    {element::kMode, kVariableLength, true},
    {element::kSenderLocator, kVariableLength, true},
    {element::kInformationSource, 1, true},
    {kFlowStartSeconds, 4, false},
}};

constexpr size_t kSetHeaderBytes = 4;

template <size_t N>
constexpr size_t FieldSpecifierBytes(const std::array<Field, N>& fields) {
  size_t n = 0;
  for (const Field& f : fields) n += f.enterprise ? 8 : 4;
  return n;
}

// The shortest record a template allows: one length byte per string.
template <size_t N>
constexpr size_t MinRecordBytes(const std::array<Field, N>& fields) {
  size_t n = 0;
  for (const Field& f : fields) n += f.length == kVariableLength ? 1 : f.length;
  return n;
}

// Zero bytes that bring a set to a multiple of four. A collector reads a
// padding as long as a whole record as one more record, so then no padding
// is written (RFC 7011, 3.3.1).
constexpr size_t Padding(size_t contentBytes, size_t minRecordBytes) {
  const size_t pad = (4 - contentBytes % 4) % 4;
  return pad < minRecordBytes ? pad : 0;
}

// Set content of the options template: id, field count, scope count, fields.
constexpr size_t kOptionsTemplateBytes = 6 + FieldSpecifierBytes(kReceiverFields);
// The shortest options template record: its header and one scope field.
constexpr size_t kMinOptionsTemplateBytes = 6 + 4;
constexpr size_t kOptionsTemplateSetBytes =
    kSetHeaderBytes + kOptionsTemplateBytes +
    Padding(kOptionsTemplateBytes, kMinOptionsTemplateBytes);
// Set content of the template: id, field count, fields.
constexpr size_t kTemplateBytes = 4 + FieldSpecifierBytes(kSenderFields);
constexpr size_t kTemplateSetBytes = kSetHeaderBytes + kTemplateBytes + Padding(kTemplateBytes, 4);

size_t StringBytes(const std::string& s) { return 1 + std::min(s.size(), kMaxStringBytes); }

size_t ReceiverRecordBytes(const ReceiverInfo& r) {
  return StringBytes(r.callsign) + StringBytes(r.locator) + StringBytes(r.software);
}

size_t ReceiverSetBytes(const ReceiverInfo& r) {
  const size_t content = ReceiverRecordBytes(r);
  return kSetHeaderBytes + content + Padding(content, MinRecordBytes(kReceiverFields));
}

size_t SenderSetBytes(size_t recordBytes) {
  return kSetHeaderBytes + recordBytes + Padding(recordBytes, MinRecordBytes(kSenderFields));
}

class Writer {
 public:
  explicit Writer(std::vector<uint8_t>& out) : out_(out) { out_.clear(); }
  void U8(uint8_t v) { out_.push_back(v); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v >> 8));
    U8(static_cast<uint8_t>(v));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v >> 16));
    U16(static_cast<uint16_t>(v));
  }
  void String(const std::string& s) {
    const size_t n = std::min(s.size(), kMaxStringBytes);
    U8(static_cast<uint8_t>(n));
    out_.insert(out_.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
  }
  void Zeros(size_t n) { out_.insert(out_.end(), n, 0); }
  size_t Size() const { return out_.size(); }
  // Opens a set; CloseSet pads it and writes its length.
  size_t OpenSet(uint16_t setId) {
    const size_t at = Size();
    U16(setId);
    U16(0);
    return at;
  }
  void CloseSet(size_t at, size_t minRecordBytes) {
    Zeros(Padding(Size() - at - kSetHeaderBytes, minRecordBytes));
    Patch16(at + 2, static_cast<uint16_t>(Size() - at));
  }
  void Patch16(size_t at, uint16_t v) {
    out_[at] = static_cast<uint8_t>(v >> 8);
    out_[at + 1] = static_cast<uint8_t>(v);
  }

  template <size_t N>
  void FieldSpecifiers(const std::array<Field, N>& fields) {
    for (const Field& f : fields) {
      U16(f.enterprise ? static_cast<uint16_t>(kEnterpriseBit | f.id) : f.id);
      U16(f.length);
      if (f.enterprise) U32(kPskReporterEnterprise);
    }
  }

 private:
  std::vector<uint8_t>& out_;
};

}  // namespace

size_t SenderRecordBytes(const SenderRecord& r) {
  return StringBytes(r.callsign) + 4 + 1 + StringBytes(r.mode) + StringBytes(r.locator) + 1 + 4;
}

size_t MessageBytes(bool withTemplates, const ReceiverInfo& receiver, size_t senderRecordBytes) {
  size_t n = kMessageHeaderBytes + ReceiverSetBytes(receiver);
  if (senderRecordBytes > 0) n += SenderSetBytes(senderRecordBytes);
  if (withTemplates) n += kOptionsTemplateSetBytes + kTemplateSetBytes;
  return n;
}

void WriteMessage(const MessageHeader& header, bool withTemplates, const ReceiverInfo& receiver,
                  std::span<const SenderRecord> senders, std::vector<uint8_t>& out) {
  Writer w(out);
  w.U16(kIpfixVersion);
  w.U16(0);  // length, patched at the end
  w.U32(header.exportTime);
  w.U32(header.sequence);
  w.U32(header.observationDomain);

  if (withTemplates) {
    size_t set = w.OpenSet(kOptionsTemplateSetId);
    w.U16(kReceiverTemplateId);
    w.U16(static_cast<uint16_t>(kReceiverFields.size()));
    w.U16(kReceiverScopeFields);
    w.FieldSpecifiers(kReceiverFields);
    w.CloseSet(set, kMinOptionsTemplateBytes);

    set = w.OpenSet(kTemplateSetId);
    w.U16(kSenderTemplateId);
    w.U16(static_cast<uint16_t>(kSenderFields.size()));
    w.FieldSpecifiers(kSenderFields);
    w.CloseSet(set, 4);
  }

  size_t set = w.OpenSet(kReceiverTemplateId);
  w.String(receiver.callsign);
  w.String(receiver.locator);
  w.String(receiver.software);
  w.CloseSet(set, MinRecordBytes(kReceiverFields));

  if (!senders.empty()) {
    set = w.OpenSet(kSenderTemplateId);
    for (const SenderRecord& s : senders) {
      w.String(s.callsign);
      w.U32(s.frequencyHz);
      w.U8(static_cast<uint8_t>(s.snr));
      w.String(s.mode);
      w.String(s.locator);
      w.U8(s.informationSource);
      w.U32(s.flowStartSeconds);
    }
    w.CloseSet(set, MinRecordBytes(kSenderFields));
  }
  w.Patch16(2, static_cast<uint16_t>(w.Size()));
}

}  // namespace merivac::pskreporter
