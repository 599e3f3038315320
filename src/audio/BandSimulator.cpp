// BandSimulator.cpp - scenario parsing and the synthesis of the simulated band.
#include "audio/BandSimulator.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <numbers>
#include <sstream>

#include "audio/ToneSynth.h"
#include "common/DateTime.h"
#include "common/FileText.h"
#include "common/Mode.h"

namespace merivac {

namespace {

constexpr int32_t kChunk = 4800;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto r = std::from_chars(text.data(), end, value);
  return r.ec == std::errc() && r.ptr == end && std::isfinite(value);
}

// Splits "signal a=1 message="CQ X" b=2" into words; a quoted value may hold
// spaces. Returns false on an unterminated quote.
bool SplitWords(const std::string& line, std::vector<std::string>& words) {
  std::string word;
  bool inWord = false, quoted = false;
  for (char ch : line) {
    if (quoted) {
      if (ch == '"') quoted = false;
      else word += ch;
    } else if (ch == '"') {
      quoted = true;
      inWord = true;
    } else if (std::isspace(static_cast<unsigned char>(ch))) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += ch;
      inWord = true;
    }
  }
  if (quoted) return false;
  if (inWord) words.push_back(word);
  return true;
}

// "yymmdd_hhnn" as a UTC sample number.
bool ParseCycleStart(const std::string& text, int64_t& sample) {
  if (text.size() != 11 || text[6] != '_') return false;
  for (size_t i = 0; i < 11; ++i) {
    if (i != 6 && !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  auto two = [&](size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); };
  const int yy = two(0), mm = two(2), dd = two(4), hh = two(7), nn = two(9);
  if (mm < 1 || mm > 12 || dd < 1 || dd > 31 || hh > 23 || nn > 59) return false;
  sample = UtcSampleNumber(EncodeDateTime(2000 + yy, mm, dd, hh, nn));
  return true;
}

bool ParseSignal(const std::vector<std::string>& words, const SymbolEncoder& encoder, BandSignal& s,
                 std::string& error) {
  bool haveFreq = false, haveSnr = false, haveSymbols = false, haveMessage = false;
  std::string cycles = "all";
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& w = words[i];
    const size_t eq = w.find('=');
    if (eq == std::string::npos || eq == 0) {
      error = "\"" + w + "\" is not key=value";
      return false;
    }
    const std::string key = w.substr(0, eq), value = w.substr(eq + 1);
    double v = 0;
    if (key == "mode") {
      if (!ParseNumber(value, v) || !IsValidMode(static_cast<uint32_t>(v)) || v != std::floor(v)) {
        error = "mode must be 1, 2, 5 or 10";
        return false;
      }
      s.mode = static_cast<uint32_t>(v);
    } else if (key == "freq") {
      if (!ParseNumber(value, v) || v <= 0) {
        error = "freq must be a frequency in Hz above 0";
        return false;
      }
      s.freq = v;
      haveFreq = true;
    } else if (key == "snr") {
      if (!ParseNumber(value, v) || v < -60 || v > 60) {
        error = "snr must be a number of dB from -60 to 60";
        return false;
      }
      s.snrDb = v;
      haveSnr = true;
    } else if (key == "dt") {
      if (!ParseNumber(value, v) || v < 0) {
        error = "dt must be seconds, 0 or more";
        return false;
      }
      s.dt = v;
    } else if (key == "cycles") {
      cycles = value;
    } else if (key == "symbols") {
      if (value.size() != 85 || !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '8'; })) {
        error = "symbols must be 85 digits 0 to 8";
        return false;
      }
      for (size_t k = 0; k < 85; ++k) s.symbols[k] = static_cast<uint8_t>(value[k] - '0');
      haveSymbols = true;
    } else if (key == "message") {
      if (Trim(value).empty()) {
        error = "message is empty";
        return false;
      }
      s.message = value;
      haveMessage = true;
    } else {
      error = "unknown key \"" + key + "\"";
      return false;
    }
  }
  if (!haveFreq || !haveSnr) {
    error = "a signal needs freq= and snr=";
    return false;
  }
  if (haveSymbols == haveMessage) {
    error = "a signal needs either symbols= or message=";
    return false;
  }
  const double spacing = 12000.0 / SamplesPerSymbol(s.mode);
  if (s.freq + 8 * spacing >= 24000.0) {
    error = "the tones must stay below 24000 Hz";
    return false;
  }
  if (s.dt + TransmissionSeconds(s.mode) > CycleSeconds(s.mode)) {
    error = "dt leaves no room for the transmission in the cycle";
    return false;
  }
  const int64_t cycleLen = static_cast<int64_t>(CycleSeconds(s.mode)) * kSoundCardRate;
  if (cycles == "all") {
    s.cycles = BandSignal::Cycles::All;
  } else if (cycles == "first") {
    s.cycles = BandSignal::Cycles::First;
  } else if (cycles == "second") {
    s.cycles = BandSignal::Cycles::Second;
  } else {
    s.cycles = BandSignal::Cycles::At;
    std::stringstream list(cycles);
    std::string item;
    while (std::getline(list, item, ',')) {
      int64_t start = 0;
      if (!ParseCycleStart(item, start)) {
        error = "cycles must be all, first, second or UTC cycle starts yymmdd_hhnn";
        return false;
      }
      if (start % cycleLen != 0) {
        error = item + " is not the start of a " + ModeName(s.mode) + " cycle";
        return false;
      }
      s.cycleStarts.push_back(start);
    }
    if (s.cycleStarts.empty()) {
      error = "cycles is empty";
      return false;
    }
  }
  if (haveMessage) {
    if (!encoder) {
      error = "messages need the encoder; give symbols= instead";
      return false;
    }
    auto symbols = encoder(s.message);
    if (!symbols) {
      error = "the encoder cannot encode \"" + s.message + "\"";
      return false;
    }
    s.symbols = *symbols;
    if (std::any_of(s.symbols.begin(), s.symbols.end(), [](uint8_t t) { return t > 8; })) {
      error = "the encoder gave a symbol above 8 for \"" + s.message + "\"";
      return false;
    }
  }
  return true;
}

}  // namespace

