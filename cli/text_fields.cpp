#include "text_fields.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "plain_decimal.h"
#include "runtime/encodings.h"

namespace qv::cli {
namespace {

using ByteSet = std::array<bool, 256>;

constexpr ByteSet MakeSpecials(std::string_view others, bool deleteToo) {
  ByteSet set{};
  for (int byte = 0; byte < 0x20; ++byte) set[static_cast<std::size_t>(byte)] = true;
  for (char byte : others) set[static_cast<unsigned char>(byte)] = true;
  set[0x7F] = deleteToo;
  return set;
}

constexpr std::string_view kCsvOthers = ",\"";
constexpr std::string_view kJsonOthers = "\"\\";
constexpr ByteSet kCsvSpecials = MakeSpecials(kCsvOthers, true);
constexpr ByteSet kJsonSpecials = MakeSpecials(kJsonOthers, false);

// Whether a byte of the word is below n (at most 128): exact as a whole,
// whatever the bytes' borrows do to each other.
constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighs = 0x8080808080808080u;

bool AnyByteBelow(std::uint64_t word, unsigned n) {
  return ((word - kOnes * n) & ~word & kHighs) != 0;
}

bool AnyByteIs(std::uint64_t word, char byte) {
  return AnyByteBelow(word ^ (kOnes * static_cast<unsigned char>(byte)), 1);
}

// Eight bytes at a time, the word check telling only whether to look closer.
bool HasSpecial(std::string_view text, const ByteSet& specials, std::string_view others) {
  std::size_t i = 0;
  for (; text.size() - i >= 8; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    bool suspect = AnyByteBelow(word, 0x20) || AnyByteIs(word, 0x7F);
    for (char other : others) suspect = suspect || AnyByteIs(word, other);
    if (suspect) break;
  }
  for (; i < text.size(); ++i) {
    if (specials[static_cast<unsigned char>(text[i])]) return true;
  }
  return false;
}

// Appends the cleaned text; gives where it starts in out, or npos when none
// of its bytes is special.
std::size_t AppendCleaned(std::string_view text, const ByteSet& specials, std::string_view others,
                          std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + text.size());
  out.resize(start + CleanUtf8(text, out.data() + start));
  return HasSpecial(std::string_view(out).substr(start), specials, others) ? start
                                                                           : std::string::npos;
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

}  // namespace

std::string CleanText(std::string_view text) {
  std::string clean(text.size(), '\0');
  clean.resize(CleanUtf8(text, clean.data()));
  return clean;
}

void AppendCsvField(std::string_view text, std::string& out) {
  const std::size_t start = AppendCleaned(text, kCsvSpecials, kCsvOthers, out);
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
  const std::size_t start = AppendCleaned(text, kJsonSpecials, kJsonOthers, out);
  if (start != std::string::npos) {
    const std::string clean = out.substr(start);
    out.resize(start);
    for (char byte : clean) {
      if (kJsonSpecials[static_cast<unsigned char>(byte)]) {
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
