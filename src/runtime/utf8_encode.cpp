// UTF-16 into UTF-8: surrogate pairs become four bytes, a lone surrogate
// becomes U+FFFD so the output is always well-formed.
#include <string>
#include <string_view>

#include "runtime/encodings.h"

namespace qv {

char* EncodeUtf8(char32_t code, char* out) {
  if (code < 0x80) {
    *out++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *out++ = static_cast<char>(0xC0 | (code >> 6));
    *out++ = static_cast<char>(0x80 | (code & 63));
  } else if (code < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (code >> 12));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 63));
    *out++ = static_cast<char>(0x80 | (code & 63));
  } else {
    *out++ = static_cast<char>(0xF0 | (code >> 18));
    *out++ = static_cast<char>(0x80 | ((code >> 12) & 63));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 63));
    *out++ = static_cast<char>(0x80 | (code & 63));
  }
  return out;
}

void AppendUtf8(char32_t code, std::string& out) {
  char bytes[4];
  out.append(bytes, static_cast<std::size_t>(EncodeUtf8(code, bytes) - bytes));
}

std::string EncodeUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (const char32_t pair = PairAt(text, i)) {
      AppendUtf8(pair, out);
      ++i;
    } else {
      AppendUtf8(IsSurrogate(text[i]) ? U'\uFFFD' : char32_t{text[i]}, out);
    }
  }
  return out;
}

}  // namespace qv
