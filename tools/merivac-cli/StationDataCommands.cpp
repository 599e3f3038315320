// StationDataCommands.cpp - lookup, logbook and was-from-uls.
#include "StationDataCommands.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <unordered_set>

#include "CliCommands.h"
#include "logbook/AdifReader.h"
#include "qso/CallRules.h"
#include "stationdata/StateTable.h"
#include "stationdata/TableStartup.h"

namespace merivac::cli {

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  merivac-cli lookup [--folder DIR] CALL...\n"
    "  merivac-cli logbook FILE --band BAND --mode MODE [--calls]\n"
    "  merivac-cli was-from-uls [--active HD.dat] EN.dat OUT\n";

// The fields of one pipe-separated ULS record (field 1 is fields[0]).
std::vector<std::string> SplitPipes(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t bar = line.find('|', start);
    fields.push_back(line.substr(start, bar == std::string::npos ? bar : bar - start));
    if (bar == std::string::npos) return fields;
    start = bar + 1;
  }
}

std::string WithoutLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  return line;
}

bool IsTwoLetters(const std::string& s) {
  return s.size() == 2 && s[0] >= 'A' && s[0] <= 'Z' && s[1] >= 'A' && s[1] <= 'Z';
}

bool IsCallText(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

bool KnownMode(const std::string& mode) {
  for (const char* m : kModeChoices) {
    if (mode == m) return true;
  }
  return false;
}

}  // namespace

bool IsStationDataCommand(const std::string& command) {
  return command == "lookup" || command == "logbook" || command == "was-from-uls";
}

int LookupCommand(const std::string& folder, const std::vector<std::string>& calls,
                  std::ostream& out, std::ostream& err) {
  CountryTable countries;
  const std::string ctyPath = CountryFilePath(folder);
  if (!countries.Load(ctyPath)) {
    err << "merivac-cli lookup: cannot read " << ctyPath << "\n";
    return kExitUsage;
  }
  StateTable states;
  const std::string wasPath = StateFilePath(folder);
  if (states.Load(wasPath) == 0) {
    err << "merivac-cli lookup: no states: " << wasPath << " is missing or empty\n";
  }
  for (const std::string& call : calls) {
    const std::string entity = countries.LookupEntity(call);
    // The program asks for a state only for the entity K.
    const std::string state = entity == "K" ? states.LookupState(call) : std::string();
    out << call << " " << (entity.empty() ? "-" : entity) << " " << (state.empty() ? "-" : state)
        << "\n";
  }
  return kExitOk;
}

int LogbookCommand(const std::string& file, const std::string& band, const std::string& mode,
                   bool listCalls, std::ostream& out, std::ostream& err) {
  const LogbookRead read = ReadLogbook(file, LogbookFilter{band, mode});
  if (read.count < 0) {
    err << "merivac-cli logbook: "
        << (std::filesystem::exists(file) ? read.problem : "no such file: " + file) << "\n";
    return kExitUsage;
  }
  if (!read.problem.empty()) err << "merivac-cli logbook: warning: " << read.problem << "\n";
  out << read.count << "\n";
  if (listCalls) {
    for (const std::string& call : read.calls) out << call << "\n";
  }
  return kExitOk;
}

int WasFromUlsCommand(const std::string& enFile, const std::string& hdFile,
                      const std::string& outFile, std::ostream& out, std::ostream& err) {
  // The licences (by their unique system identifier, field 2) whose status
  // is A: an old record of a call reissued later does not count.
  std::unordered_set<std::string> active;
  if (!hdFile.empty()) {
    std::ifstream hd(hdFile);
    if (!hd) {
      err << "merivac-cli was-from-uls: cannot read " << hdFile << "\n";
      return kExitUsage;
    }
    for (std::string line; std::getline(hd, line);) {
      const std::vector<std::string> f = SplitPipes(WithoutLineEnd(line));
      if (f.size() >= 6 && f[0] == "HD" && f[5] == "A") active.insert(f[1]);
    }
  }
  std::ifstream en(enFile);
  if (!en) {
    err << "merivac-cli was-from-uls: cannot read " << enFile << "\n";
    return kExitUsage;
  }
  const std::string temporary = outFile + ".tmp";
  std::ofstream was(temporary, std::ios::binary | std::ios::trunc);
  if (!was) {
    err << "merivac-cli was-from-uls: cannot write " << temporary << "\n";
    return kExitFailed;
  }
  std::unordered_set<std::string> written;
  size_t count = 0;
  for (std::string line; std::getline(en, line);) {
    const std::vector<std::string> f = SplitPipes(WithoutLineEnd(line));
    if (f.size() < 18 || f[0] != "EN" || f[5] != "L") continue;
    const std::string& call = f[4];
    const std::string& state = f[17];
    if (!IsCallText(call) || !IsTwoLetters(state)) continue;
    if (!hdFile.empty() && active.count(f[1]) == 0) continue;
    if (!written.insert(call).second) continue;
    was << state << " " << call << "\r\n";
    ++count;
  }
  was.close();
  if (!was || en.bad()) {
    std::remove(temporary.c_str());
    err << "merivac-cli was-from-uls: writing " << temporary << " failed\n";
    return kExitFailed;
  }
  std::error_code ec;
  std::filesystem::rename(temporary, outFile, ec);
  if (ec) {
    std::remove(temporary.c_str());
    err << "merivac-cli was-from-uls: cannot replace " << outFile << ": " << ec.message() << "\n";
    return kExitFailed;
  }
  out << count << " calls written to " << outFile << "\n";
  return kExitOk;
}

int RunStationDataCommand(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err) {
  const std::string& command = args[0];
  std::vector<std::string> words;
  std::string folder = ".", band, mode, active;
  bool listCalls = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--folder" && hasValue && command == "lookup") {
      folder = args[++i];
    } else if (a == "--band" && hasValue && command == "logbook") {
      band = args[++i];
    } else if (a == "--mode" && hasValue && command == "logbook") {
      mode = args[++i];
    } else if (a == "--calls" && command == "logbook") {
      listCalls = true;
    } else if (a == "--active" && hasValue && command == "was-from-uls") {
      active = args[++i];
    } else if (a.rfind("--", 0) == 0) {
      err << "merivac-cli " << command << ": unknown option " << a << "\n" << kUsage;
      return kExitUsage;
    } else {
      words.push_back(a);
    }
  }
  if (command == "lookup") {
    if (words.empty()) {
      err << "merivac-cli lookup: give one or more calls\n" << kUsage;
      return kExitUsage;
    }
    return LookupCommand(folder, words, out, err);
  }
  if (command == "logbook") {
    if (words.size() != 1 || (band != kNoBand && BandIndex(band) < 0) || !KnownMode(mode)) {
      err << "merivac-cli logbook: give one file, --band (2190M ... 10M, or 0M for none) and "
             "--mode (JT9, JT9-1, JT9-2, JT9-5, JT9-10, Digi or Any)\n"
          << kUsage;
      return kExitUsage;
    }
    return LogbookCommand(words[0], band, mode, listCalls, out, err);
  }
  if (words.size() != 2) {
    err << "merivac-cli was-from-uls: give EN.dat and the output file\n" << kUsage;
    return kExitUsage;
  }
  return WasFromUlsCommand(words[0], active, words[1], out, err);
}

}  // namespace merivac::cli
