#include "convert/pruning.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "runtime/byte_text.h"
#include "runtime/service_error.h"

namespace qv {

bool DetailMarker::In(std::string_view text) const {
  if (text.size() < text_.size()) return false;
  const char* const start = text.data();
  const char* const last = start + (text.size() - text_.size()) + kAnchor;
  const char* p = start + kAnchor;
  while (p <= last) {
    p = static_cast<const char*>(
        std::memchr(p, text_[kAnchor], static_cast<std::size_t>(last - p) + 1));
    if (p == nullptr) return false;
    if (std::memcmp(p - kAnchor, text_.data(), text_.size()) == 0) return true;
    ++p;
  }
  return false;
}

// Line 0 is never examined by the blank pass, but it stays only when it holds
// the heading, and then it is not blank. Deleting line i - 1 while examining
// line i leaves the examined line in place as the predecessor of the next
// one, so each line after the heading is examined once, and the line before
// it goes exactly when the block flag is clear after it.
bool DetailPruner::Take(std::string_view line, std::string_view& kept) {
  ++lineCount_;
  bool keepsHeld = false;
  if (!sectionFound_) {
    if (!kSectionHeading.In(line)) return false;
    sectionFound_ = true;
  } else {
    if (std::all_of(line.begin(), line.end(), IsLowBlank)) return false;
    // The flag is set by the subscriber marker and then cleared by the total
    // marker: inside a block only the second can change it, outside only a
    // line with the first, so most lines are searched for one marker.
    if (insideBlock_ || kSubscriberMarker.In(line)) insideBlock_ = !kTotalMarker.In(line);
    keepsHeld = insideBlock_;
  }
  if (keepsHeld) kept = held_;
  held_ = line;
  ++sectionLines_;
  return keepsHeld;
}

// Once per block of the detail, not per line: most held lines are decided
// before their block is replaced. Room a long line needed is given back once
// a much shorter one is held.
void DetailPruner::CopyHeldLine() {
  if (held_.data() == heldCopy_.data()) return;
  if (heldCopy_.capacity() > kLargeLine && heldCopy_.capacity() > 4 * held_.size()) {
    heldCopy_.clear();
    heldCopy_.shrink_to_fit();
  }
  heldCopy_.assign(held_);
  held_ = heldCopy_;
}

std::string_view DetailPruner::Finish() const {
  if (lineCount_ < 2 || sectionLines_ < 2) RaiseListIndexError(1);
  return held_;
}

}  // namespace qv
