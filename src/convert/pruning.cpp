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
    p = static_cast<const char*>(
        std::memchr(p, text_[anchor_], static_cast<std::size_t>(last - p) + 1));
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

// Line 0 is never examined by the blank pass, but it stays only when it holds
// the heading, and then it is not blank. Deleting line i - 1 while examining
// line i leaves the examined line in place as the predecessor of the next
// one, so each line after the heading is examined once, and the line before
// it goes exactly when the block flag is clear after it.
std::string_view PruneAndJoin(LineList& list) {
  LineJoiner lines(list);
  std::size_t lineCount = 0;
  std::size_t sectionLines = 0;
  bool sectionFound = false;
  bool insideBlock = false;
  std::string_view previous;
  for (std::string_view line; lines.Next(line);) {
    ++lineCount;
    if (!sectionFound) {
      if (!kSectionHeading.In(line)) continue;
      sectionFound = true;
    } else {
      if (IsBlank(line)) continue;
      if (kSubscriberMarker.In(line)) insideBlock = true;
      if (kTotalMarker.In(line)) insideBlock = false;
      if (insideBlock) lines.Keep(previous, line.data());
    }
    previous = line;
    ++sectionLines;
  }
  if (lineCount < 2 || sectionLines < 2) RaiseListIndexError(1);
  lines.Keep(previous);
  return lines.Finish();
}

}  // namespace qv
