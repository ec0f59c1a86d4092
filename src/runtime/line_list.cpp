#include "runtime/line_list.h"

#include <cstring>
#include <new>

#include "runtime/platform.h"
#include "runtime/service_error.h"

namespace qv {
namespace {

constexpr std::size_t kFirstChunk = 1024;

// The next CR or LF at or after from, or end. The last hit of each byte is
// remembered, so the text is scanned once for each of them.
class LineEndFinder {
 public:
  LineEndFinder(const char* text, const char* end)
      : end_(end), nextCr_(Find(text, '\r')), nextLf_(Find(text, '\n')) {}
  const char* Next(const char* from) {
    if (nextCr_ < from) nextCr_ = Find(from, '\r');
    if (nextLf_ < from) nextLf_ = Find(from, '\n');
    return nextCr_ < nextLf_ ? nextCr_ : nextLf_;
  }

 private:
  const char* Find(const char* from, char byte) const {
    const void* hit = std::memchr(from, byte, static_cast<std::size_t>(end_ - from));
    return hit != nullptr ? static_cast<const char*>(hit) : end_;
  }
  const char* end_;
  const char* nextCr_;
  const char* nextLf_;
};

}  // namespace

void RaiseListIndexError(std::int64_t index) {
  throw ServiceError("List index (" + std::to_string(index) + ") out of bounds");
}

void LineList::LoadFromFile(const char* path) {
  platform::File file;
  if (file.OpenForReading(path) != 0) {
    throw ServiceError("Unable to open file \"" + std::string(path != nullptr ? path : "") + "\"");
  }
  std::unique_ptr<char, FreeBytes> buffer;
  std::size_t size = 0;
  for (std::size_t chunk = kFirstChunk;; chunk *= 2) {
    char* grown = static_cast<char*>(std::realloc(buffer.get(), size + chunk));
    if (grown == nullptr) throw std::bad_alloc();
    buffer.release();
    buffer.reset(grown);
    std::int64_t got = file.Read(buffer.get() + size, chunk);
    // A failed read ends the data like the end of the file does.
    if (got <= 0) break;
    size += static_cast<std::size_t>(got);
    if (static_cast<std::size_t>(got) < chunk) break;
  }
  file.Close();
  // Give back the unused part of the last chunk.
  if (size > 0) {
    if (char* shrunk = static_cast<char*>(std::realloc(buffer.get(), size))) {
      buffer.release();
      buffer.reset(shrunk);
    }
  }
  buffer_ = std::move(buffer);
  size_ = size;
  Split();
}

void LineList::LoadFromBytes(std::string bytes) {
  std::unique_ptr<char, FreeBytes> buffer(static_cast<char*>(std::malloc(bytes.size() + 1)));
  if (buffer == nullptr) throw std::bad_alloc();
  std::memcpy(buffer.get(), bytes.data(), bytes.size());
  buffer_ = std::move(buffer);
  size_ = bytes.size();
  Split();
}

void LineList::Split() {
  lines_.clear();
  const char* p = buffer_.get();
  if (p == nullptr) return;
  const char* const end = p + size_;
  LineEndFinder finder(p, end);
  while (p < end) {
    const char* lineEnd = finder.Next(p);
    lines_.emplace_back(p, static_cast<std::size_t>(lineEnd - p));
    p = lineEnd;
    if (p < end && *p == '\r') ++p;
    if (p < end && *p == '\n') ++p;
  }
}

std::string_view LineList::Get(std::int64_t index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return lines_[static_cast<std::size_t>(index)];
}

void LineList::Delete(std::int64_t index) {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string LineList::JoinedText() const {
  std::size_t total = 0;
  for (std::string_view line : lines_) total += line.size() + 2;
  std::string text;
  text.resize(total);
  char* out = text.data();
  for (std::string_view line : lines_) {
    if (!line.empty()) std::memcpy(out, line.data(), line.size());
    out += line.size();
    *out++ = '\r';
    *out++ = '\n';
  }
  return text;
}

void LineList::Clear() {
  lines_.clear();
  buffer_.reset();
  size_ = 0;
}

}  // namespace qv
