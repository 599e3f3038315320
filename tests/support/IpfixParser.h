// IpfixParser.h - an IPFIX collector for tests, written from RFC 7011 on
// its own (it shares no code with the library that writes the messages).
//
// It reads a message header, template sets (2), options template sets (3)
// and data sets (256 and up, decoded with templates seen in this or an
// earlier message of the same observation domain), and refuses whatever
// the RFC forbids: a wrong version or length, sets that overrun, reserved
// set ids, unknown templates, padding that is not zero or as long as a
// record, strings that overrun their set.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace merivac::testing::ipfix {

constexpr uint16_t kVariableLength = 0xFFFF;

struct FieldSpecifier {
  uint16_t id = 0;          // without the enterprise bit
  uint16_t length = 0;      // kVariableLength for variable-length fields
  uint32_t enterprise = 0;  // 0 for the standard elements
  friend bool operator==(const FieldSpecifier&, const FieldSpecifier&) = default;
};

struct Template {
  uint16_t id = 0;
  bool options = false;
  uint16_t scopeCount = 0;
  std::vector<FieldSpecifier> fields;
};

struct Field {
  FieldSpecifier specifier;
  std::string bytes;
};

struct DataRecord {
  uint16_t templateId = 0;
  std::vector<Field> fields;

  const Field* Find(uint16_t id, uint32_t enterprise) const {
    for (const Field& f : fields) {
      if (f.specifier.id == id && f.specifier.enterprise == enterprise) return &f;
    }
    return nullptr;
  }
  std::optional<std::string> String(uint16_t id, uint32_t enterprise) const {
    const Field* f = Find(id, enterprise);
    if (f == nullptr) return std::nullopt;
    return f->bytes;
  }
  // Big-endian unsigned value of a field of 1 to 8 bytes.
  std::optional<uint64_t> Unsigned(uint16_t id, uint32_t enterprise) const {
    const Field* f = Find(id, enterprise);
    if (f == nullptr || f->bytes.empty() || f->bytes.size() > 8) return std::nullopt;
    uint64_t v = 0;
    for (char c : f->bytes) v = (v << 8) | static_cast<unsigned char>(c);
    return v;
  }
  std::optional<int64_t> Signed(uint16_t id, uint32_t enterprise) const {
    const auto u = Unsigned(id, enterprise);
    if (!u) return std::nullopt;
    const size_t bits = Find(id, enterprise)->bytes.size() * 8;
    if (bits < 64 && (*u >> (bits - 1)) != 0)
      return static_cast<int64_t>(*u) - (int64_t{1} << bits);
    return static_cast<int64_t>(*u);
  }
};

struct SetInfo {
  uint16_t id = 0;
  uint16_t length = 0;  // as the set header says, padding included
  size_t padding = 0;   // zero bytes after the last record
};

struct Message {
  uint16_t version = 0;
  uint16_t length = 0;
  uint32_t exportTime = 0;
  uint32_t sequence = 0;
  uint32_t domain = 0;
  std::vector<SetInfo> sets;
  std::vector<Template> templates;  // defined in this message
  std::vector<DataRecord> records;  // in message order
};

class Collector {
 public:
  // Reads one message; false (Error() says why) when it breaks RFC 7011.
  bool Parse(const std::string& bytes, Message& out) {
    error_.clear();
    out = Message{};
    data_ = &bytes;
    if (bytes.size() < 16) return Fail("message shorter than its header");
    out.version = U16(0);
    out.length = U16(2);
    out.exportTime = U32(4);
    out.sequence = U32(8);
    out.domain = U32(12);
    if (out.version != 10) return Fail("version " + std::to_string(out.version));
    if (out.length != bytes.size()) return Fail("length field differs from the datagram size");
    size_t at = 16;
    while (at < bytes.size()) {
      if (at + 4 > bytes.size()) return Fail("a set header is cut off");
      SetInfo set{U16(at), U16(at + 2), 0};
      if (set.length < 4 || at + set.length > bytes.size()) return Fail("a set overruns");
      const size_t end = at + set.length;
      bool ok = false;
      if (set.id == 2 || set.id == 3) {
        ok = TemplateSet(at + 4, end, set.id == 3, out, set);
      } else if (set.id >= 256) {
        ok = DataSet(set.id, at + 4, end, out, set);
      } else {
        return Fail("reserved set id " + std::to_string(set.id));
      }
      if (!ok) return false;
      out.sets.push_back(set);
      at = end;
    }
    return true;
  }
  const std::string& Error() const { return error_; }

