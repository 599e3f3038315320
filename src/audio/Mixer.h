// Mixer.h - the front end mixer: a single-sideband down-converter.
//
// It shifts the 48 kHz input band down by the local-oscillator frequency LO,
// so that a signal at LO + f comes out at f, and suppresses signals below
// LO: out = Hilbert(x sin) + x cos, with the 801-tap Hilbert transformer of
// HilbertTable. The output is delayed by K = 400 samples (8.3 ms): sample j
// of a mixed block is the mixed value of the input 400 samples earlier in
// the continuous input. Blocks are mixed in place.
//
// The oscillator runs on from block to block without a phase step, and any
// amount of input is mixed (in pieces of at most kPiece samples), so a long
// block after a stall is mixed in full. Outputs saturate to the 16-bit
// range instead of wrapping.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "audio/HilbertTable.h"

namespace merivac {

class FrontEndMixer {
 public:
  static constexpr int32_t kPiece = 9600;  // samples mixed in one pass

  FrontEndMixer();

  // StartMixer: the oscillator restarts at phase 0 with the given LO (Hz);
  // the next block keeps the history the mixer held.
  void Start(int32_t lo);

  // Mixes n samples of x in place (any n >= 0).
  void MixBlock(int16_t* x, int32_t n);

  int32_t Lo() const { return lo_; }
  // LoPhase: the oscillator phase at the first position of the next
  // block's extended block (2K samples before its first sample), 0..2 pi.
  double LoPhase() const { return loPhase_; }
  bool FirstBlock() const { return firstBlock_; }

 private:
  static constexpr int32_t kTwoK = 2 * kHilbertHalf;
  static constexpr int32_t kTile = 8;                 // outputs summed together
  static constexpr int32_t kTaps = kHilbertHalf / 2;  // odd taps 1, 3, .. 399

  void MixPiece(int16_t* x, int32_t n);

  int32_t lo_ = 0;
  double loPhase_ = 0;
  bool firstBlock_ = true;
  std::array<double, kTaps> taps_{};       // h[1], h[3], ... h[399]
  std::array<int16_t, kTwoK> previous_{};  // the last 2K input samples
  std::vector<int16_t> extended_;          // 2K history + the piece
  std::vector<double> product_;            // extended[q] sin(phase q), zero padded
  std::vector<double> sine_;               // sin(phase q)
  std::vector<double> cosine_;             // cos(phase q)
  std::vector<double> hilbert_;            // the Hilbert sum per output
};

}  // namespace merivac
