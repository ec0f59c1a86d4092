#include "convert/detail_walk.h"

#include "scan/element_scanner.h"
#include "scan/text_helpers.h"

namespace qv {
namespace {

constexpr std::size_t kPhoneDigits = 10;

}  // namespace

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
  window_.append(line);
  window_.append("\r\n");
  Walk();
}

// The walk goes on while the joined text is longer than the 1-based cursor,
// that is while two bytes lie at and after it; how long the text is becomes
// known only at its end.
void DetailWalk::Walk() {
  for (;;) {
    const std::uint64_t end = base_ + window_.size();
    if (end <= cursor_ + 1) return;
    if (!ended_ && end < retryAt_) return;
    if (!Step()) return;
  }
}

// One turn of the walk: a cell while looking for a subscriber, a row inside
// a block. A walk that runs out before the end of the detail is undecided
// and waits for more text.
bool DetailWalk::Step() {
  const std::string_view text =
      std::string_view(window_).substr(static_cast<std::size_t>(cursor_ - base_));
  const bool looking = phone_.empty();
  const TagContent found = looking ? NextTagContent(text, "td", 1) : NextTagContent(text, "tr", 1);
  if (found.ranOut && !ended_) {
    retryAt_ = base_ + window_.size() + text.size();
    return false;
  }
  cursor_ += static_cast<std::uint64_t>(found.stop - 1);
  if (looking) {
    TakeSubscriberCell(found.content);
  } else if (kTotalMarker.In(found.content)) {
    phone_.clear();
  } else if (rows_.Convert(found.content, call_)) {
    events_.Call(call_);
  }
  DropWalkedText();
  return true;
}

void DetailWalk::TakeSubscriberCell(std::string_view content) {
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
  std::string_view number =
      TrimSlice(cell, markerLength + 1, static_cast<TextPos>(cell.size()) - markerLength);
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
