// StationDataCommands.h - merivac-cli's commands for the station's tables
// and logbook:
//
//   merivac-cli lookup [--folder DIR] CALL...
//   merivac-cli logbook FILE --band BAND --mode MODE [--calls]
//   merivac-cli was-from-uls [--active HD.dat] EN.dat OUT
//
// lookup prints one line per call: the call, its entity (the primary prefix
// of its CTY.DAT entry) and, for the entity K, its US state from WAS.DAT,
// "-" for none, from DIR/tables (the current folder by default). logbook
// prints the number of records the program would take from an ADIF logbook
// for the band (a band name such as 630M, or 0M for none) and the mode (JT9,
// JT9-1, JT9-2, JT9-5, JT9-10, Digi or Any), and with --calls the accepted
// calls, one a line. was-from-uls builds a WAS.DAT from the US amateur
// licence database (the ULS "l_amat" archive): one line per licensee call of
// EN.dat, its state in columns 1-2, a blank and the call; with --active only
// the licences whose status in HD.dat is A. Exit codes as for the other
// commands: 0 done, 1 the output could not be written, 2 bad arguments or a
// missing or unreadable file.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace merivac::cli {

bool IsStationDataCommand(const std::string& command);
// Runs one of the three commands (args[0] is the command).
int RunStationDataCommand(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err);

int LookupCommand(const std::string& folder, const std::vector<std::string>& calls,
                  std::ostream& out, std::ostream& err);
int LogbookCommand(const std::string& file, const std::string& band, const std::string& mode,
                   bool listCalls, std::ostream& out, std::ostream& err);
int WasFromUlsCommand(const std::string& enFile, const std::string& hdFile,
                      const std::string& outFile, std::ostream& out, std::ostream& err);

}  // namespace merivac::cli
