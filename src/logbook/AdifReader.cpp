// AdifReader.cpp - bands, record acceptance and the .adi tag-stream reader.
#include "logbook/AdifReader.h"

#include <charconv>
#include <cmath>
#include <string>

#include "stationdata/CountryTable.h"

namespace merivac {

const std::array<BandRange, 13> kBands = {{
    {"2190M", 135700, 137800},
    {"630M", 472000, 479000},
    {"560M", 501000, 504000},
    {"160M", 1800000, 2000000},
    {"80M", 3500000, 4000000},
    {"60M", 5102000, 5406500},
    {"40M", 7000000, 7300000},
    {"30M", 10100000, 10150000},
    {"20M", 14000000, 14350000},
    {"17M", 18068000, 18168000},
    {"15M", 21000000, 21450000},
    {"12M", 24890000, 24990000},
    {"10M", 28000000, 29700000},
}};

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Upper(c);
  return out;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The position after the first "<EOH>" (any case) at or after from, or npos.
size_t AfterEndOfHeader(std::string_view text, size_t from) {
  for (size_t at = text.find('<', from); at != std::string_view::npos;
       at = text.find('<', at + 1)) {
    if (UpperCase(text.substr(at, 5)) == "<EOH>") return at + 5;
  }
  return std::string_view::npos;
}

// One tag: <NAME>, <NAME:LEN> or <NAME:LEN:TYPE>.
struct Tag {
  std::string name;  // upper-cased
  bool hasLength = false;
  size_t length = 0;
  size_t end = 0;  // the position after '>'
};

// Reads the tag that starts with the '<' at `at`; false when the text there
// is no tag (a stray '<' in free text).
bool ReadTag(std::string_view text, size_t at, Tag& tag) {
  size_t i = at + 1;
  const size_t nameStart = i;
  while (i < text.size() && IsNameChar(text[i])) ++i;
  if (i == nameStart || i >= text.size()) return false;
  tag.name = UpperCase(text.substr(nameStart, i - nameStart));
  tag.hasLength = false;
  tag.length = 0;
  if (text[i] == ':') {
    ++i;
    const size_t digits = i;
    while (i < text.size() && IsDigit(text[i])) {
      // Beyond any file's size: the data simply runs to the end.
      if (tag.length < (size_t{1} << 40)) tag.length = tag.length * 10 + (text[i] - '0');
      ++i;
    }
    if (i == digits) return false;
    tag.hasLength = true;
    if (i < text.size() && text[i] == ':') {
      ++i;
      while (i < text.size() && IsNameChar(text[i])) ++i;
    }
  }
  if (i >= text.size() || text[i] != '>') return false;
  tag.end = i + 1;
  return true;
}

}  // namespace

std::string BandOfHz(int64_t hz) {
  for (const BandRange& b : kBands) {
    if (hz >= b.fromHz && hz <= b.toHz) return b.name;
  }
  return kNoBand;
}

std::string BandOfFrequency(double mhz) {
  const double hz = std::nearbyint(mhz * 1000000.0);
  if (!std::isfinite(hz) || hz < 0 || hz > 1e12) return kNoBand;
  return BandOfHz(static_cast<int64_t>(hz));
}

int BandIndex(std::string_view band) {
  for (size_t i = 0; i < kBands.size(); ++i) {
    if (band == kBands[i].name) return static_cast<int>(i);
  }
  return -1;
}

bool IsPlainNumber(std::string_view text) {
  int points = 0;
  for (char c : text) {
    if (c == '.') {
      if (++points > 1) return false;
    } else if (!IsDigit(c)) {
      return false;
    }
  }
  return true;
}

bool AcceptRecord(const AdifRecord& r, const LogbookFilter& filter) {
  std::string band = r.band;
  if (band.empty() && !r.freq.empty() && IsPlainNumber(r.freq)) {
    double mhz = 0;
    const char* first = r.freq.data();
    const char* last = first + r.freq.size();
    const auto parsed = std::from_chars(first, last, mhz, std::chars_format::fixed);
    // "." alone is no frequency: the band stays unknown.
    if (parsed.ec == std::errc() && parsed.ptr == last) band = BandOfFrequency(mhz);
  }
  if (!band.empty() && band != filter.band) return false;
  const std::string& mode = r.mode;
  if (filter.mode == "Any" || mode.empty()) return true;
  if (filter.mode == "Digi") {
    return StartsWith(mode, "JT") || StartsWith(mode, "FT") || StartsWith(mode, "RTTY") ||
           StartsWith(mode, "WSQ") || mode.find("PSK") != std::string::npos;
  }
  if (filter.mode == "JT9") return StartsWith(mode, "JT9");
  return mode == filter.mode;
}

void ReadAdiText(std::string_view text, const LogbookFilter& filter, LogbookRead& out) {
  out.count = 0;
  out.calls.clear();
  if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  size_t pos = text.find_first_not_of("\r\n");
  if (pos == std::string_view::npos) return;
  // A file that does not begin with '<' starts with a header up to <EOH>;
  // without one it holds no records.
  if (text[pos] != '<') {
    pos = AfterEndOfHeader(text, pos);
    if (pos == std::string_view::npos) {
      out.problem = "a header without <EOH>: no records";
      return;
    }
  }
  AdifRecord record;
  Tag tag;
  for (size_t at = text.find('<', pos); at != std::string_view::npos; at = text.find('<', pos)) {
    if (!ReadTag(text, at, tag)) {
      pos = at + 1;
      continue;
    }
    pos = tag.end;
    if (tag.hasLength) {
      const std::string_view data = text.substr(pos, tag.length);
      pos += data.size();
      if (tag.name == "CALL") record.call = UpperCase(data);
      if (tag.name == "BAND") record.band = UpperCase(data);
      if (tag.name == "FREQ") record.freq = UpperCase(data);
      if (tag.name == "MODE") record.mode = UpperCase(data);
    } else if (tag.name == "EOR") {
      if (AcceptRecord(record, filter)) out.calls.push_back(record.call);
      record = AdifRecord{};
    } else if (tag.name == "EOH") {
      // Fields before <EOH> belong to the header, not to a record.
      record = AdifRecord{};
    }
  }
  out.count = static_cast<int>(out.calls.size());
}

LogbookRead ReadLogbook(const std::string& path, const LogbookFilter& filter) {
  LogbookRead out;
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  const std::string extension =
      dot == std::string::npos || (slash != std::string::npos && dot < slash)
          ? std::string()
          : UpperCase(std::string_view(path).substr(dot));
  if (extension == ".ADX") return ReadAdx(path, filter);
  if (extension != ".ADI") {
    out.problem = "not an ADIF logbook (.adi or .adx): " + path;
    return out;
  }
  std::string text;
  if (!ReadWholeFile(path, text)) {
    out.problem = "cannot read " + path;
    return out;
  }
  ReadAdiText(text, filter, out);
  return out;
}

}  // namespace merivac
