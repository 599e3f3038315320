// DecoderBridge.cpp - the decoding passes, the decoder run and its output.
#include "codec/DecoderBridge.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "codec/CycleWav.h"
#include "codec/ProcessRunner.h"
#include "common/Clock.h"
#include "common/DateTime.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Mode.h"
#include "common/Recording.h"
#include "common/Settings.h"
#include "common/UiServices.h"
#include "qso/CallRules.h"
#include "qso/DecodeWindows.h"

namespace merivac {

namespace {

constexpr int kReadBlock = 2048;
constexpr int kReadWaitMs = 50;
constexpr int kMaxDecoderFreq = 5000;

// Characters [pos, pos + len) of a line (0-based), shorter at its end.
std::string Field(const std::string& line, size_t pos, size_t len) {
  return pos < line.size() ? line.substr(pos, len) : std::string();
}

// A signed decimal integer with leading blanks allowed.
bool ReadInt(const std::string& text, long& value) {
  size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return false;
  const char* start = text.c_str() + i;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(start, &end, 10);
  if (end == start || *end != '\0' || errno != 0) return false;
  // strtol also takes blanks after the sign; a field does not.
  if ((*start == '-' || *start == '+') && (start[1] < '0' || start[1] > '9')) return false;
  value = v;
  return true;
}

bool ReadDouble(const std::string& text, double& value) {
  size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return false;
  const char* start = text.c_str() + i;
  char* end = nullptr;
  const double v = std::strtod(start, &end);
  if (end == start || *end != '\0' || !std::isfinite(v)) return false;
  value = v;
  return true;
}

int ModeSnrCorrection(uint32_t mode) {
  switch (mode) {
    case 2:
      return -3;
    case 5:
      return -7;
    case 10:
      return -10;
    default:
      return 0;
  }
}

std::vector<std::string> SplitOnSpaces(const std::string& text) {
  std::vector<std::string> words;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(' ', start);
    words.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return words;
    start = at + 1;
  }
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

}  // namespace

std::optional<SpottedStation> SpottedSender(const std::string& msgText) {
  const auto words = SplitOnSpaces(Trim(msgText));
  if (words.size() != 3 || !IsValidCall(words[1]) || !IsValidGrid(words[2])) return std::nullopt;
  return SpottedStation{words[1], words[2]};
}

DecoderLimits DecoderBand(uint32_t mode, RxFreqLimits rx, bool discardRxLimits) {
  if (discardRxLimits) return {kMaxDecoderFreq, 200};
  const int64_t sps = SamplesPerSymbol(mode);
  auto scale = [&](uint16_t f) {
    const int64_t v = static_cast<int64_t>(f) * sps / 6912;
    return static_cast<int>(std::min<int64_t>(v, kMaxDecoderFreq));
  };
  return {scale(rx.high), scale(rx.low)};
}

std::vector<std::string> DecoderArguments(DecoderLimits limits, const std::string& wavName) {
  return {kDecoderPath,
          "-9",
          "-d",
          "3",
          "-H",
          std::to_string(limits.upper),
          "-S",
          std::to_string(limits.lower),
          "save/" + wavName};
}

double DecodeDeadline(double localNow) {
  return (std::round(localNow * kMinutesPerDay) - 1.0 / kSecondsPerDay) / kMinutesPerDay;
}

tDecode_Array SplitDecoderOutput(const std::string& bytes) {
  if (bytes.empty()) return {"error"};
  tDecode_Array lines;
  std::string current;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(current);
      current.clear();
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  for (auto& line : lines) {
    if (!line.empty() && line[0] == '<') line.clear();
  }
  return lines;
}

tJT9_Msg_Array ParseDecodes(const tDecode_Array& lines, uint32_t mode) {
  tJT9_Msg_Array decodes;
  const double sps = SamplesPerSymbol(mode) != 0 ? SamplesPerSymbol(mode) : 6912;
  for (const auto& line : lines) {
    if (line.size() <= 32) continue;
    tJT9_Msg r;
    r.RawLine = line;
    r.UtcText = line.substr(0, 4);
    long rawSnr = -99;
    if (!ReadInt(Field(line, 5, 3), rawSnr)) rawSnr = -99;
    r.Snr = static_cast<int8_t>(rawSnr + ModeSnrCorrection(mode));
    if (!ReadDouble(Field(line, 9, 4), r.DecoderDt)) r.DecoderDt = 0;
    long f = 0;
    if (!ReadInt(Field(line, 14, 4), f)) f = 0;
    // nearbyint rounds halves to even in the default rounding mode.
    r.AudioFreq = static_cast<uint16_t>(std::nearbyint(static_cast<double>(f) * 6912.0 / sps));
    r.ModeChar = ModeChar(mode);
    r.MsgText = line.substr(22);
    decodes.push_back(std::move(r));
  }
  return decodes;
}

tJT9_Msg_Array SortDecodesByFreq(tJT9_Msg_Array decodes) {
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (size_t i = 1; i < decodes.size(); ++i) {
      if (decodes[i].AudioFreq < decodes[i - 1].AudioFreq) {
        std::swap(decodes[i], decodes[i - 1]);
        swapped = true;
      }
    }
  }
  return decodes;
}

