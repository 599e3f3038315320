// AdifReader.h - reading the worked callsigns from an ADIF logbook.
//
// Both ADIF encodings are read: the tagged text form (.adi) as the tag
// stream that ADIF defines, where each <NAME:LEN[:TYPE]> is followed by
// exactly LEN characters of data, text between fields is ignored and <EOR>
// ends a record wherever it stands; and the XML form (.adx) through Qt's XML
// parser. Of each record only CALL, BAND, FREQ and MODE matter (upper-cased);
// a record is kept when it matches the chosen band and mode, and then only
// its callsign. The file is never written.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace merivac {

struct BandRange {
  const char* name;
  uint32_t fromHz;  // both limits included
  uint32_t toHz;
};
// The bands in the Logbook dialog's order (index 0 to 12).
extern const std::array<BandRange, 13> kBands;
// The band name of a record or a filter when no band applies.
constexpr const char* kNoBand = "0M";

// The mode choices in the Logbook dialog's order.
constexpr std::array<const char*, 7> kModeChoices = {"JT9",    "JT9-1", "JT9-2", "JT9-5",
                                                     "JT9-10", "Digi",  "Any"};

// The band of a frequency in Hz, "0M" outside every band.
std::string BandOfHz(int64_t hz);
// The band of a frequency in MHz: rounded to whole Hz (halves to even).
std::string BandOfFrequency(double mhz);
// The index of a band name in kBands, -1 when it is none of them.
int BandIndex(std::string_view band);

// Every character a digit except at most one '.'; the empty text counts as
// plain too.
bool IsPlainNumber(std::string_view text);

// BandFilter and ModeFilter of a read.
struct LogbookFilter {
  std::string band = kNoBand;
  std::string mode = "JT9";
};

// The four fields of one record, upper-cased.
struct AdifRecord {
  std::string call, band, freq, mode;
};

// Record acceptance: a record without BAND takes the band of a plain-number
// FREQ (MHz); a known band must equal the filter's; then the mode: "Any" or
// an empty MODE accepts, "Digi" accepts JT..., FT..., RTTY..., WSQ... and
// anything with PSK, "JT9" accepts JT9..., a sub-mode accepts itself only.
bool AcceptRecord(const AdifRecord& record, const LogbookFilter& filter);

struct LogbookRead {
  // ReadLogbook's result: the number of accepted records, or -1 when the
  // file is missing or unreadable or its extension is neither .adi nor .adx.
  int count = -1;
  std::vector<std::string> calls;  // the accepted records' calls, in file order
  std::string problem;  // what was wrong with the file, for the debug log; empty when nothing
};

// By the extension, case-insensitive: .adi as tag stream, .adx as XML.
LogbookRead ReadLogbook(const std::string& path, const LogbookFilter& filter);
// The tag-stream reader on a file's text (a UTF-8 byte-order mark is skipped).
// A file that does not begin with '<' has a header up to <EOH>.
void ReadAdiText(std::string_view text, const LogbookFilter& filter, LogbookRead& out);
// The XML reader: the records inside <RECORDS>, whatever the line layout.
// A document that is not well-formed before its records gives -1; one cut
// off later keeps the records read so far and says so in problem.
LogbookRead ReadAdx(const std::string& path, const LogbookFilter& filter);

}  // namespace merivac
