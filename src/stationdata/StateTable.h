// StateTable.h - the US state file WAS.DAT: one callsign per line with its
// two-letter state.
//
// Line layout: columns 1-2 the state code, column 3 a separator, column 4 to
// the end of the line the callsign; nothing is trimmed. When a call is
// listed twice, the first line gives its state. The calls are kept in file
// order (the worked-states list follows that order) and in a sorted index
// for the lookup, so a file built from the whole US licence database (close
// to a million lines) is searched in about twenty comparisons.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace merivac {

class StateTable {
 public:
  struct Entry {
    std::string call;
    std::array<char, 2> state{};
  };

  // LoadStateFile's reading: 0 when the file does not exist or cannot be
  // read (the table then keeps what it held); otherwise the table is
  // replaced by the file's lines and the result is their number.
  size_t Load(const std::string& path);
  // Replaces the table by the lines of a state file's text; their number.
  size_t Parse(std::string_view text);
  void Clear();

  // The two-character state code of the first line that lists the call, or
  // empty.
  std::string LookupState(std::string_view call) const;

  size_t LineCount() const { return lineCount_; }
  // The lines that hold a call (at least four characters), in file order.
  const std::vector<Entry>& Entries() const { return entries_; }
  // Lines that look like the file's layout: a two-letter upper-case state,
  // a separator and a valid callsign. What a real file is made of, and what
  // an error page lacks.
  size_t LayoutLineCount() const { return layoutLines_; }

 private:
  std::vector<Entry> entries_;
  std::vector<uint32_t> byCall_;  // indices into entries_, sorted by call, file order among equals
  size_t lineCount_ = 0;
  size_t layoutLines_ = 0;
};

}  // namespace merivac