bool IsRepeatDecode(const tJT9_Msg_Array& accepted, const tJT9_Msg& record) {
  for (const auto& a : accepted) {
    if (a.MsgText == record.MsgText &&
        std::abs(static_cast<int>(a.AudioFreq) - static_cast<int>(record.AudioFreq)) < 10) {
      return true;
    }
  }
  return false;
}

tDecode_Array RunDecoder(ProcessRunner& runner, const Clock& clock, const std::string& folder,
                         const std::string& wavName, DecoderLimits limits, double deadline,
                         const bool& stopDecoding, DebugLog* log, bool* started) {
  std::string error;
  auto child = runner.Start(kDecoderPath, DecoderArguments(limits, wavName), folder, &error);
  if (started != nullptr) *started = child != nullptr;
  if (!child) {
    if (log != nullptr) log->Write("Decoder could not be started: " + error + " [RX]");
    return {"error"};
  }
  std::string output;
  char block[kReadBlock];
  bool gotData = false;
  for (;;) {
    const int n = child->Read(block, kReadBlock, kReadWaitMs);
    if (n > 0) {
      output.append(block, static_cast<size_t>(n));
      gotData = true;
    } else if (n == 0 && gotData) {
      break;  // the output has ended
    }
    if (clock.Now() > deadline || stopDecoding) break;
  }
  // Ends a decoder that is still running (deadline or stop request) and reaps it.
  child->Terminate();
  return SplitDecoderOutput(output);
}

std::string DecodingEndedLine(double elapsedSeconds, size_t lastPassDecodes) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", elapsedSeconds);
  return std::string("Decoding ended (") + buf + " s - " + std::to_string(lastPassDecodes) +
         " msg decoded) [RX]";
}

DecoderBridge::DecoderBridge(Deps deps) : d_(std::move(deps)) {
  if (d_.alertRaised == nullptr) d_.alertRaised = &ownAlertRaised_;
}

void DecoderBridge::RefreshTimeLabel() {
  const double utc = d_.clock.Now() - d_.settings.utcOffsetHours / 24.0;
  d_.controls.SetText(Ctl::TimeLabel, FormatDateTime("yyyy mmm dd", utc) + "\r\n" +
                                          FormatDateTime("hh:nn:ss", utc));
}

