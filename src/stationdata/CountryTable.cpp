// CountryTable.cpp - reading the country file and looking calls up in it.
#include "stationdata/CountryTable.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace merivac {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r' || s.back() == '\n')) {
    s.remove_suffix(1);
  }
  return s;
}

std::string WithoutBlanks(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (!IsBlank(c)) out += c;
  }
  return out;
}

// The marks that start an item's overrides: CQ zone (..), ITU zone [..],
// position <..>, continent {..} and time offset ~..~. The entry is the
// text before the first of them.
constexpr std::string_view kOverrideMarks = "([<{~";

// A header line of the file has eight fields, each closed by ':' (name, CQ
// zone, ITU zone, continent, latitude, longitude, time offset, prefix).
bool HasEightFields(std::string_view header) {
  return !header.empty() && header.back() == ':' &&
         std::count(header.begin(), header.end(), ':') >= 8;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) return false;
  std::string out;
  char buffer[65536];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) out.append(buffer, n);
  if (std::ferror(file.get()) != 0) return false;
  text = std::move(out);
  return true;
}

bool CountryTable::Load(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(path, text)) return false;
  Parse(text);
  return true;
}

void CountryTable::Clear() {
  entities_.clear();
  exactCalls_.clear();
  prefixes_.clear();
  wellFormed_.clear();
  hasItems_.clear();
  longestPrefix_ = prefixCount_ = exactCount_ = completeEntities_ = 0;
}

uint32_t CountryTable::AddEntity(std::string name, bool wellFormedHeader) {
  entities_.push_back(std::move(name));
  wellFormed_.push_back(wellFormedHeader);
  hasItems_.push_back(false);
  return static_cast<uint32_t>(entities_.size() - 1);
}

void CountryTable::AddItem(std::string_view item, uint32_t entity) {
  const bool exact = item.front() == '=';
  if (exact) item.remove_prefix(1);
  item = item.substr(0, std::min(item.size(), item.find_first_of(kOverrideMarks)));
  // "(4)" alone would leave an empty prefix that every call begins with.
  if (item.empty()) return;
  if (!hasItems_[entity] && wellFormed_[entity]) ++completeEntities_;
  hasItems_[entity] = true;
  if (exact) {
    exactCalls_.insert_or_assign(std::string(item), entity);
    ++exactCount_;
  } else {
    prefixes_.emplace(std::string(item), entity);
    longestPrefix_ = std::max(longestPrefix_, item.size());
    ++prefixCount_;
  }
}

void CountryTable::Parse(std::string_view text) {
  Clear();
  // Items before the first header line have no entity and are left out.
  bool haveEntity = false;
  uint32_t current = 0;
  ForEachLine(text, [&](std::string_view raw) {
    const std::string_view line = TrimRight(raw);
    if (line.empty()) return;
    if (!IsBlank(line.front())) {
      // Header: the primary prefix is the last field before the closing ':'.
      std::string_view fields = line;
      if (fields.back() == ':') fields.remove_suffix(1);
      const size_t colon = fields.rfind(':');
      const std::string_view last =
          colon == std::string_view::npos ? fields : fields.substr(colon + 1);
      current = AddEntity(WithoutBlanks(last), HasEightFields(line));
      haveEntity = true;
      return;
    }
    if (!haveEntity) return;
    std::string items = WithoutBlanks(line);
    if (!items.empty() && (items.back() == ',' || items.back() == ';')) items.pop_back();
    std::string_view rest = items;
    while (!rest.empty()) {
      const size_t comma = rest.find(',');
      const std::string_view item = rest.substr(0, comma);
      if (!item.empty()) AddItem(item, current);
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
  });
}

std::string CountryTable::LookupEntity(std::string_view call) const {
  if (call.empty()) return {};
  std::string key(call);
  if (const auto it = exactCalls_.find(key); it != exactCalls_.end()) return entities_[it->second];
  for (size_t len = std::min(key.size(), longestPrefix_); len > 0; --len) {
    key.resize(len);
    if (const auto it = prefixes_.find(key); it != prefixes_.end()) return entities_[it->second];
  }
  return {};
}

}  // namespace merivac
