// logbook_adi.cpp - reading a 100 000-record .adi logbook (written here in
// the style of a logging program's export). Targets: at most 1 s and at most
// 100 MB peak memory. The read runs in a child process so that its peak
// resident memory is measured on its own: PeakMB is the whole process's
// high-water mark, ReadMB its growth over the process it started from.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "logbook/AdifReader.h"

namespace {

using merivac::LogbookFilter;
using merivac::ReadLogbook;

std::string Field(const std::string& name, const std::string& value) {
  return "<" + name + ":" + std::to_string(value.size()) + ">" + value + " ";
}

std::string BigLogbook() {
  const std::string path =
      (std::filesystem::temp_directory_path() / "merivac-bench-100k.adi").string();
  if (std::filesystem::exists(path)) return path;
  std::ofstream out(path + ".tmp", std::ios::binary);
  out << "Logbook export\n"
      << Field("adif_ver", "3.1.4") << Field("programid", "Logger") << "<eoh>\n";
  static const char* kBands[] = {"630m", "2190m", "160m", "80m", "40m", "20m"};
  static const char* kModes[] = {"JT9", "FT8", "CW", "SSB", "JT9", "WSPR"};
  for (int i = 0; i < 100000; ++i) {
    const std::string call = std::string(1, "KWNGDFIJ"[i % 8]) + std::to_string(i % 10) +
                             static_cast<char>('A' + i / 10 % 26) +
                             static_cast<char>('A' + i / 260 % 26) +
                             static_cast<char>('A' + i / 6760 % 26);
    out << Field("call", call) << Field("gridsquare", "FN42") << Field("mode", kModes[i % 6])
        << Field("rst_sent", "-12") << Field("rst_rcvd", "-15") << Field("qso_date", "20240101")
        << Field("time_on", "120000") << Field("qso_date_off", "20240101")
        << Field("time_off", "120100") << Field("band", kBands[i % 6])
        << Field("freq", i % 6 == 0 ? "0.475700" : "14.074000")
        << Field("station_callsign", "DL1ABC") << Field("my_gridsquare", "JO62QM")
        << Field("comment", "tnx fer QSO 73") << "<eor>\n";
  }
  out.close();
  std::filesystem::rename(path + ".tmp", path);
  return path;
}

long ResidentKb() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void BM_ReadLogbook100k(benchmark::State& state) {
  const std::string path = BigLogbook();
  int count = 0;
  for (auto _ : state) {
    count = ReadLogbook(path, LogbookFilter{"630M", "JT9"}).count;
    benchmark::DoNotOptimize(count);
  }
  state.counters["accepted"] = count;
  state.counters["fileMB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;

  // The peak memory of one read, in a process of its own.
  const long before = ResidentKb();
  const pid_t child = fork();
  if (child == 0) {
    const int n = ReadLogbook(path, LogbookFilter{"630M", "JT9"}).count;
    _exit(n > 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  state.counters["PeakMB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["ReadMB"] = static_cast<double>(usage.ru_maxrss - before) / 1024.0;
}
BENCHMARK(BM_ReadLogbook100k)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
