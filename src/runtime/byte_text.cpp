#include "runtime/byte_text.h"

#include <algorithm>
#include <cstring>

namespace qv {

std::string_view TrimBlanks(std::string_view text) {
  std::size_t first = 0;
  std::size_t end = text.size();
  while (first < end && IsLowBlank(text[first])) ++first;
  while (end > first && IsLowBlank(text[end - 1])) --end;
  return text.substr(first, end - first);
}

TextPos FindText(std::string_view pattern, std::string_view text) {
  const std::size_t offset = pattern.empty() ? std::string_view::npos : text.find(pattern);
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
