// stationdata_tables.cpp - the country and state tables: loading the real
// CTY.DAT (target at most 30 ms), one LookupEntity on it (target at most
// 2 us), loading a WAS.DAT the size of the whole US licence database and one
// LookupState in it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "stationdata/CountryTable.h"
#include "stationdata/StateTable.h"

namespace {

using merivac::CountryTable;
using merivac::StateTable;

constexpr const char* kRealCty = "/usr/share/wsjtx/cty.dat";

// Calls of many entities, some exact-call entries, some with slashes.
const std::vector<std::string> kCalls = {
    "K1ABC",  "W6XYZ",   "DL1ABC", "G3XYZ",  "JA1XYZ",  "9M0A",   "9M2AB",    "R9FM",
    "UA9ABC", "VK9XX",   "FT4YM",  "KH6ABC", "VE3ABC",  "PY2ABC", "ZS6ABC",   "4U1A",
    "G0FBJ",  "3D2AG/P", "EA8AB",  "OH0AB",  "K1ABC/P", "IT9ABC", "SV2ASP/A", "Q1ABC",
    "LU1ABC", "VU2ABC",  "BY1AB",  "HL1ABC", "5B4AB",   "ZL1ABC", "KL7ABC",   "CE0Y"};

void BM_LoadRealCountryFile(benchmark::State& state) {
  if (!std::filesystem::exists(kRealCty)) {
    state.SkipWithError("/usr/share/wsjtx/cty.dat is not installed");
    return;
  }
  CountryTable table;
  for (auto _ : state) benchmark::DoNotOptimize(table.Load(kRealCty));
  state.counters["entities"] = static_cast<double>(table.EntityCount());
  state.counters["calls"] = static_cast<double>(table.ExactCallCount());
}
BENCHMARK(BM_LoadRealCountryFile)->Unit(benchmark::kMillisecond);

void BM_LookupEntity(benchmark::State& state) {
  CountryTable table;
  if (!table.Load(kRealCty)) {
    state.SkipWithError("/usr/share/wsjtx/cty.dat is not installed");
    return;
  }
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(table.LookupEntity(kCalls[i++ % kCalls.size()]));
}
BENCHMARK(BM_LookupEntity)->Unit(benchmark::kNanosecond);

// 800 000 calls in the layout of WAS.DAT, like a file built from the whole
// licence database.
std::string BigStateFile() {
  const std::string path =
      (std::filesystem::temp_directory_path() / "merivac-bench-was.dat").string();
  if (!std::filesystem::exists(path)) {
    std::ofstream out(path + ".tmp");
    static const char* kStates[] = {"CA", "NY", "TX", "FL", "OH", "WA", "AK", "HI"};
    for (int i = 0; i < 800000; ++i) {
      const char letters[4] = {static_cast<char>('A' + i % 26),
                               static_cast<char>('A' + i / 26 % 26),
                               static_cast<char>('A' + i / 676 % 26), 0};
      out << kStates[i % 8] << " "
          << "KWNA"[i / 17576 % 4] << (i / 70304 % 10) << letters << "\r\n";
    }
    out.close();
    std::filesystem::rename(path + ".tmp", path);
  }
  return path;
}

void BM_LoadBigStateFile(benchmark::State& state) {
  const std::string path = BigStateFile();
  StateTable table;
  for (auto _ : state) benchmark::DoNotOptimize(table.Load(path));
  state.counters["lines"] = static_cast<double>(table.LineCount());
}
BENCHMARK(BM_LoadBigStateFile)->Unit(benchmark::kMillisecond);

void BM_LookupStateInBigFile(benchmark::State& state) {
  StateTable table;
  table.Load(BigStateFile());
  const std::vector<std::string> calls = {"K0ABC", "W5XYZ", "N9QQQ", "A1AAA", "K1ZZZ", "X1ABC"};
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(table.LookupState(calls[i++ % calls.size()]));
}
BENCHMARK(BM_LookupStateInBigFile)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
