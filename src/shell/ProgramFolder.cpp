// ProgramFolder.cpp - creating the folders and opening the log files.
#include "shell/ProgramFolder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace merivac {

namespace fs = std::filesystem;

ProgramFolder::~ProgramFolder() { Close(); }

void ProgramFolder::Close() {
  if (decoded_ != nullptr) std::fclose(decoded_);
  decoded_ = nullptr;
}

std::string ProgramFolder::Below(const std::string& relative) const {
  return path_ + "/" + relative;
}

void ProgramFolder::Fail(const std::string& sentence) { error_ += sentence + "\n"; }

bool ProgramFolder::Setup(DebugLog& log, const std::string& dir) {
  Close();
  error_.clear();
  std::error_code ec;
  fs::path base = dir.empty() ? fs::current_path(ec) : fs::absolute(dir, ec);
  if (ec) {
    Fail("Cannot determine the program folder: " + ec.message() + ".");
    base = ".";
  }
  path_ = base.lexically_normal().string();
  while (path_.size() > 1 && path_.back() == '/') path_.pop_back();

  for (const char* sub : {"save", "extra"}) {
    const fs::path folder = fs::path(path_) / sub;
    fs::create_directories(folder, ec);  // an existing folder is no error
    if (ec || !fs::is_directory(folder)) {
      Fail("Cannot create the folder " + folder.string() + ": " +
           (ec ? ec.message() : std::string("not a folder")) + ".");
    }
  }

  decoded_ = std::fopen(DecodedPath().c_str(), "ab");
  if (decoded_ == nullptr) {
    Fail("Cannot open " + DecodedPath() + " for appending: " + std::strerror(errno) + ".");
  }
  if (!log.Open(DebugPath())) {
    Fail("Cannot create the debug log " + DebugPath() + ": " + std::strerror(errno) + ".");
  }
  return error_.empty();
}

}  // namespace merivac
