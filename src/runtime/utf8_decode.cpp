// UTF-8 into UTF-16 with one "?" per malformed sequence. A lead byte whose
// continuation bytes stop early is decoded by the form of the bytes present.
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/encodings.h"

namespace qv {
namespace {

constexpr char16_t kReplacement = u'?';

inline bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes one sequence starting with a byte of 128 or more; returns the
// number of bytes it took and writes one or two code units.
inline std::size_t DecodeSequence(const unsigned char* in, std::size_t left, char16_t*& out) {
  // The length the lead byte announces, 1 to 8.
  std::size_t k = static_cast<std::size_t>(std::countl_one(in[0]));
  if (k - 1 > left) k = 1;  // two or more bytes short of the end
  for (std::size_t j = 1; j < k; ++j) {
    if (j == left || !IsContinuation(in[j])) {
      k = j;
      break;
    }
  }
  std::uint32_t u;
  switch (k) {
    case 2:
      u = (in[0] & 31u) * 64 + (in[1] & 63u);
      *out++ = u <= 127 ? kReplacement : static_cast<char16_t>(u);
      break;
    case 3:
      u = (in[0] & 15u) * 4096 + (in[1] & 63u) * 64 + (in[2] & 63u);
      *out++ =
          (u <= 2047 || u >= 65534 || IsSurrogate(u)) ? kReplacement : static_cast<char16_t>(u);
      break;
    case 4:
      u = (in[0] & 7u) * 262144 + (in[1] & 63u) * 4096 + (in[2] & 63u) * 64 + (in[3] & 63u);
      if (u < 0x10000 || u > 0x10FFFF) {
        *out++ = kReplacement;
      } else {
        u -= 0x10000;
        *out++ = static_cast<char16_t>(0xD800 + (u >> 10));
        *out++ = static_cast<char16_t>(0xDC00 + (u & 1023));
      }
      break;
    default:
      *out++ = kReplacement;
      break;
  }
  return k;
}

}  // namespace

std::size_t CleanUtf8Sequence(std::string_view bytes, char* out, std::size_t& written) {
  char16_t units[2];
  char16_t* end = units;
  const std::size_t taken =
      DecodeSequence(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), end);
  const char32_t pair =
      PairAt(std::u16string_view(units, static_cast<std::size_t>(end - units)), 0);
  written = static_cast<std::size_t>(EncodeUtf8(pair != 0 ? pair : char32_t{units[0]}, out) - out);
  return taken;
}

// out has room for every byte, since no sequence gives more code units
// than it has bytes.
std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string decoded(bytes.size(), u'\0');
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  char16_t* out = decoded.data();
  for (std::size_t i = 0; i < bytes.size();) {
    if (in[i] < 0x80) {
      *out++ = in[i++];
    } else {
      i += DecodeSequence(in + i, bytes.size() - i, out);
    }
  }
  decoded.resize(static_cast<std::size_t>(out - decoded.data()));
  return decoded;
}

}  // namespace qv