int64_t UtcSampleNumber(double utcDays) {
  return static_cast<int64_t>(std::llround(utcDays * kSecondsPerDay * kSoundCardRate));
}

double SignalAmplitude(double snrDb, double noiseRms) {
  const double noiseIn2500 = noiseRms * noiseRms * 2500.0 / 24000.0;
  return std::sqrt(2.0 * std::pow(10.0, snrDb / 10.0) * noiseIn2500);
}

bool ParseBandScenario(const std::string& text, const SymbolEncoder& encoder, BandScenario& out,
                       std::string& error) {
  BandScenario sc;
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  auto fail = [&](const std::string& what) {
    error = "line " + std::to_string(lineNo) + ": " + what;
    return false;
  };
  while (std::getline(in, raw)) {
    ++lineNo;
    // '#' starts a comment unless it is inside a quoted message.
    bool quoted = false;
    size_t cut = raw.size();
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '"') quoted = !quoted;
      if (raw[i] == '#' && !quoted) {
        cut = i;
        break;
      }
    }
    std::vector<std::string> words;
    if (!SplitWords(raw.substr(0, cut), words)) return fail("unterminated quote");
    if (words.empty()) continue;
    const std::string& what = words[0];
    double v = 0;
    if (what == "noise") {
      if (words.size() != 2 || !ParseNumber(words[1], v) || v < 0 || v > 10000) {
        return fail("noise takes one rms value from 0 to 10000");
      }
      sc.noiseRms = v;
    } else if (what == "seed") {
      if (words.size() != 2 || !ParseNumber(words[1], v) || v < 0 || v != std::floor(v)) {
        return fail("seed takes one whole number");
      }
      sc.seed = static_cast<uint64_t>(v);
    } else if (what == "signal") {
      BandSignal s;
      s.line = lineNo;
      std::string why;
      if (!ParseSignal(words, encoder, s, why)) return fail(why);
      sc.transmissions.push_back(s);
    } else {
      return fail("unknown line \"" + what + "\" (noise, seed or signal expected)");
    }
  }
  if (sc.noiseRms <= 0 && !sc.transmissions.empty()) {
    lineNo = sc.transmissions.front().line;
    return fail("an SNR needs noise above 0");
  }
  out = std::move(sc);
  return true;
}

BandSynth::BandSynth(const BandScenario& scenario)
    : scenario_(scenario), random_(scenario.seed), mix_(kChunk), tone_(kChunk) {
  for (const BandSignal& s : scenario_.transmissions) {
    Tx tx{};
    tx.signal = &s;
    const int32_t sps = SamplesPerSymbol(s.mode);
    tx.cycleLen = static_cast<int64_t>(CycleSeconds(s.mode)) * kSoundCardRate;
    tx.symLen = 4 * static_cast<int64_t>(sps);
    tx.txLen = kSymbolsPerTransmission * tx.symLen;
    tx.offset = std::llround(s.dt * kSoundCardRate);
    tx.amplitude = SignalAmplitude(s.snrDb, scenario_.noiseRms);
    tx.spacing = 12000.0 / sps;
    double phase = 0;
    for (size_t k = 0; k < 85; ++k) {
      tx.phase[k] = phase;
      const double f = s.freq + s.symbols[k] * tx.spacing;
      phase = std::fmod(phase + kTwoPi * f * static_cast<double>(tx.symLen) / kSoundCardRate, kTwoPi);
    }
    txs_.push_back(tx);
  }
}

