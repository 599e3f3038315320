// Fakes.h - in-memory audio channels for the signal-path tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "audio/AudioChannels.h"
#include "common/UiServices.h"

namespace merivac::testing {

// An input channel whose waiting samples the test appends.
class FakeInput : public InputChannel {
 public:
  void Append(const std::vector<int16_t>& samples) {
    waiting_.insert(waiting_.end(), samples.begin(), samples.end());
  }
  uint32_t WaitingBytes() override {
    return error_ ? kAudioError : static_cast<uint32_t>(2 * waiting_.size());
  }
  uint32_t Read(int16_t* dest, uint32_t bytes) override {
    const size_t n = std::min<size_t>(bytes / 2, waiting_.size());
    std::copy(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(n), dest);
    waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(n));
    largestRead_ = std::max(largestRead_, bytes);
    return static_cast<uint32_t>(2 * n);
  }
  bool Pause() override { return true; }
  bool Resume() override { return true; }

  bool error_ = false;
  uint32_t largestRead_ = 0;  // the largest read asked for, in bytes

 private:
  std::deque<int16_t> waiting_;
};

// An output channel that queues pushed samples and plays them on demand;
// the level scales samples still queued when they are played, as the
// sound-card layer's global level does.
class FakeOutput : public OutputChannel {
 public:
  uint32_t QueuedBytes() override {
    return extraQueued_ + static_cast<uint32_t>(2 * queue_.size());
  }
  bool Push(const int16_t* samples, uint32_t bytes) override {
    pushes_.push_back(bytes);
    pushed_.insert(pushed_.end(), samples, samples + bytes / 2);
    queue_.insert(queue_.end(), samples, samples + bytes / 2);
    return true;
  }
  bool Discard() override {
    queue_.clear();
    extraQueued_ = 0;
    discards_ += 1;
    return true;
  }
  void SetLevel(double level) override { level_ = level; }

  // Plays up to n samples and returns what the sound card would emit.
  std::vector<int16_t> Play(size_t n) {
    std::vector<int16_t> out;
    while (n-- > 0 && !queue_.empty()) {
      out.push_back(static_cast<int16_t>(std::lround(queue_.front() * level_)));
      queue_.pop_front();
    }
    return out;
  }

  uint32_t extraQueued_ = 0;  // pretend this much was queued before
  double level_ = 1.0;
  int discards_ = 0;
  std::vector<uint32_t> pushes_;  // byte count of every push
  std::vector<int16_t> pushed_;   // everything ever pushed

 private:
  std::deque<int16_t> queue_;
};

struct HintCall {
  std::string text;
  int x = 0;
  int y = 0;
  std::string sizeText;
};

class FakeUi : public NullUiServices {
 public:
  void ShowHintText(const std::string& text, int x, int y, const std::string& sizeText) override {
    shown.push_back({text, x, y, sizeText});
  }
  void HideHintText() override { hides += 1; }
  std::vector<HintCall> shown;
  int hides = 0;
};

}  // namespace merivac::testing
