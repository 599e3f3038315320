// CountryTable.h - the country file CTY.DAT: callsign prefixes and single
// callsigns, each mapped to its DXCC entity.
//
// An entity is named by the primary prefix of its header line (for example
// "K" for the United States). A callsign's entity is that of its exact-call
// entry when it has one; otherwise that of the longest prefix the callsign
// begins with, and among equal prefixes the one listed first. This is the
// country file's own rule: a longer prefix is the more specific one (9M0
// before 9M, R9F before R9). Matching is case-sensitive and takes the call as
// it stands: nothing written with a slash is removed or interpreted.
//
// Both lists are hashed by their text, so a lookup costs a handful of hash
// probes however long the file is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace merivac {

class CountryTable {
 public:
  // LoadCountryFile: false when the file does not exist or cannot be read
  // (the table then keeps what it held); otherwise the table is replaced by
  // the file's content and the result is true.
  bool Load(const std::string& path);
  // Replaces the table by the entries of a country file's text.
  void Parse(std::string_view text);
  void Clear();

  // The entity's primary prefix, or empty when nothing matches.
  std::string LookupEntity(std::string_view call) const;

  size_t EntityCount() const { return entities_.size(); }
  size_t PrefixCount() const { return prefixCount_; }
  size_t ExactCallCount() const { return exactCount_; }
  // Entities whose header line has the file's eight ':'-ended fields and
  // that list at least one prefix or call: what a real country file is made
  // of, and what an error page or a cut-off transfer lacks.
  size_t CompleteEntityCount() const { return completeEntities_; }

 private:
  uint32_t AddEntity(std::string name, bool wellFormedHeader);
  void AddItem(std::string_view item, uint32_t entity);

  std::vector<std::string> entities_;
  std::unordered_map<std::string, uint32_t> exactCalls_;  // a later entry replaces an earlier one
  std::unordered_map<std::string, uint32_t> prefixes_;    // the first entry of a prefix stays
  size_t longestPrefix_ = 0;
  size_t prefixCount_ = 0;  // entries as listed, repeats included
  size_t exactCount_ = 0;
  size_t completeEntities_ = 0;
  std::vector<bool> wellFormed_;  // per entity: header with eight fields
  std::vector<bool> hasItems_;    // per entity: at least one prefix or call
};

// The whole file as text; false when it does not exist or cannot be read.
bool ReadWholeFile(const std::string& path, std::string& text);

// Calls f(line) for every line of text; CR LF, LF and a lone CR each end a
// line, and the line breaks are not part of the line.
template <typename F>
void ForEachLine(std::string_view text, F&& f) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    f(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      ++end;
    }
    start = end + 1;
  }
}

}  // namespace merivac
