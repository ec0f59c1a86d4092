#include "runtime/line_list.h"

#include <cstdint>
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
    // On 32 bits the doubling chunk would wrap around before memory runs out.
    if (chunk == 0 || chunk > SIZE_MAX - size) throw std::bad_alloc();
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

std::string_view LineList::JoinInPlace() {
  // Each line moves towards the buffer's start; it fits as long as its copy
  // and line end stay clear of the next line, which is not yet moved.
  const auto address = [](const char* p) { return reinterpret_cast<std::uintptr_t>(p); };
  const std::uintptr_t begin = address(buffer_.get());
  const std::uintptr_t end = begin + size_;
  std::size_t total = 0;
  bool fits = true;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string_view line = lines_[i];
    if (address(line.data()) < begin + total || address(line.data()) + line.size() > end) {
      fits = false;
    }
    total += line.size() + 2;
    const std::uintptr_t limit = i + 1 < lines_.size() ? address(lines_[i + 1].data()) : end;
    if (begin + total > limit) fits = false;
  }
  char* target = buffer_.get();
  std::unique_ptr<char, FreeBytes> fresh;
  if (!fits) {
    fresh.reset(static_cast<char*>(std::malloc(total)));
    if (fresh == nullptr) throw std::bad_alloc();
    target = fresh.get();
  }
  char* out = target;
  for (std::string_view line : lines_) {
    if (!line.empty()) std::memmove(out, line.data(), line.size());
    out += line.size();
    *out++ = '\r';
    *out++ = '\n';
  }
  std::vector<std::string_view>().swap(lines_);
  if (fresh != nullptr) buffer_ = std::move(fresh);
  size_ = total;
  return {buffer_.get(), total};
}

void LineList::Clear() {
  lines_.clear();
  buffer_.reset();
  size_ = 0;
}

}  // namespace qv
