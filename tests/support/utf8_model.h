#pragma once
// UTF-8 as plain loops, for the fast decoder to be held against: the
// decoding rules one byte at a time, strict UTF-8, and lone surrogates.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::test {

// The code point of the sequence at the front of bytes, strictly: no
// overlong forms, no surrogates, nothing above U+10FFFF. Gives the length
// of the sequence, 0 when it is ill-formed.
inline std::size_t StrictCodePoint(std::string_view bytes, std::uint32_t& c) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  const std::size_t length = lead < 0x80             ? 1
                             : (lead & 0xE0) == 0xC0 ? 2
                             : (lead & 0xF0) == 0xE0 ? 3
                             : (lead & 0xF8) == 0xF0 ? 4
                                                     : 0;
  if (length == 0 || bytes.size() < length) return 0;
  c = length == 1 ? lead : lead & (0x7Fu >> length);
  for (std::size_t j = 1; j < length; ++j) {
    const auto next = static_cast<unsigned char>(bytes[j]);
    if ((next & 0xC0) != 0x80) return 0;
    c = (c << 6) | (next & 63u);
  }
  static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return length;
}

// The decoding rules read one byte at a time, with no fast paths.
inline std::u16string ReferenceDecodeUtf8(std::string_view bytes) {
  std::u16string out;
  const std::size_t n = bytes.size();
  const auto b = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]));
  };
  std::size_t i = 0;
  while (i < n) {
    if (b(i) < 128) {
      out += static_cast<char16_t>(b(i));
      ++i;
      continue;
    }
    std::size_t k = 0;
    while (k < 8 && (b(i) & (0x80u >> k)) != 0) ++k;
    if (i + k - 1 > n) k = 1;
    for (std::size_t j = 1; j < k; ++j) {
      if (i + j == n || (b(i + j) & 0xC0) != 0x80) {
        k = j;
        break;
      }
    }
    std::uint32_t u = 0;
    switch (k) {
      case 2:
        u = (b(i) & 31) * 64 + (b(i + 1) & 63);
        out += u <= 127 ? u'?' : static_cast<char16_t>(u);
        break;
      case 3:
        u = (b(i) & 15) * 4096 + (b(i + 1) & 63) * 64 + (b(i + 2) & 63);
        out += (u <= 2047 || u >= 65534 || (u >= 55296 && u <= 57343)) ? u'?'
                                                                       : static_cast<char16_t>(u);
        break;
      case 4:
        u = (b(i) & 7) * 262144 + (b(i + 1) & 63) * 4096 + (b(i + 2) & 63) * 64 + (b(i + 3) & 63);
        if (u < 65536 || u > 1114111) {
          out += u'?';
        } else {
          out += static_cast<char16_t>(55296 + (u - 65536) / 1024);
          out += static_cast<char16_t>(56320 + (u - 65536) % 1024);
        }
        break;
      default:
        out += u'?';
        break;
    }
    i += k;
  }
  return out;
}

inline bool HasLoneSurrogate(std::u16string_view text) {
  const auto isHigh = [](char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
  const auto isLow = [](char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isHigh(text[i])) {
      if (i + 1 == text.size() || !isLow(text[i + 1])) return true;
      ++i;
    } else if (isLow(text[i])) {
      return true;
    }
  }
  return false;
}

}  // namespace qv::test
