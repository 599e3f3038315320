// Jt9Msg.h - one decoded JT9 message, as the decoder bridge builds it and
// the windows, alerts and reporting use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace merivac {

struct tJT9_Msg {
  std::string RawLine;   // the decoder's output line, carriage returns removed
  std::string UtcText;   // characters 1..4: cycle start "hhnn"
  int8_t Snr = 0;        // dB, corrected for the sub-mode
  double DecoderDt = 0;  // characters 10..13 as seconds
  uint16_t AudioFreq = 0;  // Hz on the real (not time-compressed) scale
  char ModeChar = '1';   // '1', '2', '5' or 'X'
  std::string MsgText;   // character 23 to the end
  double PassShift = 0;  // time shift of the pass that produced it
};

using tJT9_Msg_Array = std::vector<tJT9_Msg>;
using tDecode_Array = std::vector<std::string>;

}  // namespace merivac
