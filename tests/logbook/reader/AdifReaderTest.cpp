// AdifReaderTest.cpp - bands, plain numbers, record acceptance, the .adi
// tag stream and the .adx XML reader, and the six real logbook files with
// counts worked out independently (derive_adif_counts.py beside this file).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "logbook/AdifReader.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

const std::string kSamples = std::string(MERIVAC_TESTDATA_DIR) + "/peers/adif/";

TEST(Bands, FrequencyToBand) {
  const std::vector<std::pair<double, const char*>> cases = {
      {0.1357, "2190M"}, {0.1378, "2190M"}, {0.13780049, "2190M"},
      {0.1378006, "0M"}, {0.4757, "630M"},  {0.472, "630M"},
      {0.479001, "0M"},  {0.5015, "560M"},  {1.836, "160M"},
      {14.074, "20M"},   {29.7, "10M"},     {29.700001, "0M"},
      {5.4065, "60M"},   {0, "0M"},         {-1, "0M"},
      {1e30, "0M"}};
  for (const auto& [mhz, band] : cases) EXPECT_EQ(BandOfFrequency(mhz), band) << mhz;
  EXPECT_EQ(BandIndex("630M"), 1);
  EXPECT_EQ(BandIndex("0M"), -1);
}

TEST(Bands, PlainNumbers) {
  for (const char* yes : {"", "0.4757", "14", "14.", ".5", "."})
    EXPECT_TRUE(IsPlainNumber(yes)) << yes;
  for (const char* no : {"0.4757.1", "14,074", "-1", "1e6", " 14"})
    EXPECT_FALSE(IsPlainNumber(no)) << no;
}

struct AcceptCase {
  AdifRecord record;
  const char* band;
  const char* mode;
  bool accepted;
};

TEST(RecordAcceptance, BandAndModeRules) {
  const std::vector<AcceptCase> cases = {
      {{"K1ABC", "630M", "", "JT9-2"}, "630M", "JT9", true},
      {{"K1ABC", "630M", "", "JT9-2"}, "630M", "JT9-5", false},
      {{"K1ABC", "630M", "", "JT9-2"}, "630M", "JT9-2", true},
      {{"K1ABC", "630M", "", "JT9-2"}, "630M", "Any", true},
      {{"K1ABC", "630M", "", "JT9-2"}, "2190M", "Any", false},
      {{"K1ABC", "", "0.4757", "JT9"}, "630M", "JT9", true},
      {{"K1ABC", "", "0.4757", "JT9"}, "2190M", "JT9", false},
      {{"K1ABC", "", "0.4757.1", "JT9"}, "2190M", "JT9", true},  // band unknown: passes
      {{"K1ABC", "", ".", "JT9"}, "2190M", "JT9", true},
      {{"K1ABC", "", "", ""}, "0M", "JT9-10", true},        // no MODE: every mode
      {{"K1ABC", "20M", "", "FT8"}, "0M", "Any", false},    // no band chosen: 0M only
      {{"K1ABC", "", "50.313", "FT8"}, "0M", "Any", true},  // outside the table: 0M
      {{"K1ABC", "", "", "FT8"}, "20M", "Digi", true},
      {{"K1ABC", "", "", "RTTY"}, "20M", "Digi", true},
      {{"K1ABC", "", "", "WSQ2"}, "20M", "Digi", true},
      {{"K1ABC", "", "", "BPSK31"}, "20M", "Digi", true},
      {{"K1ABC", "", "", "SSB"}, "20M", "Digi", false},
      {{"K1ABC", "", "", "JT65"}, "20M", "JT9", false},
      {{"", "20M", "", "JT9"}, "20M", "JT9", true},  // an empty CALL counts too
  };
  for (const AcceptCase& c : cases) {
    EXPECT_EQ(AcceptRecord(c.record, LogbookFilter{c.band, c.mode}), c.accepted)
        << c.record.call << " " << c.record.band << " " << c.record.freq << " " << c.record.mode
        << " with " << c.band << "/" << c.mode;
  }
}

struct AdiCase {
  const char* name;
  std::string text;
  LogbookFilter filter;
  std::vector<std::string> calls;
};

