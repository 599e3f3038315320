// reporting_tickle.cpp - a tickle of the loaded libpskreporter.so that sends
// a full datagram (to a loopback discard port): the IPFIX message, templates
// included, written from the queue and handed to the socket. Filling the
// queue and sending the rest at shutdown are not timed. Target: at most
// 200 us per tickle.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "reporting/PskReporter.h"
#include "reporting/ReporterLibrary.h"

namespace {

using merivac::SharedReporterLibrary;

// The library beside the build's benchmarks: <build>/lib.
std::string LibraryFolder() {
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
  return (exe.parent_path().parent_path() / "lib").string();
}

std::string Call(long n) {
  std::string call = "K";
  for (int i = 0; i < 4; ++i, n /= 26) call += static_cast<char>('A' + n % 26);
  return call;
}

template <typename F>
F Entry(SharedReporterLibrary& library, const char* name) {
  return reinterpret_cast<F>(library.Symbol(name));
}

void BM_TickleSendsFullDatagram(benchmark::State& state) {
  ::setenv("MERIVAC_PSKREPORTER", "127.0.0.1:9", 1);
  SharedReporterLibrary library(merivac::kReporterLibraryName, LibraryFolder());
  if (!library.Load()) {
    state.SkipWithError(library.Error().c_str());
    return;
  }
  const auto initialize = Entry<ReporterInitializeFn>(library, "ReporterInitialize");
  const auto seen = Entry<ReporterSeenCallsignFn>(library, "ReporterSeenCallsign");
  const auto tickle = Entry<ReporterTickleFn>(library, "ReporterTickle");
  const auto uninitialize = Entry<ReporterUninitializeFn>(library, "ReporterUninitialize");
  const std::u16string local =
      merivac::ReporterText(merivac::StationRecord("DL1ABC", "JO62", "0.1.0.0."));
  long n = 0;
  for (auto _ : state) {
    // A fresh run with more spots queued than one datagram holds: the
    // tickle sends one full datagram at once.
    state.PauseTiming();
    initialize(nullptr, nullptr);
    for (int i = 0; i < 60; ++i) {
      const std::u16string remote =
          merivac::ReporterText(merivac::SpotRecord(Call(n++), "X", "475700", "-15", "FN42"));
      seen(remote.c_str(), local.c_str(), 1);
    }
    state.ResumeTiming();
    benchmark::DoNotOptimize(tickle());
    state.PauseTiming();
    uninitialize();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TickleSendsFullDatagram);

}  // namespace

BENCHMARK_MAIN();
