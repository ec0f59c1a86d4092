#pragma once
// Rows of cells in columns padded to their widest cell, for a terminal.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qv::listing {

class TextTable {
 public:
  // One flag per column: true for numbers, which stand against its right edge.
  explicit TextTable(std::vector<bool> alignRight);

  // Cells are well-formed UTF-8; control characters in them are shown as
  // "?", so that no cell can steer the terminal.
  void AddRow(const std::vector<std::string>& cells);
  // Columns two spaces apart, lines ending in LF without trailing blanks.
  void AppendTo(std::string& out) const;

 private:
  std::vector<bool> alignRight_;
  std::vector<std::vector<std::string>> rows_;
  std::vector<std::size_t> widths_;
};

// The columns UTF-8 text takes: one per character, so a Cyrillic letter of
// two bytes takes one.
std::size_t DisplayWidth(std::string_view text);

}  // namespace qv::listing
