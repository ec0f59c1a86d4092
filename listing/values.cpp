#include "values.h"

#include <array>
#include <charconv>
#include <cstdint>

#include "runtime/encodings.h"

namespace qv::listing {
namespace {

enum ByteClass : unsigned char { kPlain, kControl, kAmpersand, kHigh };

// The controls XML forbids; tab and the line breaks stay, as in the report.
constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> classes{};
  for (std::size_t byte = 0; byte < 0x20; ++byte) classes[byte] = kControl;
  for (const char kept : {'\t', '\n', '\r'}) classes[static_cast<unsigned char>(kept)] = kPlain;
  classes['&'] = kAmpersand;
  for (std::size_t byte = 0x80; byte < 0x100; ++byte) classes[byte] = kHigh;
  return classes;
}
constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

constexpr char32_t kNoBreakSpace = 0xA0;

struct NamedReference {
  std::string_view name;
  char32_t code;
};
// The named references these pages use.
constexpr NamedReference kNamedReferences[] = {
    {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", kNoBreakSpace}};

// The length of the reference that starts text ("&...;") and its code, or 0
// when text starts with none this decodes.
std::size_t ReadReference(std::string_view text, char32_t& code) {
  constexpr std::size_t kLongest = 10;  // "&#1114111;"
  const std::size_t semicolon = text.substr(0, kLongest).find(';');
  if (semicolon == std::string_view::npos) return 0;
  const std::string_view body = text.substr(1, semicolon - 1);
  if (body.starts_with('#')) {
    const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
    const std::string_view digits = body.substr(hex ? 2 : 1);
    std::uint32_t value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, hex ? 16 : 10);
    if (digits.empty() || error != std::errc() || stop != end || value == 0 || value > 0x10FFFF ||
        IsSurrogate(value))
      return 0;
    code = value;
    return semicolon + 1;
  }
  for (const NamedReference& named : kNamedReferences) {
    if (body == named.name) {
      code = named.code;
      return semicolon + 1;
    }
  }
  return 0;
}

void AppendCode(char32_t code, std::string& out) {
  if (code == kNoBreakSpace) {
    out += ' ';
  } else if (code < 0x20 && kClasses[code] == kControl) {
    out += '?';
  } else {
    AppendUtf8(code, out);
  }
}

// Writes what replaces the bytes at the start of text, which start with a
// byte that is not plain; gives how many bytes it took.
std::size_t Replace(std::string_view text, bool raw, std::string& out) {
  const auto first = static_cast<unsigned char>(text.front());
  if (kClasses[first] == kControl) {
    out += '?';
    return 1;
  }
  char32_t code = 0;
  if (first == '&') {
    const std::size_t length = raw ? 0 : ReadReference(text, code);
    if (length == 0) out += '&';
    if (length != 0) AppendCode(code, out);
    return length == 0 ? 1 : length;
  }
  if (!raw && text.starts_with("\xC2\xA0")) {
    out += ' ';
    return 2;
  }
  char sequence[4];
  std::size_t written = 0;
  const std::size_t taken = CleanUtf8Sequence(text, sequence, written);
  out.append(sequence, written);
  return taken;
}

bool IsPlainPair(const unsigned char* p, const unsigned char* end, bool raw) {
  return p[0] >= 0xC2 && p[0] <= 0xDF && end - p >= 2 && (p[1] & 0xC0) == 0x80 &&
         (raw || p[0] != 0xC2 || p[1] != 0xA0);
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(' ') - start + 1);
}

}  // namespace

std::string_view CleanValue(std::string_view text, bool raw, std::string& scratch) {
  const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* const end = begin + text.size();
  const unsigned char* run = begin;
  const unsigned char* p = begin;
  bool changed = false;
  while (p != end) {
    if (end - p >= 8) {
      const std::uint64_t word = LoadBlock(p);
      if ((word & kHighBits) == 0 && MarkBytesBelow(word, 0x20) == 0 &&
          (raw || MarkBytes(word, '&') == 0)) {
        p += 8;
        continue;
      }
    }
    const unsigned char byteClass = kClasses[*p];
    if (byteClass == kPlain || (byteClass == kAmpersand && raw)) {
      ++p;
    } else if (byteClass == kHigh && IsPlainPair(p, end, raw)) {
      p += 2;
    } else {
      if (!changed) scratch.clear();
      changed = true;
      scratch.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
      p += Replace(text.substr(static_cast<std::size_t>(p - begin)), raw, scratch);
      run = p;
    }
  }
  if (changed) {
    scratch.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(end - run));
    text = scratch;
  }
  return raw ? text : Trimmed(text);
}

}  // namespace qv::listing
