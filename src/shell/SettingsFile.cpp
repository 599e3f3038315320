// SettingsFile.cpp - reading and writing Merivac.set.
//
// Both directions walk one list of keys (VisitKeys), so the order written,
// the keys understood and the fallback values cannot drift apart.
#include "shell/SettingsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <type_traits>

namespace merivac {

namespace {

// When a key's line is written.
enum class When { Always, NotZero, Positive, NotEmpty };

// Every key in the order the file is written, with the fallback value of
// each integer for a value that is not a valid number. S is Settings or
// const Settings; V gets Text, Int, Real and Bool calls.
template <typename S, typename V>
void VisitKeys(S& s, V& v) {
  v.Text("CALL", s.call, When::Always);
  v.Text("GRID", s.grid, When::Always);
  v.Int("PTT_", s.pttMethod, 0, When::Always);
  v.Text("PORT", s.port, When::Always);
  v.Int("DEVO", s.outputDevice, -1, When::Always);
  v.Int("DEVI", s.inputDevice, -1, When::Always);
  v.Int("PWR_", s.pwr, 0, When::Always);
  v.Int("F_RX", s.rxFreq, 1250, When::Always);
  v.Int("F_TX", s.txFreq, 1250, When::Always);
  v.Int("WDT_", s.watchdogMinutes, 0, When::Always);
  v.Int("TXDL", s.txDelayMs, 0, When::Always);
  v.Int("CYCL", s.mode, 0, When::Always);
  v.Int("TOP_", s.windowTop, 0, When::Always);
  v.Int("LEFT", s.windowLeft, 0, When::Always);
  v.Real("TIME", s.utcOffsetHours);
  v.Bool("SQSO", s.shortQso);
  v.Bool("TX_1", s.txFirst);
  v.Bool("HOLD", s.holdTxFreq);
  v.Bool("SAVE", s.saveWav);
  v.Bool("S_DC", s.saveDecoded);
  v.Bool("S_DB", s.saveDebug);
  v.Bool("ENTX", s.enableTxAfterSelect);
  v.Int("GAIN", s.spectrumGain, 20, When::Always);
  v.Int("OFFS", s.spectrumOffset, 10, When::Always);
  v.Bool("IGNO", s.ignoredFlag);
  v.Bool("TXMS", s.showTxMessages);
  v.Int("T_SP", s.toneSpacing, 0, When::Always);
  v.Bool("TXLM", s.discardTxLimits);
  v.Bool("RXLM", s.discardRxLimits);
  v.Int("AVOF", s.traceOffset, 10, When::Always);
  v.Bool("VAGC", s.spectrumAgc);
  v.Bool("P_EN", s.pskEnabled);
  v.Bool("P_SW", s.pskSwl);
  v.Text("P_ID", s.pskId, When::Always);
  v.Int("DIAL", s.dialFreq, 0, When::NotZero);
  v.Int("FSLO", s.spectrumLow, 200, When::Always);
  v.Int("FSHI", s.spectrumHigh, 1400, When::Always);
  v.Bool("MDEC", s.multiDecode);
  v.Bool("U_EN", s.udpEnabled);
  v.Text("U_IP", s.udpAddress, When::Always);
  v.Int("U_PO", s.udpPort, 0, When::Always);
  v.Int("A_PN", s.alertLine, 0, When::Always);
  v.Bool("A_MC", s.alertMyCall);
  v.Bool("A_NC", s.alertNewCall);
  v.Bool("A_DX", s.alertNewEntity);
  v.Bool("A_ST", s.alertNewState);
  v.Bool("A_AD", s.alertAnyDistance);
  v.Bool("A_ND", s.alertNewDistance);
  v.Bool("A_IN", s.alertInclude);
  v.Bool("A_EX", s.alertExclude);
  v.Int("A_AK", s.alertAnyKm, -1, When::Positive);
  v.Int("A_NK", s.alertNewKm, -1, When::Positive);
  v.Text("A_IC", s.alertIncludeCalls, When::NotEmpty);
  v.Text("A_EC", s.alertExcludeCalls, When::NotEmpty);
  v.Int("LO_F", s.mixerLo, 0, When::Always);
  v.Bool("FEM_", s.mixerEnabled);
  v.Text("LOG_", s.logbookPath, When::NotEmpty);
  v.Bool("UCTY", s.updateCty);
  v.Bool("UWAS", s.updateWas);
  // Added after the keys above; older readers ignore it.
  v.Text("WURL", s.wasSourceUrl, When::NotEmpty);
}

// The real number in its shortest form up to 15 significant digits, with
// '.' whatever the locale.
std::string FormatReal(double value) {
  if (value == 0 || !std::isfinite(value)) return "0";
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, 15);
  return std::string(buffer.data(), result.ptr);
}

class Writer {
 public:
  void Text(const char* key, const std::string& value, When when) {
    if (when == When::NotEmpty && value.empty()) return;
    Line(key, value);
  }
  template <typename T>
  void Int(const char* key, T value, int64_t, When when) {
    const int64_t v = static_cast<int64_t>(value);
    if (when == When::NotZero && v == 0) return;
    if (when == When::Positive && v <= 0) return;
    Line(key, std::to_string(v));
  }
  void Real(const char* key, double value) { Line(key, FormatReal(value)); }
  void Bool(const char* key, bool value) { Line(key, value ? "Y" : "N"); }
  std::string text;

