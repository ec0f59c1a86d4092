#include "text_fields.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "plain_decimal.h"
#include "runtime/encodings.h"

namespace qv::cli {
namespace {

// What a byte is to a format: copied as it is, escaped (or quoted), or the
// start of a UTF-8 sequence, kept when well-formed.
enum ByteClass : unsigned char { kPlain, kSpecial, kHigh };
using ClassTable = std::array<unsigned char, 256>;

constexpr ClassTable MakeClasses(std::string_view specials, bool deleteToo) {
  ClassTable classes{};
  for (int byte = 0; byte < 0x20; ++byte) classes[static_cast<std::size_t>(byte)] = kSpecial;
  for (char byte : specials) classes[static_cast<unsigned char>(byte)] = kSpecial;
  if (deleteToo) classes[0x7F] = kSpecial;
  for (int byte = 0x80; byte < 0x100; ++byte) classes[static_cast<std::size_t>(byte)] = kHigh;
  return classes;
}

constexpr ClassTable kCsvClasses = MakeClasses(",\"", true);
constexpr ClassTable kJsonClasses = MakeClasses("\"\\", false);

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Writes the cleaned text at out, which has room for text.size() bytes, in
// one pass: eight plain bytes at a time where they come so, and two-byte
// letters (Cyrillic) without the full decoding. Tells whether any byte was
// special.
char* WriteCleaned(std::string_view text, const ClassTable& classes, char* out, bool& special) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* const end = p + text.size();
  while (p != end) {
    if (end - p >= 8 && (classes[p[0]] | classes[p[1]] | classes[p[2]] | classes[p[3]] |
                         classes[p[4]] | classes[p[5]] | classes[p[6]] | classes[p[7]]) == kPlain) {
      std::memcpy(out, p, 8);
      out += 8;
      p += 8;
    } else if (classes[*p] != kHigh) {
      special = special || classes[*p] == kSpecial;
      *out++ = static_cast<char>(*p++);
    } else if (p[0] >= 0xC2 && p[0] <= 0xDF && end - p >= 2 && IsContinuation(p[1])) {
      std::memcpy(out, p, 2);
      out += 2;
      p += 2;
    } else {
      std::size_t written = 0;
      p += CleanUtf8Sequence(
          std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)),
          out, written);
      out += written;
    }
  }
  return out;
}

void AppendJsonEscape(char byte, std::string& out) {
  switch (byte) {
    case '"':
      out += "\\\"";
      return;
    case '\\':
      out += "\\\\";
      return;
    case '\b':
      out += "\\b";
      return;
    case '\f':
      out += "\\f";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    default:
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(byte));
      out += code;
  }
}

// Appends the cleaned text; gives where it starts in out, or npos when none
// of its bytes is special.
std::size_t AppendCleaned(std::string_view text, const ClassTable& classes, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + text.size());
  bool special = false;
  const char* end = WriteCleaned(text, classes, out.data() + start, special);
  out.resize(static_cast<std::size_t>(end - out.data()));
  return special ? start : std::string::npos;
}

}  // namespace

std::string CleanText(std::string_view text) {
  std::string clean(text.size(), '\0');
  clean.resize(CleanUtf8(text, clean.data()));
  return clean;
}

void AppendCsvField(std::string_view text, std::string& out) {
  const std::size_t start = AppendCleaned(text, kCsvClasses, out);
  if (start == std::string::npos) return;
  const std::string clean = out.substr(start);
  out.resize(start);
  out += '"';
  for (char byte : clean) {
    if (byte == '"') out += '"';
    out += byte;
  }
  out += '"';
}

void AppendJsonString(std::string_view text, std::string& out) {
  out += '"';
  const std::size_t start = AppendCleaned(text, kJsonClasses, out);
  if (start != std::string::npos) {
    const std::string clean = out.substr(start);
    out.resize(start);
    for (char byte : clean) {
      if (kJsonClasses[static_cast<unsigned char>(byte)] == kSpecial) {
        AppendJsonEscape(byte, out);
      } else {
        out += byte;
      }
    }
  }
  out += '"';
}

void AppendJsonNumberOrString(std::string_view text, std::string& out) {
  if (const std::optional<PlainDecimal> number = ParsePlainDecimal(text)) {
    AppendAsJsonNumber(*number, out);
  } else {
    AppendJsonString(text, out);
  }
}

}  // namespace qv::cli
