// WavFile.cpp - RIFF/WAVE parsing and writing for 48 kHz mono 16-bit PCM.
#include "audio/WavFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace merivac {

namespace {

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

constexpr uint16_t kPcm = 1;
constexpr uint16_t kExtensible = 0xFFFE;

}  // namespace

WavReader::~WavReader() { Close(); }

void WavReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  samples_ = 0;
  position_ = -1;
}

bool WavReader::Open(const std::string& path, std::string& error) {
  Close();
  const std::string who = "WAV file " + path + ": ";
  // Only a regular file: opening a FIFO for reading would block, and a
  // device would never end. Checked on the open descriptor.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (fd >= 0) ::close(fd);
    error = who + (fd < 0 ? "cannot be opened" : "cannot be opened: not a regular file");
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* f = ::fdopen(fd, "rb");
  if (f == nullptr) {
    ::close(fd);
    error = who + "cannot be opened";
    return false;
  }
  auto fail = [&](const std::string& what) {
    std::fclose(f);
    error = who + what;
    return false;
  };
  uint8_t riff[12];
  if (std::fread(riff, 1, 12, f) != 12 || std::memcmp(riff, "RIFF", 4) != 0 ||
      std::memcmp(riff + 8, "WAVE", 4) != 0) {
    return fail("not a RIFF/WAVE file");
  }
  bool haveFormat = false;
  for (;;) {
    uint8_t head[8];
    if (std::fread(head, 1, 8, f) != 8) return fail(haveFormat ? "no data chunk" : "no format chunk");
    const uint32_t size = Le32(head + 4);
    if (std::memcmp(head, "fmt ", 4) == 0) {
      if (size < 16 || size > 1024) return fail("bad format chunk");
      std::vector<uint8_t> fmt(size);
      if (std::fread(fmt.data(), 1, size, f) != size) return fail("truncated format chunk");
      if ((size & 1) != 0) std::fgetc(f);
      uint16_t tag = Le16(&fmt[0]);
      if (tag == kExtensible && size >= 26) tag = Le16(&fmt[24]);
      const uint16_t channels = Le16(&fmt[2]);
      const uint32_t rate = Le32(&fmt[4]);
      const uint16_t bits = Le16(&fmt[14]);
      if (tag != kPcm || channels != 1 || rate != 48000 || bits != 16) {
        return fail("is " + std::string(tag == kPcm ? "PCM" : "not PCM") + ", " +
                    std::to_string(rate) + " Hz, " + std::to_string(channels) + " channel(s), " +
                    std::to_string(bits) + "-bit; it must be PCM, 48000 Hz, mono, 16-bit");
      }
      haveFormat = true;
    } else if (std::memcmp(head, "data", 4) == 0) {
      if (!haveFormat) return fail("data chunk before the format chunk");
      dataOffset_ = std::ftell(f);
      std::fseek(f, 0, SEEK_END);
      const long end = std::ftell(f);
      // A size larger than the file (a recording that was cut short) is
      // limited to what is there.
      const int64_t available = end > dataOffset_ ? end - dataOffset_ : 0;
      samples_ = std::min<int64_t>(size, available) / 2;
      file_ = f;
      position_ = -1;
      return true;
    } else {
      // In 64 bits: a size of 0xFFFFFFFF plus its pad byte must not wrap to 0.
      const int64_t skip = static_cast<int64_t>(size) + (size & 1);
      if (std::fseek(f, static_cast<long>(skip), SEEK_CUR) != 0) {
        return fail("truncated chunk");
      }
    }
  }
}

int32_t WavReader::ReadAt(int64_t first, int16_t* out, int32_t n) {
  if (file_ == nullptr || first < 0 || first >= samples_ || n <= 0) return 0;
  const int64_t count = std::min<int64_t>(n, samples_ - first);
  if (position_ != first) {
    if (std::fseek(file_, dataOffset_ + static_cast<long>(first * 2), SEEK_SET) != 0) return 0;
  }
  std::array<uint8_t, 8192> bytes{};
  int32_t done = 0;
  while (done < count) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(bytes.size() / 2, count - done));
    const size_t got = std::fread(bytes.data(), 2, want, file_);
    for (size_t k = 0; k < got; ++k) out[done + static_cast<int32_t>(k)] = static_cast<int16_t>(Le16(&bytes[2 * k]));
    done += static_cast<int32_t>(got);
    if (got < want) break;
  }
  position_ = first + done;
  return done;
}

WavWriter::~WavWriter() { Close(); }

bool WavWriter::Create(const std::string& path, std::string& error) {
  Close();
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) {
    error = "WAV file " + path + ": cannot be created";
    return false;
  }
  path_ = path;
  samples_ = 0;
  uint8_t h[44] = {};
  std::memcpy(h, "RIFF", 4);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  Put16(h + 20, kPcm);
  Put16(h + 22, 1);
  Put32(h + 24, 48000);
  Put32(h + 28, 96000);
  Put16(h + 32, 2);
  Put16(h + 34, 16);
  std::memcpy(h + 36, "data", 4);
  if (std::fwrite(h, 1, 44, file_) != 44 || !WriteSizes()) {
    Close();
    error = "WAV file " + path + ": cannot be written";
    return false;
  }
  return true;
}

bool WavWriter::WriteSizes() {
  uint8_t v[4];
  const uint32_t data = static_cast<uint32_t>(samples_ * 2);
  bool ok = std::fseek(file_, 4, SEEK_SET) == 0;
  Put32(v, 36 + data);
  ok = ok && std::fwrite(v, 1, 4, file_) == 4 && std::fseek(file_, 40, SEEK_SET) == 0;
  Put32(v, data);
  ok = ok && std::fwrite(v, 1, 4, file_) == 4 && std::fseek(file_, 0, SEEK_END) == 0;
  return ok && std::fflush(file_) == 0;
}

bool WavWriter::Append(const int16_t* samples, int32_t n) {
  if (file_ == nullptr || n <= 0) return file_ != nullptr;
  std::array<uint8_t, 8192> bytes{};
  int32_t done = 0;
  while (done < n) {
    const int32_t m = std::min<int32_t>(static_cast<int32_t>(bytes.size() / 2), n - done);
    for (int32_t k = 0; k < m; ++k) Put16(&bytes[static_cast<size_t>(2 * k)], static_cast<uint16_t>(samples[done + k]));
    if (std::fwrite(bytes.data(), 2, static_cast<size_t>(m), file_) != static_cast<size_t>(m)) return false;
    done += m;
  }
  samples_ += n;
  return WriteSizes();
}

void WavWriter::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace merivac
