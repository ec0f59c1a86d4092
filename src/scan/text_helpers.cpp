#include "scan/text_helpers.h"

namespace qv {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

}  // namespace

// Each byte goes onto the result like onto a stack, which never holds an
// occurrence: one that the byte completes is taken off at once. That is what
// removing the first occurrence and searching again from the start gives,
// since an occurrence completed earlier is removed first either way. Only
// the pattern's last byte can complete one, so the bytes before it go on
// together.
void RemoveAll(std::string_view text, std::string_view pattern, std::string& out) {
  out.clear();
  for (std::size_t from = 0; from < text.size();) {
    const std::size_t last = pattern.empty() ? kNone : text.find(pattern.back(), from);
    const std::size_t end = last == kNone ? text.size() : last + 1;
    out.append(text, from, end - from);
    if (last != kNone && out.ends_with(pattern)) out.resize(out.size() - pattern.size());
    from = end;
  }
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

}  // namespace qv