 private:
  uint16_t U16(size_t at) const { return static_cast<uint16_t>((Byte(at) << 8) | Byte(at + 1)); }
  uint32_t U32(size_t at) const { return (uint32_t{U16(at)} << 16) | U16(at + 2); }
  uint8_t Byte(size_t at) const { return static_cast<uint8_t>((*data_)[at]); }
  bool Fail(const std::string& why) {
    error_ = why;
    return false;
  }
  bool Padding(size_t at, size_t end, size_t shortestRecord, SetInfo& set) {
    set.padding = end - at;
    if (set.padding >= shortestRecord) return Fail("padding as long as a record");
    for (size_t i = at; i < end; ++i) {
      if (Byte(i) != 0) return Fail("padding that is not zero");
    }
    return true;
  }

  bool TemplateSet(size_t at, size_t end, bool options, Message& out, SetInfo& set) {
    const size_t header = options ? 6 : 4;
    while (end - at >= header) {
      Template t;
      t.options = options;
      t.id = U16(at);
      const uint16_t count = U16(at + 2);
      if (options) t.scopeCount = U16(at + 4);
      at += header;
      if (t.id < 256) return Fail("template id below 256");
      if (count == 0) return Fail("template withdrawal");
      if (options && (t.scopeCount == 0 || t.scopeCount > count)) {
        return Fail("options template scope count " + std::to_string(t.scopeCount));
      }
      for (uint16_t k = 0; k < count; ++k) {
        if (at + 4 > end) return Fail("a field specifier is cut off");
        FieldSpecifier f;
        const uint16_t raw = U16(at);
        f.id = raw & 0x7FFF;
        f.length = U16(at + 2);
        at += 4;
        if ((raw & 0x8000) != 0) {
          if (at + 4 > end) return Fail("an enterprise number is cut off");
          f.enterprise = U32(at);
          at += 4;
        }
        if (f.length == 0) return Fail("field of length 0");
        t.fields.push_back(f);
      }
      templates_[out.domain][t.id] = t;
      out.templates.push_back(t);
    }
    return Padding(at, end, header, set);
  }

  bool DataSet(uint16_t id, size_t at, size_t end, Message& out, SetInfo& set) {
    const auto domain = templates_.find(out.domain);
    if (domain == templates_.end() || domain->second.count(id) == 0) {
      return Fail("data set for unknown template " + std::to_string(id));
    }
    const Template& t = domain->second.at(id);
    size_t shortest = 0;
    for (const FieldSpecifier& f : t.fields) shortest += f.length == kVariableLength ? 1 : f.length;
    while (end - at >= shortest) {
      DataRecord r;
      r.templateId = id;
      for (const FieldSpecifier& f : t.fields) {
        size_t length = f.length;
        if (f.length == kVariableLength) {
          if (at + 1 > end) return Fail("a string length is cut off");
          length = Byte(at++);
          if (length == 255) {
            if (at + 2 > end) return Fail("a long string length is cut off");
            length = U16(at);
            at += 2;
          }
        }
        if (at + length > end) return Fail("a field overruns its set");
        r.fields.push_back({f, data_->substr(at, length)});
        at += length;
      }
      out.records.push_back(std::move(r));
    }
    return Padding(at, end, shortest, set);
  }

  const std::string* data_ = nullptr;
  std::string error_;
  std::map<uint32_t, std::map<uint16_t, Template>> templates_;
};

}  // namespace merivac::testing::ipfix
