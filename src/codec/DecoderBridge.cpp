// DecoderBridge.cpp - the decoding passes, the decoder run and its output.
#include "codec/DecoderBridge.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

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

// How much of an output that went over the caps is kept: whole lines only,
// no more than the caps allow.
size_t KeptDecoderOutput(const std::string& output) {
  size_t end = std::min(output.size(), kMaxDecoderOutputBytes);
  size_t lines = 0;
  for (size_t i = 0; i < end; ++i) {
    const bool lineBreak = output[i] == '\n' || output[i] == '\r';
    if (lineBreak && ++lines == kMaxDecoderOutputLines) end = i + 1;
  }
  const size_t lastBreak = output.find_last_of("\r\n", end == 0 ? 0 : end - 1);
  return lastBreak == std::string::npos || end == 0 ? 0 : lastBreak + 1;
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

std::vector<std::string> DecoderArguments(DecoderLimits limits, const std::string& wavPath) {
  return {kDecoderPath, "-9",
          "-d",         "3",
          "-H",         std::to_string(limits.upper),
          "-S",         std::to_string(limits.lower),
          wavPath};
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

bool HasDecodeLayout(const std::string& line) {
  if (line.size() <= 32) return false;
  for (size_t i = 0; i < 4; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
  }
  long snr = 0, freq = 0;
  double dt = 0;
  return ReadInt(Field(line, 5, 3), snr) && snr >= -99 && snr <= 99 &&
         ReadDouble(Field(line, 9, 4), dt) && dt >= -60 && dt <= 60 &&
         ReadInt(Field(line, 14, 4), freq) && freq >= 0 && freq <= kMaxDecoderFreq;
}

tJT9_Msg_Array ParseDecodes(const tDecode_Array& lines, uint32_t mode) {
  tJT9_Msg_Array decodes;
  const double sps = SamplesPerSymbol(mode) != 0 ? SamplesPerSymbol(mode) : 6912;
  for (const auto& line : lines) {
    if (!HasDecodeLayout(line)) continue;
    tJT9_Msg r;
    r.RawLine = line;
    r.UtcText = line.substr(0, 4);
    long rawSnr = 0, f = 0;
    ReadInt(Field(line, 5, 3), rawSnr);
    r.Snr = static_cast<int8_t>(rawSnr + ModeSnrCorrection(mode));
    ReadDouble(Field(line, 9, 4), r.DecoderDt);
    ReadInt(Field(line, 14, 4), f);
    // nearbyint rounds halves to even in the default rounding mode.
    r.AudioFreq = static_cast<uint16_t>(std::nearbyint(static_cast<double>(f) * 6912.0 / sps));
    r.ModeChar = ModeChar(mode);
    r.MsgText = line.substr(22);
    decodes.push_back(std::move(r));
  }
  return decodes;
}

tJT9_Msg_Array SortDecodesByFreq(tJT9_Msg_Array decodes) {
  std::stable_sort(decodes.begin(), decodes.end(),
                   [](const tJT9_Msg& a, const tJT9_Msg& b) { return a.AudioFreq < b.AudioFreq; });
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
                         const std::string& wavPath, DecoderLimits limits, double deadline,
                         const bool& stopDecoding, DebugLog* log, DecoderRun* run) {
  DecoderRun own;
  DecoderRun& r = run != nullptr ? *run : own;
  r = DecoderRun{};
  auto note = [log](const std::string& text) {
    if (log != nullptr) log->Write(text);
  };
  std::error_code ec;
  // Absolute: the runner resolves a relative program path against the
  // working folder, which is wsjt/ itself.
  const std::filesystem::path wsjt = std::filesystem::absolute(folder, ec) / "wsjt";
  // The recording's path as seen from the decoder's working folder.
  std::filesystem::path recording = std::filesystem::relative(wavPath, wsjt, ec);
  if (ec || recording.empty()) recording = std::filesystem::absolute(wavPath, ec);
  std::string error;
  auto child = runner.Start((wsjt / "jt9_copy").string(),
                            DecoderArguments(limits, recording.string()), wsjt.string(), &error);
  r.started = child != nullptr;
  if (!child) {
    note("Decoder could not be started: " + error + " [RX]");
    return {"error"};
  }
  std::string output;
  size_t lines = 0;
  char block[kReadBlock];
  for (;;) {
    const int n = child->Read(block, kReadBlock, kReadWaitMs);
    if (n > 0) {
      output.append(block, static_cast<size_t>(n));
      lines += static_cast<size_t>(
          std::count_if(block, block + n, [](char c) { return c == '\n' || c == '\r'; }));
      if (output.size() > kMaxDecoderOutputBytes || lines > kMaxDecoderOutputLines) {
        r.tooMuchOutput = true;
        break;
      }
    } else if (n == 0 && !output.empty()) {
      break;  // the output has ended
    }
    if (clock.Now() > deadline || stopDecoding) {
      r.cutOff = n != 0;  // the decoder was still running
      break;
    }
  }
  // Ends a decoder that is still running (and whatever it started) and reaps it.
  child->Terminate();
  r.exitStatus = child->ExitStatus();
  if (r.tooMuchOutput) {
    note("Decoder output too large (more than " + std::to_string(kMaxDecoderOutputBytes) +
         " bytes or " + std::to_string(kMaxDecoderOutputLines) + " lines), decoder ended [RX]");
    output.resize(KeptDecoderOutput(output));
    if (output.empty()) return {"error"};
  } else if (r.cutOff) {
    note(std::string(stopDecoding ? "Decoding stopped" : "Decoding deadline reached") +
         ", decoder ended [RX]");
  } else if (r.Crashed()) {
    note(r.exitStatus == ChildProcess::kNoExitStatus
             ? std::string("Decoder crashed [RX]")
             : "Decoder ended with status " + std::to_string(r.exitStatus) + " [RX]");
  }
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

std::string DecoderBridge::SaveFolder() const {
  if (!d_.saveFolder.empty()) return d_.saveFolder;
  return (std::filesystem::path(d_.folder) / "save").string();
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

  const std::string saveFolder = SaveFolder();
  bool full = false;  // the cycle has shown as many decodes as it may
  for (int pass = 0; pass <= lastPass && d_.clock.Now() < deadline && !stop; ++pass) {
    d_.controls.SetText(Ctl::CycleTextLabel, "decoding (" + std::to_string(pass) + ")");
    DecoderRun run;
    run.started = true;
    tJT9_Msg_Array decodes;
    if (WriteCycleWav(d_.recording, saveFolder, wavFileName_, PassShifts(pass), &d_.log)) {
      const std::string wavPath = (std::filesystem::path(saveFolder) / wavFileName_).string();
      const tDecode_Array lines =
          RunDecoder(d_.runner, d_.clock, d_.folder, wavPath, band, deadline, stop, &d_.log, &run);
      if (!s.saveWav) DeleteCycleWav(saveFolder, wavFileName_);
      if (!run.started || run.Crashed() || run.tooMuchOutput) result.decoderFailed = true;
      if (!lines.empty()) {
        if (lines[0] == "error") {
          result.decoderFailed = true;
          const double utc = d_.clock.Now() - s.utcOffsetHours / 24.0;
          d_.windows.BandMemo().AppendPlain(FormatDateTime("hhnn", utc) +
                                            "                  Failed to decode");
        }
        decodes = ParseDecodes(lines, mode);
      }
    } else {
      result.recordingFailed = true;
      d_.log.Write("Decoding pass " + std::to_string(pass) + " skipped [RX]");
    }
    result.lastPassDecodes = decodes.size();
    for (auto& record : SortDecodesByFreq(std::move(decodes))) {
      if (IsRepeatDecode(result.decodes, record)) continue;
      if (result.decodes.size() >= kMaxDecodesPerCycle) {
        full = true;
        break;
      }
      record.PassShift = PassShifts(pass);
      Dispatch(record);
      result.decodes.push_back(std::move(record));
    }
    result.passesRun = pass + 1;
    RefreshTimeLabel();
    d_.ui.ProcessEvents();
    // A decoder that cannot be started fails the same way in every pass.
    if (!run.started) break;
    if (full) {
      result.decoderFailed = true;
      d_.log.Write("More than " + std::to_string(kMaxDecodesPerCycle) +
                   " decodes in one cycle, the rest dropped [RX]");
      break;
    }
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
