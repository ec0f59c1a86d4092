// Lower case for the scripts of the single-byte code pages (Latin, Greek,
// Cyrillic, Armenian), so lowering gives the same letters on every platform.
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/encodings.h"

namespace qv {
namespace {

struct Pair {
  char16_t upper;
  char16_t lower;
};

// Letters whose lower case is not next to them or at a fixed distance.
constexpr Pair kSingles[] = {
    {0x0130, 0x0069}, {0x0178, 0x00FF}, {0x0181, 0x0253}, {0x0186, 0x0254}, {0x0187, 0x0188},
    {0x0189, 0x0256}, {0x018A, 0x0257}, {0x018B, 0x018C}, {0x018E, 0x01DD}, {0x018F, 0x0259},
    {0x0190, 0x025B}, {0x0191, 0x0192}, {0x0193, 0x0260}, {0x0194, 0x0263}, {0x0196, 0x0269},
    {0x0197, 0x0268}, {0x0198, 0x0199}, {0x019C, 0x026F}, {0x019D, 0x0272}, {0x019F, 0x0275},
    {0x01A7, 0x01A8}, {0x01A9, 0x0283}, {0x01AC, 0x01AD}, {0x01AE, 0x0288}, {0x01AF, 0x01B0},
    {0x01B1, 0x028A}, {0x01B2, 0x028B}, {0x01B3, 0x01B4}, {0x01B5, 0x01B6}, {0x01B7, 0x0292},
    {0x01B8, 0x01B9}, {0x01BC, 0x01BD}, {0x01C4, 0x01C6}, {0x01C5, 0x01C6}, {0x01C7, 0x01C9},
    {0x01C8, 0x01C9}, {0x01CA, 0x01CC}, {0x01CB, 0x01CC}, {0x01F1, 0x01F3}, {0x01F2, 0x01F3},
    {0x01F4, 0x01F5}, {0x01F6, 0x0195}, {0x01F7, 0x01BF}, {0x0220, 0x019E}, {0x0386, 0x03AC},
    {0x038C, 0x03CC}, {0x04C0, 0x04CF}, {0x1E9E, 0x00DF},
};

// Ranges where every even (or odd) letter is followed by its lower case.
struct AlternatingRange {
  char16_t first;
  char16_t last;
};
constexpr AlternatingRange kAlternating[] = {
    {0x0100, 0x012F}, {0x0132, 0x0137}, {0x0139, 0x0148}, {0x014A, 0x0177}, {0x0179, 0x017E},
    {0x0182, 0x0185}, {0x01A0, 0x01A5}, {0x01CD, 0x01DC}, {0x01DE, 0x01EF}, {0x01F8, 0x021F},
    {0x0222, 0x0233}, {0x03D8, 0x03EF}, {0x0460, 0x0481}, {0x048A, 0x04BF}, {0x04C1, 0x04CE},
    {0x04D0, 0x052F}, {0x1E00, 0x1E95}, {0x1EA0, 0x1EFF},
};

}  // namespace

char16_t SimpleLowerCase(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 32);
  if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 80);
  if ((c >= 0x0391 && c <= 0x03A1) || (c >= 0x03A3 && c <= 0x03AB)) {
    return static_cast<char16_t>(c + 32);
  }
  if (c >= 0x0388 && c <= 0x038A) return static_cast<char16_t>(c + 37);
  if (c >= 0x038E && c <= 0x038F) return static_cast<char16_t>(c + 63);
  if (c >= 0x0531 && c <= 0x0556) return static_cast<char16_t>(c + 48);
  if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 32);
  for (const AlternatingRange& range : kAlternating) {
    if (c >= range.first && c <= range.last) {
      return ((c - range.first) % 2 == 0) ? static_cast<char16_t>(c + 1) : c;
    }
  }
  for (const Pair& pair : kSingles) {
    if (pair.upper == c) return pair.lower;
  }
  return c;
}

// Well-formed sequences are lowered; any other byte is kept as it is.
std::string LowerUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  while (i < size) {
    unsigned char byte = in[i];
    if (byte < 0x80) {
      out += static_cast<char>((byte >= 'A' && byte <= 'Z') ? byte + 32 : byte);
      ++i;
      continue;
    }
    auto continuation = [&](std::size_t at) { return at < size && (in[at] & 0xC0) == 0x80; };
    char32_t code = 0;
    std::size_t length = 0;
    if (byte >= 0xC2 && byte <= 0xDF && continuation(i + 1)) {
      code = ((byte & 31u) << 6) | (in[i + 1] & 63u);
      length = 2;
    } else if (byte >= 0xE0 && byte <= 0xEF && continuation(i + 1) && continuation(i + 2)) {
      code = ((byte & 15u) << 12) | ((in[i + 1] & 63u) << 6) | (in[i + 2] & 63u);
      if (code >= 0x800 && !IsSurrogate(code)) length = 3;
    }
    if (length == 0) {
      // Four-byte letters have no lower case we map; copy the byte as it is.
      out += static_cast<char>(byte);
      ++i;
      continue;
    }
    char16_t lower = SimpleLowerCase(static_cast<char16_t>(code));
    if (lower == code) {
      out.append(bytes.substr(i, length));
    } else {
      AppendUtf8(lower, out);
    }
    i += length;
  }
  return out;
}

}  // namespace qv
