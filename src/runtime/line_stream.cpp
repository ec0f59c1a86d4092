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

// Moves the bytes not yet read to the front once the read ones are at least
// as many: each byte is then moved a bounded number of times. A search that
// found a line end before them must search again.
void LineStream::Compact() {
  const std::size_t unread = end_ - lineStart_;
  if (lineStart_ == 0 || lineStart_ < unread) return;
  std::memmove(buffer_.data(), buffer_.data() + lineStart_, unread);
  for (ByteSearch* search : {&returns_, &lineFeeds_}) {
    if (search->found != std::string::npos && search->found >= lineStart_) {
      search->found -= lineStart_;
    } else {
      search->found = std::string::npos;
      search->searchedTo = search->searchedTo > lineStart_ ? search->searchedTo - lineStart_ : 0;
    }
  }
  lineStart_ = 0;
  end_ = unread;
}

// The buffer grows by half when it must, and gives memory back once a long
// line has passed, so that one long line does not keep its room for the rest
// of the detail.
std::span<char> LineStream::Space(std::size_t blockSize) {
  if (buffer_.size() - end_ < blockSize) Compact();
  const std::size_t needed = end_ + blockSize;
  if (buffer_.size() < needed) {
    const std::size_t grown = buffer_.size() + buffer_.size() / 2;
    buffer_.resize(needed > grown ? needed : grown);
  } else if (buffer_.size() > 4 * needed && buffer_.size() > kLargeBuffer) {
    buffer_.resize(needed);
    buffer_.shrink_to_fit();
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

}  // namespace qv
