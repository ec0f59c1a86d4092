#include "convert/xml_names.h"

#include <cstddef>

namespace qv {
namespace {

bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The code point at index i, or 0xFFFFFFFF for a lone surrogate; advances i.
char32_t NextCodePoint(std::u16string_view text, std::size_t& i) {
  char32_t u = text[i++];
  if (IsHighSurrogate(u)) {
    if (i < text.size() && IsLowSurrogate(text[i])) {
      char32_t low = text[i++];
      return 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
    }
    return 0xFFFFFFFF;
  }
  if (IsLowSurrogate(u)) return 0xFFFFFFFF;
  return u;
}

bool IsNameStartChar(char32_t c) {
  if (c < 0x80) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
  }
  return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
         (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
         (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
         (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
         (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
  return IsNameStartChar(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 0xB7 ||
         (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

bool IsXmlName(std::u16string_view name) {
  if (name.empty()) return false;
  std::size_t i = 0;
  if (!IsNameStartChar(NextCodePoint(name, i))) return false;
  while (i < name.size()) {
    if (!IsNameChar(NextCodePoint(name, i))) return false;
  }
  return true;
}

std::string Utf16ToUtf8Lenient(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t c = NextCodePoint(text, i);
    AppendUtf8(c == 0xFFFFFFFF ? U'?' : c, out);
  }
  return out;
}

}  // namespace qv
