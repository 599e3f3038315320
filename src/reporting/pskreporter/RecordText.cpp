// RecordText.cpp - reading the library's key/value records.
#include "reporting/pskreporter/RecordText.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace merivac::pskreporter {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Cut to kMaxFieldBytes without splitting a UTF-8 sequence.
std::string Field(const std::string& text) {
  if (text.size() <= kMaxFieldBytes) return text;
  size_t n = kMaxFieldBytes;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return text.substr(0, n);
}

const std::string* Find(const Record& r, const char* key) {
  const auto it = r.find(key);
  return it == r.end() ? nullptr : &it->second;
}

template <typename T>
bool ReadNumber(const std::string* text, T& value) {
  if (text == nullptr || text->empty()) return false;
  const char* end = text->data() + text->size();
  const auto [p, ec] = std::from_chars(text->data(), end, value);
  return ec == std::errc() && p == end;
}

}  // namespace

std::string Utf8FromUtf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string Utf16FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const size_t len = b < 0x80           ? 1
                       : (b >> 5) == 0x6  ? 2
                       : (b >> 4) == 0xE  ? 3
                       : (b >> 3) == 0x1E ? 4
                                          : 0;
    if (len == 0 || i + len > text.size()) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    char32_t c = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (size_t k = 1; k < len; ++k)
      c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += len;
  }
  return out;
}

std::optional<Record> ParseRecordText(const char16_t* text) {
  if (text == nullptr) return std::nullopt;
  Record record;
  size_t at = 0;
  // Reads one NUL-terminated text; false when the bound is reached first.
  auto next = [&](std::u16string_view& part) {
    const size_t start = at;
    while (at < kMaxRecordUnits && text[at] != 0) ++at;
    if (at >= kMaxRecordUnits) return false;
    part = std::u16string_view(text + start, at - start);
    ++at;
    return true;
  };
  for (;;) {
    std::u16string_view key, value;
    if (!next(key)) return std::nullopt;
    if (key.empty()) return record;  // the closing NUL
    if (!next(value)) return std::nullopt;
    record[Utf8FromUtf16(key)] = Utf8FromUtf16(value);
  }
}

std::optional<ReceiverInfo> ReceiverFromRecord(const Record& local) {
  const std::string* call = Find(local, "STATION_CALLSIGN");
  if (call == nullptr || call->empty()) return std::nullopt;
  ReceiverInfo r;
  r.callsign = Field(*call);
  if (const std::string* grid = Find(local, "MY_GRIDSQUARE")) r.locator = Field(*grid);
  std::string software;
  if (const std::string* id = Find(local, "PROGRAMID")) software = *id;
  if (const std::string* version = Find(local, "PROGRAMVERSION")) {
    software += software.empty() ? *version : " " + *version;
  }
  r.software = Field(software);
  return r;
}

std::optional<SenderRecord> SenderFromRecord(const Record& remote, uint8_t informationSource) {
  const std::string* call = Find(remote, "CALL");
  const std::string* mode = Find(remote, "MODE");
  const std::string* grid = Find(remote, "GRIDSQUARE");
  if (call == nullptr || call->empty() || mode == nullptr || mode->empty() || grid == nullptr ||
      grid->empty()) {
    return std::nullopt;
  }
  SenderRecord s;
  int snr = 0;
  if (!ReadNumber(Find(remote, "FREQ"), s.frequencyHz) || s.frequencyHz == 0 ||
      !ReadNumber(Find(remote, "SNR"), snr)) {
    return std::nullopt;
  }
  if (const std::string* time = Find(remote, "TIME")) {
    if (!ReadNumber(time, s.flowStartSeconds)) return std::nullopt;
  }
  s.callsign = Field(*call);
  s.mode = Field(*mode);
  s.locator = Field(*grid);
  s.snr = static_cast<int8_t>(std::clamp(snr, -128, 127));
  s.informationSource = informationSource;
  return s;
}

}  // namespace merivac::pskreporter
