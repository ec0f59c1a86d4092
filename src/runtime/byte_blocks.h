#pragma once
// Eight bytes at a time, for the checks and searches that run over long
// texts: one word of arithmetic instead of eight comparisons.
#include <bit>
#include <cstdint>
#include <cstring>

namespace qv {

inline constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// The eight bytes at p, the first of them lowest.
inline std::uint64_t LoadBlock(const void* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  return word;
}

// Marks with its high bit each byte of word that equals byte; the lowest
// mark is always a true one (higher ones may be false after a true one).
constexpr std::uint64_t MarkBytes(std::uint64_t word, unsigned char byte) {
  const std::uint64_t differences = word ^ (kEveryByte * byte);
  return (differences - kEveryByte) & ~differences & kHighBits;
}

// Marks the bytes of word below limit, at most 128: the lowest mark is
// always a true one, so a word has a mark exactly when such a byte is in it.
constexpr std::uint64_t MarkBytesBelow(std::uint64_t word, unsigned limit) {
  return (word - kEveryByte * limit) & ~word & kHighBits;
}

// The index (0 to 7) of the lowest marked byte of a word with a mark.
inline std::size_t FirstMarked(std::uint64_t marks) {
  return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
}

}  // namespace qv