bool BandSynth::Active(const Tx& tx, int64_t cycle) const {
  switch (tx.signal->cycles) {
    case BandSignal::Cycles::All: return true;
    case BandSignal::Cycles::First: return cycle % 2 == 0;
    case BandSignal::Cycles::Second: return cycle % 2 != 0;
    case BandSignal::Cycles::At: {
      const auto& starts = tx.signal->cycleStarts;
      return std::find(starts.begin(), starts.end(), cycle * tx.cycleLen) != starts.end();
    }
  }
  return false;
}

void BandSynth::AddSignal(const Tx& tx, int64_t first, int32_t n) {
  const int64_t end = first + n;
  const int64_t c0 = (first - tx.offset) / tx.cycleLen;  // sample numbers are positive
  for (int64_t c = c0; c <= c0 + 1; ++c) {
    const int64_t s0 = c * tx.cycleLen + tx.offset;
    int64_t pos = std::max(first, s0);
    const int64_t stop = std::min(end, s0 + tx.txLen);
    if (pos >= stop || !Active(tx, c)) continue;
    const double scale = tx.amplitude / kToneAmplitude;
    while (pos < stop) {
      const int64_t sym = (pos - s0) / tx.symLen;
      const int64_t into = (pos - s0) % tx.symLen;
      const int32_t m = static_cast<int32_t>(std::min(stop - pos, tx.symLen - into));
      const double f = tx.signal->freq + tx.signal->symbols[static_cast<size_t>(sym)] * tx.spacing;
      const double phase = std::fmod(tx.phase[static_cast<size_t>(sym)] +
                                         kTwoPi * f * static_cast<double>(into) / kSoundCardRate,
                                     kTwoPi);
      SynthesizeTone(tone_.data(), m, phase, f);
      double* mix = mix_.data() + (pos - first);
      for (int32_t k = 0; k < m; ++k) mix[k] += scale * tone_[static_cast<size_t>(k)];
      pos += m;
    }
  }
}

void BandSynth::Produce(int16_t* out, int32_t n, int64_t first) {
  while (n > 0) {
    const int32_t m = std::min(n, kChunk);
    const double rms = scenario_.noiseRms;
    for (int32_t k = 0; k < m; ++k) mix_[static_cast<size_t>(k)] = rms > 0 ? rms * normal_(random_) : 0.0;
    for (const Tx& tx : txs_) AddSignal(tx, first, m);
    for (int32_t k = 0; k < m; ++k) {
      out[k] = static_cast<int16_t>(std::clamp(std::round(mix_[static_cast<size_t>(k)]), -32768.0, 32767.0));
    }
    out += m;
    first += m;
    n -= m;
  }
}

class BandSimulator::Channel final : public ClockedInput {
 public:
  Channel(const Clock& clock, const BandScenario& scenario, int64_t utcBase)
      : ClockedInput(clock), synth_(scenario), utcBase_(utcBase) {}

 protected:
  void Produce(int16_t* out, int32_t n, int64_t first) override { synth_.Produce(out, n, utcBase_ + first); }

 private:
  BandSynth synth_;
  int64_t utcBase_;
};

BandSimulator::BandSimulator(const Clock& clock, std::string scenarioPath, const double& utcOffsetHours,
                             SymbolEncoder encoder)
    : clock_(clock), path_(std::move(scenarioPath)), utcOffsetHours_(utcOffsetHours), encoder_(std::move(encoder)) {}

BandSimulator::~BandSimulator() = default;

bool BandSimulator::Open(std::string& error) {
  scenario_.reset();
  std::string text, why;
  if (!ReadRegularFile(path_, kMaxScenarioBytes, text, why)) {
    error = "Band simulator: scenario file " + path_ + " cannot be opened: " + why +
            " (set MERIVAC_BAND_SCENARIO)";
    return false;
  }
  BandScenario sc;
  if (!ParseBandScenario(text, encoder_, sc, why)) {
    error = "Band simulator: " + path_ + " " + why;
    return false;
  }
  scenario_ = std::move(sc);
  return true;
}

InputChannel* BandSimulator::Start(std::string& error) {
  if (!scenario_) {
    error = "Band simulator: no scenario loaded";
    return nullptr;
  }
  channel_.reset();
  const int64_t base = UtcSampleNumber(clock_.Now() - utcOffsetHours_ / 24.0);
  channel_ = std::make_unique<Channel>(clock_, *scenario_, base);
  return channel_.get();
}

void BandSimulator::Close() {
  channel_.reset();
  scenario_.reset();
}

}  // namespace merivac