DecodeCycleResult DecoderBridge::DecodeCycle() {
  const Settings& s = d_.settings;
  const uint32_t mode = s.mode;
  // The main tick logs "Decoding started" and "Decoding ended" around this.
  d_.controls.SetText(Ctl::CycleTextLabel, "decoding");
  d_.controls.SetFontColor(Ctl::CycleTextLabel, FromBgr(0xFF0000));
  d_.controls.SetBold(Ctl::CycleTextLabel, true);
  d_.controls.SetColor(Ctl::CycleLabel, d_.controls.Get(Ctl::CycleBgLabel).color);
  d_.ui.ProcessEvents();

  const double utcNow = d_.clock.Now() - s.utcOffsetHours / 24.0;
  wavFileName_ = CycleWavName(utcNow - (static_cast<double>(mode) - 1.0) / kMinutesPerDay);
  const double deadline = DecodeDeadline(d_.clock.Now());

  DecodeCycleResult result;
  bool& stop = d_.windows.StopDecoding();
  stop = false;
  const int lastPass = s.multiDecode ? kLastPass : 0;
  const DecoderLimits band =
      DecoderBand(mode, d_.rxLimits ? d_.rxLimits() : RxFreqLimits{}, s.discardRxLimits);

  for (int pass = 0; pass <= lastPass && d_.clock.Now() < deadline && !stop; ++pass) {
    d_.controls.SetText(Ctl::CycleTextLabel, "decoding (" + std::to_string(pass) + ")");
    bool started = true;
    tJT9_Msg_Array decodes;
    if (WriteCycleWav(d_.recording, d_.folder, wavFileName_, PassShifts(pass), &d_.log)) {
      const tDecode_Array lines = RunDecoder(d_.runner, d_.clock, d_.folder, wavFileName_, band,
                                             deadline, stop, &d_.log, &started);
      if (!s.saveWav) DeleteCycleWav(d_.folder, wavFileName_);
      if (!lines.empty()) {
        if (lines[0] == "error") {
          const double utc = d_.clock.Now() - s.utcOffsetHours / 24.0;
          d_.windows.BandMemo().AppendPlain(FormatDateTime("hhnn", utc) +
                                            "                  Failed to decode");
        }
        decodes = ParseDecodes(lines, mode);
      }
    } else {
      d_.log.Write("Decoding pass " + std::to_string(pass) + " skipped [RX]");
    }
    result.lastPassDecodes = decodes.size();
    for (auto& record : SortDecodesByFreq(std::move(decodes))) {
      if (IsRepeatDecode(result.decodes, record)) continue;
      record.PassShift = PassShifts(pass);
      Dispatch(record);
      result.decodes.push_back(std::move(record));
    }
    result.passesRun = pass + 1;
    RefreshTimeLabel();
    d_.ui.ProcessEvents();
    // A decoder that cannot be started fails the same way in every pass.
    if (!started) break;
  }

  d_.controls.SetFontColor(Ctl::CycleTextLabel, colors::kBlack);
  d_.controls.SetBold(Ctl::CycleTextLabel, false);
  if (d_.capturing != nullptr) *d_.capturing = false;
  d_.recording.Clear();
  result.accepted = result.decodes.size();
  return result;
}

void DecoderBridge::Dispatch(const tJT9_Msg& record) {
  const Settings& s = d_.settings;
  const std::string line = FormatDecodeLine(record);
  const std::string flags = d_.sinks.CheckAlerts(record.MsgText);
  const bool highlighted = flags != kNoAlertFlags;
  if (s.alertLine != 0 && highlighted && !*d_.alertRaised) {
    *d_.alertRaised = true;
    d_.sinks.SwitchAlertLineOn();
    d_.controls.SetColor(Ctl::TimeLabel, FromBgr(0x0000FF));
  }
  d_.windows.AddDecodeLine(d_.windows.BandMemo(), line, highlighted);
  if (IsRxFrequencyDecode(record.AudioFreq, s.rxFreq, s.mode)) {
    d_.windows.AddDecodeLine(d_.windows.RxMemo(), line, highlighted);
  }
  const int64_t rf =
      static_cast<int64_t>(record.AudioFreq) + s.dialFreq + (s.mixerEnabled ? s.mixerLo : 0);
  const std::string rfText = std::to_string(rf);
  const std::string modeText(1, record.ModeChar);
  const std::string snrText = std::to_string(static_cast<int>(record.Snr));
  if (d_.sinks.UdpActive()) {
    const double start = d_.clock.Now() - (static_cast<double>(s.mode) - 1.0) / kMinutesPerDay;
    d_.sinks.BroadcastDecode(flags, FormatDateTime("hhnn", start), snrText, record.MsgText,
                             modeText, rfText);
  }
  if (s.saveDecoded) d_.windows.WriteDecodedFile(line);
  if (d_.sinks.PskActive()) {
    if (const auto sender = SpottedSender(record.MsgText)) {
      d_.sinks.SpotDecode(sender->call, modeText, rfText, sender->grid, snrText);
    }
  }
}

}  // namespace merivac