 private:
  void Line(const char* key, const std::string& value) {
    text += key;
    text += ": ";
    text += value;
    text += "\r\n";
  }
};

// A decimal integer: an optional '-' and at least one digit, nothing else.
std::optional<int64_t> ParseInteger(const std::string& text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) i = 1;
  if (i >= text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    // Beyond every field's range: no need to read further digits.
    if (value > (int64_t{1} << 33)) return std::nullopt;
  }
  return negative ? -value : value;
}

// A decimal real with '.'; an optional leading '+' is allowed.
std::optional<double> ParseReal(const std::string& text) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  if (first == last || *first == '+') return std::nullopt;
  double value = 0;
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != last || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

bool ValidMode(uint32_t mode) { return mode == 1 || mode == 2 || mode == 5 || mode == 10; }

// Applies one line to the settings: every key compares itself with the
// line's first six (booleans: seven) characters.
class Reader {
 public:
  Reader(Settings& s, const std::string& line) : s_(s), line_(line) {}

  void Text(const char* key, std::string& value, When) {
    if (Matches(key)) value = line_.substr(6);
  }

  // The value must fit the field's 32-bit type (unsigned for the unsigned
  // 32-bit fields, signed for all others), else the fallback applies; the
  // 8- and 16-bit fields keep the low bits of the number.
  template <typename T>
  void Int(const char* key, T& value, int64_t unreadable, When) {
    if (!Matches(key)) return;
    const std::optional<int64_t> parsed = ParseInteger(line_.substr(6));
    const bool wide = std::is_same_v<T, uint32_t>;
    const int64_t low = wide ? 0 : std::numeric_limits<int32_t>::min();
    const int64_t high = wide ? int64_t{std::numeric_limits<uint32_t>::max()}
                              : int64_t{std::numeric_limits<int32_t>::max()};
    const int64_t number = parsed && *parsed >= low && *parsed <= high ? *parsed : unreadable;
    const T result = static_cast<T>(static_cast<std::make_unsigned_t<T>>(number));
    if (static_cast<void*>(&value) == static_cast<void*>(&s_.mode)) {
      // The cycle length divides the time; any other value keeps the mode.
      if (ValidMode(static_cast<uint32_t>(result))) value = result;
      return;
    }
    value = result;
    if (static_cast<void*>(&value) == static_cast<void*>(&s_.windowTop)) topRead = true;
    if (static_cast<void*>(&value) == static_cast<void*>(&s_.windowLeft)) leftRead = true;
  }

  void Real(const char* key, double& value) {
    if (Matches(key)) value = ParseReal(line_.substr(6)).value_or(0.0);
  }

  // Only "Y" sets a flag; VAGC is on until a line reads "N".
  void Bool(const char* key, bool& value) {
    const bool agc = &value == &s_.spectrumAgc;
    if (line_.compare(0, 7, std::string(key) + (agc ? ": N" : ": Y")) != 0) return;
    value = !agc;
  }

  bool topRead = false;
  bool leftRead = false;

 private:
  bool Matches(const char* key) const {
    return line_.compare(0, 4, key) == 0 && line_.compare(4, 2, ": ") == 0;
  }
  Settings& s_;
  const std::string& line_;
};

// The checks on the values in force after the last line.
void CheckLoaded(Settings& s) {
  if (s.mixerLo < 200 || s.mixerLo > 23999) s.mixerEnabled = false;
  if (s.spectrumGain > 100) s.spectrumGain = 100;
  const bool edgesOk = s.spectrumHigh <= 5000 && s.spectrumLow >= 100 &&
                       int64_t{s.spectrumHigh} - s.spectrumLow >= 100;
  if (!edgesOk) {
    s.spectrumLow = 200;
    s.spectrumHigh = 1400;
  }
}

class LineSplitter {
 public:
  explicit LineSplitter(Settings& s) : s_(s) {}
  // CR LF, a bare LF and a bare CR each end a line.
  void Feed(const char* data, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      const char c = data[i];
      if (c == '\n' && afterCr_) {
        afterCr_ = false;
        continue;
      }
      afterCr_ = c == '\r';
      if (c == '\r' || c == '\n') {
        Apply();
      } else {
        line_ += c;
      }
    }
  }
  void Finish() {
    if (!line_.empty()) Apply();
  }
  bool topRead = false;
  bool leftRead = false;

 private:
  void Apply() {
    if (line_.size() >= 7) {
      Reader reader(s_, line_);
      VisitKeys(s_, reader);
      topRead = topRead || reader.topRead;
      leftRead = leftRead || reader.leftRead;
    }
    line_.clear();
  }
  Settings& s_;
  std::string line_;
  bool afterCr_ = false;
};

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string SettingsFileText(const Settings& settings) {
  Writer writer;
  VisitKeys(settings, writer);
  return writer.text;
}

bool LoadSettings(Settings& settings, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  LineSplitter splitter(settings);
  std::array<char, 4096> buffer{};
  size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
    splitter.Feed(buffer.data(), n);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return false;
  splitter.Finish();
  if (splitter.topRead && splitter.leftRead) settings.windowPlaced = true;
  CheckLoaded(settings);
  return true;
}

bool SaveSettings(const Settings& settings, const std::string& path) {
  const std::string text = SettingsFileText(settings);
  const std::string temporary = path + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                        0666);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, text);
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  // The rename itself reaches the disk with the folder.
  const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace merivac
