// reporting_spot.cpp - what one decode's spot costs the tick: SpotDecode
// through the loaded libpskreporter.so (record building, the UTF-16 texts,
// the library's parsing, repeat check and queueing, and the tickle that
// follows; every ~45 spots that tickle also sends a full datagram, to a
// loopback discard port). Target: at most 20 us per spot.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/Clock.h"
#include "reporting/PskReporter.h"

namespace {

using merivac::PskReporter;
using merivac::SharedReporterLibrary;

// The library beside the build's benchmarks: <build>/lib.
std::string LibraryFolder() {
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
  return (exe.parent_path().parent_path() / "lib").string();
}

// A different call for every spot, so that the repeat rule drops none.
std::string Call(long n) {
  std::string call = "K";
  for (int i = 0; i < 4; ++i, n /= 26) call += static_cast<char>('A' + n % 26);
  return call;
}

void BM_SpotDecode(benchmark::State& state) {
  ::setenv("MERIVAC_PSKREPORTER", "127.0.0.1:9", 1);
  merivac::SystemClock clock;
  SharedReporterLibrary library(merivac::kReporterLibraryName, LibraryFolder());
  PskReporter psk(library, clock);
  if (!psk.StartReporter()) {
    state.SkipWithError("the library did not start");
    return;
  }
  psk.SetReporterStation("DL1ABC", "JO62", "0.1.0.0.");
  long n = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(psk.SpotDecode(Call(n++), "X", "475700", "-15", "FN42"));
  }
  psk.ShutdownReporter();
}
BENCHMARK(BM_SpotDecode);

}  // namespace

BENCHMARK_MAIN();
