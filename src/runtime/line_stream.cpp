#include "runtime/line_stream.h"

#include <cstring>

namespace qv {

std::size_t LineStream::NextOf(ByteSearch& search, std::size_t from) {
  if (search.found != std::string::npos && search.found >= from) return search.found;
  std::size_t start = from;
  if (search.found == std::string::npos && search.searchedTo > start) start = search.searchedTo;
  const void* hit =
      start < end_ ? std::memchr(buffer_.data() + start, search.byte, end_ - start) : nullptr;
  if (hit != nullptr) {
    search.found = static_cast<std::size_t>(static_cast<const char*>(hit) - buffer_.data());
  } else {
    search.found = std::string::npos;
    search.searchedTo = end_;
  }
  return search.found;
}

// Moves the bytes still needed to the front, once the bytes before them are
// at least as many: each byte is then moved a bounded number of times.
void LineStream::Compact() {
  const std::size_t keepFrom = holding_ ? heldStart_ : lineStart_;
  if (keepFrom == 0 || keepFrom < end_ - keepFrom) return;
  std::memmove(buffer_.data(), buffer_.data() + keepFrom, end_ - keepFrom);
  end_ -= keepFrom;
  lineStart_ -= keepFrom;
  heldStart_ -= holding_ ? keepFrom : 0;
  for (ByteSearch* search : {&returns_, &lineFeeds_}) {
    if (search->found != std::string::npos && search->found >= keepFrom) {
      search->found -= keepFrom;
    } else {
      search->found = std::string::npos;
      search->searchedTo = search->searchedTo > keepFrom ? search->searchedTo - keepFrom : 0;
    }
  }
}

std::span<char> LineStream::Space(std::size_t blockSize) {
  if (buffer_.size() - end_ < blockSize) Compact();
  if (buffer_.size() - end_ < blockSize) {
    const std::size_t doubled = buffer_.size() * 2;
    buffer_.resize(end_ + blockSize > doubled ? end_ + blockSize : doubled);
  }
  return {buffer_.data() + end_, buffer_.size() - end_};
}

void LineStream::Added(std::size_t count) { end_ += count; }

void LineStream::End() { ended_ = true; }

bool LineStream::Next(std::string_view& line) {
  if (skipLineFeed_ && lineStart_ < end_) {
    if (buffer_[lineStart_] == '\n') ++lineStart_;
    skipLineFeed_ = false;
  }
  const std::size_t cr = NextOf(returns_, lineStart_);
  const std::size_t lf = NextOf(lineFeeds_, lineStart_);
  const std::size_t lineEnd = cr < lf ? cr : lf;
  if (lineEnd == std::string::npos) {
    if (!ended_ || lineStart_ == end_) return false;
    line = std::string_view(buffer_.data() + lineStart_, end_ - lineStart_);
    lineStart_ = end_;
    return true;
  }
  line = std::string_view(buffer_.data() + lineStart_, lineEnd - lineStart_);
  lineStart_ = lineEnd + 1;
  skipLineFeed_ = buffer_[lineEnd] == '\r';
  return true;
}

void LineStream::Hold(std::string_view line) {
  heldStart_ = static_cast<std::size_t>(line.data() - buffer_.data());
  heldSize_ = line.size();
  holding_ = true;
}

std::string_view LineStream::Held() const {
  return holding_ ? std::string_view(buffer_.data() + heldStart_, heldSize_) : std::string_view();
}

}  // namespace qv
