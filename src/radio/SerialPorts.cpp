// SerialPorts.cpp - ListSerialPorts over the sysfs tty class.
#include "radio/SerialPorts.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <vector>

namespace merivac {
namespace {

namespace fs = std::filesystem;

// A serial-core port reports its UART type; 0 means no UART was found.
bool IsAbsentUart(const fs::path& entry) {
  std::ifstream in(entry / "type");
  int type = -1;
  return in && (in >> type) && type == 0;
}

std::string Trimmed(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

}  // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
    const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
    if (da && db) {
      size_t ie = i, je = j;
      while (ie < a.size() && std::isdigit(static_cast<unsigned char>(a[ie]))) ++ie;
      while (je < b.size() && std::isdigit(static_cast<unsigned char>(b[je]))) ++je;
      // Compare the digit runs by value: skip leading zeros, then length, then text.
      size_t ia = i, jb = j;
      while (ia + 1 < ie && a[ia] == '0') ++ia;
      while (jb + 1 < je && b[jb] == '0') ++jb;
      if (ie - ia != je - jb) return ie - ia < je - jb;
      const int c = a.compare(ia, ie - ia, b, jb, je - jb);
      if (c != 0) return c < 0;
      i = ie;
      j = je;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i;
    ++j;
  }
  if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
  return a < b;  // equal by value ("ttyS01" and "ttyS1"): keep a total order
}

void ListSerialPorts(TPortList& list, const std::string& sysRoot) {
  list.fill(std::string());
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(fs::path(sysRoot) / "class" / "tty", ec), end; !ec && it != end;
       it.increment(ec)) {
    const fs::path entry = it->path();
    std::error_code linkEc;
    if (!fs::exists(entry / "device", linkEc) || IsAbsentUart(entry)) continue;
    const std::string name = Trimmed(entry.filename().string());
    if (!name.empty()) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  const size_t n = std::min(names.size(), list.size());
  for (size_t i = 0; i < n; ++i) list[i] = names[i];
}

}  // namespace merivac
