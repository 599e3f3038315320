// IpfixMessageTest.cpp - the PSK Reporter datagram read back by a collector
// written from RFC 7011: header, options template and template with their
// enterprise elements, the receiver and sender records field by field,
// variable-length strings, padding and the size the sender plans with.
#include <gtest/gtest.h>

#include "reporting/pskreporter/Ipfix.h"
#include "support/IpfixParser.h"

namespace merivac::pskreporter {
namespace {

namespace ip = testing::ipfix;
constexpr uint32_t kPsk = 30351;

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

const ReceiverInfo kReceiver{"DL1ABC", "JO62QM", "Merivac 0.1.0.0."};

std::vector<SenderRecord> TwoSenders() {
  return {{"K1ABC", 475700, -15, "JT9-10", "FN42", 1, 1781000000},
          {"W9XYZ", 137512, 7, "JT9", "EN37QX", 1, 1781000060}};
}

TEST(IpfixMessageTest, MessageWithTemplatesReadsBackFieldByField) {
  std::vector<uint8_t> out;
  const auto senders = TwoSenders();
  WriteMessage({1781000123, 42, 0xDEADBEEF}, true, kReceiver, senders, out);

  ip::Collector collector;
  ip::Message m;
  ASSERT_TRUE(collector.Parse(Bytes(out), m)) << collector.Error();
  EXPECT_EQ(m.version, 10);
  EXPECT_EQ(m.length, out.size());
  EXPECT_EQ(m.exportTime, 1781000123u);
  EXPECT_EQ(m.sequence, 42u);
  EXPECT_EQ(m.domain, 0xDEADBEEFu);
  EXPECT_LT(out.size(), kMaxDatagramBytes);

  // Options template, template, then the two data sets.
  ASSERT_EQ(m.sets.size(), 4u);
  EXPECT_EQ(m.sets[0].id, 3);
  EXPECT_EQ(m.sets[1].id, 2);
  EXPECT_EQ(m.sets[2].id, kReceiverTemplateId);
  EXPECT_EQ(m.sets[3].id, kSenderTemplateId);

  ASSERT_EQ(m.templates.size(), 2u);
  const ip::Template& receiverTemplate = m.templates[0];
  EXPECT_TRUE(receiverTemplate.options);
  EXPECT_EQ(receiverTemplate.id, kReceiverTemplateId);
  EXPECT_EQ(receiverTemplate.scopeCount, 1);
  const std::vector<ip::FieldSpecifier> receiverFields = {{2, ip::kVariableLength, kPsk},
                                                          {4, ip::kVariableLength, kPsk},
                                                          {8, ip::kVariableLength, kPsk}};
  EXPECT_EQ(receiverTemplate.fields, receiverFields);
  const ip::Template& senderTemplate = m.templates[1];
  EXPECT_FALSE(senderTemplate.options);
  EXPECT_EQ(senderTemplate.id, kSenderTemplateId);
  const std::vector<ip::FieldSpecifier> senderFields = {
      {1, ip::kVariableLength, kPsk}, {5, 4, kPsk},  {6, 1, kPsk}, {10, ip::kVariableLength, kPsk},
      {3, ip::kVariableLength, kPsk}, {11, 1, kPsk}, {150, 4, 0}};
  EXPECT_EQ(senderTemplate.fields, senderFields);

  ASSERT_EQ(m.records.size(), 3u);
  const ip::DataRecord& receiver = m.records[0];
  EXPECT_EQ(receiver.String(2, kPsk), "DL1ABC");
  EXPECT_EQ(receiver.String(4, kPsk), "JO62QM");
  EXPECT_EQ(receiver.String(8, kPsk), "Merivac 0.1.0.0.");
  for (size_t i = 0; i < senders.size(); ++i) {
    const ip::DataRecord& r = m.records[i + 1];
    const SenderRecord& s = senders[i];
    EXPECT_EQ(r.templateId, kSenderTemplateId);
    EXPECT_EQ(r.String(1, kPsk), s.callsign);
    EXPECT_EQ(r.Unsigned(5, kPsk), s.frequencyHz);
    EXPECT_EQ(r.Signed(6, kPsk), s.snr);
    EXPECT_EQ(r.String(10, kPsk), s.mode);
    EXPECT_EQ(r.String(3, kPsk), s.locator);
    EXPECT_EQ(r.Unsigned(11, kPsk), 1u);
    EXPECT_EQ(r.Unsigned(150, 0), s.flowStartSeconds);
  }
}

// The receiver's record has three strings, so it is at least 3 bytes long;
// padding of 3 would read as one more record and is left out.
TEST(IpfixMessageTest, PaddingNeverAsLongAsARecord) {
  struct Case {
    const char* call;
    size_t padding;
  };
  // Record: 3 length bytes + call + "JO62" (4) + "M" (1), i.e. 8 + call.
  const Case cases[] = {{"AB", 2}, {"ABC", 1}, {"ABCD", 0}, {"ABCDE", 0}};
  for (const Case& c : cases) {
    std::vector<uint8_t> out;
    const ReceiverInfo r{c.call, "JO62", "M"};
    const std::vector<SenderRecord> one = {TwoSenders()[0]};
    WriteMessage({1, 0, 7}, true, r, one, out);
    ip::Collector collector;
    ip::Message m;
    ASSERT_TRUE(collector.Parse(Bytes(out), m)) << c.call << ": " << collector.Error();
    EXPECT_EQ(m.sets[2].padding, c.padding) << c.call;
    EXPECT_EQ(m.sets[0].length % 4, 0) << "options template set";
    EXPECT_EQ(m.sets[3].length % 4, 0) << "sender set: a record is longer than any padding";
  }
}

TEST(IpfixMessageTest, LongStringsAreCutTo254Bytes) {
  SenderRecord s = TwoSenders()[0];
  s.mode = std::string(300, 'M');
  std::vector<uint8_t> out;
  WriteMessage({1, 0, 7}, true, kReceiver, std::vector<SenderRecord>{s}, out);
  ip::Collector collector;
  ip::Message m;
  ASSERT_TRUE(collector.Parse(Bytes(out), m)) << collector.Error();
  EXPECT_EQ(m.records[1].String(10, kPsk), std::string(254, 'M'));
}

TEST(IpfixMessageTest, PlannedSizeIsTheWrittenSize) {
  const std::vector<SenderRecord> all = TwoSenders();
  for (bool templates : {false, true}) {
    for (size_t n = 0; n <= all.size(); ++n) {
      const std::vector<SenderRecord> senders(all.begin(), all.begin() + static_cast<long>(n));
      size_t recordBytes = 0;
      for (const SenderRecord& s : senders) recordBytes += SenderRecordBytes(s);
      std::vector<uint8_t> out;
      WriteMessage({1, 0, 7}, templates, kReceiver, senders, out);
      EXPECT_EQ(MessageBytes(templates, kReceiver, recordBytes), out.size())
          << "templates " << templates << ", senders " << n;
    }
  }
}

// Data sets without templates are readable only by a collector that kept
// the templates of an earlier message of the same observation domain.
TEST(IpfixMessageTest, DataSetsNeedTheTemplatesOfTheDomain) {
  std::vector<uint8_t> first, second;
  WriteMessage({1, 0, 7}, true, kReceiver, TwoSenders(), first);
  WriteMessage({2, 3, 7}, false, kReceiver, TwoSenders(), second);
  ip::Collector fresh;
  ip::Message m;
  EXPECT_FALSE(fresh.Parse(Bytes(second), m));
  EXPECT_NE(fresh.Error().find("unknown template"), std::string::npos) << fresh.Error();

  ip::Collector collector;
  ASSERT_TRUE(collector.Parse(Bytes(first), m)) << collector.Error();
  ASSERT_TRUE(collector.Parse(Bytes(second), m)) << collector.Error();
  EXPECT_TRUE(m.templates.empty());
  EXPECT_EQ(m.records.size(), 3u);
}

}  // namespace
}  // namespace merivac::pskreporter
