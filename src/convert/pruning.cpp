#include "convert/pruning.h"

#include <cstddef>

#include "runtime/byte_text.h"
#include "runtime/line_list.h"

namespace qv {

void PruneBlankLines(std::vector<std::string_view>& lines) {
  if (lines.size() < 2) RaiseListIndexError(1);
  std::size_t kept = 1;  // line 0 is never examined
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (!TrimBlanks(lines[i]).empty()) lines[kept++] = lines[i];
  }
  lines.resize(kept);
}

void PruneBeforeSection(std::vector<std::string_view>& lines) {
  std::size_t first = 0;
  while (first < lines.size() && FindText(kSectionHeading, lines[first]) == 0) ++first;
  lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(first));
}

// Deleting line i - 1 while examining line i leaves the examined line in
// place as the predecessor of the next one, so every line from 1 on is
// examined once, and line k - 1 goes exactly when the flag is clear after
// line k.
void PruneOutsideBlocks(std::vector<std::string_view>& lines) {
  if (lines.size() < 2) RaiseListIndexError(1);
  bool insideBlock = false;
  std::size_t kept = 0;
  for (std::size_t k = 1; k < lines.size(); ++k) {
    if (FindText(kSubscriberMarker, lines[k]) != 0) insideBlock = true;
    if (FindText(kTotalMarker, lines[k]) != 0) insideBlock = false;
    if (insideBlock) lines[kept++] = lines[k - 1];
  }
  lines[kept++] = lines.back();
  lines.resize(kept);
}

void PruneDetailLines(LineList& lines) {
  PruneBlankLines(lines.Lines());
  PruneBeforeSection(lines.Lines());
  PruneOutsideBlocks(lines.Lines());
}

}  // namespace qv