TEST(AdiReader, TagStream) {
  const LogbookFilter lf630{"630M", "JT9"};
  const LogbookFilter any{"20M", "Any"};
  const std::vector<AdiCase> cases = {
      {"a five-character call followed by a blank, lower-case band",
       "<CALL:5>K1ABC <BAND:4>630m <MODE:5>JT9-2 <EOR>\n",
       lf630,
       {"K1ABC"}},
      {"several records on one line",
       "<call:5>K1ABC<band:3>20m<eor><call:5>G3XYZ<band:3>20M<eor> <CALL:4>W1AW <BAND:3>40M <EOR>"
       "<CALL:6>DL1ABC <BAND:3>20M<EOR>",
       any,
       {"K1ABC", "G3XYZ", "DL1ABC"}},
      {"a record spread over lines, free text and comments between fields",
       "<CALL:5>K1ABC\n// a comment <BAND:3>20M // twenty\n<MODE:3>FT8 trailing <EOR>\n",
       any,
       {"K1ABC"}},
      {"the length counts, a '<' inside the data included",
       "<CALL:5>A<B>C<BAND:3>20M<COMMENT:12>x<EOR>y<EOR>z<EOR>",
       any,
       {"A<B>C"}},
      {"a type indicator and an unknown tag without length",
       "<CALL:5:S>K1ABC<BAND:3:E>20M<APP_LoTW_EOF><EOR><APP_LOTW_EOF>",
       any,
       {"K1ABC"}},
      {"a header up to <eoh> with field-like text",
       "Exported\n<CALL:5>XX9XX is not a record\n<eoh>\n<CALL:5>K1ABC<BAND:3>20M<EOR>",
       any,
       {"K1ABC"}},
      {"a header without <EOH> holds no records", "Just text\n<CALL:5>K1ABC<EOR>\n", any, {}},
      {"a byte-order mark before a file without header",
       "\xEF\xBB\xBF<CALL:5>K1ABC<BAND:3>20M<EOR>",
       any,
       {"K1ABC"}},
      {"a stray '<' in free text and a cut-off last field",
       "<CALL:5>K1ABC <3 you <BAND:3>20M<EOR><CALL:9>G3X",
       any,
       {"K1ABC"}},
      {"two records of one call give two entries",
       "<CALL:5>K1ABC<EOR>\n<CALL:5>K1ABC<EOR>\n",
       any,
       {"K1ABC", "K1ABC"}},
      {"empty lines only", "\n\r\n\n", any, {}},
      {"", "", any, {}},
  };
  for (const AdiCase& c : cases) {
    LogbookRead read;
    ReadAdiText(c.text, c.filter, read);
    EXPECT_EQ(read.calls, c.calls) << c.name;
    EXPECT_EQ(read.count, static_cast<int>(c.calls.size())) << c.name;
  }
}

TEST(ReadLogbook, ExtensionsAndMissingFiles) {
  testing::TempDir dir;
  const auto write = [&](const std::string& name, const std::string& text) {
    const std::string path = (dir.Path() / name).string();
    std::ofstream(path) << text;
    return path;
  };
  const LogbookFilter any{"20M", "Any"};
  EXPECT_EQ(ReadLogbook(write("log.ADI", "<CALL:5>K1ABC<EOR>"), any).count, 1);
  EXPECT_EQ(ReadLogbook(write("log.txt", "<CALL:5>K1ABC<EOR>"), any).count, -1);
  EXPECT_EQ(ReadLogbook(write("adi", "<CALL:5>K1ABC<EOR>"), any).count, -1);
  EXPECT_EQ(ReadLogbook((dir.Path() / "missing.adi").string(), any).count, -1);
  EXPECT_EQ(ReadLogbook((dir.Path() / "missing.adx").string(), any).count, -1);
  EXPECT_EQ(ReadLogbook(write("empty.adi", ""), any).count, 0);
}

