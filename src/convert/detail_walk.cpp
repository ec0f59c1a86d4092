#include "convert/detail_walk.h"

#include "scan/element_scanner.h"
#include "scan/text_helpers.h"

namespace qv {
DetailWalk::DetailWalk(DetailEvents& events, char decimalSeparator)
    : events_(events), rows_(decimalSeparator) {}

void DetailWalk::Added(std::size_t count) {
  lines_.Added(count);
  TakeLines();
}

void DetailWalk::Finish() {
  lines_.End();
  TakeLines();
  Keep(pruner_.Finish());
  ended_ = true;
  Walk();
}

void DetailWalk::TakeLines() {
  std::string_view line;
  std::string_view kept;
  while (lines_.Next(line)) {
    if (pruner_.Take(line, kept)) Keep(kept);
  }
}

void DetailWalk::Keep(std::string_view line) {
  if (!WalkInPlace(line)) window_.append(line).append("\r\n");
  Walk();
}

// Most kept lines hold whole rows. When nothing but the line end before a
// line is left to walk, the line is walked where it lies, and only what is
// left of it is copied. A turn that does not run out within the line finds
// what it would find in the joined text, which only adds bytes after it; and
// a line end before "<" changes no turn.
bool DetailWalk::WalkInPlace(std::string_view line) {
  const std::size_t walked = static_cast<std::size_t>(cursor_ - base_);
  const std::uint64_t lineStart = base_ + window_.size();
  if (ended_ || window_.size() - walked != 2 || window_.compare(walked, 2, "\r\n") != 0 ||
      lineStart + line.size() + 2 < retryAt_) {
    return false;
  }
  cursor_ = lineStart;
  while (cursor_ < lineStart + line.size() &&
         StepOn(line.substr(static_cast<std::size_t>(cursor_ - lineStart)))) {
  }
  window_.assign(line.substr(static_cast<std::size_t>(cursor_ - lineStart))).append("\r\n");
  base_ = cursor_;
  return true;
}

// The walk goes on while the joined text is longer than the 1-based cursor,
// that is while two bytes lie at and after it; how long the text is becomes
// known only at its end.
void DetailWalk::Walk() {
  for (;;) {
    const std::uint64_t end = base_ + window_.size();
    if (end <= cursor_ + 1) return;
    if (!ended_ && end < retryAt_) return;
    // A line end alone, before the next line, would run out undecided.
    if (!ended_ && end - cursor_ == 2 && window_.ends_with("\r\n")) return;
    if (!Step()) return;
  }
}

// One turn of the walk on the joined text from the cursor on. A turn that
// runs out before the end of the detail is undecided and waits for more text.
bool DetailWalk::Step() {
  const std::string_view text =
      std::string_view(window_).substr(static_cast<std::size_t>(cursor_ - base_));
  if (!StepOn(text)) {
    retryAt_ = base_ + window_.size() + text.size();
    return false;
  }
  DropWalkedText();
  return true;
}

// A cell while looking for a subscriber, a row inside a block; false when
// the turn ran out undecided.
bool DetailWalk::StepOn(std::string_view text) {
  const bool looking = phone_.empty();
  TagContent found;
  const bool plainRow = !looking && ReadPlainRow(text, found, cells_);
  if (!plainRow) found = NextTagContent(text, looking ? "td" : "tr", 1);
  if (found.ranOut && !ended_) return false;
  cursor_ += static_cast<std::uint64_t>(found.stop - 1);
  if (looking) {
    TakeSubscriberCell(found.content);
  } else if (kTotalMarker.In(found.content)) {
    phone_.clear();
  } else if (plainRow ? rows_.ConvertCells(cells_, call_, false)
                      : rows_.Convert(found.content, call_)) {
    events_.Call(call_);
  }
  return true;
}

void DetailWalk::TakeSubscriberCell(std::string_view content) {
  constexpr std::size_t kPhoneDigits = 10;
  std::string_view cell = content;
  if (FindByte('<', content) != 0) {
    strippedCell_ = StripTags(content);
    cell = strippedCell_;
  }
  cell = TrimBlanks(cell);
  if (!kSubscriberMarker.In(cell)) return;

  // The number is what follows a marker taken to open the cell, wherever
  // the marker really stands.
  const TextPos markerLength = static_cast<TextPos>(kSubscriberMarker.Text().size());
  std::string_view number = TrimSpacing(
      SliceText(cell, markerLength + 1, static_cast<TextPos>(cell.size()) - markerLength));
  if (number.size() > kPhoneDigits) number.remove_prefix(number.size() - kPhoneDigits);
  phone_.assign(number);
  events_.Subscriber(phone_);
}

// Once the walked bytes are the larger part of the window, moving the rest
// to its front costs less than they did. Room a long row needed is given back
// after it.
void DetailWalk::DropWalkedText() {
  const std::size_t walked = static_cast<std::size_t>(cursor_ - base_);
  if (walked < window_.size() - walked) return;
  window_.erase(0, walked);
  base_ = cursor_;
  if (window_.capacity() > kLargeWindow && window_.capacity() > 4 * window_.size()) {
    window_.shrink_to_fit();
  }
}

}  // namespace qv
