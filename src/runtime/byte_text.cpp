#include "runtime/byte_text.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qv {

namespace {

constexpr unsigned char kLastBlankByte = 0x20;

bool IsLowBlank(char byte) { return static_cast<unsigned char>(byte) <= kLastBlankByte; }

// Up to this length the library search (memchr on the first byte, then one
// compare) stays within a constant factor of the text length.
constexpr std::size_t kShortPatternLimit = 64;

// Knuth-Morris-Pratt for long patterns, whose candidate compares could
// otherwise cost the pattern length at every byte of the text.
std::size_t SearchLong(std::string_view text, std::string_view pattern, std::size_t from) {
  const std::size_t m = pattern.size();
  std::vector<std::size_t> border(m + 1, 0);
  for (std::size_t i = 1, k = 0; i < m; ++i) {
    while (k > 0 && pattern[i] != pattern[k]) k = border[k];
    if (pattern[i] == pattern[k]) ++k;
    border[i + 1] = k;
  }
  for (std::size_t i = from, k = 0; i < text.size(); ++i) {
    while (k > 0 && text[i] != pattern[k]) k = border[k];
    if (text[i] == pattern[k]) ++k;
    if (k == m) return i + 1 - m;
  }
  return std::string_view::npos;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  std::size_t first = 0;
  std::size_t end = text.size();
  while (first < end && IsLowBlank(text[first])) ++first;
  while (end > first && IsLowBlank(text[end - 1])) --end;
  return text.substr(first, end - first);
}

std::size_t SearchText(std::string_view text, std::string_view pattern, std::size_t from) {
  if (pattern.empty() || from > text.size() || pattern.size() > text.size() - from) {
    return std::string_view::npos;
  }
  if (pattern.size() <= kShortPatternLimit) return text.find(pattern, from);
  return SearchLong(text, pattern, from);
}

TextPos FindText(std::string_view pattern, std::string_view text) {
  const std::size_t offset = SearchText(text, pattern);
  return offset == std::string_view::npos ? 0 : static_cast<TextPos>(offset) + 1;
}

TextPos FindByte(char byte, std::string_view text) {
  if (text.empty()) return 0;
  const void* found = std::memchr(text.data(), static_cast<unsigned char>(byte), text.size());
  if (found == nullptr) return 0;
  return static_cast<TextPos>(static_cast<const char*>(found) - text.data()) + 1;
}

std::string_view SliceText(std::string_view text, TextPos index, TextPos count) {
  const TextPos length = static_cast<TextPos>(text.size());
  // Comparing before subtracting keeps extreme indexes from overflowing.
  const TextPos skipped = index < 1 ? 0 : index - 1;
  if (skipped >= length || count <= 0) return {};
  count = std::min(count, length - skipped);
  return text.substr(static_cast<std::size_t>(skipped), static_cast<std::size_t>(count));
}

bool TextEquals(std::string_view a, std::string_view b) { return a == b; }

std::string LowerAscii(std::string_view text) {
  std::string result(text);
  for (char& byte : result) {
    if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte + ('a' - 'A'));
  }
  return result;
}

std::string UpperAscii(std::string_view text) {
  std::string result(text);
  for (char& byte : result) {
    if (byte >= 'a' && byte <= 'z') byte = static_cast<char>(byte - ('a' - 'A'));
  }
  return result;
}

std::string_view FileNameOf(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace qv