TEST(ReadLogbook, AdxWhateverItsLayout) {
  testing::TempDir dir;
  const auto read = [&](const std::string& text, const LogbookFilter& f) {
    const std::string path = (dir.Path() / "log.AdX").string();
    std::ofstream(path) << text;
    return ReadLogbook(path, f);
  };
  const LogbookFilter lf630{"630M", "JT9"};
  LogbookRead r = read(
      "<?xml version=\"1.0\"?><ADX><HEADER><PROGRAMID>x</PROGRAMID></HEADER><RECORDS>"
      "<RECORD><CALL>k1abc</CALL><BAND>630m</BAND><MODE>JT9-2</MODE></RECORD><RECORD>"
      "<CALL>G3XYZ</CALL>\n<FREQ>0.4757</FREQ></RECORD><RECORD><CALL>W1AW</CALL><BAND>20M</BAND>"
      "</RECORD>\n<RECORD>\n<CALL>\n DL1ABC</CALL><MODE>JT65</MODE></RECORD></RECORDS></ADX>",
      lf630);
  EXPECT_EQ(r.calls, (std::vector<std::string>{"K1ABC", "G3XYZ"}));
  EXPECT_EQ(r.count, 2);
  // No <RECORDS>: no records, no failure.
  EXPECT_EQ(read("<?xml version=\"1.0\"?><ADX><HEADER/></ADX>", lf630).count, 0);
  // Not XML at all: not read.
  r = read("<CALL:5>K1ABC<EOR>", lf630);
  EXPECT_EQ(r.count, -1);
  EXPECT_NE(r.problem.find("XML error"), std::string::npos);
  // Cut off after a record: what was read counts, and the problem is told.
  r = read("<ADX><RECORDS><RECORD><CALL>K1ABC</CALL></RECORD><RECORD><CALL>G3", lf630);
  EXPECT_EQ(r.count, 1);
  EXPECT_FALSE(r.problem.empty());
}

// The six real files, each under several band and mode choices.
struct SampleCase {
  const char* file;
  std::vector<int> counts;  // one per kSampleFilters
};
const std::vector<LogbookFilter> kSampleFilters = {
    {"0M", "Any"},    {"20M", "Any"},   {"40M", "Any"},   {"20M", "Digi"},
    {"40M", "JT9"},   {"630M", "Any"},  {"2190M", "JT9"}, {"2190M", "Any"},
    {"160M", "Digi"}, {"80M", "JT9-1"}, {"630M", "JT9-2"}};

TEST(RealLogbooks, CountsAgreeWithAnIndependentReader) {
  testing::TempDir dir;
  // goodfile.txt is an .adi file under another name.
  std::filesystem::copy_file(kSamples + "goodfile.txt", dir.Path() / "goodfile.adi");
  const std::vector<SampleCase> cases = {
      {"ADIF_316_test_QSOs_2025_08_27.adi", {0, 403, 181, 87, 3, 189, 4, 190, 38, 0, 0}},
      {"Log4OM.adi", {0, 77, 38, 4, 0, 0, 0, 0, 0, 0, 0}},
      {"lotwreport.adi", {0, 245, 180, 21, 0, 0, 0, 0, 0, 0, 0}},
      {"wsjtx_log.adi", {0, 299, 1, 266, 0, 0, 0, 0, 0, 0, 0}},
      {"goodfile.adi", {0, 0, 0, 0, 0, 2, 0, 1, 0, 0, 0}},
      {"goodfile.adx", {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
  };
  for (const SampleCase& c : cases) {
    const std::string path =
        std::string(c.file) == "goodfile.adi" ? (dir.Path() / c.file).string() : kSamples + c.file;
    for (size_t i = 0; i < kSampleFilters.size(); ++i) {
      const LogbookRead r = ReadLogbook(path, kSampleFilters[i]);
      EXPECT_EQ(r.count, c.counts[i])
          << c.file << " " << kSampleFilters[i].band << "/" << kSampleFilters[i].mode;
      EXPECT_TRUE(r.problem.empty()) << c.file << ": " << r.problem;
    }
  }
}

TEST(RealLogbooks, AcceptedCallsInFileOrder) {
  const std::vector<std::tuple<const char*, LogbookFilter, std::vector<std::string>>> cases = {
      {"ADIF_316_test_QSOs_2025_08_27.adi",
       {"2190M", "JT9"},
       {"7P5BKI", "YU8ZZH", "OH1GNK", "ZL8INY"}},
      {"ADIF_316_test_QSOs_2025_08_27.adi", {"40M", "JT9"}, {"LY8CHB", "OH0FXB", "OH6GWR"}},
      {"wsjtx_log.adi", {"40M", "Any"}, {"WY6R"}},
      {"goodfile.adx", {"630M", "JT9"}, {"XX1XXX", "YY1YYY"}},
  };
  for (const auto& [file, filter, calls] : cases) {
    EXPECT_EQ(ReadLogbook(kSamples + file, filter).calls, calls) << file;
  }
}

}  // namespace
}  // namespace merivac
