// RingBuffer.h - a lock-free single-producer/single-consumer sample ring.
//
// The sound-card callbacks run on PortAudio's thread and the program polls
// from the user-interface thread; this ring lets them pass samples without
// locks and without either side ever blocking. Positions are 64-bit counters
// that only grow, so "full" and "empty" need no spare slot. The producer may
// ask for everything queued to be dropped (a discard of the output queue);
// the consumer honours that on its next read.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace merivac {

template <typename T>
class RingBuffer {
 public:
  explicit RingBuffer(size_t capacity) : data_(capacity) {}
  RingBuffer(const RingBuffer&) = delete;
  RingBuffer& operator=(const RingBuffer&) = delete;

  size_t Capacity() const { return data_.size(); }

  // Items that the consumer can still read (either side may ask).
  size_t Size() const {
    const uint64_t w = write_.load(std::memory_order_acquire);
    const uint64_t r = std::max(read_.load(std::memory_order_acquire),
                                discardTo_.load(std::memory_order_acquire));
    return w > r ? static_cast<size_t>(w - r) : 0;
  }

  // Producer side: room for new items.
  size_t Free() const {
    const uint64_t w = write_.load(std::memory_order_relaxed);
    const uint64_t r = read_.load(std::memory_order_acquire);
    return data_.size() - static_cast<size_t>(w - r);
  }

  // Producer side: copies up to n items in, returns how many fitted.
  size_t Write(const T* src, size_t n) {
    const uint64_t w = write_.load(std::memory_order_relaxed);
    n = std::min(n, Free());
    CopyIn(w, src, n);
    write_.store(w + n, std::memory_order_release);
    return n;
  }

  // Producer side: all or nothing.
  bool WriteAll(const T* src, size_t n) {
    if (n > Free()) return false;
    Write(src, n);
    return true;
  }

  // Producer side: drops everything written so far (the consumer skips it).
  void DiscardQueued() {
    discardTo_.store(write_.load(std::memory_order_relaxed), std::memory_order_release);
  }

  // Consumer side: moves up to n items out, returns how many.
  size_t Read(T* dest, size_t n) {
    const uint64_t r = SkipDiscarded();
    const uint64_t w = write_.load(std::memory_order_acquire);
    n = std::min(n, static_cast<size_t>(w - r));
    CopyOut(r, dest, n);
    read_.store(r + n, std::memory_order_release);
    return n;
  }

  // Consumer side: drops everything waiting.
  void DropWaiting() { read_.store(write_.load(std::memory_order_acquire), std::memory_order_release); }

 private:
  uint64_t SkipDiscarded() {
    uint64_t r = read_.load(std::memory_order_relaxed);
    const uint64_t d = discardTo_.load(std::memory_order_acquire);
    if (d > r) {
      r = d;
      read_.store(r, std::memory_order_release);
    }
    return r;
  }
  void CopyIn(uint64_t pos, const T* src, size_t n) {
    const size_t cap = data_.size();
    const size_t at = static_cast<size_t>(pos % cap);
    const size_t first = std::min(n, cap - at);
    std::copy(src, src + first, data_.begin() + static_cast<ptrdiff_t>(at));
    std::copy(src + first, src + n, data_.begin());
  }
  void CopyOut(uint64_t pos, T* dest, size_t n) const {
    const size_t cap = data_.size();
    const size_t at = static_cast<size_t>(pos % cap);
    const size_t first = std::min(n, cap - at);
    std::copy(data_.begin() + static_cast<ptrdiff_t>(at),
              data_.begin() + static_cast<ptrdiff_t>(at + first), dest);
    std::copy(data_.begin(), data_.begin() + static_cast<ptrdiff_t>(n - first), dest + first);
  }

  std::vector<T> data_;
  std::atomic<uint64_t> write_{0};
  std::atomic<uint64_t> read_{0};
  std::atomic<uint64_t> discardTo_{0};
};

// Five seconds of sound-card samples: the size of every recording buffer.
constexpr size_t kDeviceBufferSamples = 5 * 48000;
// Ten seconds: the size of every output queue. Tone output keeps up to 2.5 s
// queued and then adds one whole symbol, which in JT9-10 alone lasts 6.9 s
// (331 776 samples); a queue of 5 s would refuse the JT9-5 and JT9-10 symbols.
constexpr size_t kOutputQueueSamples = 10 * 48000;

}  // namespace merivac
