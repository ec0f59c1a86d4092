#include "convert/pruning.h"

#include <cstddef>
#include <cstring>

#include "runtime/line_list.h"

namespace qv {

bool DetailMarker::In(std::string_view text) const {
  if (text.size() < text_.size()) return false;
  const char* const start = text.data();
  const char* const last = start + (text.size() - text_.size()) + anchor_;
  const char* p = start + anchor_;
  while (p <= last) {
    p = static_cast<const char*>(std::memchr(p, text_[anchor_], static_cast<std::size_t>(last - p) + 1));
    if (p == nullptr) return false;
    if (std::memcmp(p - anchor_, text_.data(), text_.size()) == 0) return true;
    ++p;
  }
  return false;
}

namespace {

// What trims to nothing: every byte up to and including the space.
bool IsBlank(std::string_view line) {
  for (char byte : line) {
    if (static_cast<unsigned char>(byte) > 0x20) return false;
  }
  return true;
}

}  // namespace

void PruneBlankLines(std::vector<std::string_view>& lines) {
  if (lines.size() < 2) RaiseListIndexError(1);
  std::size_t kept = 1;  // line 0 is never examined
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (!IsBlank(lines[i])) lines[kept++] = lines[i];
  }
  lines.resize(kept);
}

void PruneBeforeSection(std::vector<std::string_view>& lines) {
  std::size_t first = 0;
  while (first < lines.size() && !kSectionHeading.In(lines[first])) ++first;
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
    if (kSubscriberMarker.In(lines[k])) insideBlock = true;
    if (kTotalMarker.In(lines[k])) insideBlock = false;
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
