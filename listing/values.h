#pragma once
// The values of a detail as the listings give them. Always: well-formed
// UTF-8 (a "?" for each malformed sequence) and a "?" for each control
// character the report cannot hold, as in the report. Unless raw: the page's
// character references decoded, a no-break space made a blank, and blanks
// trimmed, so that values compare and join as people expect.
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/byte_blocks.h"

namespace qv::listing {

// Marks the bytes of word below limit, at most 128: the lowest mark is
// always a true one, so a word has a mark exactly when such a byte is in it.
constexpr std::uint64_t MarkBytesBelow(std::uint64_t word, unsigned limit) {
  return (word - kEveryByte * limit) & ~word & kHighBits;
}

// The cleaned value: text itself when nothing changes, otherwise a view of
// scratch, which is overwritten.
std::string_view CleanValue(std::string_view text, bool raw, std::string& scratch);

}  // namespace qv::listing
