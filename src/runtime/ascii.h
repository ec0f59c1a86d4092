#pragma once
// ASCII classes by their code values: <cctype> answers by the process's
// locale, which in a plug-in belongs to the host.
#include <string_view>

#include "runtime/byte_blocks.h"

namespace qv {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Whether no byte has its high bit set.
inline bool IsAscii(std::string_view text) {
  std::uint64_t any = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) any |= LoadBlock(text.data() + i);
  for (; i < text.size(); ++i) any |= static_cast<unsigned char>(text[i]);
  return (any & kHighBits) == 0;
}

}  // namespace qv
