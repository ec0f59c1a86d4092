#pragma once
// Byte text primitives. Positions are 1-based byte positions and counts are
// signed, because the callers' arithmetic (cursor - start - 1, ...) relies on
// it; out-of-range positions and counts are clamped, never errors.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// A 1-based byte position or a signed byte count; 0 means "not found".
// 64 bits so that texts over 2 GiB cannot wrap a position.
using TextPos = std::int64_t;

// The bytes up to and including the space (tab, CR, LF, zero byte...).
constexpr bool IsLowBlank(char byte) { return static_cast<unsigned char>(byte) <= 0x20; }
// Removes every low blank at both ends.
std::string_view TrimBlanks(std::string_view text);
// Position of the first occurrence of pattern; 0 when absent or pattern empty.
TextPos FindText(std::string_view pattern, std::string_view text);
TextPos FindByte(char byte, std::string_view text);
// count bytes from index, clamped to the text (an index below 1 does not
// shorten the count).
std::string_view SliceText(std::string_view text, TextPos index, TextPos count);
// Only the 26 ASCII letters change.
std::string LowerAscii(std::string_view text);
std::string UpperAscii(std::string_view text);
// The bytes after the last '\', '/' or ':'.
std::string_view FileNameOf(std::string_view path);

}  // namespace qv
