// RecordText.h - the key/value texts that the PSK Reporter library takes,
// read from UTF-16: key, NUL, value, NUL, ..., closed by one more NUL.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "reporting/pskreporter/Ipfix.h"

namespace merivac::pskreporter {

// A record longer than this (in code units) is refused rather than read on.
constexpr size_t kMaxRecordUnits = 4096;
// Field texts are cut to this many bytes, which keeps every datagram with
// at least one spot well below its size limit.
constexpr size_t kMaxFieldBytes = 64;

using Record = std::map<std::string, std::string>;

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view text);
// UTF-8 to UTF-16, for the texts the library hands out.
std::u16string Utf16FromUtf8(std::string_view text);

// The pairs of a record with upper-case keys as written; nothing when the
// text is null, ends within a pair, or runs past kMaxRecordUnits.
std::optional<Record> ParseRecordText(const char16_t* text);

// The receiving station of a local record: STATION_CALLSIGN,
// MY_GRIDSQUARE, and PROGRAMID with PROGRAMVERSION as the decoder software.
// Nothing without a station callsign.
std::optional<ReceiverInfo> ReceiverFromRecord(const Record& local);

// A heard station from a remote record: CALL, FREQ (Hz), SNR (dB, held to
// -128..127), MODE and GRIDSQUARE are required, TIME (Unix seconds) is
// optional. Nothing when one is missing or not a number.
std::optional<SenderRecord> SenderFromRecord(const Record& remote, uint8_t informationSource);

}  // namespace merivac::pskreporter
