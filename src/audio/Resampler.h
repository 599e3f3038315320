// Resampler.h - 4:1 presampling and the per-mode resamplers of the capture
// chain.
//
// Presample averages the 48 kHz input 4:1 to 12 kHz. The resamplers then
// compress time by 6912 / SamplesPerSymbol (1, 9/20, 27/160, 1/12 for JT9-1,
// -2, -5, -10) so that every sub-mode lies in the recording like JT9-1, and
// append to the cycle's recording. Every audio frequency is multiplied by
// SamplesPerSymbol / 6912 on the recording's scale (an 83.3 Hz tone in
// JT9-10 is recorded at 1000 Hz). Each block of 2400 presampled samples is
// resampled in full, with the previous block as history.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "audio/SincTables.h"
#include "common/Recording.h"

namespace merivac {

constexpr int32_t kPresampledBlock = 2400;  // 12 kHz samples per 0.2 s block

// 4:1 block average: out[i] = (x[4i] + .. + x[4i+3]) / 4, truncated toward
// zero; writes n / 4 samples.
void Presample(const int16_t* x, int32_t n, int16_t* out);

class Resampler {
 public:
  static constexpr int32_t kHistory = 32001;  // ResampleHistory entries

  explicit Resampler(CycleRecording& recording);

  SincTables& Tables() { return tables_; }
  const SincTables& Tables() const { return tables_; }
  void BuildTables() { BuildSincTables(tables_); }

  // The cycle start: RecordingLength := 0 (JT9-1) or 2400 (0.2 s of silence
  // for the other modes), ResamplePos := 2400, the first RecordingLength + 1
  // recording samples and the whole history zeroed.
  void StartCycle(uint32_t mode);

  // One block of 2400 presampled samples p (p[2400] must be readable).
  // BlockAverage works for any mode; the other three are the mode's own.
  void BlockAverage(const int16_t* p, uint32_t mode);
  void Sinc920(const int16_t* p);         // JT9-2: 1080 samples a block
  void Sinc38920(const int16_t* p);       // JT9-5: 405 samples a block
  void Fir112Decimate(const int16_t* p);  // JT9-10: 198 first, then 200

  uint32_t ResamplePos() const { return pos_; }
  const std::vector<int16_t>& History() const { return history_; }

 private:
  void Append(long double v);
  long double Row920(int row, const long double* in) const;

  CycleRecording& recording_;
  SincTables tables_;
  std::vector<int16_t> history_;                 // ResampleHistory
  uint32_t pos_ = kPresampledBlock;              // ResamplePos
  std::array<long double, 121> intermediate_{};  // the 3/8 stage's output
};

}  // namespace merivac
