#include "runtime/line_list.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "runtime/platform.h"
#include "runtime/service_error.h"

namespace qv {
namespace {

constexpr std::size_t kFirstChunk = 1024;

}  // namespace

void LineList::LoadFromFile(const char* path) {
  platform::File file;
  if (file.OpenForReading(path) != 0) {
    throw ServiceError("Unable to open file \"" + std::string(path != nullptr ? path : "") + "\"");
  }
  std::unique_ptr<char, FreeBytes> buffer;
  std::size_t size = 0;
  for (std::size_t chunk = kFirstChunk;; chunk *= 2) {
    // On 32 bits the doubling chunk would wrap around before memory runs out.
    if (chunk == 0 || chunk > SIZE_MAX - size) throw std::bad_alloc();
    char* grown = static_cast<char*>(std::realloc(buffer.get(), size + chunk));
    if (grown == nullptr) throw std::bad_alloc();
    static_cast<void>(buffer.release());  // realloc took the old block
    buffer.reset(grown);
    std::int64_t got = file.Read(buffer.get() + size, chunk);
    // A failed read is an error: taking it for the end of the file would
    // give a report that silently lacks the rest of the detail.
    if (got < 0) {
      throw ServiceError("Unable to read file \"" + std::string(path) + "\"");
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
    if (static_cast<std::size_t>(got) < chunk) break;
  }
  file.Close();
  // Give back the unused part of the last chunk.
  if (size > 0) {
    if (char* shrunk = static_cast<char*>(std::realloc(buffer.get(), size))) {
      static_cast<void>(buffer.release());  // realloc took the old block
      buffer.reset(shrunk);
    }
  }
  Loaded(std::move(buffer), size);
}

void LineList::LoadFromBytes(std::string bytes) {
  std::unique_ptr<char, FreeBytes> buffer(static_cast<char*>(std::malloc(bytes.size() + 1)));
  if (buffer == nullptr) throw std::bad_alloc();
  std::memcpy(buffer.get(), bytes.data(), bytes.size());
  Loaded(std::move(buffer), bytes.size());
}

void LineList::Loaded(std::unique_ptr<char, FreeBytes> buffer, std::size_t size) {
  buffer_ = std::move(buffer);
  size_ = size;
  lines_.clear();
  listed_ = false;
}

const std::vector<std::string_view>& LineList::Lines() const {
  if (!listed_) {
    const char* begin = buffer_.get();
    LineReader reader(begin, begin != nullptr ? begin + size_ : nullptr);
    for (std::string_view line; reader.Next(line);) lines_.push_back(line);
    listed_ = true;
  }
  return lines_;
}

std::string_view LineList::Get(std::int64_t index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return Lines()[static_cast<std::size_t>(index)];
}

void LineList::Delete(std::int64_t index) {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string LineList::JoinedText() const {
  std::size_t total = 0;
  for (std::string_view line : Lines()) total += line.size() + 2;
  std::string text;
  text.resize(total);
  char* out = text.data();
  for (std::string_view line : Lines()) {
    if (!line.empty()) std::memcpy(out, line.data(), line.size());
    out += line.size();
    *out++ = '\r';
    *out++ = '\n';
  }
  return text;
}

void LineList::Clear() {
  lines_.clear();
  listed_ = true;
  buffer_.reset();
  size_ = 0;
}

// ---- LineReader ----

LineReader::LineReader(const char* begin, const char* end)
    : p_(begin), end_(end), nextCr_(Find(begin, '\r')), nextLf_(Find(begin, '\n')) {}

const char* LineReader::Find(const char* from, char byte) const {
  if (from == end_) return end_;
  const void* hit = std::memchr(from, byte, static_cast<std::size_t>(end_ - from));
  return hit != nullptr ? static_cast<const char*>(hit) : end_;
}

bool LineReader::Next(std::string_view& line) {
  if (p_ == end_) return false;
  const char* lineEnd = p_;
  // An empty line needs no search: a file of line ends alone is all of them.
  if (*p_ != '\r' && *p_ != '\n') {
    if (nextCr_ < p_) nextCr_ = Find(p_, '\r');
    if (nextLf_ < p_) nextLf_ = Find(p_, '\n');
    lineEnd = nextCr_ < nextLf_ ? nextCr_ : nextLf_;
  }
  line = std::string_view(p_, static_cast<std::size_t>(lineEnd - p_));
  p_ = lineEnd;
  if (p_ != end_ && *p_ == '\r') ++p_;
  if (p_ != end_ && *p_ == '\n') ++p_;
  return true;
}

// ---- LineJoiner ----

LineJoiner::LineJoiner(LineList& list)
    : list_(list),
      reader_(list.buffer_.get(), list.buffer_ ? list.buffer_.get() + list.size_ : nullptr),
      out_(list.buffer_.get()) {}

void LineJoiner::Keep(std::string_view line, const char* neededFrom) {
  char* const limit = const_cast<char*>(neededFrom != nullptr ? neededFrom : reader_.Position());
  if (queueHead_ == queue_.size() && limit >= out_ &&
      line.size() + 2 <= static_cast<std::size_t>(limit - out_)) {
    if (!line.empty()) std::memmove(out_, line.data(), line.size());
    out_ += line.size();
    *out_++ = '\r';
    *out_++ = '\n';
    return;
  }
  // Queued, the line's own bytes are free to be written over.
  queue_.append(line);
  queue_ += "\r\n";
  Drain(limit);
}

void LineJoiner::Drain(char* limit) {
  const std::size_t queued = queue_.size() - queueHead_;
  const std::size_t room = limit > out_ ? static_cast<std::size_t>(limit - out_) : 0;
  const std::size_t moved = queued < room ? queued : room;
  if (moved == 0) return;
  std::memcpy(out_, queue_.data() + queueHead_, moved);
  out_ += moved;
  queueHead_ += moved;
  if (queueHead_ == queue_.size()) {
    queue_.clear();
    queueHead_ = 0;
  } else if (queueHead_ >= queue_.size() / 2) {
    // Dropping the moved half costs no more than moving it did.
    queue_.erase(0, queueHead_);
    queueHead_ = 0;
  }
}

std::string_view LineJoiner::Finish() {
  char* const base = list_.buffer_.get();
  if (base != nullptr) Drain(base + list_.size_);
  const std::size_t written = base != nullptr ? static_cast<std::size_t>(out_ - base) : 0;
  const std::size_t queued = queue_.size() - queueHead_;
  if (queued != 0) {
    char* grown = static_cast<char*>(std::realloc(base, written + queued));
    if (grown == nullptr) throw std::bad_alloc();
    static_cast<void>(list_.buffer_.release());  // realloc took the old block
    list_.buffer_.reset(grown);
    std::memcpy(grown + written, queue_.data() + queueHead_, queued);
  }
  std::string().swap(queue_);
  queueHead_ = 0;
  list_.size_ = written + queued;
  list_.lines_.clear();
  list_.listed_ = true;
  return {list_.buffer_.get(), list_.size_};
}

}  // namespace qv
