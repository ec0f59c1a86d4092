#pragma once
// Walks HTML byte text for the content of the next element of a given name.
#include <string_view>
#include <vector>

#include "runtime/byte_text.h"

namespace qv {

// What one walk found and where it stopped; the caller keeps the position
// for the next walk.
struct TagContent {
  // Trimmed of tab, LF, CR and space; a view into the text walked.
  std::string_view content;
  // The 1-based position where the walk stopped.
  TextPos stop = 0;
  // The walk reached the end of the text undecided: more text after it
  // could have given another result.
  bool ranOut = false;
};

// The next element named name, examining text from start (1-based; below 1
// reads from the first byte). Made for the short names of table markup: the
// time grows with the text times the name's length.
TagContent NextTagContent(std::string_view text, std::string_view name, TextPos start);
// The usual row at the start of text: spacing, "<tr>", cells "<td>...</td>"
// whose contents hold no "<" or "/", spacing between them, and "</tr>". Gives
// what NextTagContent(text, "tr", 1) finds, and in cells the contents the
// cell walks then find in the row, in order, the first kKeptCells of them;
// false for any other text.
inline constexpr std::size_t kKeptCells = 16;
bool ReadPlainRow(std::string_view text, TagContent& row, std::vector<std::string_view>& cells);

}  // namespace qv
