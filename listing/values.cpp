// The values of a detail as the listings give them (see CleanValue).
#include "listings.h"

#include <array>
#include <charconv>
#include <cstdint>

#include "runtime/encodings.h"
#include "runtime/xml_characters.h"

namespace qv::listing {
namespace {

// How the scan steps over a byte of a value: kKeep takes one byte as it
// is; kPair takes a two-byte letter (Cyrillic among them) when the next
// byte continues it; kClean hands the byte to Replace. Most values are
// taken whole, a byte or a letter at a time.
enum Step : unsigned char { kClean, kKeep, kPair };

constexpr std::array<unsigned char, 256> MakeSteps(bool raw) {
  std::array<unsigned char, 256> steps{};
  for (unsigned byte = 0; byte < 0x80; ++byte)
    steps[byte] = IsForbiddenInXml(static_cast<unsigned char>(byte)) ? kClean : kKeep;
  for (unsigned byte = 0xC2; byte < 0xE0; ++byte) steps[byte] = kPair;
  if (!raw) {
    steps['&'] = kClean;
    steps[0xC2] = kClean;  // for the no-break space, C2 A0
  }
  return steps;
}
constexpr std::array<unsigned char, 256> kCleanSteps = MakeSteps(false);
constexpr std::array<unsigned char, 256> kRawSteps = MakeSteps(true);

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
  } else if (code < 0x20 && IsForbiddenInXml(static_cast<unsigned char>(code))) {
    out += '?';
  } else {
    AppendUtf8(code, out);
  }
}

// Writes what replaces the bytes at the start of text, whose first byte
// the scan does not take as it is; gives how many bytes it took.
std::size_t Replace(std::string_view text, bool raw, std::string& out) {
  const auto first = static_cast<unsigned char>(text.front());
  if (IsForbiddenInXml(first)) {
    out += '?';
    return 1;
  }
  char32_t code = 0;
  if (first == '&') {
    const std::size_t length = ReadReference(text, code);
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

std::string_view Trimmed(std::string_view text) {
  if (text.empty() || (text.front() != ' ' && text.back() != ' ')) return text;
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
  const std::array<unsigned char, 256>& steps = raw ? kRawSteps : kCleanSteps;
  while (p != end) {
    const unsigned char step = steps[*p];
    if (step == kKeep) {
      ++p;
    } else if (step == kPair && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
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
