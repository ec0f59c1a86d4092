#pragma once
// Helpers that cut values out of the lines and cells of an HTML detail.
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/byte_text.h"

namespace qv {

// Removes every occurrence, searching again from the start after each
// removal (an occurrence formed by a removal goes too).
std::string RemoveAll(std::string_view text, std::string_view pattern);
// The n-th field (from 1) of text split at separator; a view into text.
std::string_view NthField(std::string_view text, char separator, std::int32_t n);
// The text without its tags: "<" up to the next ">" is dropped.
std::string StripTags(std::string_view text);
// Tab, LF, CR and space trimmed at both ends; other blanks stay.
inline std::string_view TrimSpacing(std::string_view text) {
  const auto spacing = [](char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r';
  };
  while (!text.empty() && spacing(text.front())) text.remove_prefix(1);
  while (!text.empty() && spacing(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace qv
