// FileText.h - reading a small text file that comes from outside the
// program (a scenario, a table, a settings file) safely.
//
// Only regular files are read: a FIFO would block the program and a device
// such as /dev/zero would never end. The file is opened without blocking,
// checked with fstat on the open descriptor (so it cannot be swapped in
// between) and read only when it is no larger than the caller allows.
#pragma once

#include <cstddef>
#include <string>

namespace merivac {

// Reads the whole of path into text. On failure false, and error says why
// in a few words ("is not a regular file", "is larger than 1048576 bytes",
// "No such file or directory").
bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text,
                     std::string& error);

}  // namespace merivac
