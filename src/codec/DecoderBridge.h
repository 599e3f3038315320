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

// The decoder's argument vector (argument 0 is its path); the last is the
// recording's path as the decoder is to open it.
std::vector<std::string> DecoderArguments(DecoderLimits limits, const std::string& wavPath);

// The most of the decoder's output that is read in one run. A real cycle
// gives at most a few dozen decode lines; a decoder that prints more than
// this is ended, so that runaway output can neither exhaust memory nor hold
// up the program.
constexpr size_t kMaxDecoderOutputBytes = 256 * 1024;
constexpr size_t kMaxDecoderOutputLines = 2000;
// And the most decodes one cycle shows and hands on (windows, decoded file,
// UDP, PSK Reporter), over all its passes.
constexpr size_t kMaxDecodesPerCycle = 500;

// The local-clock minute boundary nearest to now, less 1/86400 of a minute.
double DecodeDeadline(double localNow);

// Splits the decoder's output into lines at CR LF, LF or CR; lines that
// begin with "<" become empty; no bytes at all give {"error"}.
tDecode_Array SplitDecoderOutput(const std::string& bytes);

// Whether a line has the decoder's decode layout: longer than 32
// characters, the time in characters 1-4 as four digits, the SNR in 6-8 an
// integer from -99 to 99, the time offset in 10-13 a number from -60 to 60
// and the frequency in 15-18 an integer from 0 to 5000 (on the recording's
// scale). Lines without it are no decodes, whatever their length.
bool HasDecodeLayout(const std::string& line);

// One record per line with the decode layout, in line order, with frequency
// and SNR corrected for the sub-mode.
tJT9_Msg_Array ParseDecodes(const tDecode_Array& lines, uint32_t mode);

// By ascending AudioFreq; equal frequencies keep their order.
tJT9_Msg_Array SortDecodesByFreq(tJT9_Msg_Array decodes);

// The same message text already accepted less than 10 Hz away.
bool IsRepeatDecode(const tJT9_Msg_Array& accepted, const tJT9_Msg& record);

// How one run of the decoder went.
struct DecoderRun {
  bool started = false;        // the process could be started
  bool tooMuchOutput = false;  // it printed more than the caps allow and was ended
  bool cutOff = false;         // the deadline or a stop request ended it while it ran
  int exitStatus = -1;         // its own exit status; -1 when it crashed or was ended
  // It ran to its own end and still failed: killed by a signal, or a
  // non-zero exit status.
  bool Crashed() const { return started && !tooMuchOutput && !cutOff && exitStatus != 0; }
};

// Runs the decoder folder/wsjt/jt9_copy once on the recording wavPath and
// returns its output lines. The decoder works in the wsjt folder, so the
// files it writes itself (its own decoded list, timings, FFT wisdom) stay
// beside it and the wisdom is kept from run to run; it is handed the
// recording's path relative to that folder. Output is read in blocks of up
// to 2048 bytes; the clock and the stop request are looked at between reads
// (each waits at most 50 ms). Until output comes, reading goes on up to the
// deadline; once it has come, until it ends, the deadline passes or the
// output caps are reached. The decoder and anything it started are then
// ended and reaped. A decoder that cannot be started gives {"error"} at
// once and a debug-log line; run (when given) tells how it went.
tDecode_Array RunDecoder(ProcessRunner& runner, const Clock& clock, const std::string& folder,
                         const std::string& wavPath, DecoderLimits limits, double deadline,
                         const bool& stopDecoding, DebugLog* log = nullptr,
                         DecoderRun* run = nullptr);

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
  // What went wrong in any pass: a recording that could not be written, a
  // decoder that could not start, crashed, printed nothing or too much.
  bool recordingFailed = false;
  bool decoderFailed = false;
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
    // Where the pass recordings are written; empty: the save/ folder of
    // the program folder.
    std::string saveFolder;
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
  std::string SaveFolder() const;

  Deps d_;
  std::string wavFileName_;
  bool ownAlertRaised_ = false;
};

}  // namespace merivac
