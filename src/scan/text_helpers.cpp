#include "scan/text_helpers.h"

#include <algorithm>
#include <cstring>

namespace qv {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Compared from the last byte, where a mismatch usually shows at once.
bool EndsWith(const std::string& text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  const char* end = text.data() + text.size();
  for (std::size_t i = 1; i <= suffix.size(); ++i) {
    if (end[-static_cast<std::ptrdiff_t>(i)] != suffix[suffix.size() - i]) return false;
  }
  return true;
}

// Gives exactly what replacing the first occurrence and searching again from
// the start would give, in one pass. The result is built like a stack that
// never holds an occurrence; after a replacement the first occurrence can
// begin at most pattern length - 1 bytes before the replacement, so only that
// tail, the replacement and what follows need looking at again. The bytes of
// a replacement wait, reversed, in `pending` and are fed back one at a time.
std::string ReplaceRescanning(std::string_view text, std::string_view pattern,
                              std::string_view replacement) {
  const std::size_t m = pattern.size();
  std::string out;
  out.reserve(text.size());
  std::string_view rest = text;
  std::string pending;
  std::string seam;
  for (;;) {
    while (!pending.empty()) {
      out.push_back(pending.back());
      pending.pop_back();
      if (EndsWith(out, pattern)) {
        out.resize(out.size() - m);
        pending.append(replacement.rbegin(), replacement.rend());
      }
    }
    // An occurrence across the end of out and the start of rest; it can
    // only begin at a first byte of the pattern in the tail of out.
    const std::size_t tail = std::min(out.size(), m - 1);
    if (tail > 0 && !rest.empty() &&
        std::memchr(out.data() + out.size() - tail, static_cast<unsigned char>(pattern[0]), tail)) {
      seam.assign(out, out.size() - tail, tail);
      seam.append(rest.substr(0, m - 1));
      const std::size_t across = SearchText(seam, pattern);
      if (across != kNone) {
        out.resize(out.size() - tail + across);
        rest.remove_prefix(m - (tail - across));
        pending.assign(replacement.rbegin(), replacement.rend());
        continue;
      }
    }
    const std::size_t found = SearchText(rest, pattern);
    if (found == kNone) break;
    out.append(rest.substr(0, found));
    rest.remove_prefix(found + m);
    pending.assign(replacement.rbegin(), replacement.rend());
  }
  out.append(rest);
  return out;
}

// A replacement that is not shorter than the pattern can make the search
// endless (it may contain the pattern, or rebuild it with its neighbours), so
// the occurrences of the original text are replaced in one pass instead.
std::string ReplaceOnePass(std::string_view text, std::string_view pattern,
                           std::string_view replacement) {
  if (pattern.size() == 1 && replacement.size() == 1) {
    std::string out(text);
    for (char& byte : out) {
      if (byte == pattern[0]) byte = replacement[0];
    }
    return out;
  }
  std::string out;
  std::size_t from = 0;
  for (std::size_t found; (found = SearchText(text, pattern, from)) != kNone;) {
    out.append(text.substr(from, found - from));
    out.append(replacement);
    from = found + pattern.size();
  }
  out.append(text.substr(from));
  return out;
}

bool IsSliceBlank(char byte) { return byte == '\t' || byte == '\n' || byte == '\r' || byte == ' '; }

}  // namespace

std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement) {
  if (TextEquals(pattern, replacement) || pattern.empty()) return std::string(text);
  if (replacement.size() < pattern.size()) return ReplaceRescanning(text, pattern, replacement);
  // Exact too for two different single bytes: one cannot rebuild the other.
  return ReplaceOnePass(text, pattern, replacement);
}

std::string_view NthField(std::string_view text, char separator, std::int32_t n) {
  if (FindByte(separator, text) == 0) return {};
  const std::string_view trimmed = TrimBlanks(text);
  if (trimmed.empty() || n < 1) return {};
  // The framing separators are virtual, at offsets -1 and size: indexes are
  // kept one up so that the leading one is 0.
  const std::size_t end = trimmed.size() + 1;
  const bool framedAtEnd = trimmed.back() != separator;
  auto nextSeparator = [&](std::size_t after) -> std::size_t {
    const std::size_t found = trimmed.find(separator, after);  // after is already one up
    if (found != kNone) return found + 1;
    return framedAtEnd && after < end ? end : kNone;
  };
  std::size_t field = trimmed.front() == separator ? 1 : 0;
  for (std::int32_t k = 1; k < n; ++k) {
    field = nextSeparator(field);
    if (field == kNone) return {};
  }
  const std::size_t next = nextSeparator(field);
  if (next == kNone) return {};
  return trimmed.substr(field, next - field - 1);
}

std::string StripTags(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t open = text.find('<', from);
    if (open == kNone) {
      out.append(text.substr(from));
      break;
    }
    out.append(text.substr(from, open - from));
    const std::size_t close = text.find('>', open + 1);
    if (close == kNone) break;
    from = close + 1;
  }
  return out;
}

std::string_view TrimSlice(std::string_view text, TextPos first, TextPos count) {
  // Clamped like any slice first, so that a slice reaching outside the text
  // is never read outside it.
  std::string_view slice = SliceText(text, first, count);
  while (!slice.empty() && IsSliceBlank(slice.front())) slice.remove_prefix(1);
  while (!slice.empty() && IsSliceBlank(slice.back())) slice.remove_suffix(1);
  return slice;
}

}  // namespace qv
