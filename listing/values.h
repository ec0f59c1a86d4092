#pragma once
// The values of a detail as the listings give them. Always: well-formed
// UTF-8 (a "?" for each malformed sequence) and a "?" for each control
// character the report cannot hold, as in the report. Unless raw: the page's
// character references decoded, a no-break space made a blank, and blanks
// trimmed, so that values compare and join as people expect.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace qv::listing {

// Eight bytes at once, for the runs of ordinary bytes values mostly are.
namespace eight_bytes {
inline constexpr std::uint64_t kOnes = 0x0101010101010101u;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080u;
inline std::uint64_t Load(const void* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}
// Nonzero when a byte of word is below limit, which is at most 128.
constexpr std::uint64_t AnyBelow(std::uint64_t word, unsigned limit) {
  return (word - kOnes * limit) & ~word & kHighBits;
}
constexpr std::uint64_t AnyEqual(std::uint64_t word, unsigned char byte) {
  return AnyBelow(word ^ (kOnes * byte), 1);
}
}  // namespace eight_bytes

// The cleaned value: text itself when nothing changes, otherwise a view of
// scratch, which is overwritten.
std::string_view CleanValue(std::string_view text, bool raw, std::string& scratch);

}  // namespace qv::listing
