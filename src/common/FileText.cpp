// FileText.cpp - open, fstat, read: a regular file of bounded size.
#include "common/FileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace merivac {

bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text,
                     std::string& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat st {};
  bool ok = false;
  if (::fstat(fd, &st) != 0) {
    error = std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    error = "is not a regular file";
  } else if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
    error = "is larger than " + std::to_string(maxBytes) + " bytes";
  } else {
    text.clear();
    text.reserve(static_cast<size_t>(st.st_size));
    char block[8192];
    ok = true;
    for (;;) {
      const ssize_t n = ::read(fd, block, sizeof block);
      if (n == 0) break;
      if (n < 0) {
        if (errno == EINTR) continue;
        error = std::strerror(errno);
        ok = false;
        break;
      }
      // A file that grows while it is read is cut at the limit.
      if (text.size() + static_cast<size_t>(n) > maxBytes) {
        error = "is larger than " + std::to_string(maxBytes) + " bytes";
        ok = false;
        break;
      }
      text.append(block, static_cast<size_t>(n));
    }
  }
  ::close(fd);
  return ok;
}

}  // namespace merivac
