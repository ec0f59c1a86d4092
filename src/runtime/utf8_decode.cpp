// UTF-8 into UTF-16 with one "?" per malformed sequence. A lead byte whose
// continuation bytes stop early is decoded by the form of the bytes present.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/byte_blocks.h"
#include "runtime/encodings.h"

namespace qv {
namespace {

constexpr char16_t kReplacement = u'?';

inline bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The number of leading one bits of a byte of 128 or more (1 to 8).
inline std::size_t LeadingOnes(unsigned char byte) {
  std::size_t count = 0;
  while (count < 8 && (byte & (0x80u >> count)) != 0) ++count;
  return count;
}

// Decodes one sequence starting with a byte of 128 or more; returns the
// number of bytes it took and writes one or two code units.
inline std::size_t DecodeSequence(const unsigned char* in, std::size_t left, char16_t*& out) {
  std::size_t k = LeadingOnes(in[0]);
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

// Returns the number of code units written; out has room for size units,
// since no sequence gives more code units than it has bytes.
std::size_t DecodeInto(const unsigned char* in, std::size_t size, char16_t* out) {
  char16_t* const start = out;
  std::size_t i = 0;
  while (i < size) {
    // Eight ASCII bytes at a time: markup and digits make up most rows.
    while (size - i >= 8 && (LoadBlock(in + i) & kHighBits) == 0) {
      for (std::size_t j = 0; j < 8; ++j) out[j] = in[i + j];
      out += 8;
      i += 8;
    }
    if (i == size) break;
    unsigned char byte = in[i];
    if (byte < 0x80) {
      *out++ = byte;
      ++i;
      continue;
    }
    // Two-byte letters (Cyrillic) in a tight loop of their own.
    while (byte >= 0xC2 && byte <= 0xDF && size - i >= 2 && IsContinuation(in[i + 1])) {
      *out++ = static_cast<char16_t>(((byte & 31u) << 6) | (in[i + 1] & 63u));
      i += 2;
      if (i == size) break;
      byte = in[i];
    }
    if (i == size) break;
    if (byte < 0x80) {
      *out++ = byte;
      ++i;
      continue;
    }
    i += DecodeSequence(in + i, size - i, out);
  }
  return static_cast<std::size_t>(out - start);
}

}  // namespace

std::size_t CleanUtf8(std::string_view bytes, char* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  char* const start = out;
  std::size_t i = 0;
  while (i < size) {
    // ASCII eight bytes at a time, as in the decoding.
    while (size - i >= 8 && (LoadBlock(in + i) & kHighBits) == 0) {
      std::memcpy(out, in + i, 8);
      out += 8;
      i += 8;
    }
    if (i == size) break;
    unsigned char byte = in[i];
    // Two-byte letters (Cyrillic) and the ASCII between them in a tight
    // loop: such a letter decodes to 128 or more and comes back the same.
    for (;;) {
      if (byte < 0x80) {
        *out++ = static_cast<char>(byte);
        ++i;
      } else if (byte >= 0xC2 && byte <= 0xDF && size - i >= 2 && IsContinuation(in[i + 1])) {
        out[0] = static_cast<char>(byte);
        out[1] = static_cast<char>(in[i + 1]);
        out += 2;
        i += 2;
      } else {
        break;
      }
      if (i == size) return static_cast<std::size_t>(out - start);
      byte = in[i];
    }
    std::size_t written = 0;
    i += CleanUtf8Sequence(bytes.substr(i), out, written);
    out += written;
  }
  return static_cast<std::size_t>(out - start);
}

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

void AppendDecodedUtf8(std::string_view bytes, std::u16string& out) {
  const std::size_t old = out.size();
  out.resize(old + bytes.size());
  std::size_t written = DecodeInto(reinterpret_cast<const unsigned char*>(bytes.data()),
                                   bytes.size(), out.data() + old);
  out.resize(old + written);
}

std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  AppendDecodedUtf8(bytes, out);
  return out;
}

}  // namespace qv
