// stationdata_alerts.cpp - the alert check of one decode with every rule on,
// 100 000 worked calls, the real CTY.DAT, a WAS.DAT of 100 000 calls and
// full include and exclude lists of 100 calls each. Target: at most 10 us.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "stationdata/StationData.h"

namespace {

using merivac::Settings;
using merivac::StationData;

constexpr const char* kRealCty = "/usr/share/wsjtx/cty.dat";

std::string Call(int i) {
  const char letters[4] = {static_cast<char>('A' + i % 26), static_cast<char>('A' + i / 26 % 26),
                           static_cast<char>('A' + i / 676 % 26), 0};
  return std::string(1, "KWNGFDIJ"[i / 17576 % 8]) + std::to_string(i / 140608 % 10) + letters;
}

void BM_CheckAlerts(benchmark::State& state) {
  if (!std::filesystem::exists(kRealCty)) {
    state.SkipWithError("/usr/share/wsjtx/cty.dat is not installed");
    return;
  }
  Settings s;
  s.call = "DL1ABC";
  s.grid = "JO62QM";
  s.alertMyCall = s.alertNewCall = s.alertNewEntity = s.alertNewState = true;
  s.alertAnyDistance = s.alertNewDistance = s.alertInclude = s.alertExclude = true;
  s.alertAnyKm = 5000;
  s.alertNewKm = 3000;
  for (int i = 0; i < 100; ++i) {
    s.alertIncludeCalls += (i ? "," : "") + Call(500000 + i);
    s.alertExcludeCalls += (i ? "," : "") + Call(600000 + i);
  }
  StationData data(s);
  data.LoadCountryFile(kRealCty);
  std::string was;
  for (int i = 0; i < 100000; ++i) was += std::string(i % 2 ? "CA " : "NY ") + Call(i) + "\n";
  data.States().Parse(was);
  std::vector<std::string> worked;
  for (int i = 0; i < 100000; ++i) worked.push_back(Call(i * 3));
  data.Worked().SetWorkedCalls(std::move(worked));
  data.Worked().SetLogbookLoaded(true);
  data.RebuildWorkedEntities();
  data.Worked().RebuildWorkedStates(data.States());
  data.LoadAlertLists();

  const std::vector<std::string> messages = {"CQ " + Call(7) + " CM87",
                                             "DL1ABC " + Call(9) + " FN20",
                                             Call(3) + " " + Call(12) + " -12",
                                             "CQ JA1XYZ PM95",
                                             "CQ DX K1ABC FN42",
                                             "CQ " + Call(300001) + " IO91",
                                             Call(5) + " DL1ABC R-15",
                                             "CQ 9M0A OJ11"};
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(data.CheckAlerts(messages[i++ % messages.size()]));
  state.counters["worked"] = static_cast<double>(data.Worked().WorkedCalls().size());
}
BENCHMARK(BM_CheckAlerts)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
