// DecoderBridge.h - decoding one receive cycle with the outside decoder
// wsjt/jt9_copy.
//
// Each pass writes the cycle recording as save/<name>.wav with the pass's
// time shift, runs jt9 on it with the RX band on the recording's time scale,
// reads its output through a pipe until it ends or the cycle's deadline
// passes, parses the decode lines back to the real scale of the sub-mode,
// drops repeats of earlier passes and dispatches each new decode to the
// windows, the decoded file and the sinks (alerts, UDP, PSK Reporter).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "codec/DecodeSinks.h"
#include "codec/RxLimits.h"
#include "common/Jt9Msg.h"

namespace merivac {

class Clock;
class DebugLog;
class DecodeWindows;
class MainControls;
class ProcessRunner;
class UiServices;
struct CycleRecording;
struct Settings;

constexpr const char* kDecoderPath = "wsjt/jt9_copy";
constexpr int kLastPass = 10;
// Time shift in seconds of each decoding pass.
constexpr std::array<double, kLastPass + 1> kPassShifts = {0.0, -0.8, 0.8, -0.4, 0.4, -0.6,
                                                           0.6, -0.2, 0.2, -1.0, 1.0};
inline double PassShifts(int pass) { return kPassShifts.at(static_cast<size_t>(pass)); }

struct DecoderLimits {
  int upper = 0;  // "-H"
  int lower = 0;  // "-S"
};

// The RX band on the recording's time scale, at most 5000 Hz; 200..5000
// when the RX limits are discarded.
DecoderLimits DecoderBand(uint32_t mode, RxFreqLimits rx, bool discardRxLimits);

// The decoder's argument vector (argument 0 is its path).
std::vector<std::string> DecoderArguments(DecoderLimits limits, const std::string& wavName);

// The local-clock minute boundary nearest to now, less 1/86400 of a minute.
double DecodeDeadline(double localNow);

// Splits the decoder's output into lines at CR LF, LF or CR; lines that
// begin with "<" become empty; no bytes at all give {"error"}.
tDecode_Array SplitDecoderOutput(const std::string& bytes);

// One record per line longer than 32 characters, with frequency and SNR
// corrected for the sub-mode.
tJT9_Msg_Array ParseDecodes(const tDecode_Array& lines, uint32_t mode);

// By ascending AudioFreq; equal frequencies keep their order.
tJT9_Msg_Array SortDecodesByFreq(tJT9_Msg_Array decodes);

// The same message text already accepted less than 10 Hz away.
bool IsRepeatDecode(const tJT9_Msg_Array& accepted, const tJT9_Msg& record);

// Runs the decoder once on folder/save/<wavName> and returns its output
// lines. Output is read in blocks of up to 2048 bytes; the clock and the
// stop request are looked at between reads (each waits at most 50 ms).
// Until output comes, reading goes on up to the deadline; once it has come,
// until it ends. A decoder still running when reading stops is ended and
// reaped. A decoder that cannot be started gives {"error"} at once, a
// debug-log line and *started = false.
tDecode_Array RunDecoder(ProcessRunner& runner, const Clock& clock, const std::string& folder,
                         const std::string& wavName, DecoderLimits limits, double deadline,
                         const bool& stopDecoding, DebugLog* log = nullptr,
                         bool* started = nullptr);

// The station a message lets PSK Reporter spot: the message, blanks trimmed
// at both ends, has exactly three words separated by spaces, the second a
// valid callsign and the third a valid 4- or 6-character grid.
struct SpottedStation {
  std::string call;
  std::string grid;
};
std::optional<SpottedStation> SpottedSender(const std::string& msgText);

// What DecodeCycle leaves for the main tick's "Decoding ended (" line.
struct DecodeCycleResult {
  int passesRun = 0;
  size_t lastPassDecodes = 0;  // records of the last pass's ParseDecodes
  size_t accepted = 0;         // records dispatched in the whole cycle
  tJT9_Msg_Array decodes;      // the cycle list, in dispatch order
};

// "Decoding ended (<s.sss> s - <n> msg decoded) [RX]".
std::string DecodingEndedLine(double elapsedSeconds, size_t lastPassDecodes);

class DecoderBridge {
 public:
  struct Deps {
    Settings& settings;
    const Clock& clock;
    DebugLog& log;
    MainControls& controls;
    UiServices& ui;
    CycleRecording& recording;
    DecodeWindows& windows;  // BandMemo, RxMemo, StopDecoding, decoded.txt
    ProcessRunner& runner;
    DecodeSinks& sinks;
    RxLimitsAccessor rxLimits;    // the current RxLowLimit / RxHighLimit
    std::string folder;           // the program folder (save/ and wsjt/ lie in it)
    bool* alertRaised = nullptr;  // the tick's AlertRaised; own flag when null
    bool* capturing = nullptr;    // the engine's Capturing, cleared at the end
  };

  explicit DecoderBridge(Deps deps);

  // Decodes the cycle just recorded: one pass, or eleven with "Allow
  // multiple decoding", until the deadline or a stop request. The caller
  // (the main tick) pauses the input and writes "Decoding started [RX]"
  // before, resumes the input and writes DecodingEndedLine after.
  DecodeCycleResult DecodeCycle();

  // The name of the current cycle's file, set when a decoding starts.
  const std::string& WavFileName() const { return wavFileName_; }

 private:
  void Dispatch(const tJT9_Msg& record);
  void RefreshTimeLabel();

  Deps d_;
  std::string wavFileName_;
  bool ownAlertRaised_ = false;
};

}  // namespace merivac
