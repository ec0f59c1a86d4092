#pragma once
// Helpers that cut values out of the lines and cells of an HTML detail.
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/byte_text.h"

namespace qv {

// The text into out with every occurrence removed, searching again from the
// start after each removal (an occurrence formed by a removal goes too).
void RemoveAll(std::string_view text, std::string_view pattern, std::string& out);
// The n-th field (from 1) of text split at separator; a view into text.
std::string_view NthField(std::string_view text, char separator, std::int32_t n);
// The text without its tags: "<" up to the next ">" is dropped.
std::string StripTags(std::string_view text);
// Tab, LF, CR and space: what markup puts between tags.
inline bool IsSpacing(char byte) {
  return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r';
}
// Spacing trimmed at both ends; other blanks stay.
inline std::string_view TrimSpacing(std::string_view text) {
  while (!text.empty() && IsSpacing(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpacing(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace qv
