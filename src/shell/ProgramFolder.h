// ProgramFolder.h - the folder the program works in and its two log files.
//
// The program folder is the current directory at window creation. Below it
// the program needs `save/` (cycle recordings) and `extra/` (the two log
// files); `extra/decoded.txt` is opened for appending and `extra/debug.txt`
// is started empty through the debug log. Every failure is collected into a
// readable text; nothing here stops the program.
#pragma once

#include <cstdio>
#include <string>

#include "common/DebugLog.h"

namespace merivac {

class ProgramFolder {
 public:
  ProgramFolder() = default;
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  // Takes dir (the current directory when empty) as the program folder,
  // creates save/ and extra/, opens extra/decoded.txt for appending and
  // starts extra/debug.txt empty through log. Returns false when any step
  // failed; Error() then says which, one sentence per line.
  bool Setup(DebugLog& log, const std::string& dir = std::string());

  // Closes extra/decoded.txt (the debug log closes itself).
  void Close();

  // The absolute program folder without a trailing slash.
  const std::string& Path() const { return path_; }
  // Path() + "/" + relative.
  std::string Below(const std::string& relative) const;

  // extra/decoded.txt, open for appending; nullptr when it could not be opened.
  std::FILE* DecodedFile() const { return decoded_; }
  std::string DecodedPath() const { return Below("extra/decoded.txt"); }
  std::string DebugPath() const { return Below("extra/debug.txt"); }

  const std::string& Error() const { return error_; }

 private:
  void Fail(const std::string& sentence);
  std::string path_;
  std::FILE* decoded_ = nullptr;
  std::string error_;
};

}  // namespace merivac
